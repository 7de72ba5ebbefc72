#include "win/stub_desk.h"

#include <cstdlib>

#include "events/strformat.h"
#include "link/port_list.h"
#include "lists/event_file.h"
#include "lists/event_statistics.h"
#include "lists/integrity_check.h"
#include "lists/panel_types.h"
#include "lists/report.h"
#include "win/archive_dlg.h"
#include "win/clipboard.h"
#include "win/fetchlog_dlg.h"
#include "win/file_dialogs.h"
#include "win/filter_dlg.h"
#include "win/message_box.h"
#include "win/resource_ids.h"
#include "win/settings_dlg.h"
#include "win/small_dialogs.h"

namespace logwick::win {

void StubDesk::Start(const std::string& path) {
  m_main->List().SetModel(this, this);
  m_main->SetInfoLines({"База сообщений пуста", "", "", "", "", ""});
  if (!path.empty()) Load(path);
}

void StubDesk::Load(const std::string& path) {
  const logwick::LoadOutcome outcome = logwick::LoadEventFile(path, m_list);
  if (outcome.status != logwick::LoadStatus::Loaded)
    ShowMessage(m_main->Window(), logwick::LoadMessage(outcome.status, path), "Ошибка", MsgIcon::Exclamation);
  ShowList();
}

void StubDesk::ShowList() {
  m_selection.Reset(m_list.GetCount());
  m_main->List().SetModel(this, this);
  const CT7KEventList& l = m_list;
  using logwick::StrFormat;
  m_main->SetInfoLines({
      StrFormat("В базе %d событий", static_cast<int>(l.GetCount())),
      StrFormat("Считано %02d/%02d/%04d %02d:%02d:%02d", l.m_nReadDay, l.m_nReadMonth, l.m_nReadYear,
                l.m_nReadHour, l.m_nReadMin, l.m_nReadSec),
      StrFormat("Прибор %s (с/н %d)", PanelTypeName(l.m_nPanelType).c_str(), l.m_nSerNum),
      StrFormat("Версия v%d.%d выпущен %02d/%02d/%04d", l.m_nVerMajor, l.m_nVerMinor, l.m_nRelDay,
                l.m_nRelMonth, l.m_nRelYear),
      StrFormat("Конфигурация %s", l.ConfigNameText().c_str()),
      "Показываются все события",
  });
}

std::string StubDesk::RowText(std::size_t row) const {
  std::string line;
  logwick::AppendEventLine(line, m_list[row], m_list.m_texts);
  return line;
}

std::size_t StubDesk::CurrentRow() const {
  const std::size_t current = m_selection.Current();
  return current == logwick::RowSelection::kNone ? kNoRow : current;
}

void StubDesk::PickRow(std::size_t row, Pick how) {
  if (how == Pick::Extend) m_selection.ExtendTo(row);
  if (how == Pick::Toggle) m_selection.Toggle(row);
  if (how == Pick::Only) m_selection.Select(row);
}

void StubDesk::PickAndShow(std::size_t row) {
  if (row >= m_list.GetCount()) return;
  m_selection.Select(row);
  m_main->List().ShowRow(row);
  m_main->List().Redraw();
}

void StubDesk::FindTextChanged(const std::string& utf8) {
  if (m_index.RowCount() != m_list.GetCount()) {
    m_index.Clear();
    for (std::size_t i = 0; i < m_list.GetCount(); ++i) m_index.AddEvent(m_list[i], m_list.m_texts);
  }
  m_needle = utf8;
  m_found.Set(m_index.FindRows(m_needle), m_main->List().TopRow());
  ShowFound();
}

void StubDesk::ShowFound() {
  if (m_found.Current()) PickAndShow(m_found.CurrentRow());
  const std::size_t at = m_found.Current() ? *m_found.Current() + 1 : 0;
  m_main->SetFindCount(m_needle.empty() ? std::string()
                                        : std::to_string(at) + " из " + std::to_string(m_found.Count()));
  m_main->List().Redraw();
}

std::vector<FoundSpan> StubDesk::FoundIn(std::size_t row) const {
  std::vector<FoundSpan> spans;
  if (m_needle.empty() || !m_found.Holds(row)) return spans;
  for (const logwick::RowSearch::Span& s : m_index.FindInRow(row, m_needle))
    spans.push_back({s.start, s.length});
  return spans;
}

std::size_t StubDesk::FoundRow() const { return m_found.Current() ? m_found.CurrentRow() : kNoRow; }

void StubDesk::CopySelection() {
  std::string text;
  for (std::size_t row : m_selection.SelectedRows()) text += RowText(row) + '\n';
  CopyText(m_main->Window(), text);
}

void StubDesk::Command(MainCommand command) {
  const HWND owner = m_main->Window();
  switch (command) {
    case MainCommand::ReadFromFile:
      if (auto answer = AskFileName(
              owner,
              {false, "dat", {{"Списки событий (*.t7kev)", "*.t7kev"}, {"Все файлы (*.*)", "*.*"}}, {}}))
        Load(answer->path);
      break;
    case MainCommand::Filter:
      RunFilterDialog(owner, m_filter, [](HWND, std::string_view text) -> std::optional<std::uint32_t> {
        return static_cast<std::uint32_t>(std::strtoul(std::string(text).c_str(), nullptr, 10));
      });
      break;
    case MainCommand::Settings:
      RunSettingsDialog(owner, m_settings, logwick::ListPorts(logwick::HostSystemView()), {});
      break;
    case MainCommand::WriteText: {
      int scope = 1;
      RunTextParamDialog(owner, scope);
      break;
    }
    case MainCommand::ReadFromPanel: {
      FetchlogDlg reading([](FetchlogDlg& d) { d.ShowStatus("Открытие порта"); },
                          [&reading] { reading.End(false); });
      reading.Run(owner);
      break;
    }
    case MainCommand::Archive: {
      ArchiveDlg archive([](ArchiveDlg& d, ArchiveDlg::Act act) {
        if (act == ArchiveDlg::Act::Close) EndDialog(d.Window(), IDCANCEL);
      });
      archive.RunModal(owner, IDD_ARCHIVE);
      break;
    }
    case MainCommand::Statistics:
      if (!m_statistics) {
        m_statistics = std::make_unique<StatisticsWnd>([this](std::size_t row) { PickAndShow(row); });
        m_statistics->Create(owner, IDD_STATISTICS);
      }
      m_statistics->SetStatistics(logwick::ComputeStatistics(m_list));
      ShowWindow(m_statistics->Window(), SW_SHOW);
      break;
    case MainCommand::Integrity:
      if (!m_integrity) {
        m_integrity = std::make_unique<IntegrityWnd>([this](std::size_t row) { PickAndShow(row); });
        m_integrity->Create(owner, IDD_INTEGRITY);
      }
      m_integrity->SetFindings(logwick::CheckIntegrity(m_list));
      ShowWindow(m_integrity->Window(), SW_SHOW);
      break;
    case MainCommand::About:
      RunAboutBox(owner);
      break;
    case MainCommand::Help:
      RunHelp(owner);
      break;
    case MainCommand::Find:
      m_main->ShowFindBar(true);
      break;
    case MainCommand::FindNext:
    case MainCommand::FindPrevious:
      m_main->ShowFindBar(true);
      if (m_found.Current() && CurrentRow() != kNoRow) {
        if (command == MainCommand::FindNext) m_found.Next(CurrentRow());
        if (command == MainCommand::FindPrevious) m_found.Previous(CurrentRow());
      }
      ShowFound();
      break;
    case MainCommand::FindClose:
      m_main->ShowFindBar(false);
      m_needle.clear();
      m_found.Clear();
      m_main->List().Redraw();
      break;
    case MainCommand::Exit:
      DestroyWindow(owner);
      break;
    case MainCommand::WriteToFile:
    case MainCommand::Print:
      break;
  }
}

}  // namespace logwick::win
