#include "app/integrity_wnd.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "desk/window_texts.h"

CIntegrityWnd::CIntegrityWnd(QWidget* parent) : QDialog(parent) {
  setObjectName("integrity");
  setWindowTitle("Проверка журнала");
  m_count = new QLabel(this);
  m_count->setObjectName("findingCount");
  m_table = new QTableWidget(0, 3, this);
  m_table->setObjectName("findings");
  m_table->setHorizontalHeaderLabels({"Строка", "Время", "Замечание"});
  m_table->verticalHeader()->hide();
  m_table->horizontalHeader()->setStretchLastSection(true);
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int) { ChooseFinding(row); });
  connect(m_table, &QTableWidget::cellActivated, this, [this](int row, int) { ChooseFinding(row); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_count);
  layout->addWidget(m_table, 1);
  resize(520, 400);
}

void CIntegrityWnd::SetFindings(std::vector<logwick::Finding> findings) {
  m_findings = std::move(findings);
  m_count->setText(QString::fromStdString(logwick::FindingsCountText(m_findings.size())));
  m_table->setRowCount(static_cast<int>(m_findings.size()));
  for (int i = 0; i < m_table->rowCount(); ++i) {
    const std::vector<std::string> cells = logwick::FindingCells(m_findings[static_cast<std::size_t>(i)]);
    for (int c = 0; c < 3; ++c)
      m_table->setItem(i, c, new QTableWidgetItem(QString::fromStdString(cells[static_cast<std::size_t>(c)])));
  }
  m_table->resizeColumnsToContents();
}

void CIntegrityWnd::ChooseFinding(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= m_findings.size()) return;
  if (onFindingChosen) onFindingChosen(static_cast<std::size_t>(index));
}
