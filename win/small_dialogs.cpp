#include "win/small_dialogs.h"

#include "desk/control_ids.h"
#include "desk/help_text.h"
#include "win/dialog.h"

namespace logwick::win {

namespace {

class ReportOptionsDlg : public Dialog {
 public:
  explicit ReportOptionsDlg(logwick::ReportScope& scope) : m_scope(scope) {}

 private:
  void OnInit() override {
    Check(IDC_SCOPE_FILTERED, m_scope.m_nScope == 0);
    Check(IDC_SCOPE_ALL, m_scope.m_nScope == 1);
  }
  bool OnCommand(WORD id, WORD) override {
    if (id == IDOK) m_scope.m_nScope = Checked(IDC_SCOPE_FILTERED) ? 0 : Checked(IDC_SCOPE_ALL) ? 1 : -1;
    return false;
  }
  logwick::ReportScope& m_scope;
};

// The help's title, each section's heading and paragraphs, as plain text
// with the line ends an edit control breaks at.
std::string HelpText() {
  std::string text = logwick::kHelpTitle;
  for (const logwick::HelpSection& section : logwick::HelpSections()) {
    text += "\n\n";
    if (!section.heading.empty()) text += section.heading + "\n";
    for (std::size_t i = 0; i < section.paragraphs.size(); ++i)
      text += (i ? "\n" : "") + section.paragraphs[i];
  }
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return crlf;
}

class HelpDlg : public Dialog {
  void OnInit() override { SetText(IDC_HELP_TEXT, HelpText()); }
};

}  // namespace

bool RunReportOptions(HWND owner, logwick::ReportScope& scope) {
  logwick::ReportScope chosen = scope;
  ReportOptionsDlg dlg(chosen);
  if (dlg.RunModal(owner, IDD_REPORT_OPTIONS) != IDOK) return false;
  scope = chosen;
  return true;
}

void RunAboutBox(HWND owner) { Dialog().RunModal(owner, IDD_ABOUT); }

void RunHelp(HWND owner) { HelpDlg().RunModal(owner, IDD_HELP); }

}  // namespace logwick::win
