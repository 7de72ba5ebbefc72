// A window's WM_PAINT drawn off-screen and copied in one go, so that nothing
// flickers while it is drawn: the constructor begins the paint and hands a
// memory DC as large as the client area, the destructor copies what the
// paint asked for and ends it.
#pragma once

#include <windows.h>

#include <algorithm>

namespace logwick::win {

class OffscreenPaint {
 public:
  explicit OffscreenPaint(HWND window) : m_window(window) {
    m_target = BeginPaint(window, &m_ps);
    GetClientRect(window, &m_client);
    m_dc = CreateCompatibleDC(m_target);
    m_bitmap = CreateCompatibleBitmap(m_target, std::max<LONG>(m_client.right, 1),
                                      std::max<LONG>(m_client.bottom, 1));
    m_oldBitmap = SelectObject(m_dc, m_bitmap);
  }
  ~OffscreenPaint() {
    const RECT& p = m_ps.rcPaint;
    BitBlt(m_target, p.left, p.top, p.right - p.left, p.bottom - p.top, m_dc, p.left, p.top, SRCCOPY);
    SelectObject(m_dc, m_oldBitmap);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
    EndPaint(m_window, &m_ps);
  }
  OffscreenPaint(const OffscreenPaint&) = delete;
  OffscreenPaint& operator=(const OffscreenPaint&) = delete;

  HDC Dc() const { return m_dc; }
  const RECT& Client() const { return m_client; }

 private:
  HWND m_window;
  PAINTSTRUCT m_ps{};
  HDC m_target = nullptr;
  RECT m_client{};
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_oldBitmap = nullptr;
};

}  // namespace logwick::win
