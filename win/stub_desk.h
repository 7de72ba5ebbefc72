// TEMPORARY stand-in for the desktop model (desk/), until the face is wired
// to it: it exists only so that the windows can be drawn and driven. It shows
// the event file named on the command line or chosen with "Прочитать из файла
// ...", unfiltered, keeps a selection, marks what the find bar finds, and
// opens every dialog over plain values without acting on them. The desk wiring replaces this file whole;
// nothing else in win/ depends on it but main.cpp.
#pragma once

#include <memory>
#include <string>

#include "link/readout.h"
#include "lists/found_rows.h"
#include "lists/row_search.h"
#include "lists/row_selection.h"
#include "lists/t7k_ev_filter.h"
#include "lists/t7k_event_list.h"
#include "win/integrity_wnd.h"
#include "win/list_model.h"
#include "win/main_acts.h"
#include "win/main_dlg.h"
#include "win/statistics_wnd.h"

namespace logwick::win {

class StubDesk : public IListRows, public IListActs, public IMainActs {
 public:
  void Attach(MainDlg* main) { m_main = main; }
  // Shows the file named on the command line, if any.
  void Start(const std::string& path);
  void Load(const std::string& path);

  // IListRows
  std::size_t RowCount() const override { return m_list.GetCount(); }
  std::string RowText(std::size_t row) const override;
  bool IsGapMark(std::size_t) const override { return false; }
  bool IsSelected(std::size_t row) const override { return m_selection.IsSelected(row); }
  std::size_t CurrentRow() const override;
  std::vector<FoundSpan> FoundIn(std::size_t row) const override;
  std::size_t FoundRow() const override;
  // IListActs
  void PickRow(std::size_t row, Pick how) override;
  void SelectAll() override { m_selection.SelectAll(); }
  void CopySelection() override;
  // IMainActs
  void Command(MainCommand command) override;
  void FindTextChanged(const std::string& utf8) override;

 private:
  void ShowList();
  void PickAndShow(std::size_t row);
  void ShowFound();

  MainDlg* m_main = nullptr;
  CT7KEventList m_list;
  logwick::RowSelection m_selection;
  CT7KEvFilter m_filter;
  logwick::ReadoutSettings m_settings;
  std::unique_ptr<StatisticsWnd> m_statistics;
  std::unique_ptr<IntegrityWnd> m_integrity;
  logwick::RowSearch m_index;  // built when the find bar first looks
  std::string m_needle;
  logwick::FoundRows m_found;
};

}  // namespace logwick::win
