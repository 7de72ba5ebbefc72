#include "win/day_chart.h"

#include <algorithm>
#include <cwchar>
#include <numeric>

#include "events/codec.h"
#include "lists/event_kinds.h"
#include "win/offscreen_paint.h"
#include "win/window_classes.h"

namespace logwick::win {

namespace {

constexpr wchar_t kClassName[] = L"" LOGWICK_DAY_CHART_CLASS;
// One colour per kind, in the kinds' order.
constexpr COLORREF kKindColours[logwick::kEventKindCount] = {
    RGB(32, 159, 223), RGB(153, 202, 83), RGB(246, 166, 37),  RGB(109, 95, 213),
    RGB(191, 89, 62),  RGB(30, 130, 110), RGB(150, 150, 150),
};
constexpr int kMargin = 6;
// More days than this are drawn without their dates: they would overlap.
constexpr std::size_t kMaxLabelledDays = 62;

// The least of 1, 2, 5 x 10^n at or above n.
std::uint32_t NiceCeiling(std::uint32_t n) {
  std::uint32_t step = 1;
  while (true) {
    for (std::uint32_t m : {1u, 2u, 5u})
      if (step * m >= n) return step * m;
    step *= 10;
  }
}

std::uint32_t Total(const ChartBar& d) { return std::accumulate(d.kinds.begin(), d.kinds.end(), 0u); }

int TextHeight(HDC dc) {
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  return tm.tmHeight;
}

HFONT FontOf(HWND window) {
  return reinterpret_cast<HFONT>(SendMessageW(GetParent(window), WM_GETFONT, 0, 0));
}

}  // namespace

void DayChart::Register(HINSTANCE instance) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_HAND);
  wc.lpszClassName = kClassName;
  RegisterClassW(&wc);
}

DayChart* DayChart::From(HWND window) {
  return reinterpret_cast<DayChart*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void DayChart::SetDays(std::vector<ChartBar> days) {
  m_days = std::move(days);
  std::uint32_t most = 1;
  for (const ChartBar& d : m_days) most = std::max(most, Total(d));
  m_scale = NiceCeiling(most);
  InvalidateRect(m_window, nullptr, FALSE);
}

RECT DayChart::PlotArea() const {
  RECT r;
  GetClientRect(m_window, &r);
  const HDC dc = GetDC(m_window);
  const HGDIOBJ old = SelectObject(dc, FontOf(m_window));
  const int line = TextHeight(dc);
  SIZE scale{}, date{};
  const std::wstring top = std::to_wstring(m_scale);
  GetTextExtentPoint32W(dc, top.c_str(), static_cast<int>(top.size()), &scale);
  GetTextExtentPoint32W(dc, L"00/00/0000", 10, &date);
  SelectObject(dc, old);
  ReleaseDC(m_window, dc);
  const bool labelled = !m_days.empty() && m_days.size() <= kMaxLabelledDays;
  // Legend at the bottom; the dates, written upwards, above it.
  return {kMargin + scale.cx + kMargin, kMargin + line / 2, r.right - kMargin,
          r.bottom - kMargin - line - kMargin - (labelled ? date.cx + kMargin : 0)};
}

int DayChart::DayAt(int x) const {
  const RECT plot = PlotArea();
  if (m_days.empty() || x < plot.left || x >= plot.right) return -1;
  return static_cast<int>(static_cast<long long>(x - plot.left) * static_cast<long long>(m_days.size()) /
                          (plot.right - plot.left));
}

void DayChart::Paint(HDC dc, const RECT& client) const {
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  const RECT plot = PlotArea();
  const int line = TextHeight(dc);
  const int height = std::max<int>(plot.bottom - plot.top, 1);
  // The scale: four steps with their counts, grid lines across the plot.
  const HPEN grid = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNFACE));
  const HGDIOBJ oldPen = SelectObject(dc, grid);
  for (int i = 0; i <= 4; ++i) {
    const int y = plot.bottom - height * i / 4;
    MoveToEx(dc, plot.left, y, nullptr);
    LineTo(dc, plot.right, y);
    const std::wstring n = std::to_wstring(m_scale / 4 * static_cast<std::uint32_t>(i));
    RECT label{kMargin, y - line / 2, plot.left - kMargin, y + line / 2 + 1};
    DrawTextW(dc, n.c_str(), static_cast<int>(n.size()), &label, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
  }
  SelectObject(dc, oldPen);
  DeleteObject(grid);
  const std::size_t n = m_days.size();
  const int width = plot.right - plot.left;
  // Bars touch when there are many; otherwise a pixel stands between them.
  auto edge = [&](std::size_t d) -> int {
    return static_cast<int>(plot.left) +
           static_cast<int>(static_cast<long long>(width) * static_cast<long long>(d) /
                            static_cast<long long>(n));
  };
  const int gap = n < 200 ? 1 : 0;
  for (std::size_t d = 0; d < n; ++d) {
    const int left = edge(d);
    const int right = std::max(left + 1, edge(d + 1) - gap);
    std::uint32_t below = 0;
    for (std::size_t k = 0; k < logwick::kEventKindCount; ++k) {
      const std::uint32_t count = m_days[d].kinds[k];
      if (count == 0) continue;
      const RECT bar{
          left, plot.bottom - static_cast<int>(static_cast<long long>(height) * (below + count) / m_scale),
          right, plot.bottom - static_cast<int>(static_cast<long long>(height) * below / m_scale)};
      SetBkColor(dc, kKindColours[k]);
      ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &bar, nullptr, 0, nullptr);
      below += count;
    }
  }
  // The dates, written upwards under their bars.
  if (n > 0 && n <= kMaxLabelledDays) {
    LOGFONTW lf{};
    GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf);
    lf.lfEscapement = lf.lfOrientation = 900;
    const HFONT upwards = CreateFontIndirectW(&lf);
    const HGDIOBJ oldFont = SelectObject(dc, upwards);
    SIZE date{};
    GetTextExtentPoint32W(dc, L"00/00/0000", 10, &date);
    for (std::size_t d = 0; d < n; ++d) {
      const std::wstring text = logwick::Utf8ToWide(m_days[d].label);
      const int centre =
          plot.left + static_cast<int>((2 * d + 1) * static_cast<std::size_t>(width) / (2 * n));
      TextOutW(dc, centre - line / 2, plot.bottom + kMargin + date.cx, text.c_str(),
               static_cast<int>(text.size()));
    }
    SelectObject(dc, oldFont);
    DeleteObject(upwards);
  }
  // The legend: a square and the name of each kind.
  int x = plot.left;
  const int y = client.bottom - kMargin - line;
  for (std::size_t k = 0; k < logwick::kEventKindCount; ++k) {
    const RECT square{x, y + 2, x + line - 4, y + line - 2};
    SetBkColor(dc, kKindColours[k]);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &square, nullptr, 0, nullptr);
    const std::wstring name = logwick::Utf8ToWide(logwick::KindName(logwick::kEventKinds[k]));
    TextOutW(dc, x + line, y, name.c_str(), static_cast<int>(name.size()));
    SIZE size{};
    GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(name.size()), &size);
    x += line + size.cx + 2 * kMargin;
  }
}

LRESULT CALLBACK DayChart::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DayChart* self = From(window);
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new DayChart(window)));
      break;
    case WM_NCDESTROY:
      delete self;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      const OffscreenPaint paint(window);
      const HGDIOBJ oldFont = SelectObject(paint.Dc(), FontOf(window));
      self->Paint(paint.Dc(), paint.Client());
      SelectObject(paint.Dc(), oldFont);
      return 0;
    }
    case WM_SIZE:
      InvalidateRect(window, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN: {
      const int day = self->DayAt(static_cast<short>(LOWORD(lParam)));
      if (day >= 0 && self->onChosen) self->onChosen(day);
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace logwick::win
