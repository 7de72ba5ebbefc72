#include "app/settings.h"

#include <QDir>
#include <QSettings>

#include "app/shell_paths.h"
#include "lists/user_folders.h"

std::uint32_t g_nSelectedSerNum = 0;
int g_bAutoSN = 1;
int g_bGazMode = 0;

namespace logwick {

namespace {

QString Key(const char* name) { return QStringLiteral("Init/") + QLatin1String(name); }

// Every access opens the store anew: values written by another process or a
// test in between are seen.
#define LOGWICK_SETTINGS(s) QSettings s(QStringLiteral("Ormet"), QStringLiteral("T29 read events"))

}  // namespace

int ReadProfileInt(const char* name, int defaultValue) {
  LOGWICK_SETTINGS(s);
  const QVariant v = s.value(Key(name));
  if (!v.isValid()) return defaultValue;
  bool ok = false;
  const int n = v.toInt(&ok);
  if (ok) return n;
  // A value above INT_MAX written by another program: keep its 32 bits.
  const uint u = v.toUInt(&ok);
  return ok ? static_cast<int>(u) : defaultValue;
}

void WriteProfileInt(const char* name, int value) {
  LOGWICK_SETTINGS(s);
  s.setValue(Key(name), value);
  s.sync();
}

QString ReadProfileString(const char* name) {
  LOGWICK_SETTINGS(s);
  return s.value(Key(name)).toString();
}

void WriteProfileString(const char* name, const QString& value) {
  LOGWICK_SETTINGS(s);
  s.setValue(Key(name), value);
  s.sync();
}

}  // namespace logwick

QString GetEventsFilesDir() {
  const std::string stored = logwick::ReadProfileString("EventsFilesDir").toStdString();
  const std::string chosen = logwick::ChooseEventsFolder(stored, logwick::DocumentsFolder());
  return QString::fromStdString(chosen);
}

void SaveEventsFilesDir(const QString& path) {
  // The folder is kept in the platform's own notation.
  const std::string native = QDir::toNativeSeparators(path).toStdString();
  const QString folder = QString::fromStdString(DirectoryOf(native));
  // Writing the store costs a file rewrite; opening file after file from one
  // folder should not pay it each time.
  LOGWICK_SETTINGS(s);
  const QVariant old = s.value(QStringLiteral("Init/EventsFilesDir"));
  if (old.isValid() && old.toString() == folder) return;
  s.setValue(QStringLiteral("Init/EventsFilesDir"), folder);
}
