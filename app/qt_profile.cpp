#include "app/qt_profile.h"

#include <QSettings>

namespace logwick {

namespace {

QString Key(const char* name) { return QStringLiteral("Init/") + QLatin1String(name); }

// Every access opens the store anew: values written by another process or a
// test in between are seen.
#define LOGWICK_SETTINGS(s) QSettings s(QStringLiteral("Ormet"), QStringLiteral("T29 read events"))

}  // namespace

std::optional<std::int32_t> QtProfile::ReadInt(const char* name) {
  LOGWICK_SETTINGS(s);
  const QVariant v = s.value(Key(name));
  if (!v.isValid()) return std::nullopt;
  // Integers come back as text from an ini file.
  bool ok = false;
  const int n = v.toInt(&ok);
  if (ok) return n;
  // A value above INT_MAX written by another program: keep its 32 bits.
  const uint u = v.toUInt(&ok);
  if (ok) return static_cast<std::int32_t>(u);
  return std::nullopt;
}

void QtProfile::WriteInt(const char* name, std::int32_t value) {
  LOGWICK_SETTINGS(s);
  s.setValue(Key(name), value);
  s.sync();
}

std::optional<std::string> QtProfile::ReadString(const char* name) {
  LOGWICK_SETTINGS(s);
  const QVariant v = s.value(Key(name));
  if (!v.isValid()) return std::nullopt;
  return v.toString().toStdString();
}

void QtProfile::WriteString(const char* name, const std::string& value) {
  LOGWICK_SETTINGS(s);
  s.setValue(Key(name), QString::fromStdString(value));
  s.sync();
}

}  // namespace logwick
