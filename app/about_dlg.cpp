#include "app/about_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/app_icons.h"
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
  setWindowTitle("Справка");
  auto* layout = new QVBoxLayout(this);
  auto* text = new QTextBrowser(this);
  text->setObjectName("helptext");
  text->setHtml(HelpText());
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  resize(520, 420);
}

QString CHelpDlg::HelpText() {
  return "<h3>Просмотр событий прибора ТАРВЕЛ-7К</h3>"
         "<p><b>Прочитать из прибора</b> — читает журнал событий прибора через COM порт, "
         "выбранный в меню <i>Сервис → Настройка</i>. Там же задаются серийный номер прибора "
         "(или «Авто» — поиск прибора на линии) и работа в формате АСУПЗ ГАЗ "
         "(1200 бод, контроль чётности). Чтение можно остановить кнопкой «Остановить».</p>"
         "<p><b>Прочитать из файла ...</b> и <b>Записать в файл ...</b> — открывают и сохраняют "
         "списки событий (*.t7kev). Файл можно открыть и двойным щелчком: программа "
         "регистрирует этот тип файлов при каждом запуске.</p>"
         "<p><b>Фильтр</b> — оставляет в списке события за период и выбранные виды событий, "
         "с номерами лучей и устройств в заданных пределах.</p>"
         "<p><b>Записать текст ...</b> — сохраняет отчёт в текстовом файле (Windows-1251) "
         "со всеми событиями или только с отфильтрованными.</p>"
         "<p>Список прокручивается колесом мыши и клавишами со стрелками, Page Up, Page Down, "
         "Home и End.</p>";
}
