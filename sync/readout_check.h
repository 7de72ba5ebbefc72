// What a read-out from elsewhere must be before it is filed: a valid event
// file (a known panel type, at most 100000 events, texts that convert to
// Windows-1251 and back unchanged) whose bytes have the SHA-256 it came with,
// the one identity of a read-out.
#pragma once

#include <string>

#include "lists/list_digest.h"

namespace logwick {

// Why the read-out cannot be filed as the one with this SHA-256, in a
// Russian phrase; empty when it can.
std::string ReadoutProblem(const CT7KEventList& list, const Sha256& sha);
// The problem of a read-out whose bytes do not have its SHA-256.
extern const char kShaMismatch[];

}  // namespace logwick
