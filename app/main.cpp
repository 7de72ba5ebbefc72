#include <QApplication>
#include <QLocale>

#include "app/logwick_app.h"

int main(int argc, char* argv[]) {
  QApplication qapp(argc, argv);
  // Every text of the program is Russian; dates in the pickers follow suit
  // (dd.MM.yyyy) whatever the desktop's own locale is.
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  CLogwickApp app;
  return app.InitInstance(QCoreApplication::arguments().mid(1));
}
