#include "app/archive_dlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/elided_line.h"

namespace {

using logwick::ArchiveWindowModel;

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

QPushButton* Button(const char* text, int id, QWidget* parent) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::number(id));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

CArchiveDlg::CArchiveDlg(ArchiveWindowModel& model, QWidget* parent) : QDialog(parent), m_model(model) {
  setObjectName(QString::number(kIdDialog));
  setWindowTitle("Архив истории приборов");
  BuildControls();
  m_model.SetChanged([this] { Redraw(); });
  m_model.SetClose([this] { QDialog::reject(); });
  resize(1040, 460);  // room for every column at the usual font
}

CArchiveDlg::~CArchiveDlg() {
  m_model.SetChanged({});
  m_model.SetClose({});
}

void CArchiveDlg::BuildControls() {
  auto* layout = new QVBoxLayout(this);
  m_labelPath = new QLabel(this);
  m_labelPath->setObjectName(QString::number(kIdPath));
  m_labelPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_labelPath->setTextFormat(Qt::PlainText);  // a path is data, never markup
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
  connect(m_editNarrow, &QLineEdit::textChanged, this,
          [this](const QString& text) { m_model.Narrow(text.toStdString()); });

  m_table = new QTableWidget(0, ArchiveWindowModel::kColumnCount, this);
  m_table->setObjectName(QString::number(kIdTable));
  QStringList headers;
  for (const char* h : ArchiveWindowModel::kHeaders) headers << h;
  m_table->setHorizontalHeaderLabels(headers);
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->verticalHeader()->hide();
  QHeaderView* header = m_table->horizontalHeader();
  header->setStretchLastSection(true);
  header->setSectionsClickable(true);
  header->setSortIndicatorShown(true);
  connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
    // A click on the sorted column turns its order round.
    const bool ascending = column != m_model.SortColumn() || !m_model.SortAscending();
    m_model.SortBy(column, ascending);
  });
  connect(m_table, &QTableWidget::itemSelectionChanged, this, [this] {
    if (m_filling) return;
    const QList<QTableWidgetSelectionRange> ranges = m_table->selectedRanges();
    m_model.Select(ranges.isEmpty() ? std::nullopt : std::optional<std::size_t>(ranges.first().topRow()));
  });
  connect(m_table, &QTableWidget::cellDoubleClicked, this, [this] { OnOpen(); });
  layout->addWidget(m_table, 1);

  auto* actions = new QHBoxLayout;
  m_buttonOpen = Button("Открыть", kIdOpen, this);
  m_buttonOpen->setDefault(true);
  connect(m_buttonOpen, &QPushButton::clicked, this, &CArchiveDlg::OnOpen);
  actions->addWidget(m_buttonOpen);
  m_checkArchive = new QCheckBox("Сохранять каждое чтение в архив", this);
  m_checkArchive->setObjectName(QString::number(kIdArchiveReadings));
  m_checkArchive->setChecked(m_model.ArchivesEveryReading());
  connect(m_checkArchive, &QCheckBox::toggled, this, [this](bool on) { m_model.SetArchivesEveryReading(on); });
  actions->addWidget(m_checkArchive);
  actions->addStretch(1);
  layout->addLayout(actions);

  auto* sync = new QHBoxLayout;
  auto* serverLabel = new QLabel("Сервер общего архива:", this);
  m_editServer = new QLineEdit(Q(m_model.ServerUrl()), this);
  m_editServer->setObjectName(QString::number(kIdServer));
  m_editServer->setPlaceholderText("postgresql://пользователь@сервер/база");
  m_editServer->setToolTip(
      "Адрес сервера PostgreSQL без пароля: пароль берётся из файла ~/.pgpass или переменной PGPASSWORD");
  serverLabel->setBuddy(m_editServer);
  m_buttonSync = Button("Синхронизировать", kIdSync, this);
  connect(m_buttonSync, &QPushButton::clicked, this,
          [this] { m_model.OnSync(m_editServer->text().toStdString()); });
  m_progress = new QProgressBar(this);
  m_progress->setObjectName(QString::number(kIdProgress));
  m_buttonStop = Button("Остановить", kIdStop, this);
  connect(m_buttonStop, &QPushButton::clicked, this, [this] { m_model.OnStop(); });
  sync->addWidget(serverLabel);
  sync->addWidget(m_editServer, 2);
  sync->addWidget(m_buttonSync);
  sync->addWidget(m_progress, 1);
  sync->addWidget(m_buttonStop);
  layout->addLayout(sync);

  auto* bottom = new QHBoxLayout;
  // One line that never pushes "Закрыть": a long status ends in "…".
  m_labelStatus = new CElidedLine(this);
  m_labelStatus->setObjectName(QString::number(kIdStatus));
  m_buttonClose = Button("Закрыть", kIdClose, this);
  connect(m_buttonClose, &QPushButton::clicked, this, &CArchiveDlg::reject);
  bottom->addWidget(m_labelStatus, 1);
  bottom->addWidget(m_buttonClose);
  layout->addLayout(bottom);
}

int CArchiveDlg::exec() {
  m_model.Refresh();
  Redraw();
  return QDialog::exec();
}

void CArchiveDlg::FillTable() {
  m_filling = true;
  m_table->setRowCount(static_cast<int>(m_model.RowCount()));
  for (std::size_t row = 0; row < m_model.RowCount(); ++row)
    for (int c = 0; c < ArchiveWindowModel::kColumnCount; ++c) {
      auto* item = new QTableWidgetItem(Q(m_model.Cell(row, c)));
      if (ArchiveWindowModel::RightAligned(c)) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      m_table->setItem(static_cast<int>(row), c, item);
    }
  m_table->horizontalHeader()->setSortIndicator(m_model.SortColumn(),
                                                m_model.SortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
  if (const std::optional<std::size_t> selected = m_model.Selected())
    m_table->selectRow(static_cast<int>(*selected));
  else
    m_table->clearSelection();
  m_table->resizeColumnsToContents();
  m_filling = false;
}

void CArchiveDlg::Redraw() {
  const ArchiveWindowModel::State& s = m_model.GetState();
  if (m_drawnRows != s.rowsGeneration) {
    m_drawnRows = s.rowsGeneration;
    FillTable();
  }
  m_labelPath->setText(Q(s.pathLine));
  m_labelStatus->SetLine(Q(s.statusLine));
  m_buttonSync->setEnabled(!s.syncing);
  m_editServer->setEnabled(!s.syncing);
  m_buttonOpen->setEnabled(!s.syncing);
  m_buttonStop->setEnabled(s.syncing && !s.stopping);
  m_progress->setRange(0, s.progressUpper);
  m_progress->setValue(s.progress);
}

void CArchiveDlg::OnOpen() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool opened = m_model.OnOpen();
  QApplication::restoreOverrideCursor();
  if (opened) accept();
}

void CArchiveDlg::reject() {
  if (m_model.OnClose()) QDialog::reject();
}
