// The find bar below the event list (Ctrl+F): draws the model's find state
// (the text looked for, "N из M") and forwards typing, Enter, Shift+Enter,
// Esc and its buttons to the model, which marks the rows and moves the
// selection.
#pragma once

#include <QWidget>

namespace logwick {
class MainWindowModel;
}
class QLabel;
class QLineEdit;

class CFindBar : public QWidget {
 public:
  CFindBar(logwick::MainWindowModel& model, QWidget* parent);

  // Shows the bar with its text selected for typing over.
  void Open();
  // Redraws the count from the model.
  void ShowCount();

  QLineEdit* Edit() const { return m_edit; }
  QString CountText() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  logwick::MainWindowModel& m_model;
  QLineEdit* m_edit;
  QLabel* m_count;
};
