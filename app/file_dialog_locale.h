// Qt's own file dialog in the program's locale: its size and date columns
// follow the program's Russian locale rather than the desktop's (Qt writes
// them in the system locale), and at its first size no column is cut.
#pragma once

class QFileDialog;

namespace logwick {

// Call on a dialog that does not use the desktop's native one, before it is shown.
void UseProgramLocale(QFileDialog& dialog);

}  // namespace logwick
