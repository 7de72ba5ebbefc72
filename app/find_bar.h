// The find bar below the event list (Ctrl+F): what is typed is looked for in
// the shown rows as they read ("time sentence"), ignoring letter case and
// taking ё for е. Every place found is marked in the rows; the row found
// first at or after the top row is selected and scrolled into view; Enter or
// F3 goes to the next row found, Shift+Enter or Shift+F3 to the previous,
// wrapping round; the bar counts "N из M".
//
// The rows are indexed for searching when the bar opens, and again when the
// list is refilled while it is open.
#pragma once

#include <QWidget>
#include <functional>

#include "lists/found_rows.h"
#include "lists/row_search.h"

class CEvListBox;
class QLabel;
class QLineEdit;

class CFindBar : public QWidget {
 public:
  // Adds every row of the list, in order, to the index.
  using FillIndexFn = std::function<void(logwick::RowSearch& index)>;

  CFindBar(CEvListBox* list, FillIndexFn fillIndex, QWidget* parent);

  // Shows the bar with its text selected for typing over, and finds it again.
  void Open();
  // Hides the bar and takes the marks off the rows.
  void Close();
  // The list was refilled: what was found no longer holds.
  void RowsChanged();
  // To the next or previous row found, from the list's current row.
  void FindNext();
  void FindPrevious();

  QLineEdit* Edit() const { return m_edit; }
  // "N из M"; empty while nothing is looked for.
  QString CountText() const;
  const logwick::FoundRows& Found() const { return m_found; }

  // Called after the bar has been shown or hidden.
  std::function<void(bool shown)> onShownChanged;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Search();
  void Step(bool forward);
  // Marks the rows, selects the row the user is at and counts.
  void ShowFound();

  CEvListBox* m_list;
  FillIndexFn m_fillIndex;
  QLineEdit* m_edit;
  QLabel* m_count;
  logwick::RowSearch m_index;
  bool m_indexStale = true;
  std::string m_needle;  // UTF-8
  logwick::FoundRows m_found;
};
