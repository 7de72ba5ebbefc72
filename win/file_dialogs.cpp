#include "win/file_dialogs.h"

#include <commdlg.h>

#include "events/codec.h"

namespace logwick::win {

std::optional<FileAnswer> AskFileName(HWND owner, const FileAsk& ask) {
  std::wstring filter;
  for (const FileType& t : ask.types)
    filter += logwick::Utf8ToWide(t.name) + L'\0' + logwick::Utf8ToWide(t.pattern) + L'\0';
  filter += L'\0';
  const std::wstring extension = logwick::Utf8ToWide(ask.defaultExtension);
  const std::wstring folder = logwick::Utf8ToWide(ask.folder);
  std::wstring path(32768, L'\0');
  OPENFILENAMEW ofn{sizeof ofn};
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (ask.save ? OFN_OVERWRITEPROMPT : 0);
  if (!(ask.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return std::nullopt;
  path.resize(path.find(L'\0'));
  return FileAnswer{logwick::WideToUtf8(path), ofn.nFilterIndex > 0 ? ofn.nFilterIndex - 1 : 0};
}

}  // namespace logwick::win
