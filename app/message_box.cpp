#include "app/message_box.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

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

std::unique_ptr<QMessageBox> MakeBox(QWidget* owner, const MessageRecord& r, QMessageBox::StandardButtons buttons) {
  auto box = std::make_unique<QMessageBox>(ToQt(r.icon), r.caption, r.text, buttons, owner);
  box->setObjectName("messagebox");
  // Paths, names and panel texts are data: "<b>" in them is shown as typed.
  box->setTextFormat(Qt::PlainText);
  if (!r.details.isEmpty()) box->setDetailedText(r.details);
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
