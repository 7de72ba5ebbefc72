#include "win/integrity_wnd.h"

#include <commctrl.h>

#include "events/packed_time.h"
#include "events/strformat.h"
#include "win/report_table.h"
#include "win/resource_ids.h"

namespace logwick::win {

void IntegrityWnd::OnInit() {
  SetUpTable(Item(IDC_INTEGRITY_TABLE), {{"Строка", 40, true}, {"Время", 80}, {"Замечание", 190}});
}

void IntegrityWnd::SetFindings(std::vector<logwick::Finding> findings) {
  m_findings = std::move(findings);
  SetText(IDC_INTEGRITY_COUNT, m_findings.empty() ? std::string("Замечаний нет")
                                                  : "Замечаний: " + std::to_string(m_findings.size()));
  std::vector<Cells> rows;
  for (const logwick::Finding& f : m_findings) {
    const PackedTimeFields t = UnpackTimeStamp(f.time);
    rows.push_back({std::to_string(f.row + 1),
                    logwick::StrFormat("%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, 2000 + t.year, t.hour,
                                       t.minute, t.second),
                    std::string(logwick::FindingTitle(f.kind))});
  }
  FillTable(Item(IDC_INTEGRITY_TABLE), rows);
}

bool IntegrityWnd::OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) {
  if (message != WM_NOTIFY) return false;
  const auto* n = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
  if (n->hdr.idFrom != IDC_INTEGRITY_TABLE || (n->hdr.code != NM_CLICK && n->hdr.code != LVN_ITEMACTIVATE))
    return false;
  if (n->iItem >= 0 && static_cast<std::size_t>(n->iItem) < m_findings.size() && m_chosen)
    m_chosen(m_findings[static_cast<std::size_t>(n->iItem)].row);
  result = 0;
  return true;
}

}  // namespace logwick::win
