#include "win/archive_dlg.h"

#ifdef LOGWICK_WITH_ARCHIVE

#include <commctrl.h>

#include "desk/control_ids.h"
#include "win/message_box.h"
#include "win/report_table.h"

namespace logwick::win {

namespace {

using logwick::ArchiveWindowModel;

// The columns' widths in dialog units, in the model's order.
constexpr int kColumnWidths[ArchiveWindowModel::kColumnCount] = {70, 40, 80, 40, 34, 66, 66, 66, 42};

}  // namespace

ArchiveDlg::~ArchiveDlg() {
  m_model.SetChanged({});
  m_model.SetClose({});
}

bool ArchiveDlg::Run(HWND owner) { return RunModal(owner, IDD_ARCHIVE) == IDOK; }

void ArchiveDlg::OnInit() {
  std::vector<TableColumn> columns;
  for (int c = 0; c < ArchiveWindowModel::kColumnCount; ++c)
    columns.push_back({ArchiveWindowModel::kHeaders[static_cast<std::size_t>(c)], kColumnWidths[c],
                       ArchiveWindowModel::RightAligned(c)});
  SetUpTable(Item(IDC_ARCHIVE_TABLE), columns);
  Check(IDC_ARCHIVE_READINGS, m_model.ArchivesEveryReading());
  SetText(IDC_ARCHIVE_SERVER, m_model.ServerUrl());
  m_model.SetChanged([this] { Redraw(); });
  m_model.SetClose([this] { EndDialog(m_window, IDCANCEL); });
  m_model.Refresh();
  Redraw();
}

void ArchiveDlg::FillTable() {
  m_filling = true;
  std::vector<Cells> rows(m_model.RowCount());
  for (std::size_t row = 0; row < rows.size(); ++row)
    for (int c = 0; c < ArchiveWindowModel::kColumnCount; ++c) rows[row].push_back(m_model.Cell(row, c));
  const HWND table = Item(IDC_ARCHIVE_TABLE);
  win::FillTable(table, rows);
  // Each column as wide as its widest cell or its title: dates are wider in
  // most fonts than in the one the widths were set for.
  for (int c = 0; c < ArchiveWindowModel::kColumnCount; ++c) {
    ListView_SetColumnWidth(table, c, LVSCW_AUTOSIZE);
    const int cells = ListView_GetColumnWidth(table, c);
    ListView_SetColumnWidth(table, c, LVSCW_AUTOSIZE_USEHEADER);
    if (ListView_GetColumnWidth(table, c) < cells) ListView_SetColumnWidth(table, c, cells);
  }
  if (const std::optional<std::size_t> selected = m_model.Selected()) {
    const int at = static_cast<int>(*selected);
    ListView_SetItemState(table, at, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(table, at, FALSE);
  }
  m_filling = false;
}

void ArchiveDlg::Redraw() {
  const ArchiveWindowModel::State& s = m_model.GetState();
  if (m_drawnRows != s.rowsGeneration) {
    m_drawnRows = s.rowsGeneration;
    FillTable();
  }
  if (Text(IDC_ARCHIVE_PATH) != s.pathLine) SetText(IDC_ARCHIVE_PATH, s.pathLine);
  if (Text(IDC_ARCHIVE_STATUS) != s.statusLine) SetText(IDC_ARCHIVE_STATUS, s.statusLine);
  ShowWindow(Item(IDC_ARCHIVE_DETAILS), s.details.empty() ? SW_HIDE : SW_SHOWNA);
  for (int id : {IDC_ARCHIVE_SERVER, IDC_ARCHIVE_SYNC, IDC_ARCHIVE_OPEN}) Enable(id, !s.syncing);
  Enable(IDC_ARCHIVE_STOP, s.syncing && !s.stopping);
  // Busy without a count while no step counts; the bar's marquee then runs.
  const HWND bar = Item(IDC_ARCHIVE_PROGRESS);
  const bool busy = s.progressUpper == 0;
  const LONG style = GetWindowLongW(bar, GWL_STYLE);
  if (((style & PBS_MARQUEE) != 0) != busy)
    SetWindowLongW(bar, GWL_STYLE, busy ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
  SendMessageW(bar, PBM_SETMARQUEE, busy, 0);
  if (!busy) {
    SendMessageW(bar, PBM_SETRANGE32, 0, s.progressUpper);
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(s.progress), 0);
  }
}

void ArchiveDlg::Open() {
  const HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  const bool opened = m_model.OnOpen();
  SetCursor(old);
  if (opened) EndDialog(m_window, IDOK);
}

void ArchiveDlg::Close() {
  if (m_model.OnClose()) EndDialog(m_window, IDCANCEL);
}

bool ArchiveDlg::OnCommand(WORD id, WORD code) {
  switch (id) {
    case IDC_ARCHIVE_NARROW:
      if (code == EN_CHANGE) m_model.Narrow(Text(IDC_ARCHIVE_NARROW));
      return true;
    case IDOK:  // Enter: the default button
    case IDC_ARCHIVE_OPEN:
      Open();
      return true;
    case IDC_ARCHIVE_SYNC:
      m_model.OnSync(Text(IDC_ARCHIVE_SERVER));
      return true;
    case IDC_ARCHIVE_STOP:
      m_model.OnStop();
      return true;
    case IDC_ARCHIVE_READINGS:
      m_model.SetArchivesEveryReading(Checked(IDC_ARCHIVE_READINGS));
      return true;
    case IDC_ARCHIVE_DETAILS:
      ShowMessage(m_window, {m_model.GetState().details, logwick::MsgCaption::Title,
                             logwick::MsgIcon::Information, logwick::MsgOwner::Archive});
      return true;
    case IDCANCEL:  // Esc and the close box
    case IDC_ARCHIVE_CLOSE:
      Close();
      return true;
  }
  return false;
}

bool ArchiveDlg::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
  if (message != WM_NOTIFY) return false;
  const auto* n = reinterpret_cast<const NMLISTVIEW*>(lParam);
  if (n->hdr.idFrom != IDC_ARCHIVE_TABLE) return false;
  switch (n->hdr.code) {
    case LVN_COLUMNCLICK:
      // A click on the sorted column turns its order round.
      m_model.SortBy(n->iSubItem, n->iSubItem != m_model.SortColumn() || !m_model.SortAscending());
      break;
    case LVN_ITEMCHANGED:
      if (!m_filling && (n->uChanged & LVIF_STATE) && ((n->uNewState ^ n->uOldState) & LVIS_SELECTED)) {
        const int selected = ListView_GetNextItem(n->hdr.hwndFrom, -1, LVNI_SELECTED);
        m_model.Select(selected < 0 ? std::nullopt : std::optional<std::size_t>(selected));
      }
      break;
    case NM_DBLCLK:
      if (reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem >= 0) Open();
      break;
    default:
      return false;
  }
  result = 0;
  return true;
}

}  // namespace logwick::win

#endif  // LOGWICK_WITH_ARCHIVE
