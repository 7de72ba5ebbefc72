#include "app/archive_filing.h"

#include "app/settings.h"
#include "events/strformat.h"
#include "history/archive_location.h"
#include "history/history_archive.h"

namespace logwick {

namespace {

const QString kNotFiled = "Чтение не сохранено в архиве:\n";

}  // namespace

bool ArchivesEveryReading() { return ReadProfileInt(kSettingArchiveReadings, 1) != 0; }

void SetArchivesEveryReading(bool on) { WriteProfileInt(kSettingArchiveReadings, on ? 1 : 0); }

QString FileReading(const ReadoutResult& result, unsigned portNumber) {
  if (!result.list || !ArchivesEveryReading()) return {};
  const std::string path = ResolveArchivePath({});
  if (path.empty()) return kNotFiled + "не известна папка для архива (задайте переменную LOGWICK_ARCHIVE)";
  const ReadoutOrigin origin{StrFormat("COM%u", portNumber), result.status != ReadoutStatus::Ok};
  try {
    HistoryArchive::Open(path, true)->File(*result.list, origin);
    return {};
  } catch (const std::exception& e) {  // ArchiveError names the file
    return kNotFiled + QString::fromUtf8(e.what());
  }
}

}  // namespace logwick
