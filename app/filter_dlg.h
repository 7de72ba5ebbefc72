// The filter dialog: edits a filter (period of days, kinds of events, beam and
// device ranges). The caller gives the filter to start from and takes the
// edited one back only on OK.
#pragma once

#include "app/template_dialog.h"
#include "lists/t7k_ev_filter.h"

class QCheckBox;
class QDateEdit;
class QLineEdit;

class CFilterDlg : public logwick::TemplateDialog {
 public:
  // Resource ids: the dialog template and its controls (their objectNames).
  enum Id : int {
    kIdDialog = 130,
    kIdDateFrom = 1012,
    kIdDateTo = 1014,
    kIdBeams = 1015,
    kIdFirstBeam = 1016,
    kIdLastBeam = 1017,
    kIdFirstDevice = 1018,
    kIdDevices = 1019,
    kIdMessages = 1020,
    kIdModes = 1021,
    kIdLastDevice = 1022,
    kIdUnits = 1023,
    kIdSlaves = 1024,
    kIdPeriod = 1033,
  };

  explicit CFilterDlg(const CT7KEvFilter& filter, QWidget* parent = nullptr);

  // The working copy: the edited filter once the dialog has ended with OK.
  const CT7KEvFilter& Filter() const { return m_filter; }

  int exec() override;
  void accept() override;

  // Controls to the working copy, in the exchange order; stops at the first
  // edit that holds no unsigned number (message shown, focus moved there).
  bool SaveData();
  void LoadData();
  void UpdateBeamControls();
  void UpdatePeriodControls();

 private:
  void OnPeriodClicked();

  CT7KEvFilter m_filter;
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
