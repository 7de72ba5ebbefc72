// The panel types an event list can hold: model name shown to the user and the
// tag that marks event files of that type.
#pragma once

#include <string>
#include <string_view>

std::string PanelTypeName(int type);  // "Тарвел-7К", "Тарвел-7Л", "Тарвел-7К(Apollo)", else "???"
std::string PanelTypeTag(int type);          // "t7kev", "t7lev", "t7nev", else "???"
int PanelTypeFromTag(std::string_view tag);  // exact, case-sensitive; 0 for none
