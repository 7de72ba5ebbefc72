#include "win/ui_thread.h"

#include <windows.h>

#include <atomic>
#include <memory>

namespace logwick::win {

namespace {

constexpr UINT kMsgCall = WM_APP + 1;
std::atomic<HWND> g_receiver{nullptr};

LRESULT CALLBACK ReceiverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kMsgCall) {
    std::unique_ptr<std::function<void()>> call(reinterpret_cast<std::function<void()>*>(lParam));
    (*call)();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void StartInterfaceThreadCalls() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ReceiverProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LogwickCalls";
  RegisterClassW(&wc);
  g_receiver =
      CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

bool PostToInterfaceThread(std::function<void()> call) {
  auto* posted = new std::function<void()>(std::move(call));
  if (PostMessageW(g_receiver.load(), kMsgCall, 0, reinterpret_cast<LPARAM>(posted))) return true;
  delete posted;
  return false;
}

}  // namespace logwick::win
