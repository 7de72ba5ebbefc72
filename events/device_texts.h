// Names and state texts used inside event sentences: addressable device types
// (derived from the device's serial number), device states, beam flags, panel
// state words and loop states. All are pure functions returning UTF-8.
//
// The Append* forms write into the caller's string; the sentence decoder uses
// them so that a whole list can be decoded without temporary strings.
#pragma once

#include <cstdint>
#include <string>

// Device class 0..13 of a device serial number (only its low 24 bits count).
int DeviceClassOf(std::uint32_t serial);

// Type designation of the device class, or "0x%08x" of the whole serial for
// class 13.
std::string DeviceTypeName(std::uint32_t serial);
void AppendDeviceTypeName(std::string& out, std::uint32_t serial);

// Text of one device state, given the device's serial number and its link and
// blocked flags.
std::string DeviceStateText(std::uint8_t state, std::uint32_t serial, bool link, bool blocked);
void AppendDeviceStateText(std::string& out, std::uint8_t state, std::uint32_t serial, bool link,
                           bool blocked);

// "Тревога+, Неиспр.-, ..." for bits 0-6 of a beam's flag byte.
std::string BeamFlagsText(std::uint8_t flags);
void AppendBeamFlagsText(std::string& out, std::uint8_t flags);

// "Тревога0, Неиспр.0, Внимание0, Норма1, 0x00000008" for a panel state word.
std::string UnitFlagsText(std::uint32_t word);
void AppendUnitFlagsText(std::string& out, std::uint32_t word);

// Name of a loop state ("норма", "обрыв", ...; "?????" past the table).
std::string LoopStateName(std::uint8_t state);
void AppendLoopStateName(std::string& out, std::uint8_t state);
