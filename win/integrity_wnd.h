// The integrity window (template 142, modeless): every finding of the check of
// the whole log, by row, with its time and what it is. A click on a finding
// names it to the owner.
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
  // chosen: the index of the finding clicked.
  explicit IntegrityWnd(std::function<void(std::size_t finding)> chosen) : m_chosen(std::move(chosen)) {}

  void SetFindings(const std::vector<logwick::Finding>& findings);

 private:
  void OnInit() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

  std::function<void(std::size_t)> m_chosen;
  std::size_t m_count = 0;
};

}  // namespace logwick::win
