// Ctrl-C as the cancel button of a running job: the first one sets the flag
// that the job looks at, a second one ends the program at once with
// kExitCancelled. One at a time, for as long as the object lives.
#pragma once

#include <atomic>

namespace logwick::cli {

class InterruptCancels {
 public:
  InterruptCancels();
  ~InterruptCancels();
  InterruptCancels(const InterruptCancels&) = delete;
  InterruptCancels& operator=(const InterruptCancels&) = delete;

  const std::atomic<bool>& Flag() const;
  bool Cancelled() const { return Flag(); }

 private:
  void (*m_previous)(int);
};

}  // namespace logwick::cli
