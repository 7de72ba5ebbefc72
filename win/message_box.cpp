#include "win/message_box.h"

#include "events/codec.h"

namespace logwick::win {

std::string AppTitle() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, n);
  name = name.substr(name.find_last_of(L"\\/") + 1);
  return logwick::WideToUtf8(name.substr(0, name.rfind(L'.')));
}

void ShowMessage(HWND owner, std::string_view text, std::string_view caption, MsgIcon icon) {
  const std::wstring title = logwick::Utf8ToWide(caption.empty() ? AppTitle() : caption);
  MessageBoxW(owner, logwick::Utf8ToWide(text).c_str(), title.c_str(), MB_OK | static_cast<UINT>(icon));
}

}  // namespace logwick::win
