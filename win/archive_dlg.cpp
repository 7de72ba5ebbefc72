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
void ArchiveDlg::SetRows(const std::vector<Cells>& rows) const { FillTable(Item(IDC_ARCHIVE_TABLE), rows); }
void ArchiveDlg::ShowStatus(const std::string& text) const { SetText(IDC_ARCHIVE_STATUS, text); }
int ArchiveDlg::SelectedRow() const {
  return static_cast<int>(
      SendMessageW(Item(IDC_ARCHIVE_TABLE), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

}  // namespace logwick::win
