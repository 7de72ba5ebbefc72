// Placeholder: the sentence decoder.
#include "events/t7k_event.h"

void CT7KEvent::AppendText(std::string& out, const std::vector<std::string>&) const {
  out += "?? ошибка ??";
}
