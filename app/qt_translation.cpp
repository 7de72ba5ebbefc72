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

namespace {

// The program's own words where Qt's differ: the button before a message's
// details reads "Подробности" whether they are shown or hidden.
class ProgramWords : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char*, int) const override {
    if (qstrcmp(context, "QMessageBox") == 0 &&
        (qstrcmp(source, "Show Details...") == 0 || qstrcmp(source, "Hide Details...") == 0))
      return QStringLiteral("Подробности");
    return {};
  }
};

}  // namespace

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
  if (loaded)
    QCoreApplication::installTranslator(translator);
  else
    delete translator;
  // Last, so that its words come first.
  QCoreApplication::installTranslator(new ProgramWords(QCoreApplication::instance()));
  return loaded;
}

}  // namespace logwick
