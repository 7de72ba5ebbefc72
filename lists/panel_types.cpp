#include "lists/panel_types.h"

#include <array>

namespace {

struct PanelType {
  const char* name;
  const char* tag;
};

// Index = panel type - 1.
constexpr std::array<PanelType, 3> kPanelTypes = {{
    {"Тарвел-7К", "t7kev"},
    {"Тарвел-7Л", "t7lev"},
    {"Тарвел-7К(Apollo)", "t7nev"},
}};

constexpr const char* kUnknown = "???";

const PanelType* Find(int type) {
  if (type < 1 || type > static_cast<int>(kPanelTypes.size())) return nullptr;
  return &kPanelTypes[static_cast<std::size_t>(type - 1)];
}

}  // namespace

std::string PanelTypeName(int type) {
  const PanelType* p = Find(type);
  return p ? p->name : kUnknown;
}

std::string PanelTypeTag(int type) {
  const PanelType* p = Find(type);
  return p ? p->tag : kUnknown;
}

int PanelTypeFromTag(std::string_view tag) {
  for (std::size_t i = 0; i < kPanelTypes.size(); ++i)
    if (tag == kPanelTypes[i].tag) return static_cast<int>(i + 1);
  return 0;
}
