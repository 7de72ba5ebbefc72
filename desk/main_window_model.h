// The main window's model: the current event list and filter, the rows the
// event list shows (the events the filter admits, with a tinted row wherever
// a panel history may have lost events), the six information lines, the
// selection, the find bar's state, and every command of the window as a
// function of that state. The face draws what this holds and forwards the
// user's acts; messages, file dialogs and modal dialogs go through IDeskFace.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desk/event_rows.h"
#include "desk/face.h"
#include "desk/find_model.h"
#include "desk/profile.h"
#include "desk/reading_session.h"
#include "lists/event_statistics.h"
#include "lists/gap_rows.h"
#include "lists/integrity_check.h"
#include "lists/row_selection.h"
#include "lists/shown_rows.h"
#include "lists/t7k_ev_filter.h"
#include "lists/t7k_event_list.h"

namespace logwick {

class ArchiveWindowModel;
struct PanelHistory;

// The report options dialog's value: 0 "С учетом установленного фильтра",
// 1 "Все события", -1 none chosen.
struct ReportScope {
  int m_nScope = -1;
};

// The window's caption and the information lines, by their controls.
inline constexpr char kMainCaption[] = "Просмотр событий прибора ТАРВЕЛ-7К";
enum class InfoLine { Count, Read, Panel, Version, Config, Filter };
inline constexpr std::size_t kInfoLineCount = 6;

// What the model needs from around it, each replaceable in tests.
struct DeskServices {
  // The panel read-out on the reading dialog's worker (empty: the serial port).
  ReadingSession::Job readout;
  // The ports present, for the settings dialog (empty: as the device link lists them).
  std::function<std::vector<struct PortListing>()> ports;
  // The panel history archive's file ("" when no folder is known); empty
  // function: the default place (LOGWICK_ARCHIVE or the user's data folder).
  std::function<std::string()> archivePath;
  // The archive window for a given archive (empty: the built-in one, where
  // the program has an archive).
  std::function<std::unique_ptr<ArchiveWindowModel>(IDeskFace&, IProfile&)> archiveWindow;
};

class MainWindowModel : public IEventRows {
 public:
  MainWindowModel(IDeskFace& face, IProfile& profile, DeskServices services = {});
  ~MainWindowModel() override;
  MainWindowModel(const MainWindowModel&) = delete;
  MainWindowModel& operator=(const MainWindowModel&) = delete;

  // The window has been made: the count line says the list is empty, the
  // settings are read, and the file named on the command line is loaded.
  void OnInitDialog(const std::string& fileToOpen = {});

  // The window's commands.
  void OnReadFromPanel();
  void OnReadFromFile();
  void OnWriteToFile();
  void OnWriteText();
  void OnFilter();
  void OnSettings();
  void OnAbout();
  void OnHelp();
  // "Выход", Enter on the default button and the close box: ends the
  // program, unless a reading would be lost and the user keeps it. True when
  // the window ended.
  bool OnExit();
  void OnFind();
  void OnPrint();
  void OnStatistics();
  void OnIntegrity();
  void OnArchive();

  // Printing through another program: writes the printable (HTML) report of
  // the shown events to path and hands the file to open (the face's viewer,
  // from which the user prints); a failure of either is shown.
  void PrintThrough(const std::string& path, const std::function<bool(const std::string& path)>& open);

  // 1 when the file was loaded (or refused by the list itself), 2 on failure.
  int ReadEventFile(const std::string& path);
  // Rebuilds the rows and the information lines from the list and the filter.
  void FillList();
  // Puts a panel's history (newest event first) in the place of the list.
  void PutHistoryInPlace(PanelHistory&& history);

  // The rows the event list shows (IEventRows).
  std::size_t RowCount() const override { return m_viewRows.Count(m_rows); }
  bool IsGapMarkRow(std::size_t row) const override { return m_viewRows.At(row).gapMark; }
  std::string RowText(std::size_t row) const override;
  bool IsSelected(std::size_t row) const override { return m_selection.IsSelected(row); }
  std::size_t CurrentRow() const override { return m_selection.Current(); }
  std::vector<RowSearch::Span> FoundSpans(std::size_t row) const override { return m_find.SpansIn(row); }
  std::size_t FoundRow() const override;
  void Select(std::size_t row, SelectAct act) override;
  void SelectAll() override;
  void CopySelection() override;
  // The list index of the event on a row (none for a gap mark row).
  std::optional<std::size_t> EventOfRow(std::size_t row) const;
  const std::string& Line(InfoLine line) const { return m_lines[static_cast<std::size_t>(line)]; }

  // The selected rows' texts, each ended by a line break.
  std::string SelectedText() const;
  const RowSelection& Selection() const { return m_selection; }

  FindModel& Find() { return m_find; }
  const FindModel& Find() const { return m_find; }
  // The find bar's acts: typed text, F3/Enter, Shift+F3/Shift+Enter, Esc.
  void FindText(const std::string& needle);
  void FindNext();
  void FindPrevious();
  void CloseFind();

  // What the statistics and integrity windows show, and their clicks.
  const EventStatistics& Statistics();
  const std::vector<Finding>& Findings();
  void GoToDay(std::size_t day);          // index into Statistics().days: its newest row on top
  void GoToFinding(std::size_t finding);  // index into Findings()

  const CT7KEventList& EventList() const { return m_events; }
  CT7KEventList& EventList() { return m_events; }
  CT7KEvFilter& Filter() { return m_filter; }
  const ShownRows& Shown() const { return m_rows; }
  const std::vector<std::size_t>& GapMarkIndices() const { return m_gapMarks; }
  int m_nPortNumber = kDefaultPortNumber;
  // A reading from the panel that neither a file nor the archive holds.
  bool ReadingUnsaved() const { return m_readingUnsaved; }

 private:
  void Message(const std::string& text, MsgCaption caption, MsgIcon icon = MsgIcon::Exclamation);
  void RebuildFindIndex(RowSearch& index) const;
  void GoToShown(std::size_t shown, ScrollTo how);
  // Files a reading into the archive when every reading is to be filed; the
  // message for a failure, empty when filed or not to be filed.
  std::string FileReading(const ReadoutResult& result);
  // Whether each reading goes into the archive.
  bool FilesEveryReading();
  std::string ArchivePath() const;

  IDeskFace& m_face;
  IProfile& m_profile;
  DeskServices m_services;
  CT7KEvFilter m_filter;
  CT7KEventList m_events;
  std::vector<std::size_t> m_gapMarks;  // of a history; none for a file or a reading
  ShownRows m_rows{m_events, {}};       // the events the list shows
  GapRows m_viewRows;                   // and the gap-mark rows between them
  std::array<std::string, kInfoLineCount> m_lines;
  RowSelection m_selection;
  FindModel m_find;
  std::optional<EventStatistics> m_statistics;  // of the rows, while they stand
  std::optional<std::vector<Finding>> m_findings;
  bool m_readingUnsaved = false;
};

}  // namespace logwick
