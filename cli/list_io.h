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

// "TEXT: PATH", with " (reason)" when there is one.
std::string FileMessage(const char* text, const std::string& path, const std::string& reason = {});

}  // namespace logwick::cli
