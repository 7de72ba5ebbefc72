// Which events of a list a report or a summary takes.
#pragma once

#include <functional>

#include "events/t7k_event.h"

namespace logwick {

// An empty predicate admits every event.
using EventPredicate = std::function<bool(const CT7KEvent&)>;

}  // namespace logwick
