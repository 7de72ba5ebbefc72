// A dialog built from a template, with its window procedure routed to a C++
// object: the base of every dialog of the program. Each dialog tags its window
// with its template number (win/window_tags.h).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace logwick::win {

class Dialog {
 public:
  virtual ~Dialog() = default;
  // Runs the dialog modally; its EndDialog result.
  INT_PTR RunModal(HWND owner, int templateId);
  // Creates it modeless (or as a child for a DS_CONTROL template).
  HWND Create(HWND owner, int templateId);
  HWND Window() const { return m_window; }
  HWND Item(int id) const { return GetDlgItem(m_window, id); }

  void SetText(int id, std::string_view utf8) const;
  std::string Text(int id) const;
  void Check(int id, bool on) const { CheckDlgButton(m_window, id, on ? BST_CHECKED : BST_UNCHECKED); }
  bool Checked(int id) const { return IsDlgButtonChecked(m_window, id) != BST_UNCHECKED; }
  void Enable(int id, bool on) const { EnableWindow(Item(id), on); }

 protected:
  virtual void OnInit() {}
  // A command from a control or menu; false leaves OK and Cancel to end a
  // modal dialog (a modeless one hides).
  virtual bool OnCommand(WORD /*id*/, WORD /*code*/) { return false; }
  // Any other message; true when handled, with result.
  virtual bool OnMessage(UINT /*message*/, WPARAM, LPARAM, INT_PTR& /*result*/) { return false; }

  HWND m_window = nullptr;

 private:
  static INT_PTR CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool m_modal = false;
};

}  // namespace logwick::win
