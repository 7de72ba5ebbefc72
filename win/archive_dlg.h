// The archive window (template 140, modal) over the model's archive window:
// the panels of the panel history archive in a table the model orders and
// narrows, "Открыть" (also a double click), the check box that files every
// reading, and "Синхронизировать" with its bar, "Остановить" and the status
// line. Only where the program has an archive.
#pragma once

#ifdef LOGWICK_WITH_ARCHIVE

#include "desk/archive_window_model.h"
#include "win/dialog.h"

namespace logwick::win {

class ArchiveDlg : public Dialog {
 public:
  explicit ArchiveDlg(logwick::ArchiveWindowModel& model) : m_model(model) {}
  ~ArchiveDlg() override;
  // true when it ended by opening a history.
  bool Run(HWND owner);

 private:
  void OnInit() override;
  bool OnCommand(WORD id, WORD code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
  void Redraw();
  void FillTable();
  void Open();
  void Close();

  logwick::ArchiveWindowModel& m_model;
  unsigned m_drawnRows = ~0u;  // the rows' generation in the table
  bool m_filling = false;
};

}  // namespace logwick::win

#endif  // LOGWICK_WITH_ARCHIVE
