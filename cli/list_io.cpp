#include "cli/list_io.h"

#include <ctime>
#include "cli/commands.h"

#include "lists/event_file.h"
#include "lists/recovery_file.h"

namespace logwick::cli {

std::string FileMessage(const char* text, const std::string& path, const std::string& reason) {
  std::string m = std::string(text) + ": " + path;
  if (!reason.empty()) m += " (" + reason + ")";
  return m;
}

CT7KEventList LoadListOrThrow(const std::string& path) {
  CT7KEventList list;
  const FileOutcome r = LoadEventFile(path, list);
  switch (r.status) {
    case FileStatus::Done:
      return list;
    case FileStatus::FormatRefused:
    case FileStatus::EndOfFile:
      throw CliError(FileMessage(kMsgFormatError, path), kExitFormat);
    case FileStatus::ReadError:
    case FileStatus::WriteError:  // not a load's
      throw CliError(FileMessage(kMsgCannotRead, path, r.osError), kExitCannotRead);
  }
  throw CliError(FileMessage(kMsgCannotRead, path), kExitCannotRead);
}

void StoreListOrThrow(const std::string& path, const CT7KEventList& list) {
  const FileOutcome r = StoreEventFile(path, list);
  if (!r.ok) throw CliError(FileMessage(kMsgCannotCreate, path, r.osError), kExitCannotWrite);
}

void CheckCanCreateOrThrow(const std::string& path) {
  const FileOutcome r = CheckCanCreate(path);
  if (!r.ok) throw CliError(FileMessage(kMsgCannotCreate, path, r.osError), kExitCannotWrite);
}

void StoreReadoutOrRecover(const std::string& path, const CT7KEventList& list) {
  const FileOutcome r = StoreEventFile(path, list);
  if (r.ok) return;
  const RecoveryOutcome saved = StoreRecoveryFile(list, std::time(nullptr));
  const std::string where =
      saved.ok ? "Прочитанные события сохранены в файле " + saved.path
               : FileMessage("Прочитанные события не удалось сохранить и в файле", saved.path, saved.osError);
  throw CliError(FileMessage(kMsgCannotCreate, path, r.osError) + "\n" + where, kExitCannotWrite);
}

}  // namespace logwick::cli
