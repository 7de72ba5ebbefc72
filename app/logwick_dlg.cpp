#include "app/logwick_dlg.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>
#include <tuple>

#include "app/about_dlg.h"
#include "app/app_icons.h"
#include "app/ev_list_box.h"
#include "app/filter_dlg.h"
#include "app/find_bar.h"
#include "app/integrity_wnd.h"
#include "app/message_box.h"
#include "app/report_preview.h"
#include "app/settings.h"
#include "app/settings_dlg.h"
#include "app/statistics_wnd.h"
#include "app/text_param_dlg.h"
#include "events/strformat.h"
#include "lists/event_file.h"
#include "lists/panel_types.h"
#include "lists/report.h"
#include "lists/report_formats.h"

#ifdef LOGWICK_WITH_ARCHIVE
#include "app/archive_dlg.h"
#include "app/archive_filing.h"
#endif

namespace {

const QString kEventFileFilter = "Списки событий (*.t7kev);;Все файлы (*.*)";
// The report's own type first; the data and printable forms are chosen by
// their file type.
const QString kTextFileFilter =
    "Текстовые файлы (*.txt);;CSV (*.csv);;JSON Lines (*.jsonl);;HTML (*.html *.htm);;Все файлы (*.*)";

// The report form a file name asks for by its extension; the text report for
// any other.
logwick::ReportFormat ReportFormatOf(const QString& path) {
  const QString suffix = '.' + QFileInfo(path).suffix().toLower();
  if (suffix == ".htm") return logwick::ReportFormat::Html;
  for (const logwick::ReportFormatName& f : logwick::kReportFormats)
    if (suffix == QString::fromUtf8(f.extension.data(), static_cast<qsizetype>(f.extension.size())))
      return f.format;
  return logwick::ReportFormat::Text;
}

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
  setObjectName(QString::number(kIdDialog));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowIcon(logwick::ProgramIcon());
  BuildMenu();
  BuildControls();
  BuildFindBar();
}

CLogwickDlg::~CLogwickDlg() = default;

void CLogwickDlg::BuildMenu() {
  m_menu = new QMenuBar(this);
  m_menu->setObjectName(QString::number(kIdMenu));
  auto add = [this](QMenu* menu, int id, const QString& text, void (CLogwickDlg::*handler)()) {
    QAction* a = menu->addAction(text, this, handler);
    a->setObjectName(QString::number(id));
  };
  QMenu* ops = m_menu->addMenu("&Операции");
  add(ops, kIdReadFromPanel, "&Прочитать из прибора", &CLogwickDlg::OnReadFromPanel);
  add(ops, kIdReadFromFile, "Про&читать из файла ...", &CLogwickDlg::OnReadFromFile);
  add(ops, kIdWriteToFile, "&Записать в файл ...", &CLogwickDlg::OnWriteToFile);
  add(ops, kIdWriteText, "Записать текст ...", &CLogwickDlg::OnWriteText);
#ifdef LOGWICK_WITH_ARCHIVE
  add(ops, kIdArchive, "&Архив ...", &CLogwickDlg::OnArchive);
#endif
  ops->addSeparator();
  // Commands of their own, each with an objectName and a shortcut.
  const std::tuple<const char*, const char*, QKeySequence, void (CLogwickDlg::*)()> extras[] = {
      {"find", "Найти ...", QKeySequence(Qt::CTRL | Qt::Key_F), &CLogwickDlg::OnFind},
      {"print", "Печать ...", QKeySequence(Qt::CTRL | Qt::Key_P), &CLogwickDlg::OnPrint},
      {"statistics", "Статистика ...", QKeySequence(), &CLogwickDlg::OnStatistics},
      {"integrity", "Проверка журнала ...", QKeySequence(), &CLogwickDlg::OnIntegrity},
  };
  for (const auto& [name, text, keys, handler] : extras) {
    QAction* action = ops->addAction(text, this, handler);
    action->setObjectName(name);
    action->setShortcut(keys);
  }
  ops->addSeparator();
  add(ops, kIdExit, "В&ыход", &CLogwickDlg::OnExit);
  QMenu* service = m_menu->addMenu("Серв&ис");
  add(service, kIdSettings, "Настройка", &CLogwickDlg::OnSettings);
  QMenu* help = m_menu->addMenu("&?");
  add(help, kIdHelp, "Справка", &CLogwickDlg::OnHelp);
  help->addSeparator();
  add(help, kIdAbout, "О программе ...", &CLogwickDlg::OnAbout);
  // F1 as everywhere else; a shortcut of the window's own, so that the menu
  // item keeps its text.
  auto* f1 = new QShortcut(QKeySequence::HelpContents, this, this, &CLogwickDlg::OnHelp);
  f1->setObjectName("helpkey");
  m_menu->setGeometry(0, 0, width(), m_menu->sizeHint().height());
}

void CLogwickDlg::BuildControls() {
  m_list = Place(new CEvListBox(this), kIdEventList, {7, 7, 273, 258});
  m_lineCount = AddStatic(kIdCountLine, "В базе", {288, 17, 106, 8});
  m_lineRead = AddStatic(kIdReadLine, "Прочитано", {288, 31, 106, 8});
  m_linePanel = AddStatic(kIdPanelLine, "Прибор", {288, 45, 106, 8});
  m_lineVersion = AddStatic(kIdVersionLine, "Версия", {288, 59, 106, 8});
  m_lineConfig = AddStatic(kIdConfigLine, "Конфигурация", {288, 73, 106, 8});
  m_lineFilter = AddStatic(kIdFilterLine, "Отфильтровано", {288, 87, 106, 8});
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
      {kIdFilter, "Фильтр", {311, 100, 57, 20}, &CLogwickDlg::OnFilter},
      {kIdReadFromPanel, "Прочитать из прибора", {287, 132, 107, 21}, &CLogwickDlg::OnReadFromPanel},
      {kIdReadFromFile, "Прочитать из файла ...", {287, 161, 107, 21}, &CLogwickDlg::OnReadFromFile},
      {kIdWriteToFile, "Записать в файл ...", {287, 190, 107, 21}, &CLogwickDlg::OnWriteToFile},
      {kIdWriteText, "Записать текст ...", {287, 219, 107, 21}, &CLogwickDlg::OnWriteText},
      {kIdHelpButton, "&Справка", {287, 251, 50, 14}, &CLogwickDlg::OnHelp},
      {kIdExit, "Вы&ход", {344, 251, 50, 14}, &CLogwickDlg::OnExit},
  };
  for (const Button& b : buttons) {
    QPushButton* button = AddButton(b.id, b.text, b.dlu, b.id == kIdExit);
    connect(button, &QPushButton::clicked, this, b.handler);
  }
}

void CLogwickDlg::BuildFindBar() {
  m_templateHeight = height();
  m_findBar = new CFindBar(
      m_list,
      [this](logwick::RowSearch& index) {
        // One index row per view row: the marks between events too.
        for (std::size_t shown = 0; shown < m_rows.Count(); ++shown) {
          if (m_viewRows.MarkBefore(shown)) index.AddRow(logwick::kGapMarkLine);
          index.AddEvent(m_events[m_rows.EventAt(shown)], m_events.m_texts);
        }
      },
      this);
  auto* next = new QShortcut(QKeySequence(Qt::Key_F3), this);
  auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
  auto* close = new QShortcut(Qt::Key_Escape, this);
  close->setEnabled(false);
  connect(next, &QShortcut::activated, this, [this] { StepFind(&CFindBar::FindNext); });
  connect(previous, &QShortcut::activated, this, [this] { StepFind(&CFindBar::FindPrevious); });
  connect(close, &QShortcut::activated, m_findBar, &CFindBar::Close);
  m_findBar->onShownChanged = [this, close](bool shown) {
    close->setEnabled(shown);  // Esc does nothing in the window otherwise
    FitFindBar(shown);
  };
}

void CLogwickDlg::StepFind(void (CFindBar::*to)()) {
  if (m_findBar->isHidden()) m_findBar->Open();
  (m_findBar->*to)();
}

void CLogwickDlg::FitFindBar(bool shown) {
  const QRect list = m_list->geometry();
  const int top = list.bottom() + 1 + Units().Y(3);
  const int barHeight = m_findBar->sizeHint().height();
  m_findBar->setGeometry(list.left(), top, list.width(), barHeight);
  setFixedSize(width(), shown ? top + barHeight + Units().Y(4) : m_templateHeight);
}

void CLogwickDlg::OnFind() { m_findBar->Open(); }

void CLogwickDlg::OnPrint() { logwick::ShowReportPreview(this, m_events, m_rows); }

void CLogwickDlg::OnStatistics() {
  if (!m_statistics) {
    m_statistics = new CStatisticsWnd(this);
    m_statistics->onDayChosen = [this](std::size_t shown) {
      m_list->GoToRow(static_cast<int>(m_viewRows.RowOfShown(shown)));
    };
  }
  m_statistics->show();
  m_statistics->raise();
  UpdateStatistics();
}

void CLogwickDlg::OnIntegrity() {
  if (!m_integrity) {
    m_integrity = new CIntegrityWnd(this);
    // A finding whose event the filter hides goes to the next shown row.
    m_integrity->onFindingChosen = [this](std::size_t listRow) {
      if (m_rows.Count() == 0) return;
      const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), listRow) - m_rows.begin();
      const auto shown = std::min(static_cast<std::size_t>(at), m_rows.Count() - 1);
      m_list->GoToRow(static_cast<int>(m_viewRows.RowOfShown(shown)));
    };
  }
  m_integrity->show();
  m_integrity->raise();
  UpdateIntegrity();
}

void CLogwickDlg::UpdateStatistics() {
  if (!m_statistics || m_statistics->isHidden()) return;
  logwick::StatisticsBuilder stats;
  for (logwick::ShownRows::EventIndex i : m_rows) stats.Add(m_events[i]);
  m_statistics->SetStatistics(stats.Result());
}

void CLogwickDlg::UpdateIntegrity() {
  if (m_integrity && m_integrity->isVisible()) m_integrity->SetFindings(logwick::CheckIntegrity(m_events));
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

QString CLogwickDlg::ViewRowText(int row) const {
  const logwick::GapRows::Row r = m_viewRows.At(static_cast<std::size_t>(row));
  if (r.gapMark) return logwick::kGapMarkLine;
  return RowText(m_rows.EventAt(r.shown));
}

void CLogwickDlg::FillList() {
  m_rows = logwick::ShownRows(m_events, [this](const CT7KEvent& ev) { return m_filter.Accept(ev); });
  m_viewRows = logwick::GapRows(m_rows, m_gapMarks);
  CEvListBox::RowKindFn kindOf;
  if (m_viewRows.MarkCount() > 0)
    kindOf = [this](int row) {
      return m_viewRows.At(static_cast<std::size_t>(row)).gapMark ? CEvListBox::RowKind::GapMark
                                                                  : CEvListBox::RowKind::Event;
    };
  m_list->SetRows(
      static_cast<int>(m_viewRows.Count(m_rows)), [this](int row) { return ViewRowText(row); },
      std::move(kindOf));
  m_findBar->RowsChanged();
  UpdateStatistics();
  UpdateIntegrity();

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
      m_gapMarks.clear();
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
  // A panel's history may hold more than a file can: the file takes the newest.
  const bool whole = m_events.GetCount() <= CT7KEventList::kMaxEvents;
  if (!logwick::StoreEventFile(Path8(path), whole ? m_events : logwick::FileableHead(m_events)).ok) {
    logwick::ShowMessage(this, logwick::kMsgCannotCreate, logwick::AppTitle(), logwick::MsgIcon::Exclamation);
    return;
  }
  if (!whole)
    logwick::ShowMessage(
        this,
        Q(logwick::StrFormat("Файл событий вмещает не более %u событий: записаны последние %u "
                             "из %zu событий истории прибора",
                             CT7KEventList::kMaxEvents, CT7KEventList::kMaxEvents, m_events.GetCount())),
        logwick::AppTitle(), logwick::MsgIcon::Information);
}

void CLogwickDlg::OnWriteText() {
  CTextParamDlg params(this);
  params.m_nScope = 1;
  if (params.exec() != QDialog::Accepted) return;
  const QString path = logwick::ChooseFile(this, {true, "txt", kTextFileFilter, GetEventsFilesDir()});
  if (path.isEmpty()) return;
  // The filtered report holds the events the list shows.
  const bool all = params.m_nScope == 1;
  logwick::ReportOptions options;
  options.format = ReportFormatOf(path);
  options.gaps = m_gapMarks;
  if (!logwick::WriteReportFile(Path8(path), m_events, all ? logwick::ShownRows(m_events, {}) : m_rows,
                                options)
           .ok)
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
  logwick::ReadoutResult result = reading.TakeResult();
#ifdef LOGWICK_WITH_ARCHIVE
  const QString notFiled = logwick::FileReading(result, static_cast<unsigned>(m_nPortNumber));
#else
  const QString notFiled;
#endif
  if (logwick::PutReadListInPlace(std::move(result), m_events)) m_gapMarks.clear();
  FillList();
  if (!notFiled.isEmpty())
    logwick::ShowMessage(this, notFiled, logwick::AppTitle(), logwick::MsgIcon::Exclamation);
}

void CLogwickDlg::PutHistoryInPlace(CT7KEventList&& list, std::vector<std::size_t>&& gapMarks) {
  m_events = std::move(list);
  m_gapMarks = std::move(gapMarks);
}

void CLogwickDlg::OnArchive() {
#ifdef LOGWICK_WITH_ARCHIVE
  CArchiveDlg archive(this);
  if (archive.exec() != QDialog::Accepted) return;
  if (std::optional<logwick::PanelHistory> history = archive.TakeHistory()) {
    PutHistoryInPlace(std::move(history->list), std::move(history->gapMarks));
    FillList();
  }
#endif
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
  CFilterDlg dlg(m_filter, this);
  if (dlg.exec() == QDialog::Accepted) {
    m_filter = dlg.Filter();
    // Beam numbers are bytes; the device range is taken as entered.
    m_filter.m_nFirstBeam = std::min<std::uint32_t>(m_filter.m_nFirstBeam, 255);
    m_filter.m_nLastBeam = std::min<std::uint32_t>(m_filter.m_nLastBeam, 255);
  }
  FillList();
}

void CLogwickDlg::OnSettings() {
  CSettingsDlg dlg(ReadoutSettingsNow(), this);
  if (dlg.exec() != QDialog::Accepted) return;
  const logwick::ReadoutSettings& s = dlg.Settings();
  m_nPortNumber = static_cast<int>(s.portNumber);
  g_nSelectedSerNum = s.selectedSerial;
  g_bAutoSN = s.autoSerial;
  g_bGazMode = s.gazMode;
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
