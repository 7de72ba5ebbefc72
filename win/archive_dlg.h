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
  // Sort: a column's header was clicked (SortColumn() says which); Open also
  // for a double click on a row.
  enum class Act { Narrow, Sort, Open, Sync, Stop, ArchiveReadings, Close };
  // act: what the user did; the dialog's texts and table come from the model.
  explicit ArchiveDlg(std::function<void(ArchiveDlg&, Act)> act) : m_act(std::move(act)) {}

  void SetPath(const std::string& line) const;
  // The rows in the order and narrowing the model chose; selected: the row to
  // select, -1 for none.
  void SetRows(const std::vector<Cells>& rows, int selected) const;
  void ShowStatus(const std::string& text) const;
  int SelectedRow() const;
  int SortColumn() const { return m_sortColumn; }
  std::string NarrowText() const;
  std::string ServerText() const;
  void SetServerText(const std::string& url) const;
  bool ArchivesReadings() const;
  void SetArchivesReadings(bool on) const;
  // While a synchronisation runs: the server field, "Синхронизировать" and
  // "Открыть" rest, "Остановить" works.
  void SetSyncing(bool on) const;
  void EnableStop(bool on) const;
  // The bar: done of total, or busy without a count when total is 0.
  void SetProgress(std::size_t done, std::size_t total) const;

 private:
  void OnInit() override;
  bool OnCommand(WORD id, WORD code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;
  std::function<void(ArchiveDlg&, Act)> m_act;
  int m_sortColumn = -1;
};

}  // namespace logwick::win
