// The reading dialog's progress bar (control 1000) painting its percentage:
// it takes over a progress-bar control of a template and answers the
// progress-bar messages itself. The filled part is drawn in the bar colour,
// the rest in the background colour, and, on a horizontal bar, the text (the
// percentage, or a text set with WM_SETTEXT) centred over the whole bar: over
// the filled part in the background colour, over the rest in the bar colour,
// so that it stays readable as the bar passes under it. Painting goes through
// an off-screen bitmap; a position change repaints only when the filled part
// grows or shrinks by a whole pixel.
#pragma once

#include <windows.h>

namespace logwick::win {

// Private messages: the text colour (lParam, CLR_DEFAULT for the other
// part's colour) and whether text is shown (wParam). Each returns the old value.
inline constexpr UINT kMsgSetTextColour = WM_USER + 100;
inline constexpr UINT kMsgShowText = WM_USER + 101;

// Takes over the progress bar; it keeps its own state until it is destroyed.
void TakeOverProgressBar(HWND progressBar);

// Paints done by the taken-over bar since it was taken over (tests count repaints).
int ProgressPaintCount(HWND progressBar);

}  // namespace logwick::win
