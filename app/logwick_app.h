// The program's start-up: file-type registration, the command line, then the
// main window run modally until one of its exit commands.
#pragma once

#include <QStringList>

// Qt's own dialogs (files, print, print preview) in Russian, when the
// system holds Qt's translations; they stay English otherwise.
void UseRussianQtTexts();

class CLogwickApp {
 public:
  // args: the arguments after the program name. Returns the exit status.
  int InitInstance(const QStringList& args);
};
