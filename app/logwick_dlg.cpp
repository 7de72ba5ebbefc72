#include "app/logwick_dlg.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

#include "app/about_dlg.h"
#include "app/app_icons.h"
#include "app/ev_list_box.h"
#include "app/filter_dlg.h"
#include "app/message_box.h"
#include "app/settings.h"
#include "app/settings_dlg.h"
#include "app/text_param_dlg.h"
#include "events/strformat.h"
#include "lists/event_file.h"
#include "lists/panel_types.h"
#include "lists/report.h"

namespace {

const QString kEventFileFilter = "Списки событий (*.t7kev);;Все файлы (*.*)";
const QString kTextFileFilter = "Текстовые файлы (*.txt);;Все файлы (*.*)";

int MenuBarHeight() {
  QMenuBar probe;
  probe.addMenu("&?");
  return probe.sizeHint().height();
}

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

std::string Path8(const QString& path) { return QDir::toNativeSeparators(path).toStdString(); }

}  // namespace

CLogwickDlg::CLogwickDlg(QWidget* parent)
    : TemplateDialog(parent, "Просмотр событий прибора ТАРВЕЛ-7К", 401, 272, MenuBarHeight()) {
  setObjectName("102");
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowIcon(logwick::ProgramIcon());
  BuildMenu();
  BuildControls();
}

CLogwickDlg::~CLogwickDlg() = default;

void CLogwickDlg::BuildMenu() {
  m_menu = new QMenuBar(this);
  m_menu->setObjectName("131");
  auto add = [this](QMenu* menu, int id, const QString& text, void (CLogwickDlg::*handler)()) {
    QAction* a = menu->addAction(text, this, handler);
    a->setObjectName(QString::number(id));
  };
  QMenu* ops = m_menu->addMenu("&Операции");
  add(ops, 1000, "&Прочитать из прибора", &CLogwickDlg::OnReadFromPanel);
  add(ops, 1001, "Про&читать из файла ...", &CLogwickDlg::OnReadFromFile);
  add(ops, 1002, "&Записать в файл ...", &CLogwickDlg::OnWriteToFile);
  add(ops, 1003, "Записать текст ...", &CLogwickDlg::OnWriteText);
  ops->addSeparator();
  add(ops, 32781, "В&ыход", &CLogwickDlg::OnExit);
  QMenu* service = m_menu->addMenu("Серв&ис");
  add(service, 32779, "Настройка", &CLogwickDlg::OnSettings);
  QMenu* help = m_menu->addMenu("&?");
  add(help, 32777, "Справка", &CLogwickDlg::OnHelp);
  help->addSeparator();
  add(help, 32780, "О программе ...", &CLogwickDlg::OnAbout);
  m_menu->setGeometry(0, 0, width(), m_menu->sizeHint().height());
}

void CLogwickDlg::BuildControls() {
  m_list = Place(new CEvListBox(this), 1006, {7, 7, 273, 258});
  m_lineCount = AddStatic(1007, "В базе", {288, 17, 106, 8});
  m_lineRead = AddStatic(1008, "Прочитано", {288, 31, 106, 8});
  m_linePanel = AddStatic(1009, "Прибор", {288, 45, 106, 8});
  m_lineVersion = AddStatic(1013, "Версия", {288, 59, 106, 8});
  m_lineConfig = AddStatic(1012, "Конфигурация", {288, 73, 106, 8});
  m_lineFilter = AddStatic(1011, "Отфильтровано", {288, 87, 106, 8});
  // The lines may run to the window's edge: their dates are wider in most
  // fonts than in the one the template was drawn for.
  for (QLabel* line : {m_lineCount, m_lineRead, m_linePanel, m_lineVersion, m_lineConfig, m_lineFilter}) {
    line->setMinimumHeight(std::max(line->height(), line->sizeHint().height()));
    line->resize(width() - line->x() - 2, line->height());
  }
  struct Button {
    int id;
    const char* text;
    QRect dlu;
    void (CLogwickDlg::*handler)();
  };
  const Button buttons[] = {
      {1010, "Фильтр", {311, 100, 57, 20}, &CLogwickDlg::OnFilter},
      {1000, "Прочитать из прибора", {287, 132, 107, 21}, &CLogwickDlg::OnReadFromPanel},
      {1001, "Прочитать из файла ...", {287, 161, 107, 21}, &CLogwickDlg::OnReadFromFile},
      {1002, "Записать в файл ...", {287, 190, 107, 21}, &CLogwickDlg::OnWriteToFile},
      {1003, "Записать текст ...", {287, 219, 107, 21}, &CLogwickDlg::OnWriteText},
      {1022, "&Справка", {287, 251, 50, 14}, &CLogwickDlg::OnHelp},
      {32781, "Вы&ход", {344, 251, 50, 14}, &CLogwickDlg::OnExit},
  };
  for (const Button& b : buttons) {
    QPushButton* button = AddButton(b.id, b.text, b.dlu, b.id == 32781);
    connect(button, &QPushButton::clicked, this, b.handler);
  }
}

int CLogwickDlg::exec() {
  if (!m_initialised) OnInitDialog();
  return TemplateDialog::exec();
}

void CLogwickDlg::OnInitDialog() {
  m_initialised = true;
  m_lineCount->setText("База сообщений пуста");
  for (QLabel* line : {m_lineRead, m_linePanel, m_lineConfig, m_lineFilter}) line->clear();
  m_lineVersion->clear();
  m_nPortNumber = logwick::ReadProfileInt("PortNumber", logwick::kDefaultPortNumber);
  g_nSelectedSerNum = static_cast<std::uint32_t>(logwick::ReadProfileInt("SelectedSerNum", 0));
  g_bAutoSN = logwick::ReadProfileInt("AutoSN", 1);
  g_bGazMode = logwick::ReadProfileInt("GazMode", 0);
  if (!m_strFileToOpen.isEmpty() && ReadEventFile(m_strFileToOpen) == 1) FillList();
}

QString CLogwickDlg::RowText(std::uint32_t eventIndex) const {
  if (eventIndex >= m_events.GetCount()) return {};
  std::string row;
  logwick::AppendEventLine(row, m_events[eventIndex], m_events.m_texts);
  return Q(row);
}

void CLogwickDlg::FillList() {
  m_rows = logwick::ShownRows(m_events, [this](const CT7KEvent& ev) { return m_filter.Accept(ev); });
  m_list->SetRows(static_cast<int>(m_rows.Count()),
                  [this](int row) { return RowText(m_rows.EventAt(static_cast<std::size_t>(row))); });

  using logwick::StrFormat;
  m_lineCount->setText(Q(StrFormat("В базе %d событий", static_cast<int>(m_events.GetCount()))));
  m_lineFilter->setText(m_rows.ShowsAll(m_events.GetCount())
                            ? QString("Показываются все события")
                            : Q(StrFormat("Показывается %d событий", static_cast<int>(m_rows.Count()))));
  const CT7KEventList& l = m_events;
  m_lineRead->setText(Q(StrFormat("Считано %02d/%02d/%04d %02d:%02d:%02d", l.m_nReadDay, l.m_nReadMonth,
                                  l.m_nReadYear, l.m_nReadHour, l.m_nReadMin, l.m_nReadSec)));
  m_linePanel->setText(
      Q(StrFormat("Прибор %s (с/н %d)", PanelTypeName(l.m_nPanelType).c_str(), l.m_nSerNum)));
  m_lineVersion->setText(Q(StrFormat("Версия v%d.%d выпущен %02d/%02d/%04d", l.m_nVerMajor, l.m_nVerMinor,
                                     l.m_nRelDay, l.m_nRelMonth, l.m_nRelYear)));
  m_lineConfig->setText(Q(StrFormat("Конфигурация %s", l.ConfigNameText().c_str())));
}

int CLogwickDlg::ReadEventFile(const QString& path) {
  const std::string native = Path8(path);
  const logwick::LoadOutcome outcome = logwick::LoadEventFile(native, m_events);
  switch (outcome.status) {
    case logwick::LoadStatus::Loaded:
      break;
    case logwick::LoadStatus::FormatRefused:
      // The list's own refusal: reported, but the load has ended normally.
      logwick::ShowMessage(nullptr, Q(logwick::LoadMessage(outcome.status, native)), "Ошибка",
                           logwick::MsgIcon::Exclamation);
      break;
    case logwick::LoadStatus::EndOfFile:
    case logwick::LoadStatus::ReadError:
      logwick::ShowMessage(this, Q(logwick::LoadMessage(outcome.status, native)), "Ошибка",
                           logwick::MsgIcon::Exclamation);
      return 2;
  }
  SaveEventsFilesDir(path);
  return 1;
}

void CLogwickDlg::OnReadFromFile() {
  const QString path = logwick::ChooseFile(this, {false, "dat", kEventFileFilter, GetEventsFilesDir()});
  if (!path.isEmpty() && ReadEventFile(path) == 1) FillList();
}

void CLogwickDlg::OnWriteToFile() {
  const QString path = logwick::ChooseFile(this, {true, "t7kev", kEventFileFilter, GetEventsFilesDir()});
  if (path.isEmpty()) return;
  SaveEventsFilesDir(path);
  if (!logwick::StoreEventFile(Path8(path), m_events).ok)
    logwick::ShowMessage(this, logwick::kMsgCannotCreate, logwick::AppTitle(), logwick::MsgIcon::Exclamation);
}

void CLogwickDlg::OnWriteText() {
  CTextParamDlg params(this);
  params.m_nScope = 1;
  if (params.exec() != QDialog::Accepted) return;
  const QString path = logwick::ChooseFile(this, {true, "txt", kTextFileFilter, GetEventsFilesDir()});
  if (path.isEmpty()) return;
  // The filtered report holds the events the list shows.
  const bool all = params.m_nScope == 1;
  if (!logwick::WriteReportFile(Path8(path), m_events, all ? logwick::ShownRows(m_events, {}) : m_rows).ok)
    logwick::ShowMessage(this, logwick::kMsgReportWriteError, logwick::AppTitle(),
                         logwick::MsgIcon::Exclamation);
}

void CLogwickDlg::OnReadFromPanel() {
  if (static_cast<unsigned>(m_nPortNumber) > 255) {
    logwick::ShowMessage(this, "Не указан номер порта для связи", logwick::AppTitle(),
                         logwick::MsgIcon::Exclamation);
    return;
  }
  // The reading dialog returns what it read; only now, with its worker gone,
  // does the list change.
  CFetchlog reading(ReadoutSettingsNow(), this, m_readoutJob);
  reading.exec();
  logwick::PutReadListInPlace(reading.TakeResult(), m_events);
  FillList();
}

logwick::ReadoutSettings CLogwickDlg::ReadoutSettingsNow() const {
  logwick::ReadoutSettings settings;
  settings.portNumber = static_cast<unsigned>(m_nPortNumber);
  settings.autoSerial = g_bAutoSN != 0;
  settings.selectedSerial = g_nSelectedSerNum;
  settings.gazMode = g_bGazMode != 0;
  return settings;
}

void CLogwickDlg::OnFilter() {
  CFilterDlg dlg(this);
  const CT7KEvFilter& f = m_filter;
  dlg.m_timeFrom = f.m_timeFrom;
  dlg.m_timeTo = f.m_timeTo;
  dlg.m_nFirstBeam = f.m_nFirstBeam;
  dlg.m_nLastBeam = f.m_nLastBeam;
  dlg.m_bDevices = f.m_bDevices;
  dlg.m_bMessages = f.m_bMessages;
  dlg.m_bModes = f.m_bModes;
  dlg.m_bBeams = f.m_bBeams;
  dlg.m_nFirstDev = f.m_nFirstDev;
  dlg.m_nLastDev = f.m_nLastDev;
  dlg.m_bSlaves = f.m_bSlaves;
  dlg.m_bUnits = f.m_bUnits;
  dlg.m_bPeriod = f.m_bPeriod;
  if (dlg.exec() == QDialog::Accepted) {
    CT7KEvFilter& t = m_filter;
    t.m_timeFrom = dlg.m_timeFrom;
    t.m_timeTo = dlg.m_timeTo;
    t.m_nFirstBeam = std::min<std::uint32_t>(dlg.m_nFirstBeam, 255);
    t.m_nLastBeam = std::min<std::uint32_t>(dlg.m_nLastBeam, 255);
    t.m_bDevices = dlg.m_bDevices;
    t.m_bMessages = dlg.m_bMessages;
    t.m_bModes = dlg.m_bModes;
    t.m_bBeams = dlg.m_bBeams;
    t.m_nFirstDev = dlg.m_nFirstDev;
    t.m_nLastDev = dlg.m_nLastDev;
    t.m_bSlaves = dlg.m_bSlaves;
    t.m_bUnits = dlg.m_bUnits;
    t.m_bPeriod = dlg.m_bPeriod;
  }
  FillList();
}

void CLogwickDlg::OnSettings() {
  CSettingsDlg dlg(this);
  dlg.m_nPortNumber = static_cast<std::uint32_t>(m_nPortNumber);
  dlg.m_nSerNum = g_nSelectedSerNum;
  dlg.m_bAuto = g_bAutoSN;
  dlg.m_bGazMode = g_bGazMode;
  if (dlg.exec() != QDialog::Accepted) return;
  m_nPortNumber = static_cast<int>(dlg.m_nPortNumber);
  g_nSelectedSerNum = dlg.m_nSerNum;
  g_bAutoSN = dlg.m_bAuto;
  g_bGazMode = dlg.m_bGazMode;
  logwick::WriteProfileInt("PortNumber", m_nPortNumber);
  logwick::WriteProfileInt("SelectedSerNum", static_cast<int>(g_nSelectedSerNum));
  logwick::WriteProfileInt("AutoSN", g_bAutoSN);
  logwick::WriteProfileInt("GazMode", g_bGazMode);
}

void CLogwickDlg::OnAbout() {
  CAboutDlg dlg(this);
  dlg.exec();
}

void CLogwickDlg::OnHelp() {
  CHelpDlg dlg(this);
  dlg.exec();
}

void CLogwickDlg::OnExit() { done(QDialog::Accepted); }

void CLogwickDlg::closeEvent(QCloseEvent* event) {
  done(QDialog::Accepted);
  event->accept();
}
