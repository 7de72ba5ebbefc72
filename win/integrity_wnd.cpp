#include "win/integrity_wnd.h"

#include <commctrl.h>

#include "desk/control_ids.h"
#include "desk/window_texts.h"
#include "win/report_table.h"

namespace logwick::win {

void IntegrityWnd::OnInit() {
  SetUpTable(Item(IDC_INTEGRITY_TABLE), {{"Строка", 40, true}, {"Время", 80}, {"Замечание", 190}});
}

void IntegrityWnd::SetFindings(const std::vector<logwick::Finding>& findings) {
  m_count = findings.size();
  SetText(IDC_INTEGRITY_COUNT, logwick::FindingsCountText(findings.size()));
  std::vector<Cells> rows;
  rows.reserve(findings.size());
  for (const logwick::Finding& f : findings) rows.push_back(logwick::FindingCells(f));
  FillTable(Item(IDC_INTEGRITY_TABLE), rows);
}

bool IntegrityWnd::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
  if (message != WM_NOTIFY) return false;
  // A finding chosen by a click (also on the one chosen already) or by the keys.
  const auto* n = reinterpret_cast<const NMLISTVIEW*>(lParam);
  if (n->hdr.idFrom != IDC_INTEGRITY_TABLE) return false;
  const bool chosen = n->hdr.code == NM_CLICK || n->hdr.code == LVN_ITEMACTIVATE ||
                      (n->hdr.code == LVN_ITEMCHANGED && (n->uNewState & ~n->uOldState & LVIS_SELECTED));
  if (!chosen) return false;
  const int item =
      n->hdr.code == LVN_ITEMCHANGED ? n->iItem : reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem;
  if (item >= 0 && static_cast<std::size_t>(item) < m_count && m_chosen)
    m_chosen(static_cast<std::size_t>(item));
  result = 0;
  return true;
}

}  // namespace logwick::win
