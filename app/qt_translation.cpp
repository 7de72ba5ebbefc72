#include "app/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#ifdef LOGWICK_QT_TRANSLATION_EMBEDDED
// The resources live in a static library: name them once so the linker keeps them.
static void InitTranslationResources() { Q_INIT_RESOURCE(qt_translations); }
#endif

namespace logwick {

bool InstallRussianTranslation() {
  const QLocale russian(QLocale::Russian, QLocale::Russia);
  QLocale::setDefault(russian);
  auto* translator = new QTranslator(QCoreApplication::instance());
#ifdef LOGWICK_QT_TRANSLATION_EMBEDDED
  // Built into the program, so that nothing has to be found at run time.
  InitTranslationResources();
  bool loaded = translator->load(QStringLiteral(":/translations/qtbase_ru.qm"));
#else
  bool loaded = false;
#endif
  if (!loaded)
    loaded = translator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (!loaded) {
    delete translator;
    return false;
  }
  QCoreApplication::installTranslator(translator);
  return true;
}

}  // namespace logwick
