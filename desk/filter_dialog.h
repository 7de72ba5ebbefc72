// The filter dialog's model: a working copy of the filter that the dialog's
// controls are loaded from and saved into, field by field in the order of the
// data exchange, with the checks and the message of that exchange. The
// caller gives the filter to start from and takes the edited one back only
// on OK.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "desk/control_ids.h"
#include "desk/face.h"
#include "lists/t7k_ev_filter.h"

namespace logwick {

// A local calendar day, as a date picker holds it.
struct LocalDay {
  int year = 1970, month = 1, day = 1;
  friend bool operator==(const LocalDay&, const LocalDay&) = default;
};
LocalDay LocalDayOf(std::int64_t t);
// t moved to the day, keeping its local time of day (only whole days count in
// the filter).
std::int64_t OnLocalDay(std::int64_t t, const LocalDay& day);

// What the dialog's controls hold.
struct FilterForm {
  bool period = false;
  LocalDay from, to;
  bool beams = false;
  std::string firstBeam, lastBeam;
  bool devices = false;
  std::string firstDev, lastDev;
  bool messages = false, modes = false, units = false, slaves = false;
  friend bool operator==(const FilterForm&, const FilterForm&) = default;
};

// The data exchange's own wording for a number edit that holds no number.
inline constexpr char kMsgNotANumber[] = "Введите положительное целое число.";

class FilterDialog {
 public:
  FilterDialog(IDeskFace& face, const CT7KEvFilter& filter) : m_face(face), m_filter(filter) {}

  // The controls as the working copy fills them.
  FilterForm Form() const;
  // The controls into the working copy, in the exchange order; at the first
  // edit that holds no unsigned number the message is shown and the edit's
  // id returned (the face puts the focus there), the later fields untaken.
  std::optional<int> Save(const FilterForm& form);

  // The beam edits follow the beam check box as it stands (checked or
  // indeterminate: enabled); the date pickers follow the working copy.
  static bool BeamEditsEnabled(bool beamsChecked) { return beamsChecked; }
  bool DatePickersEnabled() const { return m_filter.m_bPeriod != 0; }

  // "за период с" clicked: the whole exchange, then the pickers follow the
  // working copy. Returns what Save returns.
  std::optional<int> OnPeriodClicked(const FilterForm& form) { return Save(form); }
  // OK: true when every value was taken and the dialog may end.
  bool OnOK(const FilterForm& form, int* focusId = nullptr);

  const CT7KEvFilter& Filter() const { return m_filter; }

 private:
  IDeskFace& m_face;
  CT7KEvFilter m_filter;
};

}  // namespace logwick
