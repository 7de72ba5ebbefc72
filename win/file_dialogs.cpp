#include "win/file_dialogs.h"

#include <commdlg.h>

#include "events/codec.h"

namespace logwick::win {

std::optional<std::string> AskFileName(HWND owner, const logwick::FileRequest& request) {
  std::wstring filter;
  for (const logwick::FileType& t : request.types)
    filter += logwick::Utf8ToWide(t.name) + L'\0' + logwick::Utf8ToWide(t.patterns) + L'\0';
  filter += L'\0';
  const std::wstring extension = logwick::Utf8ToWide(request.defaultExt);
  const std::wstring folder = logwick::Utf8ToWide(request.folder);
  std::wstring path(32768, L'\0');
  OPENFILENAMEW ofn{sizeof ofn};
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = path.data();
  ofn.nMaxFile = static_cast<DWORD>(path.size());
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (request.save ? OFN_OVERWRITEPROMPT : 0);
  if (!(request.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return std::nullopt;
  path.resize(path.find(L'\0'));
  return logwick::WideToUtf8(path);
}

}  // namespace logwick::win
