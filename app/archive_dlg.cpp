#include "app/archive_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include "app/archive_filing.h"
#include "app/message_box.h"
#include "app/settings.h"
#include "events/strformat.h"
#include "history/archive_location.h"
#include "lists/panel_types.h"

#ifdef LOGWICK_WITH_SYNC
#include "sync/pg_connection.h"
#endif

namespace {

using logwick::PanelKey;
using logwick::PanelSummary;

// Item roles: the value a column sorts by, the panel a row stands for, and
// the text the narrowing field searches (serial number and configuration).
constexpr int kSortRole = Qt::UserRole;
constexpr int kTypeRole = Qt::UserRole + 1;
constexpr int kSerialRole = Qt::UserRole + 2;
constexpr int kNarrowRole = Qt::UserRole + 3;

constexpr const char* kHeaders[CArchiveDlg::kColumnCount] = {
    "Прибор",
    "С/н",
    "Конфигурация",
    "Событий",
    "Чтений",
    "Первое событие",
    "Последнее событие",
    "Последнее чтение",
    "Пропусков",
};

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

QStandardItem* Item(const QString& text, const QVariant& sortKey) {
  auto* item = new QStandardItem(text);
  item->setData(sortKey, kSortRole);
  item->setEditable(false);
  return item;
}

QStandardItem* Count(std::uint64_t n) {
  QStandardItem* item = Item(QString::number(n), QVariant::fromValue<qulonglong>(n));
  item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return item;
}

// Packed time stamps grow with the time they stand for.
QStandardItem* Stamp(std::optional<std::uint32_t> stamp) {
  if (!stamp) return Item("-", QVariant::fromValue<qlonglong>(-1));
  CT7KEvent ev;
  ev.SetTimeStamp(*stamp);
  return Item(Q(ev.GetTimeText()), QVariant::fromValue<qlonglong>(*stamp));
}

QStandardItem* ReadTimeItem(const logwick::ReadTime& t) {
  qlonglong key = 0;
  for (const std::int32_t field : t) key = key * 100 + field;  // year first, then month ... second
  return Item(Q(logwick::ReadTimeText(t)), key);
}

QString SyncCounts(const logwick::SyncOutcome& r) {
  return Q(logwick::StrFormat("отправлено %zu, получено %zu", r.counts.sent, r.counts.fetched));
}

logwick::SyncWorker::Job DefaultSyncJob() {
#ifdef LOGWICK_WITH_SYNC
  return logwick::SyncWithServer;
#else
  return {};
#endif
}

bool AddressHoldsPassword(const std::string& url) {
#ifdef LOGWICK_WITH_SYNC
  return logwick::AddressHoldsPassword(url);
#else
  (void)url;
  return false;
#endif
}

}  // namespace

CArchiveDlg::CArchiveDlg(QWidget* parent, logwick::SyncWorker::Job syncJob)
    : QDialog(parent), m_path(logwick::ResolveArchivePath({})), m_syncJob(std::move(syncJob)) {
  setObjectName(QString::number(kIdDialog));
  setWindowTitle("Архив истории приборов");
  if (!m_syncJob) m_syncJob = DefaultSyncJob();
  BuildControls();
  resize(1040, 460);  // room for every column at the usual font
}

CArchiveDlg::~CArchiveDlg() = default;

void CArchiveDlg::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  m_labelPath = new QLabel(this);
  m_labelPath->setObjectName(QString::number(kIdPath));
  m_labelPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_labelPath->setTextFormat(Qt::PlainText);  // a path is data, never markup
  m_labelPath->setText("Архив: " + (m_path.empty() ? QString("не задан") : Q(m_path)));
  layout->addWidget(m_labelPath);

  auto* narrowRow = new QHBoxLayout;
  auto* narrowLabel = new QLabel("Найти (с/н или конфигурация):", this);
  m_editNarrow = new QLineEdit(this);
  m_editNarrow->setObjectName(QString::number(kIdNarrow));
  m_editNarrow->setClearButtonEnabled(true);
  narrowLabel->setBuddy(m_editNarrow);
  narrowRow->addWidget(narrowLabel);
  narrowRow->addWidget(m_editNarrow, 1);
  layout->addLayout(narrowRow);

  m_model = new QStandardItemModel(0, kColumnCount, this);
  for (int c = 0; c < kColumnCount; ++c) m_model->setHorizontalHeaderItem(c, new QStandardItem(kHeaders[c]));
  m_narrowed = new QSortFilterProxyModel(this);
  m_narrowed->setSourceModel(m_model);
  m_narrowed->setSortRole(kSortRole);
  m_narrowed->setFilterRole(kNarrowRole);
  m_narrowed->setFilterKeyColumn(kColType);
  m_narrowed->setFilterCaseSensitivity(Qt::CaseInsensitive);
  connect(m_editNarrow, &QLineEdit::textChanged, m_narrowed, &QSortFilterProxyModel::setFilterFixedString);

  m_table = new QTableView(this);
  m_table->setObjectName(QString::number(kIdTable));
  m_table->setModel(m_narrowed);
  m_table->setSortingEnabled(true);
  m_table->sortByColumn(kColSerial, Qt::AscendingOrder);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->verticalHeader()->hide();
  m_table->horizontalHeader()->setStretchLastSection(true);
  connect(m_table, &QTableView::doubleClicked, this, &CArchiveDlg::OnOpen);
  layout->addWidget(m_table, 1);

  auto* actions = new QHBoxLayout;
  m_buttonOpen = new QPushButton("Открыть", this);
  m_buttonOpen->setObjectName(QString::number(kIdOpen));
  m_buttonOpen->setDefault(true);
  connect(m_buttonOpen, &QPushButton::clicked, this, &CArchiveDlg::OnOpen);
  actions->addWidget(m_buttonOpen);
  m_checkArchive = new QCheckBox("Сохранять каждое чтение в архив", this);
  m_checkArchive->setObjectName(QString::number(kIdArchiveReadings));
  m_checkArchive->setChecked(logwick::ArchivesEveryReading());
  connect(m_checkArchive, &QCheckBox::toggled, this, [](bool on) { logwick::SetArchivesEveryReading(on); });
  actions->addWidget(m_checkArchive);
  actions->addStretch(1);
  layout->addLayout(actions);

  if (m_syncJob) {
    auto* sync = new QHBoxLayout;
    auto* serverLabel = new QLabel("Сервер общего архива:", this);
    m_editServer = new QLineEdit(logwick::ReadProfileString(logwick::kSettingServerUrl), this);
    m_editServer->setObjectName(QString::number(kIdServer));
    m_editServer->setPlaceholderText("postgresql://пользователь@сервер/база");
    m_editServer->setToolTip(
        "Адрес сервера PostgreSQL без пароля: пароль берётся из файла ~/.pgpass или переменной PGPASSWORD");
    serverLabel->setBuddy(m_editServer);
    m_buttonSync = new QPushButton("Синхронизировать", this);
    m_buttonSync->setObjectName(QString::number(kIdSync));
    m_buttonSync->setAutoDefault(false);
    connect(m_buttonSync, &QPushButton::clicked, this, &CArchiveDlg::OnSync);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QString::number(kIdProgress));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_buttonStop = new QPushButton("Остановить", this);
    m_buttonStop->setObjectName(QString::number(kIdStop));
    m_buttonStop->setAutoDefault(false);
    m_buttonStop->setEnabled(false);
    connect(m_buttonStop, &QPushButton::clicked, this, &CArchiveDlg::OnStop);
    sync->addWidget(serverLabel);
    sync->addWidget(m_editServer, 2);
    sync->addWidget(m_buttonSync);
    sync->addWidget(m_progress, 1);
    sync->addWidget(m_buttonStop);
    layout->addLayout(sync);
  }

  auto* bottom = new QHBoxLayout;
  m_labelStatus = new QLabel(this);
  m_labelStatus->setObjectName(QString::number(kIdStatus));
  m_labelStatus->setWordWrap(true);
  m_labelStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_labelStatus->setTextFormat(Qt::PlainText);  // may quote a server's or a file's words
  m_buttonClose = new QPushButton("Закрыть", this);
  m_buttonClose->setObjectName(QString::number(kIdClose));
  m_buttonClose->setAutoDefault(false);
  connect(m_buttonClose, &QPushButton::clicked, this, &CArchiveDlg::reject);
  bottom->addWidget(m_labelStatus, 1);
  bottom->addWidget(m_buttonClose);
  layout->addLayout(bottom);
}

int CArchiveDlg::exec() {
  Refresh();
  return QDialog::exec();
}

void CArchiveDlg::ShowStatus(const QString& text) { m_labelStatus->setText(text); }

void CArchiveDlg::AddPanelRow(const PanelSummary& p) {
  auto* type = Item(Q(PanelTypeName(p.panel.type)), p.panel.type);
  type->setData(p.panel.type, kTypeRole);
  type->setData(p.panel.serial, kSerialRole);
  type->setData(QString::number(p.panel.serial) + '\n' + Q(p.configName), kNarrowRole);
  QStandardItem* serial = Item(QString::number(p.panel.serial), p.panel.serial);
  serial->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_model->appendRow({type, serial, Item(Q(p.configName), Q(p.configName).toLower()), Count(p.events),
                      Count(p.readouts), Stamp(p.firstEvent), Stamp(p.lastEvent), ReadTimeItem(p.lastRead),
                      Count(p.gapMarks)});
}

void CArchiveDlg::Refresh() {
  const std::optional<PanelKey> selected = SelectedPanel();
  m_model->removeRows(0, m_model->rowCount());
  if (m_path.empty()) {
    ShowStatus("Не известна папка для архива: задайте переменную LOGWICK_ARCHIVE");
    return;
  }
  std::vector<PanelSummary> panels;
  try {
    panels = logwick::HistoryArchive::Open(m_path, false)->Panels();
  } catch (const logwick::ArchiveError& e) {
    if (e.GetKind() == logwick::ArchiveError::Kind::Missing) {
      ShowStatus("Архив ещё не создан: он появится с первым сохранённым чтением");
      return;
    }
    ShowStatus(QString::fromUtf8(e.what()));
    logwick::ShowMessage(this, QString::fromUtf8(e.what()), "Ошибка", logwick::MsgIcon::Exclamation);
    return;
  }
  for (const PanelSummary& p : panels) AddPanelRow(p);
  m_table->resizeColumnsToContents();
  if (selected) SelectPanel(*selected);
  if (!SelectedPanel() && m_narrowed->rowCount() > 0) m_table->selectRow(0);
  if (!Syncing()) ShowStatus(Q(logwick::StrFormat("Приборов в архиве: %zu", panels.size())));
}

int CArchiveDlg::ShownPanelCount() const { return m_narrowed->rowCount(); }

PanelKey CArchiveDlg::PanelAt(int shownRow) const {
  const QModelIndex at = m_narrowed->index(shownRow, kColType);
  return {at.data(kTypeRole).toInt(), at.data(kSerialRole).toInt()};
}

bool CArchiveDlg::SelectPanel(const PanelKey& panel) {
  for (int row = 0; row < ShownPanelCount(); ++row)
    if (PanelAt(row) == panel) {
      m_table->selectRow(row);
      return true;
    }
  return false;
}

std::optional<PanelKey> CArchiveDlg::SelectedPanel() const {
  const QModelIndexList rows = m_table->selectionModel()->selectedRows(kColType);
  if (rows.isEmpty()) return std::nullopt;
  return PanelAt(rows.first().row());
}

void CArchiveDlg::OnOpen() {
  const std::optional<PanelKey> panel = SelectedPanel();
  if (!panel || Syncing()) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QString failure;
  try {
    m_history = logwick::HistoryArchive::Open(m_path, false)->History(*panel);
    if (!m_history) failure = "Прибора больше нет в архиве: " + Q(m_path);
  } catch (const logwick::ArchiveError& e) {
    failure = QString::fromUtf8(e.what());
  }
  QApplication::restoreOverrideCursor();
  if (failure.isEmpty()) {
    accept();
    return;
  }
  logwick::ShowMessage(this, failure, "Ошибка", logwick::MsgIcon::Exclamation);
  Refresh();
}

void CArchiveDlg::OnSync() {
  if (!m_syncJob || Syncing()) return;
  const QString url = m_editServer->text().trimmed();
  if (url.isEmpty()) {
    logwick::ShowMessage(this,
                         "Укажите адрес сервера общего архива, например postgresql://инженер@сервер/logwick",
                         logwick::AppTitle(), logwick::MsgIcon::Exclamation);
    return;
  }
  if (AddressHoldsPassword(url.toStdString())) {
    logwick::ShowMessage(
        this,
        "Адрес сервера содержит пароль, а Logwick паролей не хранит. Уберите пароль из адреса: "
        "PostgreSQL возьмёт его из файла ~/.pgpass или из переменной PGPASSWORD.",
        logwick::AppTitle(), logwick::MsgIcon::Exclamation);
    return;
  }
  if (m_path.empty()) {
    ShowStatus("Не известна папка для архива: задайте переменную LOGWICK_ARCHIVE");
    return;
  }
  logwick::WriteProfileString(logwick::kSettingServerUrl, url);
  m_sync = std::make_unique<logwick::SyncWorker>(
      m_syncJob, [this](const logwick::SyncProgress& p) { OnSyncProgress(p); },
      [this](logwick::SyncOutcome r) { OnSyncFinished(std::move(r)); });
  SetSyncing(true);
  ShowStatus(logwick::SyncStepText(logwick::SyncStep::Connecting));
  m_sync->Start(m_path, url.toStdString());
}

void CArchiveDlg::OnStop() {
  if (!Syncing()) return;
  m_sync->Cancel();
  m_buttonStop->setEnabled(false);
  ShowStatus("Синхронизация останавливается ...");
}

void CArchiveDlg::SetSyncing(bool on) {
  m_buttonSync->setEnabled(!on);
  m_editServer->setEnabled(!on);
  m_buttonOpen->setEnabled(!on);
  m_buttonStop->setEnabled(on);
  if (on) {
    m_progress->setRange(0, 0);  // busy until a step counts read-outs
  } else {
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
  }
}

void CArchiveDlg::OnSyncProgress(const logwick::SyncProgress& p) {
  if (m_sync && !m_buttonStop->isEnabled()) return;  // stopping: keep saying so
  QString text = logwick::SyncStepText(p.step);
  if (p.total > 0) {
    m_progress->setRange(0, static_cast<int>(p.total));
    m_progress->setValue(static_cast<int>(p.done));
    text += Q(logwick::StrFormat(": %zu из %zu", p.done, p.total));
  } else {
    m_progress->setRange(0, 0);
  }
  ShowStatus(text);
}

void CArchiveDlg::OnSyncFinished(logwick::SyncOutcome r) {
  SetSyncing(false);
  Refresh();
  QString text;
  switch (r.status) {
    case logwick::SyncStatus::Done:
      text = "Синхронизация с сервером " + Q(r.server) + " завершена: " + SyncCounts(r);
      break;
    case logwick::SyncStatus::Cancelled:
      text = "Синхронизация остановлена (" + SyncCounts(r) + "): следующая завершит её";
      break;
    case logwick::SyncStatus::ServerFailed:
    case logwick::SyncStatus::ArchiveFailed:
      text = Q(r.message) + "\nСинхронизация не завершена (" + SyncCounts(r) + "): следующая завершит её";
      break;
  }
  ShowStatus(text);
  const bool failed =
      r.status == logwick::SyncStatus::ServerFailed || r.status == logwick::SyncStatus::ArchiveFailed;
  if (failed && !m_closeWhenSynced)
    logwick::ShowMessage(this, text, logwick::AppTitle(), logwick::MsgIcon::Warning);
  if (m_closeWhenSynced) QDialog::reject();
}

void CArchiveDlg::reject() {
  if (!Syncing()) {
    QDialog::reject();
    return;
  }
  m_closeWhenSynced = true;
  OnStop();
}
