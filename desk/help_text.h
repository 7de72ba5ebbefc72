// The program's help ("Справка", F1): a title and sections, each a heading
// and plain-text paragraphs, for every face to lay out its own way.
#pragma once

#include <string>
#include <vector>

namespace logwick {

struct HelpSection {
  std::string heading;                  // empty for the introduction
  std::vector<std::string> paragraphs;  // UTF-8, plain text
};

inline constexpr char kHelpCaption[] = "Справка";
inline constexpr char kHelpTitle[] = "Просмотр событий прибора ТАРВЕЛ-7К";

const std::vector<HelpSection>& HelpSections();

}  // namespace logwick
