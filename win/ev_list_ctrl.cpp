#include "win/ev_list_ctrl.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "events/codec.h"
#include "win/offscreen_paint.h"
#include "win/window_classes.h"

namespace logwick::win {

namespace {

constexpr wchar_t kClassName[] = L"" LOGWICK_EVENT_LIST_CLASS;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX;
// Behind found text: every place found, and those of the row the find bar is at.
constexpr COLORREF kFoundColour = RGB(255, 226, 90);
constexpr COLORREF kCurrentFoundColour = RGB(255, 150, 40);

// A warm band over the window colour, light or dark scheme alike.
COLORREF GapMarkBand() {
  const COLORREF base = GetSysColor(COLOR_WINDOW);
  auto mix = [](int b, int warm) { return (b * 70 + warm * 30) / 100; };
  return RGB(mix(GetRValue(base), 255), mix(GetGValue(base), 176), mix(GetBValue(base), 32));
}

LONGLONG Counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

LONGLONG MicrosecondsSince(LONGLONG start) {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return (Counter() - start) * 1000000 / f.QuadPart;
}

LONGLONG MillisecondsSinceProcessStart() {
  FILETIME created, unused1, unused2, unused3, now;
  GetProcessTimes(GetCurrentProcess(), &created, &unused1, &unused2, &unused3);
  GetSystemTimePreciseAsFileTime(&now);
  auto ticks = [](const FILETIME& t) {
    return (static_cast<LONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return (ticks(now) - ticks(created)) / 10000;
}

LONGLONG g_entryMs = -1;

struct Line {
  std::size_t start, length;
};

// Word-wrapped lines as DT_WORDBREAK breaks them: at the last blank that
// fits, a word wider than the width standing alone.
std::vector<Line> WrapLines(HDC dc, const std::wstring& text, int width) {
  std::vector<Line> lines;
  const std::size_t n = text.size();
  for (std::size_t pos = 0; pos < n;) {
    int fit = 0;
    SIZE size;
    GetTextExtentExPointW(dc, text.c_str() + pos, static_cast<int>(n - pos), width, &fit, nullptr, &size);
    if (static_cast<std::size_t>(fit) >= n - pos) {
      lines.push_back({pos, n - pos});
      break;
    }
    std::size_t cut = pos + static_cast<std::size_t>(fit);
    while (cut > pos && text[cut] != L' ') --cut;
    if (cut == pos) cut = std::min(text.find(L' ', pos + static_cast<std::size_t>(fit)), n);
    lines.push_back({pos, cut - pos});
    pos = text.find_first_not_of(L' ', cut);
    if (pos == std::wstring::npos) break;
  }
  return lines;
}

int TextWidth(HDC dc, const wchar_t* text, std::size_t length) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text, static_cast<int>(length), &size);
  return size.cx;
}

// The text wrapped as DrawText wraps it, each found span on its colour.
void DrawMarkedText(HDC dc, const RECT& r, const std::wstring& text,
                    const std::vector<RowSearch::Span>& spans, COLORREF marker, bool centred,
                    int lineHeight) {
  int y = r.top;
  for (const Line& line : WrapLines(dc, text, r.right - r.left)) {
    const wchar_t* at = text.c_str() + line.start;
    const int x = centred ? r.left + (r.right - r.left - TextWidth(dc, at, line.length)) / 2 : r.left;
    for (const RowSearch::Span& s : spans) {
      const std::size_t from = std::max<std::size_t>(s.start, line.start);
      const std::size_t to = std::min<std::size_t>(s.start + s.length, line.start + line.length);
      if (from >= to) continue;
      const RECT band{x + TextWidth(dc, at, from - line.start), y, x + TextWidth(dc, at, to - line.start),
                      y + lineHeight};
      SetBkColor(dc, marker);
      ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &band, nullptr, 0, nullptr);
    }
    TextOutW(dc, x, y, at, static_cast<int>(line.length));
    y += lineHeight;
  }
}

}  // namespace

void EvListCtrl::Register(HINSTANCE instance) {
  WNDCLASSEXW wc{sizeof wc};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
}

void EvListCtrl::NoteProgramEntry() { g_entryMs = MillisecondsSinceProcessStart(); }

EvListCtrl* EvListCtrl::From(HWND window) {
  wchar_t name[64];
  if (!GetClassNameW(window, name, 64) || std::wcscmp(name, kClassName) != 0) return nullptr;
  return reinterpret_cast<EvListCtrl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

EvListCtrl::EvListCtrl(HWND window)
    : m_window(window),
      m_measureDc(CreateCompatibleDC(nullptr)),
      m_measure([this](std::size_t row) { return Measure(row); }) {
  SetFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

EvListCtrl::~EvListCtrl() { DeleteDC(m_measureDc); }

LRESULT CALLBACK EvListCtrl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<EvListCtrl*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = new EvListCtrl(window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  const LRESULT result = self->Handle(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete self;
  }
  return result;
}

void EvListCtrl::SetRows(IEventRows* rows) {
  m_rows = rows;
  RowsChanged();
}

void EvListCtrl::RowsChanged() {
  m_heights.Reset(Count());
  m_top = 0;
  UpdateScrollBar();
  Redraw();
}

std::wstring EvListCtrl::Text(std::size_t row) const { return logwick::Utf8ToWide(m_rows->RowText(row)); }

int EvListCtrl::Measure(std::size_t row) const {
  const std::wstring text = Text(row);
  RECT r{0, 0, 0, 0};
  GetClientRect(m_window, &r);
  r.bottom = 0;
  DrawTextW(m_measureDc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | kTextFormat);
  return static_cast<int>(r.bottom - r.top) + m_fontHeight / 8 + 1;
}

int EvListCtrl::ViewHeight() const {
  RECT r;
  GetClientRect(m_window, &r);
  return r.bottom - r.top;
}

void EvListCtrl::SetFont(HFONT font) {
  m_font = font;
  SelectObject(m_measureDc, font);
  TEXTMETRICW tm;
  GetTextMetricsW(m_measureDc, &tm);
  m_fontHeight = tm.tmHeight;
  m_heights.Reset(Count());
}

void EvListCtrl::SetTop(std::size_t top) {
  top = std::min(top, m_heights.LastTop(ViewHeight(), m_measure));
  if (top == m_top) return;
  m_top = top;
  UpdateScrollBar();
  Redraw();
}

void EvListCtrl::UpdateScrollBar() {
  const int view = ViewHeight();
  const std::size_t last = m_heights.LastTop(view, m_measure);
  m_top = std::min(m_top, last);
  const std::size_t page = std::max<std::size_t>(m_heights.RowsInView(m_top, view, m_measure), 1);
  SCROLLINFO si{sizeof si, SIF_ALL | SIF_DISABLENOSCROLL};
  si.nMax = static_cast<int>(Count() > 0 ? last + page - 1 : 0);
  si.nPage = static_cast<UINT>(page);
  si.nPos = static_cast<int>(m_top);
  SetScrollInfo(m_window, SB_VERT, &si, TRUE);
}

void EvListCtrl::ShowRow(std::size_t row, ScrollTo how) {
  if (row >= Count()) return;
  const int view = ViewHeight();
  // Hidden: not every line of it inside the view.
  const bool hidden = row < m_top || m_heights.TopShowing(m_top, row, view, m_measure) != m_top;
  if (how == ScrollTo::Top || (how == ScrollTo::TopIfHidden && hidden))
    SetTop(row);
  else
    SetTop(m_heights.TopShowing(m_top, row, view, m_measure));
}

void EvListCtrl::Pick(std::size_t row, IEventRows::SelectAct act) {
  if (!m_rows || row >= Count()) return;
  // The model selects, brings the row into view and has the list redrawn.
  m_rows->Select(row, act);
  SendMessageW(GetParent(m_window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(m_window), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(m_window));
}

void EvListCtrl::DrawRow(HDC dc, const RECT& r, std::size_t row) const {
  const bool selected = m_rows->IsSelected(row);
  const bool mark = m_rows->IsGapMarkRow(row);
  RECT body = r;
  body.bottom -= 1;
  if (selected)
    FillRect(dc, &body, GetSysColorBrush(COLOR_HIGHLIGHT));
  else if (mark) {
    SetBkColor(dc, GapMarkBand());
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  }
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const std::wstring text = Text(row);
  const std::vector<RowSearch::Span> spans = m_rows->FoundSpans(row);
  RECT textRect = r;
  if (spans.empty()) {
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
              kTextFormat | (mark ? DT_CENTER : 0));
    return;
  }
  const COLORREF marker = row == m_rows->FoundRow() ? kCurrentFoundColour : kFoundColour;
  DrawMarkedText(dc, textRect, text, spans, marker, mark, m_fontHeight);
}

void EvListCtrl::OnPaint() {
  std::size_t count = 0;
  {
    // Off-screen first, then one copy: no flicker while rows scroll by.
    const OffscreenPaint paint(m_window);
    count = PaintRows(paint.Dc(), paint.Client());
  }
  if (m_firstPaintMs < 0 && count > 0) m_firstPaintMs = MillisecondsSinceProcessStart();
  if (m_resizeStarted != 0) {
    m_resizeUs = MicrosecondsSince(m_resizeStarted);
    m_resizeStarted = 0;
  }
}

std::size_t EvListCtrl::PaintRows(HDC dc, const RECT& client) {
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  const HGDIOBJ oldFont = SelectObject(dc, m_font);
  SetBkMode(dc, TRANSPARENT);
  const HPEN pen = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_GRAYTEXT));
  const HGDIOBJ oldPen = SelectObject(dc, pen);
  const std::size_t count = Count();
  int y = 0;
  for (std::size_t row = m_top; row < count && y < client.bottom; ++row) {
    const int h = m_heights.Height(row, m_measure);
    const RECT r{0, y, client.right, y + h};
    DrawRow(dc, r, row);
    MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    LineTo(dc, r.right, r.bottom - 1);
    y += h;
  }
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  SelectObject(dc, oldFont);
  return count;
}

void EvListCtrl::OnSize() {
  m_resizeStarted = Counter();
  RECT r;
  GetClientRect(m_window, &r);
  m_heights.SetWidth(r.right - r.left);
  UpdateScrollBar();
  Redraw();
}

void EvListCtrl::OnVScroll(WORD code) {
  const std::size_t page = std::max<std::size_t>(m_heights.RowsInView(m_top, ViewHeight(), m_measure), 2) - 1;
  SCROLLINFO si{sizeof si, SIF_TRACKPOS};
  GetScrollInfo(m_window, SB_VERT, &si);
  const std::size_t track = static_cast<std::size_t>(std::max(si.nTrackPos, 0));
  const struct {
    WORD code;
    std::size_t top;
  } moves[] = {
      {SB_LINEUP, m_top > 0 ? m_top - 1 : 0},
      {SB_LINEDOWN, m_top + 1},
      {SB_PAGEUP, m_top > page ? m_top - page : 0},
      {SB_PAGEDOWN, m_top + page},
      {SB_THUMBTRACK, track},
      {SB_THUMBPOSITION, track},
      {SB_TOP, 0},
      {SB_BOTTOM, Count()},
  };
  for (const auto& m : moves)
    if (m.code == code) SetTop(m.top);
}

bool EvListCtrl::OnKey(WPARAM key) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  if (ctrl && key == 'A' && m_rows) {
    m_rows->SelectAll();
    return true;
  }
  if (ctrl && key == 'C' && m_rows) {
    m_rows->CopySelection();
    return true;
  }
  const long long page = static_cast<long long>(
      std::max<std::size_t>(m_heights.RowsInView(m_top, ViewHeight(), m_measure), 2) - 1);
  const struct {
    WPARAM key;
    long long rows;
  } moves[] = {
      {VK_UP, -1},
      {VK_DOWN, 1},
      {VK_PRIOR, -page},
      {VK_NEXT, page},
      {VK_HOME, LLONG_MIN / 2},
      {VK_END, LLONG_MAX / 2},
  };
  for (const auto& m : moves) {
    if (m.key != key) continue;
    const std::size_t count = Count();
    if (count == 0) return true;
    const std::size_t current = m_rows->CurrentRow();
    // Without a current row the first key lands on the top row.
    const long long from = static_cast<long long>(current < count ? current : m_top);
    const long long step = current < count || (m.rows != 1 && m.rows != -1) ? m.rows : 0;
    const long long to = std::clamp(from + step, 0LL, static_cast<long long>(count) - 1);
    Pick(static_cast<std::size_t>(to), shift ? IEventRows::SelectAct::Extend : IEventRows::SelectAct::Only);
    return true;
  }
  return false;
}

void EvListCtrl::OnMouse(UINT message, WPARAM keys, int y) {
  const std::size_t count = Count();
  if (message == WM_LBUTTONUP) {
    ReleaseCapture();
    return;
  }
  if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
    SetFocus(m_window);
    const std::size_t row = m_heights.RowAt(m_top, y, m_measure);
    if (row >= count) return;
    SetCapture(m_window);
    const auto how = (keys & MK_SHIFT)     ? IEventRows::SelectAct::Extend
                     : (keys & MK_CONTROL) ? IEventRows::SelectAct::Toggle
                                           : IEventRows::SelectAct::Only;
    Pick(row, how);
    return;
  }
  // Dragging extends the selection; past either edge it scrolls a row a move.
  if (GetCapture() != m_window || !(keys & MK_LBUTTON) || (keys & MK_CONTROL) || count == 0) return;
  const std::size_t current = m_rows->CurrentRow();
  std::size_t row = m_heights.RowAt(m_top, y, m_measure);
  if (y < 0) row = current > 0 && current < count ? current - 1 : 0;
  if (row >= count) row = std::min(current + 1, count - 1);
  if (row != current) Pick(row, IEventRows::SelectAct::Extend);
}

LRESULT EvListCtrl::OnListBoxRead(UINT message, WPARAM wParam, LPARAM lParam) {
  const std::size_t count = Count();
  const std::size_t row = static_cast<std::size_t>(wParam);
  switch (message) {
    case LB_GETCOUNT:
      return static_cast<LRESULT>(count);
    case LB_GETTOPINDEX:
      return static_cast<LRESULT>(m_top);
    case LB_SETTOPINDEX:
      if (row >= count) return LB_ERR;
      SetTop(row);
      return 0;
    case LB_GETCURSEL: {
      const std::size_t current = m_rows ? m_rows->CurrentRow() : IEventRows::kNoRow;
      return current < count ? static_cast<LRESULT>(current) : LB_ERR;
    }
    case LB_SETCURSEL:
      if (row >= count) return LB_ERR;
      Pick(row, IEventRows::SelectAct::Only);
      return static_cast<LRESULT>(row);
    case LB_GETSEL:
      return row < count ? (m_rows->IsSelected(row) ? 1 : 0) : LB_ERR;
    case LB_GETITEMHEIGHT:
      return row < count ? m_heights.Height(row, m_measure) : LB_ERR;
    case LB_GETTEXTLEN:
      return row < count ? static_cast<LRESULT>(Text(row).size()) : LB_ERR;
    case LB_GETTEXT: {
      if (row >= count || lParam == 0) return LB_ERR;
      const std::wstring text = Text(row);
      std::memcpy(reinterpret_cast<wchar_t*>(lParam), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
      return static_cast<LRESULT>(text.size());
    }
  }
  return LB_ERR;
}

LRESULT EvListCtrl::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_SIZE:
      OnSize();
      return 0;
    case WM_SETFONT:
      SetFont(reinterpret_cast<HFONT>(wParam));
      UpdateScrollBar();
      if (LOWORD(lParam)) Redraw();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(m_font);
    case WM_VSCROLL:
      OnVScroll(LOWORD(wParam));
      return 0;
    case WM_MOUSEWHEEL: {
      UINT lines = 3;
      SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
      const long long by = -static_cast<long long>(GET_WHEEL_DELTA_WPARAM(wParam)) * lines / WHEEL_DELTA;
      SetTop(static_cast<std::size_t>(std::max(static_cast<long long>(m_top) + by, 0LL)));
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      if (OnKey(wParam)) return 0;
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
      OnMouse(message, wParam, GET_Y_LPARAM(lParam));
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Redraw();
      return 0;
    case kMsgListFigure: {
      const LONGLONG figures[] = {m_firstPaintMs, static_cast<LONGLONG>(m_heights.Measurements()), m_resizeUs,
                                  g_entryMs};
      return wParam < std::size(figures) ? static_cast<LRESULT>(figures[wParam]) : -1;
    }
    case LB_GETCOUNT:
    case LB_GETTOPINDEX:
    case LB_SETTOPINDEX:
    case LB_GETCURSEL:
    case LB_SETCURSEL:
    case LB_GETSEL:
    case LB_GETITEMHEIGHT:
    case LB_GETTEXTLEN:
    case LB_GETTEXT:
      return OnListBoxRead(message, wParam, lParam);
  }
  return DefWindowProcW(m_window, message, wParam, lParam);
}

}  // namespace logwick::win
