// A read-out view for the harnesses that use the read-out: it shows nothing and
// counts warnings, each of which must have a message.
#pragma once

#include "fuzz/fuzz_input.h"
#include "link/readout_view.h"

namespace logwick::fuzz {

class QuietView : public IReadoutView {
 public:
  void Warning(ReadoutStatus status) override {
    if (ReadoutMessage(status).empty()) Fail("a warning without a message");
    ++warnings;
  }
  void StepBegan(ReadoutStep, std::uint32_t) override {}
  void EventsBegan(const PanelLogSummary&) override {}
  void ProgressRange(int) override {}
  void ProgressAt(int) override {}
  void EventRead(int, const CT7KEvent&) override {}
  int warnings = 0;
};

}  // namespace logwick::fuzz
