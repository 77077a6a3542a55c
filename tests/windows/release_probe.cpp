// release_probe.exe SUBCOMMAND ...: looks at what a release puts on a Windows system, for the
// end-to-end tests of the packages. Output lines end in "\n" only.
//   version FILE              the version resource: fixed version, file type and strings
//   shortcut FILE.lnk         target, arguments and working folder of a shell shortcut
//   run-shortcut FILE.lnk     start the shortcut's command line in its working folder
//   in-use FILE               exit 0 when another process holds FILE (it cannot be opened
//                             for writing without sharing), 1 when it can be
//   manifest FILE             the application manifest embedded as resource 1
// The system libraries are loaded at run time: the test programs link none but user32.
#include <windows.h>
#include <shlobj.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

template <typename Function>
Function Procedure(const char* library, const char* name) {
  HMODULE module = LoadLibraryA(library);
  return reinterpret_cast<Function>(reinterpret_cast<void*>(module ? GetProcAddress(module, name) : nullptr));
}

int Version(const char* file) {
  using SizeFunction = DWORD(WINAPI*)(LPCSTR, LPDWORD);
  using InfoFunction = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
  using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);
  auto size = Procedure<SizeFunction>("version.dll", "GetFileVersionInfoSizeA");
  auto info = Procedure<InfoFunction>("version.dll", "GetFileVersionInfoA");
  auto query = Procedure<QueryFunction>("version.dll", "VerQueryValueA");
  if (!size || !info || !query) return std::printf("release_probe: no version.dll\n"), 2;
  DWORD ignored = 0;
  const DWORD bytes = size(file, &ignored);
  std::string block(bytes, '\0');
  if (bytes == 0 || !info(file, 0, bytes, block.data()))
    return std::printf("release_probe: no version resource in %s\n", file), 1;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (query(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed) {
    std::printf("Fixed=%u.%u.%u.%u\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    std::printf("Type=%s\n", fixed->dwFileType == VFT_DLL ? "dll" : fixed->dwFileType == VFT_APP ? "app" : "other");
  }
  struct Translation { WORD language, codePage; }* translation = nullptr;
  if (!query(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length) ||
      length < sizeof *translation)
    return std::printf("release_probe: no translation in %s\n", file), 1;
  for (const char* name : {"ProductName", "ProductVersion", "FileVersion", "FileDescription",
                           "OriginalFilename"}) {
    char path[128];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
                  translation->codePage, name);
    char* value = nullptr;
    if (query(block.data(), path, reinterpret_cast<void**>(&value), &length) && value)
      std::printf("%s=%s\n", name, value);
  }
  return 0;
}

struct Shortcut {
  std::string target, arguments, directory;
};

// Reads a .lnk through the shell's own IShellLinkA.
bool ReadShortcut(const char* file, Shortcut& shortcut) {
  using InitializeFunction = HRESULT(WINAPI*)(LPVOID);
  using CreateFunction = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
  auto initialize = Procedure<InitializeFunction>("ole32.dll", "CoInitialize");
  auto create = Procedure<CreateFunction>("ole32.dll", "CoCreateInstance");
  if (!initialize || !create) return false;
  initialize(nullptr);
  const CLSID shellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
  IShellLinkA* link = nullptr;
  if (FAILED(create(shellLink, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IShellLinkA),
                    reinterpret_cast<void**>(&link))))
    return false;
  IPersistFile* persist = nullptr;
  bool loaded = false;
  if (SUCCEEDED(link->QueryInterface(__uuidof(IPersistFile), reinterpret_cast<void**>(&persist)))) {
    wchar_t wide[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, file, -1, wide, MAX_PATH);
    loaded = SUCCEEDED(persist->Load(wide, STGM_READ));
    persist->Release();
  }
  char text[1024] = "";
  if (loaded && SUCCEEDED(link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH))) shortcut.target = text;
  text[0] = '\0';
  if (loaded && SUCCEEDED(link->GetArguments(text, sizeof text))) shortcut.arguments = text;
  text[0] = '\0';
  if (loaded && SUCCEEDED(link->GetWorkingDirectory(text, sizeof text))) shortcut.directory = text;
  link->Release();
  return loaded;
}

int PrintShortcut(const char* file) {
  Shortcut shortcut;
  if (!ReadShortcut(file, shortcut)) return std::printf("release_probe: cannot read %s\n", file), 1;
  std::printf("Target=%s\nArguments=%s\nDirectory=%s\n", shortcut.target.c_str(),
              shortcut.arguments.c_str(), shortcut.directory.c_str());
  return 0;
}

// Starts the command line that the shell builds from a shortcut: the quoted target, a blank,
// the arguments, in the working folder.
int RunShortcut(const char* file) {
  Shortcut shortcut;
  if (!ReadShortcut(file, shortcut)) return std::printf("release_probe: cannot read %s\n", file), 1;
  std::string commandLine = "\"" + shortcut.target + "\" " + shortcut.arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      shortcut.directory.empty() ? nullptr : shortcut.directory.c_str(), &startup,
                      &process))
    return std::printf("release_probe: cannot start %s (error %lu)\n", commandLine.c_str(), GetLastError()), 1;
  std::printf("Started=%s\n", commandLine.c_str());
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

int Manifest(const char* file) {
  HMODULE module = LoadLibraryExA(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC resource = module ? FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) : nullptr;
  HGLOBAL data = resource ? LoadResource(module, resource) : nullptr;
  if (!data) return std::printf("release_probe: no manifest in %s\n", file), 1;
  std::fwrite(LockResource(data), 1, SizeofResource(module, resource), stdout);
  return 0;
}

int InUse(const char* file) {
  HANDLE handle = CreateFileA(file, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    CloseHandle(handle);
    return std::printf("free\n"), 1;
  }
  const DWORD error = GetLastError();
  std::printf("%s (error %lu)\n", error == ERROR_SHARING_VIOLATION ? "in use" : "cannot open", error);
  return error == ERROR_SHARING_VIOLATION ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  if (argc < 3) return std::printf("usage: release_probe.exe version|shortcut|run-shortcut|in-use|manifest FILE\n"), 2;
  const std::string command = argv[1];
  if (command == "version") return Version(argv[2]);
  if (command == "shortcut") return PrintShortcut(argv[2]);
  if (command == "run-shortcut") return RunShortcut(argv[2]);
  if (command == "in-use") return InUse(argv[2]);
  if (command == "manifest") return Manifest(argv[2]);
  return std::printf("release_probe: unknown command %s\n", argv[1]), 2;
}
