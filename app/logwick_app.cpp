#include "app/logwick_app.h"

#include <QCoreApplication>
#include <QDir>

#include "app/command_line.h"
#include "app/file_type_registration.h"
#include "app/logwick_dlg.h"
#include "app/message_box.h"

int CLogwickApp::InitInstance(const QStringList& args) {
  // Ignored on failure: a user without rights still gets a working program.
  logwick::RegisterEventFileType(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()).toStdString());

  CT29CommandLine cmdInfo;
  std::vector<std::string> plain;
  for (const QString& a : args) plain.push_back(a.toStdString());
  for (const std::string& message : cmdInfo.ParseAll(plain))
    logwick::ShowMessage(nullptr, QString::fromStdString(message), "Ошибка", logwick::MsgIcon::Exclamation);

  CLogwickDlg dlg;
  dlg.m_strFileToOpen = QString::fromStdString(cmdInfo.m_strFileName);
  dlg.exec();
  return 0;
}
