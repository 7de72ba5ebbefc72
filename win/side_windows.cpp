#include "win/side_windows.h"

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

namespace {

LRESULT CALLBACK ChartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(window, &ps);
    FillRect(dc, &ps.rcPaint, GetSysColorBrush(COLOR_WINDOW));
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void StatisticsWnd::Register(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ChartProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_HAND);
  wc.lpszClassName = L"" LOGWICK_DAY_CHART_CLASS;
  RegisterClassW(&wc);
}

void StatisticsWnd::OnInit() {
  SetUpTable(Item(IDC_STATS_BEAMS), {{"Луч", 60}, {"Событий", 60, true}});
  SetUpTable(Item(IDC_STATS_DEVICES), {{"Устройство", 60}, {"Событий", 60, true}});
}

void StatisticsWnd::SetSummary(const std::string& text) const { SetText(IDC_STATS_SUMMARY, text); }

void StatisticsWnd::SetTops(const std::vector<Cells>& beams, const std::vector<Cells>& devices) const {
  FillTable(Item(IDC_STATS_BEAMS), beams);
  FillTable(Item(IDC_STATS_DEVICES), devices);
}

void IntegrityWnd::OnInit() {
  SetUpTable(Item(IDC_INTEGRITY_TABLE), {{"Строка", 40, true}, {"Время", 80}, {"Замечание", 190}});
}

void IntegrityWnd::SetFindings(const std::string& countLine, const std::vector<Cells>& rows) const {
  SetText(IDC_INTEGRITY_COUNT, countLine);
  FillTable(Item(IDC_INTEGRITY_TABLE), rows);
}

bool IntegrityWnd::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
  if (message != WM_NOTIFY) return false;
  const auto* n = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
  if (n->hdr.idFrom != IDC_INTEGRITY_TABLE || (n->hdr.code != NM_CLICK && n->hdr.code != LVN_ITEMACTIVATE))
    return false;
  if (n->iItem >= 0 && m_chosen) m_chosen(n->iItem);
  result = 0;
  return true;
}

}  // namespace logwick::win
