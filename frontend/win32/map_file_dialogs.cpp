#include "map_file_dialogs.h"

#include "wide_text.h"

#include <commdlg.h>

#include <vector>

namespace tessel {
namespace {

constexpr const char* kImportTitle = "Select a file with a keyboard map";
constexpr const char* kImportFilter =
    "Map files (*.key)|*.key|Ini files (*.ini)|*.ini|Text files (*.txt)|*.txt|All files|*.*";
constexpr const char* kExportTitle = "Select a file for storing the map (can be new)";
constexpr const char* kExportFilter =
    "Map files (*.key)|*.key|Ini files (*.ini)|*.ini|Text files (*.txt)|*.txt";

// "text|pattern|..." as the dialogs want it: zero-separated, ending in two zeros.
std::string DialogFilter(const char* filter) {
  std::string pairs(filter);
  for (char& c : pairs)
    if (c == '|') c = '\0';
  pairs.push_back('\0');
  pairs.push_back('\0');
  return pairs;
}

bool Choose(HWND owner, bool save, std::string& path) {
  const std::wstring filter = Wide(DialogFilter(save ? kExportFilter : kImportFilter));
  const std::wstring title = Wide(save ? kExportTitle : kImportTitle);
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  dialog.lpstrTitle = title.c_str();
  dialog.lpstrDefExt = save ? L"key" : nullptr;
  // The settings file may be named relative to the current folder: keep it.
  dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
  const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
  if (!chosen) return false;
  path = Utf8(file.data());
  return true;
}

}  // namespace

bool ChooseFileToImport(HWND owner, std::string& path) { return Choose(owner, false, path); }
bool ChooseFileToExport(HWND owner, std::string& path) { return Choose(owner, true, path); }

}  // namespace tessel
