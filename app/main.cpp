#include <QApplication>

#include "app/logwick_app.h"

int main(int argc, char* argv[]) {
  QApplication qapp(argc, argv);
  CLogwickApp app;
  return app.InitInstance(QCoreApplication::arguments().mid(1));
}
