// Loading and storing event files by path: what the desktop program and the
// command line both call. A load replaces the caller's list only when the
// whole file was read; a store replaces the target file only when the whole
// list was written.
#pragma once

#include <string>

#include "lists/atomic_file.h"
#include "lists/t7k_event_list.h"

namespace logwick {

// The system's messages around event files (UTF-8).
inline constexpr char kMsgFormatError[] = "Ошибка формата файла";
inline constexpr char kMsgCannotRead[] = "Не могу прочитать файл";
inline constexpr char kMsgCannotCreate[] = "Не могу создать файл";

enum class LoadStatus {
  Loaded,         // the list now holds the file
  FormatRefused,  // the list refused the file's tag, count or panel type
  EndOfFile,      // the file ended before the format said it would
  ReadError,      // the file could not be opened or read
};

struct LoadOutcome {
  LoadStatus status;
  std::string osError;  // the system's reason for a ReadError
};

// Loads the file at path (UTF-8) and, on Loaded only, replaces list with it.
LoadOutcome LoadEventFile(const std::string& path, CT7KEventList& list);

// The message for a load that did not end in Loaded: "Ошибка формата файла"
// for a refused file, the same text with "\r\n" and the path for a short one,
// "Не могу прочитать файл\r\n" and the path for a read error.
std::string LoadMessage(LoadStatus status, const std::string& path);

// Stores list to path (UTF-8) atomically; the old file survives any failure.
StoreOutcome StoreEventFile(const std::string& path, const CT7KEventList& list);

// What an event file can hold of a longer list (a panel's whole history): its
// header and texts with its first kMaxEvents events, the newest of a list in
// read-out order.
CT7KEventList FileableHead(const CT7KEventList& list);

}  // namespace logwick
