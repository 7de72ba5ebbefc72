#include "app/about_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/app_icons.h"
#include "desk/help_text.h"
#include "version/program_version.h"

CAboutDlg::CAboutDlg(QWidget* parent) : TemplateDialog(parent, "О программе", 195, 97) {
  setObjectName(QString::number(kIdDialog));
  auto* icon = AddStatic(-1, QString(), {7, 7, 21, 20});
  icon->setPixmap(logwick::ProgramIcon().pixmap(32, 32));
  auto* about = AddStatic(-1, "Программа для чтения и просмотра зарегистрированных событий прибора ТАРВЕЛ-7К",
                          {40, 7, 148, 26});
  about->setWordWrap(true);
  AddStatic(-1, "www.ormet.example", {40, 36, 148, 8});
  AddStatic(-1, "© ООО «Ормет»", {40, 48, 148, 8});
  // The line keeps its form ("Версия 1.3"); the build it came from shows on hover.
  auto* version = AddStatic(-1, QString("Версия ") + logwick::kProjectVersion, {40, 60, 148, 8});
  version->setToolTip(QString::fromStdString(logwick::VersionLine("logwick")));
  auto* ok = AddButton(kIdOk, "OK", {72, 76, 50, 14}, true);
  connect(ok, &QPushButton::clicked, this, &CAboutDlg::accept);
}

CHelpDlg::CHelpDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("help");
  setWindowTitle(logwick::kHelpCaption);
  auto* layout = new QVBoxLayout(this);
  auto* text = new QTextBrowser(this);
  text->setObjectName("helptext");
  text->setHtml(HelpText());
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(600, 560);
}

QString CHelpDlg::HelpText() {
  QString html = QString("<h3>%1</h3>").arg(QString(logwick::kHelpTitle).toHtmlEscaped());
  for (const logwick::HelpSection& section : logwick::HelpSections()) {
    if (!section.heading.empty())
      html += QString("<h4>%1</h4>").arg(QString::fromStdString(section.heading).toHtmlEscaped());
    for (const std::string& p : section.paragraphs)
      html += QString("<p>%1</p>").arg(QString::fromStdString(p).toHtmlEscaped());
  }
  return html;
}
