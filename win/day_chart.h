// The statistics window's chart (control 1302 of template 141): a bar per
// calendar day, stacked by kind of event, with the count scale on the left,
// the days below when they fit and the kinds' legend at the bottom, drawn with
// GDI. A click on a day's bar tells the owner which day.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "lists/event_statistics.h"

namespace logwick::win {

// One bar: a calendar day and its events by kind (none for a day without).
struct ChartBar {
  std::string label;  // "DD/MM/YYYY"
  logwick::KindCounts kinds{};
};

class DayChart {
 public:
  static void Register(HINSTANCE instance);
  static DayChart* From(HWND window);

  // The days, oldest first; days without events stand empty.
  void SetDays(std::vector<ChartBar> days);
  std::size_t DayCount() const { return m_days.size(); }
  // The day under x pixels of the client area, or -1.
  int DayAt(int x) const;

  // Called with the chart day clicked.
  std::function<void(int day)> onChosen;

 private:
  explicit DayChart(HWND window) : m_window(window) {}
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Paint(HDC dc, const RECT& client) const;
  RECT PlotArea() const;

  HWND m_window;
  std::vector<ChartBar> m_days;
  std::uint32_t m_scale = 1;  // the count at the top of the plot
};

}  // namespace logwick::win
