// The integrity window: every finding of the check of the whole log, by row,
// with its time and what it is. A click on a finding asks the owner to go to
// its row.
#pragma once

#include <QDialog>
#include <cstddef>
#include <functional>
#include <vector>

#include "lists/integrity_check.h"

class QLabel;
class QTableWidget;

class CIntegrityWnd : public QDialog {
 public:
  explicit CIntegrityWnd(QWidget* parent);

  void SetFindings(std::vector<logwick::Finding> findings);

  QTableWidget* Table() const { return m_table; }
  // Goes to the finding's row (as a click on it).
  void ChooseFinding(int index);

  // Called with the finding's index.
  std::function<void(std::size_t finding)> onFindingChosen;

 private:
  std::vector<logwick::Finding> m_findings;
  QLabel* m_count;
  QTableWidget* m_table;
};
