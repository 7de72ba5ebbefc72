// One reading from the panel behind the reading dialog: the read-out runs on
// a worker thread and its reports become the dialog's state (the step, the
// panel's version and clock, the event count, the event being read, the
// progress, the button's label); the result comes back as a value once the
// worker has ended. The dialog itself changes no list.
//
// The worker never touches a window and shares nothing with the interface
// thread but a lock-guarded record (PendingUpdates): its reports overwrite the
// record's latest values and post one delivery when none is on its way, so
// the worker never waits for the interface and closing at any moment (cancel,
// then join) cannot deadlock. Warnings are shown in order, owned by the
// reading dialog, and the session finishes only once the user has dismissed
// every one of them.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "desk/face.h"
#include "desk/pending_updates.h"
#include "link/readout.h"

namespace logwick {

class ReadingSession {
 public:
  // The work of the worker thread: read with the settings, report to view,
  // stop soon after cancel is set.
  using Job = std::function<ReadoutResult(const ReadoutSettings& settings, IReadoutView& view,
                                          const std::atomic<bool>& cancel)>;

  // What the reading dialog shows.
  struct State {
    std::string status;     // the step
    std::string version;    // the panel's version and clock
    std::string count;      // events in the panel
    std::string eventLine;  // the event being read
    bool readingLabel = false;
    std::string button = "Отмена";
    int rangeUpper = 116;  // the first range the user sees; the read-out replaces it
    int position = 0;
  };

  // job empty: the panel behind the serial port.
  ReadingSession(IDeskFace& face, const ReadoutSettings& settings, Job job = {});
  ~ReadingSession();  // cancels and waits for the worker
  ReadingSession(const ReadingSession&) = delete;
  ReadingSession& operator=(const ReadingSession&) = delete;

  // Starts the worker once the dialog's window exists. changed: the state
  // changed, draw it; finished: the reading has ended, with 1 when it
  // completed and 2 otherwise; end the dialog.
  void Start(std::function<void()> changed, std::function<void(int)> finished);
  // The button, Enter, Space, Esc: asks the worker to stop; the dialog stays
  // until the worker has ended.
  void Cancel() { m_cancel = true; }
  bool CancelRequested() const { return m_cancel.load(); }
  bool Finished() const { return m_finished; }

  const State& GetState() const { return m_state; }
  const ReadoutSettings& Settings() const { return m_settings; }
  // What the reading returned; once it has finished.
  ReadoutResult TakeResult() { return std::move(m_result); }

 private:
  class View;
  struct Pending {
    std::optional<std::string> status, version, count, eventLine;
    bool eventsBegan = false;
    std::optional<int> range, position;
    std::deque<std::string> warnings;
    std::optional<ReadoutResult> result;
    bool Empty() const;
  };

  void Deliver();

  IDeskFace& m_face;
  ReadoutSettings m_settings;
  Job m_job;
  State m_state;                     // interface thread only
  ReadoutResult m_result;            // interface thread only
  bool m_finished = false;           // interface thread only
  bool m_delivering = false;         // interface thread only: a warning box is open
  std::function<void()> m_changed;   // interface thread only
  std::function<void(int)> m_done;   // interface thread only
  std::atomic<bool> m_cancel{false};
  std::unique_ptr<View> m_view;
  PendingUpdates<Pending> m_updates;
  std::thread m_worker;  // last: joined before the rest goes
};

}  // namespace logwick
