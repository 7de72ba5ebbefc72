#include "win/text_progress_ctrl.h"

#include <commctrl.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <utility>

#include "win/offscreen_paint.h"

namespace logwick::win {

namespace {

constexpr UINT_PTR kSubclassId = 0x5450;  // 'TP'
// Where the bar keeps its state, for ProgressPaintCount.
constexpr wchar_t kStateProperty[] = L"LogwickTextProgress";

struct TextProgress {
  COLORREF textColour = CLR_DEFAULT;
  int pos = 0;
  int step = 1;
  int upper = 100;
  int lower = 0;
  std::wstring text;
  bool showText = true;
  int barWidth = -1;  // of the filled part at the last position change; -1 when not known
  COLORREF barColour = CLR_DEFAULT;
  COLORREF backColour = CLR_DEFAULT;
  UINT textFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  int paints = 0;

  double Fraction() const { return static_cast<double>(pos - lower) / static_cast<double>(upper - lower); }
};

int FilledWidth(const TextProgress& p, int width) {
  if (p.upper == p.lower) return 0;
  return static_cast<int>(p.Fraction() * width);
}

LRESULT SetPos(HWND window, TextProgress& p, int pos) {
  const int old = p.pos;
  p.pos = pos;
  RECT r;
  GetClientRect(window, &r);
  const int width = FilledWidth(p, r.right - r.left);
  if (width != p.barWidth) {
    p.barWidth = width;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
  return old;
}

void Paint(HWND window, TextProgress& p) {
  const OffscreenPaint paint(window);
  ++p.paints;
  const HDC dc = paint.Dc();
  const RECT& client = paint.Client();
  // An empty range draws the background alone.
  FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
  if (p.lower < p.upper) {
    const COLORREF bar = p.barColour == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : p.barColour;
    const COLORREF back = p.backColour == CLR_DEFAULT ? GetSysColor(COLOR_WINDOW) : p.backColour;
    const double fraction = p.Fraction();
    const bool vertical = (GetWindowLongW(window, GWL_STYLE) & PBS_VERTICAL) != 0;
    RECT filled = client, empty = client;
    if (vertical) {
      filled.top = empty.bottom = client.bottom - static_cast<int>(fraction * (client.bottom - client.top));
    } else {
      filled.right = empty.left = client.left + static_cast<int>(fraction * (client.right - client.left));
    }
    auto fill = [dc](const RECT& r, COLORREF c) {
      SetBkColor(dc, c);
      ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    };
    fill(filled, bar);
    fill(empty, back);
    if (p.showText && !vertical) {
      std::wstring text = p.text;
      if (text.empty()) text = std::to_wstring(static_cast<int>(fraction * 100)) + L"%";
      const auto font = reinterpret_cast<HFONT>(SendMessageW(GetParent(window), WM_GETFONT, 0, 0));
      const HGDIOBJ oldFont = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(dc, TRANSPARENT);
      const struct {
        const RECT& clip;
        COLORREF colour;
      } parts[] = {{filled, p.textColour == CLR_DEFAULT ? back : p.textColour},
                   {empty, p.textColour == CLR_DEFAULT ? bar : p.textColour}};
      for (const auto& part : parts) {
        const HRGN clip = CreateRectRgnIndirect(&part.clip);
        SelectClipRgn(dc, clip);
        DeleteObject(clip);
        SetTextColor(dc, part.colour);
        RECT r = client;
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, p.textFormat);
      }
      SelectClipRgn(dc, nullptr);
      SelectObject(dc, oldFont);
    }
  }
}

LRESULT Invalidating(HWND window, COLORREF& field, COLORREF value) {
  InvalidateRect(window, nullptr, TRUE);
  return static_cast<LRESULT>(std::exchange(field, value));
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
  auto& p = *reinterpret_cast<TextProgress*>(data);
  switch (message) {
    case WM_ERASEBKGND:
      return TRUE;
    case WM_PAINT:
      Paint(window, p);
      return 0;
    case WM_SIZE: {
      const LRESULT r = DefSubclassProc(window, message, wParam, lParam);
      p.barWidth = -1;
      return r;
    }
    case WM_SETTEXT: {
      const LRESULT r = DefSubclassProc(window, message, wParam, lParam);
      const wchar_t* text = lParam ? reinterpret_cast<const wchar_t*>(lParam) : L"";
      if (p.text != text) {
        p.text = text;
        InvalidateRect(window, nullptr, TRUE);
      }
      return r;
    }
    case WM_GETTEXT: {
      if (wParam == 0 || lParam == 0) return 0;
      const std::size_t n = std::min<std::size_t>(wParam - 1, p.text.size());
      std::wmemcpy(reinterpret_cast<wchar_t*>(lParam), p.text.c_str(), n);
      reinterpret_cast<wchar_t*>(lParam)[n] = L'\0';
      return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(p.text.size());
    case PBM_SETPOS:
      return SetPos(window, p, static_cast<int>(wParam));
    case PBM_DELTAPOS:
      return SetPos(window, p, p.pos + static_cast<int>(wParam));
    case PBM_STEPIT:
      return SetPos(window, p, p.pos + p.step);
    case PBM_SETSTEP:
      return std::exchange(p.step, static_cast<int>(wParam));
    case PBM_SETRANGE:
      p.lower = LOWORD(lParam);
      p.upper = HIWORD(lParam);
      return 0;
    case PBM_SETRANGE32:
      p.lower = static_cast<int>(wParam);
      p.upper = static_cast<int>(lParam);
      return 0;
    case PBM_GETRANGE:
      if (lParam) *reinterpret_cast<PBRANGE*>(lParam) = {p.lower, p.upper};
      return wParam ? p.lower : p.upper;
    case PBM_GETPOS:
      return p.pos;
    case PBM_SETBARCOLOR:
      return Invalidating(window, p.barColour, static_cast<COLORREF>(lParam));
    case PBM_SETBKCOLOR:
      return Invalidating(window, p.backColour, static_cast<COLORREF>(lParam));
    case kMsgSetTextColour:
      return Invalidating(window, p.textColour, static_cast<COLORREF>(lParam));
    case kMsgShowText: {
      const LRESULT r = DefSubclassProc(window, message, wParam, lParam);
      const bool show = wParam != 0;
      if (show != p.showText) InvalidateRect(window, nullptr, TRUE);
      p.showText = show;
      return r;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, Proc, kSubclassId);
      RemovePropW(window, kStateProperty);
      delete &p;
      return DefSubclassProc(window, message, wParam, lParam);
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void TakeOverProgressBar(HWND progressBar) {
  auto* state = new TextProgress;
  SetPropW(progressBar, kStateProperty, state);
  SetWindowSubclass(progressBar, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(state));
}

int ProgressPaintCount(HWND progressBar) {
  const auto* state = static_cast<const TextProgress*>(GetPropW(progressBar, kStateProperty));
  return state ? state->paints : 0;
}

}  // namespace logwick::win
