// The program's start-up: file-type registration, the command line, then the
// main window run modally until one of its exit commands.
#pragma once

#include <QStringList>

class CLogwickApp {
 public:
  // args: the arguments after the program name. Returns the exit status.
  int InitInstance(const QStringList& args);
};
