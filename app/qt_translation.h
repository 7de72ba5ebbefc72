// The program speaks Russian whatever the desktop's language is: Qt's own
// texts (file dialogs, the overwrite question, context menus of edits and
// date pickers, standard buttons) come from Qt's Russian translation, save a
// few the program words its own way, and dates and numbers follow the Russian
// locale.
#pragma once

namespace logwick {

// Call once the QApplication exists. False when Qt's Russian translation
// could be found neither in the program nor in Qt's translations folder (Qt's
// own texts then stay English).
bool InstallRussianTranslation();

}  // namespace logwick
