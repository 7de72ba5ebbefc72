// The integrity window (template 143, modeless): every finding of the check of
// the whole log, by row, with its time and what it is. A click on a finding
// asks the owner to go to its row.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <vector>

#include "lists/integrity_check.h"
#include "win/dialog.h"

namespace logwick::win {

class IntegrityWnd : public Dialog {
 public:
  // chosen: the list row (from 0, the newest event) of the finding clicked.
  explicit IntegrityWnd(std::function<void(std::size_t listRow)> chosen) : m_chosen(std::move(chosen)) {}

  void SetFindings(std::vector<logwick::Finding> findings);

 private:
  void OnInit() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  std::function<void(std::size_t)> m_chosen;
  std::vector<logwick::Finding> m_findings;
};

}  // namespace logwick::win
