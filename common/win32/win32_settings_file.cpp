#include "win32_settings_file.h"

#include "wide_text.h"

#include <windows.h>

namespace tessel {
namespace {

// Writers of every process take turns for one read, change and write of a settings file.
constexpr const wchar_t* kWriterMutexName = L"TESSEL32SETTINGSMUTEX";
constexpr DWORD kWriterWaitMs = 10000;
// Under Wine a file cannot be replaced while another process has it open, even with
// delete sharing; readers hold it for a moment only (docs/platform-notes.md).
constexpr DWORD kReplaceRetryMs = 1000;


class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (Valid()) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  void Close() {
    if (Valid()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

bool WriteWhole(HANDLE file, const std::string& bytes) {
  size_t written = 0;
  while (written < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 20));
    DWORD done = 0;
    if (!::WriteFile(file, bytes.data() + written, chunk, &done, nullptr) || done == 0) return false;
    written += done;
  }
  return FlushFileBuffers(file) != FALSE;
}

bool MoveOver(const std::wstring& from, const std::wstring& to) {
  const DWORD start = GetTickCount();
  for (DWORD pause = 1;; pause = pause < 10 ? pause + 1 : 10) {
    if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    const DWORD error = GetLastError();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) ||
        GetTickCount() - start >= kReplaceRetryMs)
      return false;
    Sleep(pause);
  }
}

}  // namespace

std::wstring SettingsFilePath(const std::string& fileName) {
  const std::wstring name = Wide(fileName);
  const bool hasFolder = name.find_first_of(L"\\/:") != std::wstring::npos;
  if (hasFolder || name.empty()) return name;
  wchar_t folder[MAX_PATH + 1] = L"";
  const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
  if (length == 0 || length > MAX_PATH) return name;
  return std::wstring(folder, length) + L"\\" + name;
}

Win32SettingsFileSystem& Win32SettingsFileSystem::Instance() {
  static Win32SettingsFileSystem fileSystem;
  return fileSystem;
}

SettingsFileSystem::ReadResult Win32SettingsFileSystem::ReadBytes(const std::string& path,
                                                                 std::string& bytes) {
  bytes.clear();
  FileHandle file(CreateFileW(SettingsFilePath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) {
    // A file in a folder that does not exist cannot be created either: every write fails.
    return GetLastError() == ERROR_FILE_NOT_FOUND ? ReadResult::Missing : ReadResult::Failed;
  }
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0 ||
      static_cast<unsigned long long>(size.QuadPart) > kSettingsFileLimit)
    return ReadResult::Failed;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t read = 0;
  while (read < bytes.size()) {
    DWORD done = 0;
    if (!::ReadFile(file.Get(), bytes.data() + read, static_cast<DWORD>(bytes.size() - read), &done,
                    nullptr))
      return ReadResult::Failed;
    if (done == 0) break;  // it was cut meanwhile
    read += done;
  }
  bytes.resize(read);
  return ReadResult::Read;
}

bool Win32SettingsFileSystem::ReplaceBytes(const std::string& path, const std::string& bytes) {
  const std::wstring target = SettingsFilePath(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return false;

  // The new file beside the old one, so that the replacement is a rename on one volume.
  const size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"." : target.substr(0, slash + 1);
  wchar_t temporary[MAX_PATH + 16] = L"";
  if (folder.size() > MAX_PATH - 14 || !GetTempFileNameW(folder.c_str(), L"tsl", 0, temporary))
    return false;
  FileHandle file(CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  const bool written = file.Valid() && WriteWhole(file.Get(), bytes);
  file.Close();
  if (written && MoveOver(temporary, target)) return true;
  DeleteFileW(temporary);
  return false;
}

bool Win32SettingsFileSystem::AsOnlyWriter(const std::function<bool()>& update) {
  static HANDLE mutex = CreateMutexW(nullptr, FALSE, kWriterMutexName);
  if (!mutex) return update();  // no turns to be had: write anyway
  const DWORD wait = WaitForSingleObject(mutex, kWriterWaitMs);
  if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) return false;
  bool done = false;
  try {
    done = update();
  } catch (...) {
    ReleaseMutex(mutex);
    throw;
  }
  ReleaseMutex(mutex);
  return done;
}

}  // namespace tessel
