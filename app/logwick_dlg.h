// The main window: the current event list and filter, the event list view with
// its six information lines, and the program's commands.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "app/fetchlog.h"
#include "app/template_dialog.h"
#include "lists/gap_rows.h"
#include "lists/shown_rows.h"
#include "lists/t7k_ev_filter.h"
#include "lists/t7k_event_list.h"

class CEvListBox;
class CFindBar;
class CIntegrityWnd;
class CStatisticsWnd;
class QLabel;
class QMenuBar;

class CLogwickDlg : public logwick::TemplateDialog {
 public:
  // Resource ids: the dialog template, its menu, controls and commands (the
  // objectNames of the controls and menu items).
  enum Id : int {
    kIdDialog = 102,
    kIdMenu = 131,
    kIdReadFromPanel = 1000,
    kIdReadFromFile = 1001,
    kIdWriteToFile = 1002,
    kIdWriteText = 1003,
    kIdEventList = 1006,
    kIdCountLine = 1007,
    kIdReadLine = 1008,
    kIdPanelLine = 1009,
    kIdFilter = 1010,
    kIdFilterLine = 1011,
    kIdConfigLine = 1012,
    kIdVersionLine = 1013,
    kIdHelpButton = 1022,
    kIdHelp = 32777,
    kIdSettings = 32779,
    kIdAbout = 32780,
    kIdExit = 32781,
    kIdArchive = 32790,
  };

  explicit CLogwickDlg(QWidget* parent = nullptr);
  ~CLogwickDlg() override;

  QString m_strFileToOpen;

  int exec() override;
  // Esc does nothing: the window ends only through its exit commands.
  void reject() override {}

  // Commands.
  void OnReadFromPanel();
  void OnReadFromFile();
  void OnWriteToFile();
  void OnWriteText();
  void OnFilter();
  void OnSettings();
  void OnAbout();
  void OnHelp();
  void OnExit();
  // Commands of their own: the find bar (Ctrl+F, F3, Shift+F3, Esc) and the
  // print preview, the statistics of the shown events and the integrity
  // check of the log.
  void OnFind();
  void OnPrint();
  void OnStatistics();
  void OnIntegrity();
  // "Архив ...": the archive window; a history opened there replaces the list.
  void OnArchive();

  void FillList();
  // 1 when the file was loaded (or refused by the list itself), 2 on failure.
  int ReadEventFile(const QString& path);
  void OnInitDialog();

  CT7KEventList& EventList() { return m_events; }
  CT7KEvFilter& Filter() { return m_filter; }
  CEvListBox* ListBox() const { return m_list; }
  QMenuBar* MenuBar() const { return m_menu; }
  CFindBar* FindBar() const { return m_findBar; }
  CStatisticsWnd* StatisticsWnd() const { return m_statistics; }
  CIntegrityWnd* IntegrityWnd() const { return m_integrity; }
  int m_nPortNumber = 65535;

  // The settings a reading from the panel starts with: the port number and
  // the settings globals.
  logwick::ReadoutSettings ReadoutSettingsNow() const;
  // What the reading dialog runs (the panel behind the serial port when
  // empty); tests put a scripted panel behind it.
  void SetReadoutJob(CFetchlog::Job job) { m_readoutJob = std::move(job); }

  // Row text of the list's event at index, as the view shows it.
  QString RowText(std::uint32_t eventIndex) const;
  // Text of the view's row: an event's, or the gap mark's line.
  QString ViewRowText(int row) const;

  // Puts a panel's history (newest event first) in the place of the list,
  // with its gap marks: a mark at i lies between events i - 1 and i.
  void PutHistoryInPlace(CT7KEventList&& list, std::vector<std::size_t>&& gapMarks);
  const std::vector<std::size_t>& GapMarkIndices() const { return m_gapMarks; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  void BuildControls();
  void SetLine(QLabel* line, const QString& text);
  void BuildFindBar();
  // The window grows by a strip for the find bar while it is shown.
  void FitFindBar(bool shown);
  // F3 and Shift+F3: open the bar when it is closed, then step.
  void StepFind(void (CFindBar::*to)());
  // The open statistics and integrity windows follow the list and the filter.
  void UpdateStatistics();
  void UpdateIntegrity();

  CT7KEvFilter m_filter;
  QLabel* m_lineConfig;
  QLabel* m_lineFilter;
  QLabel* m_linePanel;
  QLabel* m_lineVersion;
  QLabel* m_lineRead;
  CEvListBox* m_list;
  QLabel* m_lineCount;
  CT7KEventList m_events;
  std::vector<std::size_t> m_gapMarks;      // of a history; none for a file or a reading
  logwick::ShownRows m_rows{m_events, {}};  // the events the list view draws
  logwick::GapRows m_viewRows;              // and the gap-mark rows between them
  QMenuBar* m_menu = nullptr;
  CFindBar* m_findBar = nullptr;
  CStatisticsWnd* m_statistics = nullptr;
  CIntegrityWnd* m_integrity = nullptr;
  int m_templateHeight = 0;  // the window's height without the find bar
  CFetchlog::Job m_readoutJob;
  bool m_initialised = false;
};
