// Names and state texts used inside event sentences: addressable device types
// (derived from the device's serial number), device states, beam flags, panel
// state words and loop states. All are pure functions that append UTF-8 to the
// caller's string, so that a whole list is decoded without temporary strings.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The serial-number ranges the panel tells device classes apart by: ascending,
// each ending (inclusive) where the next begins, together covering the 24-bit
// serial space. Class 13 has no designation of its own.
struct SerialClassRange {
  std::uint32_t first;
  std::uint32_t last;
  int deviceClass;
};
inline constexpr std::array<SerialClassRange, 17> kSerialClassRanges = {{
    {0, 2, 13},
    {3, 99999, 7},
    {100000, 8999999, 8},
    {9000000, 9499999, 9},
    {9500000, 9999999, 10},
    {10000000, 10999999, 13},
    {11000000, 11499999, 2},
    {11500000, 11999999, 3},
    {12000000, 12499999, 1},
    {12500000, 12999999, 0},
    {13000000, 13499999, 5},
    {13500000, 13599999, 12},
    {13600000, 13999999, 13},
    {14000000, 14499999, 4},
    {14500000, 14999999, 11},
    {15000000, 15499999, 6},
    {15500000, 16777215, 13},
}};

// Device class 0..13 of a device serial number (only its low 24 bits count).
int DeviceClassOf(std::uint32_t serial);

// Type designation of the device class, or "0x%08x" of the whole serial for
// class 13.
void AppendDeviceTypeName(std::string& out, std::uint32_t serial);

// Text of one device state, given the device's serial number and its link and
// blocked flags.
void AppendDeviceStateText(std::string& out, std::uint8_t state, std::uint32_t serial, bool link,
                           bool blocked);

// "Тревога+, Неиспр.-, ..." for bits 0-6 of a beam's flag byte.
void AppendBeamFlagsText(std::string& out, std::uint8_t flags);

// "Тревога0, Неиспр.0, Внимание0, Норма1, 0x00000008" for a panel state word.
void AppendUnitFlagsText(std::string& out, std::uint32_t word);

// Name of a loop state ("норма", "обрыв", ...; "?????" past the table).
void AppendLoopStateName(std::string& out, std::uint8_t state);
