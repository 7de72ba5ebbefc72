#include "win/archive_dlg.h"

#include <commctrl.h>

#include "win/report_table.h"
#include "win/resource_ids.h"

namespace logwick::win {

void ArchiveDlg::OnInit() {
  SetUpTable(Item(IDC_ARCHIVE_TABLE), {{"Прибор", 70},
                                       {"С/н", 40, true},
                                       {"Конфигурация", 80},
                                       {"Событий", 40, true},
                                       {"Чтений", 34, true},
                                       {"Первое событие", 66},
                                       {"Последнее событие", 66},
                                       {"Последнее чтение", 66},
                                       {"Пропусков", 42, true}});
  SendMessageW(Item(IDC_ARCHIVE_PROGRESS), PBM_SETRANGE32, 0, 1);
}

bool ArchiveDlg::OnCommand(WORD id, WORD code) {
  const struct {
    WORD id;
    WORD code;
    Act act;
  } acts[] = {
      {IDC_ARCHIVE_NARROW, EN_CHANGE, Act::Narrow},
      {IDC_ARCHIVE_OPEN, BN_CLICKED, Act::Open},
      {IDOK, BN_CLICKED, Act::Open},
      {IDC_ARCHIVE_SYNC, BN_CLICKED, Act::Sync},
      {IDC_ARCHIVE_STOP, BN_CLICKED, Act::Stop},
      {IDC_ARCHIVE_READINGS, BN_CLICKED, Act::ArchiveReadings},
      {IDC_ARCHIVE_CLOSE, BN_CLICKED, Act::Close},
      {IDCANCEL, BN_CLICKED, Act::Close},
  };
  for (const auto& a : acts)
    if (a.id == id && a.code == code) {
      if (m_act) m_act(*this, a.act);
      return true;
    }
  return false;
}

void ArchiveDlg::SetPath(const std::string& line) const { SetText(IDC_ARCHIVE_PATH, line); }
void ArchiveDlg::SetRows(const std::vector<Cells>& rows, int selected) const {
  const HWND table = Item(IDC_ARCHIVE_TABLE);
  FillTable(table, rows);
  if (selected < 0) return;
  ListView_SetItemState(table, selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(table, selected, FALSE);
}

std::string ArchiveDlg::NarrowText() const { return Text(IDC_ARCHIVE_NARROW); }
std::string ArchiveDlg::ServerText() const { return Text(IDC_ARCHIVE_SERVER); }
void ArchiveDlg::SetServerText(const std::string& url) const { SetText(IDC_ARCHIVE_SERVER, url); }
bool ArchiveDlg::ArchivesReadings() const { return Checked(IDC_ARCHIVE_READINGS); }
void ArchiveDlg::SetArchivesReadings(bool on) const { Check(IDC_ARCHIVE_READINGS, on); }

void ArchiveDlg::SetSyncing(bool on) const {
  for (int id : {IDC_ARCHIVE_SERVER, IDC_ARCHIVE_SYNC, IDC_ARCHIVE_OPEN}) Enable(id, !on);
  EnableStop(on);
  if (!on) SetProgress(0, 1);
}

void ArchiveDlg::EnableStop(bool on) const { Enable(IDC_ARCHIVE_STOP, on); }

void ArchiveDlg::SetProgress(std::size_t done, std::size_t total) const {
  const HWND bar = Item(IDC_ARCHIVE_PROGRESS);
  const bool busy = total == 0;
  const LONG style = GetWindowLongW(bar, GWL_STYLE);
  SetWindowLongW(bar, GWL_STYLE, busy ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
  SendMessageW(bar, PBM_SETMARQUEE, busy, 0);
  if (busy) return;
  SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
  SendMessageW(bar, PBM_SETPOS, done, 0);
}

bool ArchiveDlg::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
  if (message != WM_NOTIFY) return false;
  const auto* n = reinterpret_cast<const NMLISTVIEW*>(lParam);
  if (n->hdr.idFrom != IDC_ARCHIVE_TABLE) return false;
  const Act act = n->hdr.code == LVN_COLUMNCLICK ? Act::Sort : Act::Open;
  if (n->hdr.code != LVN_COLUMNCLICK && n->hdr.code != NM_DBLCLK) return false;
  if (act == Act::Sort) m_sortColumn = n->iSubItem;
  if (m_act && (act == Act::Sort || n->iItem >= 0)) m_act(*this, act);
  result = 0;
  return true;
}
void ArchiveDlg::ShowStatus(const std::string& text) const { SetText(IDC_ARCHIVE_STATUS, text); }
int ArchiveDlg::SelectedRow() const {
  return static_cast<int>(
      SendMessageW(Item(IDC_ARCHIVE_TABLE), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

}  // namespace logwick::win
