// The reading dialog: shows a reading session (desk/reading_session.h) — its
// step, the panel's version and clock, the event count, the event being read
// and a progress bar — with one button that stops the reading. It starts the
// session once its window is shown and ends when the session has finished;
// it never touches a list.
#pragma once

#include "app/template_dialog.h"
#include "desk/control_ids.h"
#include "desk/reading_session.h"

class CTextProgressCtrl;
class QLabel;
class QLineEdit;
class QPushButton;

class CFetchlog : public logwick::TemplateDialog {
 public:
  // Resource ids: the dialog template and its controls (their objectNames).
  enum Id : int {
    kIdDialog = IDD_READING,
    kIdStop = IDC_READING_STOP,
    kIdProgress = IDC_READING_PROGRESS,
    kIdStatus = IDC_READING_STATUS,
    kIdVersion = IDC_READING_VERSION,
    kIdCount = IDC_READING_COUNT,
    kIdEvent = IDC_READING_EVENT,
    kIdReadingLabel = IDC_READING_LABEL,
  };

  explicit CFetchlog(logwick::ReadingSession& session, QWidget* parent = nullptr);

  // 1 when the reading completed, 2 otherwise.
  int exec() override;
  // The button, Enter, Space and Esc: ask the worker to stop; the dialog
  // stays open until the worker has ended.
  void reject() override { m_session.Cancel(); }

  CTextProgressCtrl* Progress() const { return m_progress; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Draws the session's state.
  void Apply();

  logwick::ReadingSession& m_session;
  QPushButton* m_button;
  QLineEdit* m_editEvent;
  QLabel* m_labelReading;
  QLineEdit* m_editCount;
  QLineEdit* m_editVersion;
  CTextProgressCtrl* m_progress;
  QLineEdit* m_editStatus;
};
