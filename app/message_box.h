// Every message box and file dialog of the program goes through these few
// functions, so that tests can answer them instead of a user.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>

class QFileDialog;
class QWidget;

namespace logwick {

enum class MsgIcon { Exclamation, Warning, Stop, Information };

struct MessageRecord {
  QString text;
  QString caption;
  MsgIcon icon;
};

// The application title: the executable's base name.
QString AppTitle();

// Shows a modal message box with one OK button.
void ShowMessage(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon);

// While set, the hook is called instead of showing a box.
using MessageHook = std::function<void(const MessageRecord&)>;
void SetMessageHook(MessageHook hook);

// File dialogs. defaultExt is without its dot; a name typed without an
// extension gets it. Returns the chosen full path or an empty text.
struct FileRequest {
  bool save = false;
  QString defaultExt;
  QString filter;  // Qt form: "Name (*.x);;Name (*.*)"
  QString folder;
};
QString ChooseFile(QWidget* owner, const FileRequest& request);

// The dialog ChooseFile runs. The open dialog takes any name, as the save
// dialog does: a name that does not exist reaches the load, which says so.
// Elsewhere than on Windows it is Qt's own dialog, which speaks the program's
// language; a desktop's native one would follow the desktop's.
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* owner, const FileRequest& request);

// While set, the hook gives the typed name (or "" for Cancel) instead of a dialog.
using FileHook = std::function<QString(const FileRequest&)>;
void SetFileHook(FileHook hook);

// The name as a file dialog completes it: the default extension is added when
// the last path component has none.
QString WithDefaultExtension(const QString& path, const QString& defaultExt);

}  // namespace logwick
