// The reading dialog: runs the panel read-out on a worker thread and shows its
// steps, the panel's version and clock, the event count, the event being read
// and a progress bar, with one button that stops the reading.
//
// The worker never touches a widget. Its view calls only record the latest
// value of each control under a lock and, when no update is on its way yet,
// queue one call of ApplyPending on the interface thread; so the worker never
// waits for the interface, a high call rate costs one queued call per repaint,
// and closing the dialog at any moment (cancel, then join) cannot deadlock.
// Warnings are queued in order and shown by the dialog; the dialog ends only
// after the user has dismissed every one of them.
#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "app/template_dialog.h"
#include "link/readout_view.h"
#include "lists/t7k_event_list.h"

class CTextProgressCtrl;
class QLabel;
class QLineEdit;
class QPushButton;

class CFetchlog : public logwick::TemplateDialog {
 public:
  // The work of the worker thread: fill list, report to view, stop soon after
  // cancel is set. Returns 0 when every step completed.
  using Job =
      std::function<int(logwick::IReadoutView& view, const std::atomic<bool>& cancel, CT7KEventList& list)>;

  // job empty: read the panel on COM port `port` with the settings globals.
  CFetchlog(unsigned port, CT7KEventList& list, QWidget* parent = nullptr, Job job = {});
  ~CFetchlog() override;

  // 1 when the reading completed, 2 otherwise.
  int exec() override;
  // The button and Esc: ask the worker to stop; the dialog stays open until
  // the worker has ended.
  void reject() override;

  // The read-out of the panel on a port, as the default job does it.
  static Job PanelJob(unsigned port);

  CTextProgressCtrl* Progress() const { return m_progress; }
  bool CancelRequested() const { return m_cancel.load(); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  class View;
  struct Pending {
    std::optional<QString> status, version, count, eventLine, button;
    bool showLabel = false;
    std::optional<std::pair<int, int>> range;
    std::optional<int> pos;
    std::deque<QString> warnings;
    std::optional<int> result;
    bool Empty() const;
  };

  // Runs on the interface thread: moves the recorded values to the controls.
  void ApplyPending();
  // Worker side: change the record under the lock, queue one apply if none is due.
  void Post(const std::function<void(Pending&)>& change);
  void StartWorker();

  QPushButton* m_button;          // 2
  QLineEdit* m_editEvent;         // 1004
  QLabel* m_labelReading;         // 1005
  QLineEdit* m_editCount;         // 1003
  QLineEdit* m_editVersion;       // 1002
  CTextProgressCtrl* m_progress;  // 1000
  QLineEdit* m_editStatus;        // 1001
  CT7KEventList* m_list;
  unsigned m_port;
  Job m_job;

  std::atomic<bool> m_cancel{false};
  std::atomic<bool> m_started{false};
  std::thread m_worker;
  std::mutex m_lock;
  Pending m_pending;        // guarded by m_lock
  bool m_posted = false;    // guarded by m_lock: an apply is queued
  bool m_applying = false;  // interface thread only
  std::unique_ptr<View> m_view;
};
