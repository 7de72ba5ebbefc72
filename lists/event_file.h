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

// Loads the file at path (UTF-8) and, on Done only, replaces list with it.
// Others may not write the file while it is read: on Windows a file another
// program holds open for writing is a ReadError.
FileOutcome LoadEventFile(const std::string& path, CT7KEventList& list);

// The message for a load that did not end in Done: "Ошибка формата файла"
// for a refused file, the same text with "\r\n" and the path for a short one,
// "Не могу прочитать файл\r\n" and the path for a read error.
std::string LoadMessage(FileStatus status, const std::string& path);

// Stores list to path (UTF-8) atomically; the old file survives any failure.
FileOutcome StoreEventFile(const std::string& path, const CT7KEventList& list);

// What an event file can hold of a longer list (a panel's whole history): its
// header and texts with its first kMaxEvents events, the newest of a list in
// read-out order.
CT7KEventList FileableHead(const CT7KEventList& list);

}  // namespace logwick
