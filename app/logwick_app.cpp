#include "app/logwick_app.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>

#include "app/app_icons.h"
#include "desk/command_line.h"
#include "app/ev_list_box.h"
#include "desk/file_type_registration.h"
#include "app/main_window.h"
#include "app/message_box.h"

namespace {

// LOGWICK_DUMP_VIEW=file: instead of waiting for a user, write what the main
// window shows once it has started (message boxes, the six lines, the rows)
// to file and end. Used by the end-to-end tests and for support.
class ViewDump {
 public:
  explicit ViewDump(const QString& path) : m_file(path) {
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    logwick::SetMessageHook([this](const logwick::MessageRecord& r) {
      Write("message\t" + r.caption + "\t" + QString(r.text).replace("\r\n", "\\r\\n").replace("\n", "\\n"));
    });
  }
  ~ViewDump() { logwick::SetMessageHook({}); }

  void Schedule(CLogwickDlg& dlg) {
    QTimer::singleShot(0, &dlg, [this, &dlg] {
      for (int id : {CLogwickDlg::kIdCountLine, CLogwickDlg::kIdReadLine, CLogwickDlg::kIdPanelLine,
                     CLogwickDlg::kIdVersionLine, CLogwickDlg::kIdConfigLine, CLogwickDlg::kIdFilterLine})
        Write(QString("line\t%1\t%2").arg(id).arg(dlg.findChild<QLabel*>(QString::number(id))->text()));
      CEvListBox* list = dlg.ListBox();
      for (int row = 0; row < list->GetCount(); ++row) Write("row\t" + list->GetText(row));
      m_file.close();
      dlg.CloseMainWindow();
    });
  }

 private:
  void Write(const QString& line) { m_file.write((line + "\n").toUtf8()); }

  QFile m_file;
};

// The pictures the desktop shows for the program and its event files.
logwick::DesktopIcons DesktopIcons() {
  auto bytes = [](const QString& resource) {
    QFile f(resource);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
  };
  return {bytes(logwick::ProgramIconResource()), bytes(logwick::EventFileIconResource())};
}

}  // namespace

int CLogwickApp::InitInstance(const QStringList& args) {
  std::unique_ptr<ViewDump> dump;
  if (qEnvironmentVariableIsSet("LOGWICK_DUMP_VIEW"))
    dump = std::make_unique<ViewDump>(qEnvironmentVariable("LOGWICK_DUMP_VIEW"));

  // Ignored on failure: a user without rights still gets a working program.
  logwick::RegisterEventFileType(
      QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString(), DesktopIcons());

  CT29CommandLine cmdInfo;
  std::vector<std::string> plain;
  for (const QString& a : args) plain.push_back(a.toStdString());
  for (const std::string& message : cmdInfo.ParseAll(plain))
    logwick::ShowMessage(nullptr, QString::fromStdString(message), "Ошибка", logwick::MsgIcon::Exclamation);

  CLogwickDlg dlg;
  dlg.m_strFileToOpen = QString::fromStdString(cmdInfo.m_strFileName);
  if (dump) dump->Schedule(dlg);
  dlg.exec();
  return 0;
}
