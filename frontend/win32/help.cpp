#include "help.h"

#include "wide_text.h"

#include <htmlhelp.h>

namespace tessel {
namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

constexpr const wchar_t* kViewer = L"hhctrl.ocx";
constexpr const char* kContentsPage = "::/contents.htm";
constexpr DWORD_PTR kReplacementTextContext = 1;

HtmlHelpFunction HtmlHelpOf(HMODULE viewer) {
  FARPROC procedure = viewer ? GetProcAddress(viewer, "HtmlHelpW") : nullptr;
  return reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(procedure));
}

void Complain(HWND owner, const std::string& text) {
  MessageBoxW(owner, Wide(text).c_str(), L"Tessel+ : Help", MB_OK | MB_ICONINFORMATION);
}

}  // namespace

std::string HelpFilePath() {
  wchar_t path[MAX_PATH + 1] = L"";
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::string file = Utf8(std::wstring_view(path, length < MAX_PATH ? length : MAX_PATH));
  if (file.size() >= 3) file.resize(file.size() - 3);
  return file + "chm";
}

void OpenHelp(HWND owner, const FrontEnd& app, HelpTopic topic) {
  const std::string file = app.helpFile.empty() ? HelpFilePath() : app.helpFile;
  const DWORD attributes = GetFileAttributesW(Wide(file).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    Complain(owner, "The help file\r\n" + file + "\r\nwas not found.");
    return;
  }
  // The viewer stays loaded: its windows live on after this call.
  const HtmlHelpFunction htmlHelp = HtmlHelpOf(LoadLibraryW(kViewer));
  if (!htmlHelp) {
    Complain(owner, "Help cannot be shown: the HTML Help viewer (hhctrl.ocx) is not installed.");
    return;
  }
  const HWND shown = topic == HelpTopic::Contents
                         ? htmlHelp(owner, Wide(file + kContentsPage).c_str(), HH_DISPLAY_TOPIC, 0)
                         : htmlHelp(owner, Wide(file).c_str(), HH_HELP_CONTEXT, kReplacementTextContext);
  if (!shown) Complain(owner, "The help file\r\n" + file + "\r\ncould not be opened.");
}

void CloseHelp() {
  if (const HtmlHelpFunction htmlHelp = HtmlHelpOf(GetModuleHandleW(kViewer)))
    htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

}  // namespace tessel
