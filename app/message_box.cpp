#include "app/message_box.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

#include "app/file_dialog_locale.h"

namespace logwick {

namespace {

MessageHook& Hook() {
  static MessageHook hook;
  return hook;
}

QuestionHook& QHook() {
  static QuestionHook hook;
  return hook;
}

FileHook& FHook() {
  static FileHook hook;
  return hook;
}

QMessageBox::Icon ToQt(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Exclamation:
    case MsgIcon::Warning:
      return QMessageBox::Warning;
    case MsgIcon::Stop:
      return QMessageBox::Critical;
    case MsgIcon::Information:
      return QMessageBox::Information;
    case MsgIcon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::Warning;
}

MessageRecord RecordOf(const Message& m) {
  return {QString::fromStdString(m.text),
          m.caption == MsgCaption::Error ? QString(kCaptionError) : AppTitle(), m.icon,
          QString::fromStdString(m.details)};
}

// A box centred on its owner's window. Qt places a dialog by a guess at the
// window manager's frames, which lands it tens of pixels off centre under
// some window managers; the box's own area is placed instead, centred on
// the owner's and kept on the screen.
class OwnedBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    QMessageBox::showEvent(event);
    if (event->spontaneous() || !parentWidget()) return;
    const QWidget* owner = parentWidget()->window();
    QRect placed(QPoint(), size());
    placed.moveCenter(owner->geometry().center());
    if (const QScreen* screen = owner->screen()) {
      const QRect room = screen->availableGeometry();
      placed.moveLeft(std::clamp(placed.left(), room.left(), std::max(room.left(), room.right() - width())));
      placed.moveTop(std::clamp(placed.top(), room.top(), std::max(room.top(), room.bottom() - height())));
    }
    setGeometry(placed);
  }
};

std::unique_ptr<QMessageBox> MakeBox(QWidget* owner, const MessageRecord& r,
                                     QMessageBox::StandardButtons buttons) {
  std::unique_ptr<QMessageBox> box = std::make_unique<OwnedBox>(ToQt(r.icon), r.caption, r.text, buttons, owner);
  box->setObjectName("messagebox");
  // Paths, names and panel texts are data: "<b>" in them is shown as typed.
  box->setTextFormat(Qt::PlainText);
  if (!r.details.isEmpty()) box->setDetailedText(r.details);  // behind "Подробности"
  return box;
}

}  // namespace

QString AppTitle() { return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(); }

void ShowMessage(QWidget* owner, const QString& text, const QString& caption, MsgIcon icon) {
  const MessageRecord record{text, caption, icon, {}};
  if (Hook()) return Hook()(record);
  MakeBox(owner, record, QMessageBox::Ok)->exec();
}

void ShowMessage(QWidget* owner, const Message& message) {
  const MessageRecord record = RecordOf(message);
  if (Hook()) return Hook()(record);
  MakeBox(owner, record, QMessageBox::Ok)->exec();
}

bool AskYesNo(QWidget* owner, const Message& message) {
  const MessageRecord record = RecordOf(message);
  if (QHook()) return QHook()(record);
  if (Hook()) {
    Hook()(record);
    return false;
  }
  const auto box = MakeBox(owner, record, QMessageBox::Yes | QMessageBox::No);
  box->setDefaultButton(QMessageBox::No);
  return box->exec() == QMessageBox::Yes;
}

void SetMessageHook(MessageHook hook) { Hook() = std::move(hook); }
void SetQuestionHook(QuestionHook hook) { QHook() = std::move(hook); }

QString WithDefaultExtension(const QString& path, const QString& defaultExt) {
  if (path.isEmpty() || defaultExt.isEmpty()) return path;
  const QString name = QFileInfo(path).fileName();
  if (name.contains('.')) return path;
  return path + '.' + defaultExt;
}

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* owner, const QtFileRequest& request) {
  auto dialog = std::make_unique<QFileDialog>(owner, QString(), request.folder, request.filter);
  dialog->setObjectName(request.save ? "savefile" : "openfile");
  dialog->setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setDefaultSuffix(request.defaultExt);
  // A name typed without an extension takes the chosen type's.
  QFileDialog* d = dialog.get();
  QObject::connect(d, &QFileDialog::filterSelected, [d, ext = request.defaultExt](const QString& filter) {
    static const QRegularExpression single(R"(\(\*\.(\w+)[ )])");
    const QRegularExpressionMatch m = single.match(filter);
    d->setDefaultSuffix(m.hasMatch() ? m.captured(1) : ext);
  });
#ifndef _WIN32
  dialog->setOption(QFileDialog::DontUseNativeDialog);
  UseProgramLocale(*dialog);
#endif
  return dialog;
}

QString ChooseFile(QWidget* owner, const QtFileRequest& request) {
  QString chosen;
  if (FHook()) {
    chosen = FHook()(request);
  } else {
    const auto dialog = MakeFileDialog(owner, request);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    chosen = dialog->selectedFiles().first();
  }
  return WithDefaultExtension(chosen, request.defaultExt);
}

void SetFileHook(FileHook hook) { FHook() = std::move(hook); }

}  // namespace logwick
