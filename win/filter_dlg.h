// The filter dialog (template 130) over a filter: loads its controls from the
// filter and, on OK, reads them back into it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "lists/t7k_ev_filter.h"

namespace logwick::win {

// Reads a number edit's text: the number, or none after the refusal has been
// shown (the dialog then moves the focus to that edit and stays open). The
// desktop model's check.
using NumberCheck = std::function<std::optional<std::uint32_t>(HWND dialog, std::string_view text)>;

// true on OK, filter then holding the edited values.
bool RunFilterDialog(HWND owner, CT7KEvFilter& filter, NumberCheck check);

}  // namespace logwick::win
