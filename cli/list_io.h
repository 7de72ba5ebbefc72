// Event files for the commands: load or store, or fail with the system's own
// message, the path and a status of its own.
#pragma once

#include <string>

#include "lists/t7k_event_list.h"

namespace logwick::cli {

// Throws CliError: "Ошибка формата файла: PATH" (kExitFormat) or
// "Не могу прочитать файл: PATH (reason)" (kExitCannotRead).
CT7KEventList LoadListOrThrow(const std::string& path);

// Throws CliError "Не могу создать файл: PATH (reason)" (kExitCannotWrite).
void StoreListOrThrow(const std::string& path, const CT7KEventList& list);

// The same error when no file could be saved as path right now (its folder
// is missing or closed, or it is write-protected): checked before a read-out.
void CheckCanCreateOrThrow(const std::string& path);

// Stores what was read from a panel. When path cannot take it after all, the
// list goes to a recovery file in the user's data folder, and the CliError
// (kExitCannotWrite) names both files.
void StoreReadoutOrRecover(const std::string& path, const CT7KEventList& list);

// "TEXT: PATH", with " (reason)" when there is one.
std::string FileMessage(const char* text, const std::string& path, const std::string& reason = {});

}  // namespace logwick::cli
