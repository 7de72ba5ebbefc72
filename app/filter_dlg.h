// The filter dialog: draws the filter dialog's model (period of days, kinds
// of events, beam and device ranges) from its template and hands the
// controls' values to it.
#pragma once

#include "app/template_dialog.h"
#include "desk/control_ids.h"
#include "desk/filter_dialog.h"

class QCheckBox;
class QDateEdit;
class QLineEdit;

class CFilterDlg : public logwick::TemplateDialog {
 public:
  // Resource ids: the dialog template and its controls (their objectNames).
  enum Id : int {
    kIdDialog = IDD_FILTER,
    kIdDateFrom = IDC_FILTER_DATE_FROM,
    kIdDateTo = IDC_FILTER_DATE_TO,
    kIdBeams = IDC_FILTER_BEAMS,
    kIdFirstBeam = IDC_FILTER_FIRST_BEAM,
    kIdLastBeam = IDC_FILTER_LAST_BEAM,
    kIdFirstDevice = IDC_FILTER_FIRST_DEVICE,
    kIdDevices = IDC_FILTER_DEVICES,
    kIdMessages = IDC_FILTER_MESSAGES,
    kIdModes = IDC_FILTER_MODES,
    kIdLastDevice = IDC_FILTER_LAST_DEVICE,
    kIdUnits = IDC_FILTER_UNITS,
    kIdSlaves = IDC_FILTER_SLAVES,
    kIdPeriod = IDC_FILTER_PERIOD,
  };

  CFilterDlg(logwick::FilterDialog& model, QWidget* parent = nullptr);

  int exec() override;
  void accept() override;

  // What the controls hold.
  logwick::FilterForm Form() const;
  void LoadData();
  void UpdateBeamControls();
  void UpdatePeriodControls();

 private:
  void OnPeriodClicked();
  // Puts the focus on the edit a failed exchange names.
  void FocusEdit(int id);

  logwick::FilterDialog& m_model;
  QDateEdit* m_dateFrom;
  QDateEdit* m_dateTo;
  QCheckBox* m_checkBeams;
  QLineEdit* m_editFirstBeam;
  QLineEdit* m_editLastBeam;
  QCheckBox* m_checkDevices;
  QCheckBox* m_checkMessages;
  QCheckBox* m_checkModes;
  QLineEdit* m_editFirstDev;
  QLineEdit* m_editLastDev;
  QCheckBox* m_checkUnits;
  QCheckBox* m_checkSlaves;
  QCheckBox* m_checkPeriod;
};
