// The filter dialog: edits a working copy of the filter's fields (period of
// days, kinds of events, beam and device ranges). The caller copies the
// filter in before the run and takes the copy back only on OK.
#pragma once

#include <cstdint>

#include "app/template_dialog.h"

class QCheckBox;
class QDateEdit;
class QLineEdit;

class CFilterDlg : public logwick::TemplateDialog {
 public:
  explicit CFilterDlg(QWidget* parent = nullptr);

  // The working copy, zero after construction.
  std::int64_t m_timeFrom = 0;
  std::int64_t m_timeTo = 0;
  std::uint32_t m_nFirstBeam = 0;
  std::uint32_t m_nLastBeam = 0;
  std::int32_t m_bDevices = 0;
  std::int32_t m_bMessages = 0;
  std::int32_t m_bModes = 0;
  std::int32_t m_bBeams = 0;
  std::uint32_t m_nFirstDev = 0;
  std::uint32_t m_nLastDev = 0;
  std::int32_t m_bSlaves = 0;
  std::int32_t m_bUnits = 0;
  std::int32_t m_bPeriod = 0;

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

  QDateEdit* m_dateFrom;       // 1012
  QDateEdit* m_dateTo;         // 1014
  QCheckBox* m_checkBeams;     // 1015
  QLineEdit* m_editFirstBeam;  // 1016
  QLineEdit* m_editLastBeam;   // 1017
  QCheckBox* m_checkDevices;   // 1019
  QCheckBox* m_checkMessages;  // 1020
  QCheckBox* m_checkModes;     // 1021
  QLineEdit* m_editFirstDev;   // 1018
  QLineEdit* m_editLastDev;    // 1022
  QCheckBox* m_checkUnits;     // 1023
  QCheckBox* m_checkSlaves;    // 1024
  QCheckBox* m_checkPeriod;    // 1033
};
