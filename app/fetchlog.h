// The reading dialog: runs the panel read-out on a worker thread and shows its
// steps, the panel's version and clock, the event count, the event being read
// and a progress bar, with one button that stops the reading. When it has
// ended, the caller takes the reading's result: the dialog itself changes no
// list.
//
// The worker never touches a widget. Its view turns each report into the
// dialog's words, records the latest value of each control under a lock and,
// when no update is on its way yet, queues one call of ApplyPending on the
// interface thread; so the worker never waits for the interface, a high call
// rate costs one queued call per repaint, and closing the dialog at any
// moment (cancel, then join) cannot deadlock. Warnings are queued in order and
// shown by the dialog; the dialog ends only after the user has dismissed every
// one of them.
#pragma once

#include <QString>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

#include "app/pending_updates.h"
#include "app/template_dialog.h"
#include "link/readout.h"

class CTextProgressCtrl;
class QLabel;
class QLineEdit;
class QPushButton;

class CFetchlog : public logwick::TemplateDialog {
 public:
  // Resource ids: the dialog template and its controls (their objectNames).
  enum Id : int {
    kIdDialog = 103,
    kIdStop = 2,
    kIdProgress = 1000,
    kIdStatus = 1001,
    kIdVersion = 1002,
    kIdCount = 1003,
    kIdEvent = 1004,
    kIdReadingLabel = 1005,
  };

  // The work of the worker thread: read with the settings, report to view,
  // stop soon after cancel is set.
  using Job =
      std::function<logwick::ReadoutResult(const logwick::ReadoutSettings& settings,
                                           logwick::IReadoutView& view, const std::atomic<bool>& cancel)>;

  // job empty: read the panel through the serial port.
  explicit CFetchlog(const logwick::ReadoutSettings& settings, QWidget* parent = nullptr, Job job = {});
  ~CFetchlog() override;

  // 1 when the reading completed, 2 otherwise.
  int exec() override;
  // The button and Esc: ask the worker to stop; the dialog stays open until
  // the worker has ended.
  void reject() override;

  // What the reading returned; call once the dialog has ended.
  logwick::ReadoutResult TakeResult() { return std::move(m_result); }

  CTextProgressCtrl* Progress() const { return m_progress; }
  bool CancelRequested() const { return m_cancel.load(); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  class View;
  struct Pending {
    std::optional<QString> status, version, count, eventLine;
    bool eventsBegan = false;
    std::optional<int> range;
    std::optional<int> pos;
    std::deque<QString> warnings;
    std::optional<logwick::ReadoutResult> result;
    bool Empty() const;
  };

  // Runs on the interface thread: moves the recorded values to the controls.
  void ApplyPending();
  // Worker side: change the record under the lock, queue one apply if none is due.
  void Post(const std::function<void(Pending&)>& change) { m_updates.Post(change); }
  void StartWorker();

  QPushButton* m_button;
  QLineEdit* m_editEvent;
  QLabel* m_labelReading;
  QLineEdit* m_editCount;
  QLineEdit* m_editVersion;
  CTextProgressCtrl* m_progress;
  QLineEdit* m_editStatus;
  logwick::ReadoutSettings m_settings;
  Job m_job;
  logwick::ReadoutResult m_result;  // interface thread only

  std::atomic<bool> m_cancel{false};
  std::atomic<bool> m_started{false};
  std::thread m_worker;
  logwick::PendingUpdates<Pending> m_updates{this, [this] { ApplyPending(); }};
  bool m_applying = false;  // interface thread only
  std::unique_ptr<View> m_view;
};
