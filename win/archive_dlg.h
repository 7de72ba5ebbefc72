// The archive window (template 140, modal): the panels of the panel history
// archive in a table the model fills, a field that narrows it, "Открыть", the
// check box that files every reading, and "Синхронизировать" with its bar and
// "Остановить". What the user does goes back to the model as an act.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "win/dialog.h"
#include "win/report_table.h"

namespace logwick::win {

class ArchiveDlg : public Dialog {
 public:
  enum class Act { Narrow, Open, Sync, Stop, ArchiveReadings, Close };
  // act: what the user did; the dialog's texts and table come from the model.
  explicit ArchiveDlg(std::function<void(ArchiveDlg&, Act)> act) : m_act(std::move(act)) {}

  void SetPath(const std::string& line) const;
  void SetRows(const std::vector<Cells>& rows) const;
  void ShowStatus(const std::string& text) const;
  int SelectedRow() const;

 private:
  void OnInit() override;
  bool OnCommand(WORD id, WORD code) override;
  std::function<void(ArchiveDlg&, Act)> m_act;
};

}  // namespace logwick::win
