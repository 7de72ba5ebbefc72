// A list view in report form filled from rows of UTF-8 cells: the tables of
// the archive, statistics and integrity windows.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace logwick::win {

using Cells = std::vector<std::string>;  // a row's texts, UTF-8

struct TableColumn {
  const char* title;  // UTF-8
  int width;          // in dialog units
  bool right = false;
};

void SetUpTable(HWND table, const std::vector<TableColumn>& columns);
void FillTable(HWND table, const std::vector<Cells>& rows);

}  // namespace logwick::win
