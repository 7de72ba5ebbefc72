#include "win/dialog.h"

#include "events/codec.h"
#include "win/window_tags.h"

namespace logwick::win {

namespace {
// The template being created, for the tag set when the window exists.
thread_local int t_creating = 0;
}  // namespace

INT_PTR Dialog::RunModal(HWND owner, int templateId) {
  m_modal = true;
  t_creating = templateId;
  return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner, Proc,
                         reinterpret_cast<LPARAM>(this));
}

HWND Dialog::Create(HWND owner, int templateId) {
  m_modal = false;
  t_creating = templateId;
  return CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner, Proc,
                            reinterpret_cast<LPARAM>(this));
}

void Dialog::SetText(int id, std::string_view utf8) const {
  SetDlgItemTextW(m_window, id, logwick::Utf8ToWide(utf8).c_str());
}

std::string Dialog::Text(int id) const {
  const HWND item = Item(id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(item)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(item, text.data(), static_cast<int>(text.size()))));
  return logwick::WideToUtf8(text);
}

INT_PTR CALLBACK Dialog::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Dialog*>(GetWindowLongPtrW(window, DWLP_USER));
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    self->m_window = window;
    TagTemplate(window, t_creating);
    self->OnInit();
    return TRUE;
  }
  if (!self) return FALSE;
  INT_PTR result = 0;
  if (self->OnMessage(message, wParam, lParam, result)) {
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
  }
  if (message == WM_COMMAND) {
    const WORD id = LOWORD(wParam);
    if (self->OnCommand(id, HIWORD(wParam))) return TRUE;
    if (id == IDOK || id == IDCANCEL) {
      if (self->m_modal)
        EndDialog(window, id);
      else
        ShowWindow(window, SW_HIDE);
      return TRUE;
    }
  }
  if (message == WM_NCDESTROY) {
    RemovePropW(window, kTemplateProperty);
    self->m_window = nullptr;
    SetWindowLongPtrW(window, DWLP_USER, 0);
  }
  return FALSE;
}

}  // namespace logwick::win
