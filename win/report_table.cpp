#include "win/report_table.h"

#include <commctrl.h>

#include "events/codec.h"

namespace logwick::win {

void SetUpTable(HWND table, const std::vector<TableColumn>& columns) {
  ListView_SetExtendedListViewStyle(table, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  for (std::size_t i = 0; i < columns.size(); ++i) {
    RECT units{0, 0, columns[i].width, 0};
    MapDialogRect(GetParent(table), &units);
    std::wstring title = logwick::Utf8ToWide(columns[i].title);
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    c.fmt = columns[i].right ? LVCFMT_RIGHT : LVCFMT_LEFT;
    c.cx = units.right;
    c.pszText = title.data();
    SendMessageW(table, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&c));
  }
}

void FillTable(HWND table, const std::vector<Cells>& rows) {
  SendMessageW(table, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(table);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      std::wstring text = logwick::Utf8ToWide(rows[r][c]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(r);
      item.iSubItem = static_cast<int>(c);
      item.pszText = text.data();
      SendMessageW(table, c == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, r, reinterpret_cast<LPARAM>(&item));
    }
  }
  SendMessageW(table, WM_SETREDRAW, TRUE, 0);
}

}  // namespace logwick::win
