// Calls posted to the interface thread: the one way a worker reaches the
// windows. A posted call runs in the interface thread's message loop (a modal
// dialog's loop too), in the order posted.
#pragma once

#include <functional>

namespace logwick::win {

// Once, on the interface thread, before anything is posted.
void StartInterfaceThreadCalls();
// From any thread; false when the interface thread is gone.
bool PostToInterfaceThread(std::function<void()> call);

}  // namespace logwick::win
