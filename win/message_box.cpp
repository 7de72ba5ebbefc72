#include "win/message_box.h"

#include <commctrl.h>

#include "events/codec.h"

namespace logwick::win {

namespace {

UINT IconOf(logwick::MsgIcon icon) {
  constexpr UINT kIcons[] = {MB_ICONEXCLAMATION, MB_ICONWARNING, MB_ICONSTOP, MB_ICONINFORMATION,
                             MB_ICONQUESTION};
  return kIcons[static_cast<int>(icon)];
}

PCWSTR TaskIconOf(logwick::MsgIcon icon) {
  const PCWSTR kIcons[] = {TD_WARNING_ICON, TD_WARNING_ICON, TD_ERROR_ICON, TD_INFORMATION_ICON,
                           TD_INFORMATION_ICON};
  return kIcons[static_cast<int>(icon)];
}

std::wstring CaptionOf(const logwick::Message& m) {
  return logwick::Utf8ToWide(m.caption == logwick::MsgCaption::Error ? std::string(logwick::kCaptionError)
                                                                     : AppTitle());
}

// The text as the model wrote it: a box breaks lines at "\n" and at "\r\n"
// alike, and tools reading the box back get the model's own text.
std::wstring Lines(const std::string& utf8) { return logwick::Utf8ToWide(utf8); }

}  // namespace

std::string AppTitle() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, n);
  name = name.substr(name.find_last_of(L"\\/") + 1);
  return logwick::WideToUtf8(name.substr(0, name.rfind(L'.')));
}

void ShowMessage(HWND owner, const logwick::Message& m) {
  const std::wstring caption = CaptionOf(m);
  const std::wstring text = Lines(m.text);
  if (m.details.empty()) {
    MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | IconOf(m.icon));
    return;
  }
  // A library's or a server's own words: behind a button, out of the way.
  const std::wstring details = Lines(m.details);
  TASKDIALOGCONFIG config{sizeof config};
  config.hwndParent = owner;
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION | TDF_POSITION_RELATIVE_TO_WINDOW;
  config.dwCommonButtons = TDCBF_OK_BUTTON;
  config.pszWindowTitle = caption.c_str();
  config.pszMainIcon = TaskIconOf(m.icon);
  config.pszContent = text.c_str();
  config.pszExpandedInformation = details.c_str();
  config.pszCollapsedControlText = L"Подробности";
  config.pszExpandedControlText = L"Подробности";
  if (FAILED(TaskDialogIndirect(&config, nullptr, nullptr, nullptr))) {
    const std::wstring both = text + L"\r\n\r\n" + details;
    MessageBoxW(owner, both.c_str(), caption.c_str(), MB_OK | IconOf(m.icon));
  }
}

bool AskYesNo(HWND owner, const logwick::Message& m) {
  const std::wstring caption = CaptionOf(m);
  return MessageBoxW(owner, Lines(m.text).c_str(), caption.c_str(),
                     MB_YESNO | MB_DEFBUTTON2 | IconOf(m.icon)) == IDYES;
}

}  // namespace logwick::win
