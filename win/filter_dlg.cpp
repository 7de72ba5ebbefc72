#include "win/filter_dlg.h"

#include <commctrl.h>

namespace logwick::win {

namespace {

// The check boxes and the form's fields they show.
constexpr struct {
  int id;
  bool logwick::FilterForm::*flag;
} kChecks[] = {
    {IDC_FILTER_PERIOD, &logwick::FilterForm::period},
    {IDC_FILTER_BEAMS, &logwick::FilterForm::beams},
    {IDC_FILTER_DEVICES, &logwick::FilterForm::devices},
    {IDC_FILTER_MESSAGES, &logwick::FilterForm::messages},
    {IDC_FILTER_MODES, &logwick::FilterForm::modes},
    {IDC_FILTER_UNITS, &logwick::FilterForm::units},
    {IDC_FILTER_SLAVES, &logwick::FilterForm::slaves},
};
constexpr struct {
  int id;
  std::string logwick::FilterForm::*text;
} kEdits[] = {
    {IDC_FILTER_FIRST_BEAM, &logwick::FilterForm::firstBeam},
    {IDC_FILTER_LAST_BEAM, &logwick::FilterForm::lastBeam},
    {IDC_FILTER_FIRST_DEVICE, &logwick::FilterForm::firstDev},
    {IDC_FILTER_LAST_DEVICE, &logwick::FilterForm::lastDev},
};
constexpr struct {
  int id;
  logwick::LocalDay logwick::FilterForm::*day;
} kDates[] = {{IDC_FILTER_DATE_FROM, &logwick::FilterForm::from},
              {IDC_FILTER_DATE_TO, &logwick::FilterForm::to}};

}  // namespace

bool FilterDlg::Run(HWND owner) { return RunModal(owner, IDD_FILTER) == IDOK; }

void FilterDlg::OnInit() {
  const logwick::FilterForm form = m_model.Form();
  for (const auto& d : kDates) {
    const logwick::LocalDay& day = form.*d.day;
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(day.year);
    st.wMonth = static_cast<WORD>(day.month);
    st.wDay = static_cast<WORD>(day.day);
    SendMessageW(Item(d.id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  }
  for (const auto& e : kEdits) SetText(e.id, form.*e.text);
  for (const auto& c : kChecks) Check(c.id, form.*c.flag);
  UpdateBeamEdits();
  UpdateDatePickers();
}

logwick::FilterForm FilterDlg::Form() const {
  logwick::FilterForm form;
  for (const auto& d : kDates) {
    SYSTEMTIME st{};
    SendMessageW(Item(d.id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    form.*d.day = {st.wYear, st.wMonth, st.wDay};
  }
  for (const auto& e : kEdits) form.*e.text = Text(e.id);
  for (const auto& c : kChecks) form.*c.flag = Checked(c.id);
  return form;
}

void FilterDlg::FocusEdit(int id) const {
  SetFocus(Item(id));
  SendMessageW(Item(id), EM_SETSEL, 0, -1);
}

void FilterDlg::UpdateBeamEdits() const {
  const bool on = logwick::FilterDialog::BeamEditsEnabled(Checked(IDC_FILTER_BEAMS));
  Enable(IDC_FILTER_FIRST_BEAM, on);
  Enable(IDC_FILTER_LAST_BEAM, on);
}

void FilterDlg::UpdateDatePickers() const {
  Enable(IDC_FILTER_DATE_FROM, m_model.DatePickersEnabled());
  Enable(IDC_FILTER_DATE_TO, m_model.DatePickersEnabled());
}

bool FilterDlg::OnCommand(WORD id, WORD code) {
  if (id == IDC_FILTER_BEAMS && code == BN_CLICKED) {
    UpdateBeamEdits();
    return true;
  }
  if (id == IDC_FILTER_PERIOD && code == BN_CLICKED) {
    if (const std::optional<int> bad = m_model.OnPeriodClicked(Form())) FocusEdit(*bad);
    UpdateDatePickers();
    return true;
  }
  if (id == IDOK) {
    int focus = 0;
    if (m_model.OnOK(Form(), &focus))
      EndDialog(m_window, IDOK);
    else
      FocusEdit(focus);
    return true;
  }
  return false;
}

}  // namespace logwick::win
