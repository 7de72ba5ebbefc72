#include "app/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <algorithm>
#include <tuple>

#include "app/about_dlg.h"
#include "app/app_icons.h"
#include "app/ev_list_box.h"
#include "app/filter_dlg.h"
#include "app/find_bar.h"
#include "app/integrity_wnd.h"
#include "app/message_box.h"
#include "app/reading_dialog.h"
#include "app/report_options_dialog.h"
#include "app/report_preview.h"
#include "app/settings_dlg.h"
#include "app/statistics_wnd.h"

#ifdef LOGWICK_WITH_ARCHIVE
#include "app/archive_dlg.h"
#endif

namespace {

using logwick::MainWindowModel;

int MenuBarHeight() {
  QMenuBar probe;
  probe.addMenu("&?");
  return probe.sizeHint().height();
}

// The Qt form of a file dialog's type list: "Name (*.x);;Name (*.*)".
QString QtFilter(const std::vector<logwick::FileType>& types) {
  QStringList filters;
  for (const logwick::FileType& t : types) filters << QString::fromStdString(t.name);
  return filters.join(";;");
}

}  // namespace

CLogwickDlg::CLogwickDlg(QWidget* parent, logwick::DeskServices services)
    : TemplateDialog(parent, logwick::kMainCaption, 401, 272, MenuBarHeight()),
      m_model(*this, m_profile, std::move(services)) {
  setObjectName(QString::number(kIdDialog));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowIcon(logwick::ProgramIcon());
  BuildMenu();
  BuildControls();
  BuildFindBar();
  m_owners[static_cast<std::size_t>(logwick::MsgOwner::Main)] = this;
}

CLogwickDlg::~CLogwickDlg() = default;

void CLogwickDlg::BuildMenu() {
  m_menu = new QMenuBar(this);
  m_menu->setObjectName(QString::number(kIdMenu));
  auto add = [this](QMenu* menu, int id, const QString& text, void (MainWindowModel::*command)()) {
    QAction* a = menu->addAction(text, this, [this, command] { (m_model.*command)(); });
    a->setObjectName(QString::number(id));
  };
  QMenu* ops = m_menu->addMenu("&Операции");
  add(ops, kIdReadFromPanel, "&Прочитать из прибора", &MainWindowModel::OnReadFromPanel);
  add(ops, kIdReadFromFile, "Про&читать из файла ...", &MainWindowModel::OnReadFromFile);
  add(ops, kIdWriteToFile, "&Записать в файл ...", &MainWindowModel::OnWriteToFile);
  add(ops, kIdWriteText, "Записать текст ...", &MainWindowModel::OnWriteText);
#ifdef LOGWICK_WITH_ARCHIVE
  add(ops, kIdArchive, "&Архив ...", &MainWindowModel::OnArchive);
#endif
  ops->addSeparator();
  // Commands of their own, each with an objectName and a shortcut.
  const std::tuple<const char*, const char*, QKeySequence, void (MainWindowModel::*)()> extras[] = {
      {"find", "Найти ...", QKeySequence(Qt::CTRL | Qt::Key_F), &MainWindowModel::OnFind},
      {"print", "Печать ...", QKeySequence(Qt::CTRL | Qt::Key_P), &MainWindowModel::OnPrint},
      {"statistics", "Статистика ...", QKeySequence(), &MainWindowModel::OnStatistics},
      {"integrity", "Проверка журнала ...", QKeySequence(), &MainWindowModel::OnIntegrity},
  };
  for (const auto& [name, text, keys, command] : extras) {
    QAction* action = ops->addAction(text, this, [this, command = command] { (m_model.*command)(); });
    action->setObjectName(name);
    action->setShortcut(keys);
  }
  ops->addSeparator();
  QAction* exit = ops->addAction("В&ыход", this, [this] { m_model.OnExit(); });
  exit->setObjectName(QString::number(kIdExit));
  QMenu* service = m_menu->addMenu("Серв&ис");
  add(service, kIdSettings, "Настройка", &MainWindowModel::OnSettings);
  QMenu* help = m_menu->addMenu("&?");
  add(help, kIdHelp, "Справка", &MainWindowModel::OnHelp);
  help->addSeparator();
  add(help, kIdAbout, "О программе ...", &MainWindowModel::OnAbout);
  // F1 as everywhere else; a shortcut of the window's own, so that the menu
  // item keeps its text.
  auto* f1 = new QShortcut(QKeySequence::HelpContents, this, this, [this] { m_model.OnHelp(); });
  f1->setObjectName("helpkey");
  m_menu->setGeometry(0, 0, width(), m_menu->sizeHint().height());
}

void CLogwickDlg::BuildControls() {
  m_list = Place(new CEvListBox(this), kIdEventList, {7, 7, 273, 258});
  m_list->SetRows(&m_model, &m_model);
  struct LineControl {
    logwick::InfoLine line;
    int id;
    const char* text;
    int y;
  };
  // In the template's order (and so the tab order).
  const LineControl lines[] = {
      {logwick::InfoLine::Count, kIdCountLine, "В базе", 17},
      {logwick::InfoLine::Read, kIdReadLine, "Прочитано", 31},
      {logwick::InfoLine::Panel, kIdPanelLine, "Прибор", 45},
      {logwick::InfoLine::Version, kIdVersionLine, "Версия", 59},
      {logwick::InfoLine::Config, kIdConfigLine, "Конфигурация", 73},
      {logwick::InfoLine::Filter, kIdFilterLine, "Отфильтровано", 87},
  };
  for (const LineControl& l : lines) {
    QLabel* label = AddStatic(l.id, l.text, {288, l.y, 106, 8});
    // The lines may run to the window's edge: their dates are wider in most
    // fonts than in the one the template was drawn for.
    label->setMinimumHeight(std::max(label->height(), label->sizeHint().height()));
    label->resize(width() - label->x() - 2, label->height());
    m_lines[static_cast<std::size_t>(l.line)] = label;
  }
  struct Button {
    int id;
    const char* text;
    QRect dlu;
    void (MainWindowModel::*command)();
  };
  const Button buttons[] = {
      {kIdFilter, "Фильтр", {311, 100, 57, 20}, &MainWindowModel::OnFilter},
      {kIdReadFromPanel, "Прочитать из прибора", {287, 132, 107, 21}, &MainWindowModel::OnReadFromPanel},
      {kIdReadFromFile, "Прочитать из файла ...", {287, 161, 107, 21}, &MainWindowModel::OnReadFromFile},
      {kIdWriteToFile, "Записать в файл ...", {287, 190, 107, 21}, &MainWindowModel::OnWriteToFile},
      {kIdWriteText, "Записать текст ...", {287, 219, 107, 21}, &MainWindowModel::OnWriteText},
      {kIdHelpButton, "&Справка", {287, 251, 50, 14}, &MainWindowModel::OnHelp},
  };
  for (const Button& b : buttons) {
    QPushButton* button = AddButton(b.id, b.text, b.dlu);
    connect(button, &QPushButton::clicked, this, [this, command = b.command] { (m_model.*command)(); });
  }
  QPushButton* exit = AddButton(kIdExit, "Вы&ход", {344, 251, 50, 14}, true);
  connect(exit, &QPushButton::clicked, this, [this] { m_model.OnExit(); });
}

void CLogwickDlg::BuildFindBar() {
  m_templateHeight = height();
  m_findBar = new CFindBar(m_model, this);
  auto* next = new QShortcut(QKeySequence(Qt::Key_F3), this);
  auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
  connect(next, &QShortcut::activated, this, [this] { m_model.FindNext(); });
  connect(previous, &QShortcut::activated, this, [this] { m_model.FindPrevious(); });
  // Esc closes the bar; it does nothing in the window otherwise.
  auto* close = new QShortcut(Qt::Key_Escape, this);
  connect(close, &QShortcut::activated, this, [this] { m_model.CloseFind(); });
}

void CLogwickDlg::FitFindBar(bool shown) {
  const QRect list = m_list->geometry();
  const int top = list.bottom() + 1 + Units().Y(3);
  const int barHeight = m_findBar->sizeHint().height();
  m_findBar->setGeometry(list.left(), top, list.width(), barHeight);
  setFixedSize(width(), shown ? top + barHeight + Units().Y(4) : m_templateHeight);
}

int CLogwickDlg::exec() {
  if (!m_initialised) {
    m_initialised = true;
    m_model.OnInitDialog(QDir::toNativeSeparators(m_strFileToOpen).toStdString());
  }
  return TemplateDialog::exec();
}

// --- IDeskFace ---

QWidget* CLogwickDlg::OwnerWidget(logwick::MsgOwner owner) const {
  QWidget* w = m_owners[static_cast<std::size_t>(owner)];
  if (!w && owner != logwick::MsgOwner::None) w = const_cast<CLogwickDlg*>(this);
  return w;
}

int CLogwickDlg::RunOwned(logwick::MsgOwner owner, QDialog& dialog) {
  QWidget*& slot = m_owners[static_cast<std::size_t>(owner)];
  QWidget* const before = slot;
  slot = &dialog;
  const int result = dialog.exec();
  slot = before;
  return result;
}

void CLogwickDlg::ShowMessage(const logwick::Message& m) {
  logwick::ShowMessage(OwnerWidget(m.owner), m);
}

bool CLogwickDlg::AskYesNo(const logwick::Message& m) { return logwick::AskYesNo(OwnerWidget(m.owner), m); }

std::optional<std::string> CLogwickDlg::ChooseFile(const logwick::FileRequest& request) {
  const QString path =
      logwick::ChooseFile(this, logwick::QtFileRequest{request.save, QString::fromStdString(request.defaultExt),
                                 QtFilter(request.types), QString::fromStdString(request.folder)});
  if (path.isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(path).toStdString();
}

bool CLogwickDlg::RunFilterDialog(logwick::FilterDialog& model) {
  CFilterDlg dlg(model, this);
  return RunOwned(logwick::MsgOwner::Filter, dlg) == QDialog::Accepted;
}

bool CLogwickDlg::RunSettingsDialog(logwick::SettingsDialog& model) {
  CSettingsDlg dlg(model, this);
  return RunOwned(logwick::MsgOwner::Settings, dlg) == QDialog::Accepted;
}

bool CLogwickDlg::RunReportOptions(logwick::ReportScope& scope) {
  CTextParamDlg params(this);
  params.m_nScope = scope.m_nScope;
  if (params.exec() != QDialog::Accepted) return false;
  scope.m_nScope = params.m_nScope;
  return true;
}

void CLogwickDlg::RunReadingDialog(logwick::ReadingSession& session) {
  CFetchlog reading(session, this);
  RunOwned(logwick::MsgOwner::Reading, reading);
}

bool CLogwickDlg::RunArchiveWindow(logwick::ArchiveWindowModel& archive) {
#ifdef LOGWICK_WITH_ARCHIVE
  CArchiveDlg dlg(archive, this);
  return RunOwned(logwick::MsgOwner::Archive, dlg) == QDialog::Accepted;
#else
  (void)archive;
  return false;
#endif
}

void CLogwickDlg::OpenWindow(logwick::DeskWindow window) {
  switch (window) {
    case logwick::DeskWindow::About: {
      CAboutDlg dlg(this);
      dlg.exec();
      return;
    }
    case logwick::DeskWindow::Help: {
      CHelpDlg dlg(this);
      dlg.exec();
      return;
    }
    case logwick::DeskWindow::PrintPreview:
      logwick::ShowReportPreview(this, m_model.EventList(), m_model.Shown());
      return;
    case logwick::DeskWindow::FindBar:
      if (m_findBar->isHidden()) FitFindBar(true);
      m_findBar->Open();
      return;
    case logwick::DeskWindow::Statistics:
      if (!m_statistics) {
        m_statistics = new CStatisticsWnd(this);
        m_statistics->onDayChosen = [this](std::size_t day) { m_model.GoToDay(day); };
      }
      m_statistics->show();
      m_statistics->raise();
      break;
    case logwick::DeskWindow::Integrity:
      if (!m_integrity) {
        m_integrity = new CIntegrityWnd(this);
        m_integrity->onFindingChosen = [this](std::size_t finding) { m_model.GoToFinding(finding); };
      }
      m_integrity->show();
      m_integrity->raise();
      break;
  }
  UpdateWindows();
}

void CLogwickDlg::UpdateWindows() {
  if (m_statistics && m_statistics->isVisible()) m_statistics->SetStatistics(m_model.Statistics());
  if (m_integrity && m_integrity->isVisible()) m_integrity->SetFindings(m_model.Findings());
}

void CLogwickDlg::Changed(unsigned what) {
  if (what & logwick::kChangedRows) m_list->RowsChanged();
  if (what & (logwick::kChangedSelection | logwick::kChangedFound)) m_list->viewport()->update();
  if (what & logwick::kChangedLines)
    for (std::size_t i = 0; i < m_lines.size(); ++i)
      m_lines[i]->setText(QString::fromStdString(m_model.Line(static_cast<logwick::InfoLine>(i))));
  if (what & logwick::kChangedFound) {
    m_findBar->ShowCount();
    if (!m_model.Find().IsOpen() && !m_findBar->isHidden()) {
      m_findBar->hide();
      FitFindBar(false);
      m_list->setFocus(Qt::OtherFocusReason);
    }
  }
  if (what & logwick::kChangedWindows) UpdateWindows();
}

void CLogwickDlg::ShowRow(std::size_t row, logwick::ScrollTo how) { m_list->ShowRow(static_cast<int>(row), how); }

std::size_t CLogwickDlg::TopRow() const { return static_cast<std::size_t>(m_list->GetTopIndex()); }

void CLogwickDlg::CopyText(const std::string& text) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void CLogwickDlg::CloseMainWindow() {
  m_closing = true;
  done(QDialog::Accepted);
}

void CLogwickDlg::Post(std::function<void()> call) {
  QMetaObject::invokeMethod(qApp, std::move(call), Qt::QueuedConnection);
}

void CLogwickDlg::closeEvent(QCloseEvent* event) {
  // The close box asks the model, which may keep the window for a reading
  // that nothing else holds.
  if (m_closing || m_model.OnExit()) {
    event->accept();
    return;
  }
  event->ignore();
}
