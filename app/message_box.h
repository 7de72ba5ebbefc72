// Every message box and file dialog of the program goes through these few
// functions, so that tests can answer them instead of a user.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>
#include <memory>

#include "desk/face.h"

class QFileDialog;
class QWidget;

namespace logwick {

struct MessageRecord {
  QString text;
  QString caption;
  MsgIcon icon;
  QString details;
};

// The application title: the executable's base name.
QString AppTitle();

// Shows a modal message box with one OK button, owned by and centred on
// owner; a message's details go behind a "Подробности" button.
void ShowMessage(QWidget* owner, const Message& message);
void ShowMessage(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon);
// Да and Нет, Нет the default; true for Да.
bool AskYesNo(QWidget* owner, const Message& message);

// While set, the hook is called instead of showing a box; for a question, its
// answer is the hook's (Нет unless set).
using MessageHook = std::function<void(const MessageRecord&)>;
void SetMessageHook(MessageHook hook);
using QuestionHook = std::function<bool(const MessageRecord&)>;
void SetQuestionHook(QuestionHook hook);

// File dialogs. defaultExt is without its dot; a name typed without an
// extension gets it. Returns the chosen full path or an empty text.
struct QtFileRequest {
  bool save = false;
  QString defaultExt;
  QString filter;  // Qt form: "Name (*.x);;Name (*.*)"
  QString folder;
};
QString ChooseFile(QWidget* owner, const QtFileRequest& request);

// The dialog ChooseFile runs. The open dialog takes any name, as the save
// dialog does: a name that does not exist reaches the load, which says so.
// Elsewhere than on Windows it is Qt's own dialog, which speaks the program's
// language; a desktop's native one would follow the desktop's.
std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* owner, const QtFileRequest& request);

// While set, the hook gives the typed name (or "" for Cancel) instead of a dialog.
using FileHook = std::function<QString(const QtFileRequest&)>;
void SetFileHook(FileHook hook);

// The name as a file dialog completes it: the default extension is added when
// the last path component has none.
QString WithDefaultExtension(const QString& path, const QString& defaultExt);

}  // namespace logwick
