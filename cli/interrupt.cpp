#include "cli/interrupt.h"

#include <csignal>
#include <cstdlib>

#include "cli/commands.h"

namespace logwick::cli {
namespace {

std::atomic<bool> g_cancel{false};

extern "C" void OnInterrupt(int) {
  if (g_cancel.exchange(true)) std::_Exit(kExitCancelled);
}

}  // namespace

InterruptCancels::InterruptCancels() {
  g_cancel = false;
  m_previous = std::signal(SIGINT, OnInterrupt);
}

InterruptCancels::~InterruptCancels() { std::signal(SIGINT, m_previous); }

const std::atomic<bool>& InterruptCancels::Flag() const { return g_cancel; }

}  // namespace logwick::cli
