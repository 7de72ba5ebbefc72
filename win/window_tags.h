// How a window is found from outside the program (tests, automation): every
// dialog carries its template number as the window property "LogwickTemplate",
// which other processes read with GetPropW. Controls are found by their ids.
#pragma once

#include <windows.h>

namespace logwick::win {

inline constexpr wchar_t kTemplateProperty[] = L"LogwickTemplate";

inline void TagTemplate(HWND window, int templateId) {
  SetPropW(window, kTemplateProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(templateId)));
}

inline int TemplateOf(HWND window) {
  return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(window, kTemplateProperty)));
}

}  // namespace logwick::win
