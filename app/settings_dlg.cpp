#include "app/settings_dlg.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

namespace {

// Where an entry of the port list keeps its description.
constexpr int kDescriptionRole = Qt::UserRole + 1;

// The open list draws each entry with its description beside it; the closed
// box keeps the entry's own text.
class PortEntryDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = CSettingsDlg::ListedText(index);
  }
};

}  // namespace

CSettingsDlg::CSettingsDlg(logwick::SettingsDialog& model, QWidget* parent)
    : TemplateDialog(parent, "Настройка", 223, 85), m_model(model) {
  setObjectName(QString::number(kIdDialog));
  AddButton(kIdOk, "OK", {51, 64, 50, 14}, true);
  AddButton(kIdCancel, "Отмена", {122, 64, 50, 14});
  AddStatic(-1, "Номер СОМ порта для связи с прибором", {7, 9, 140, 8});
  // The list drops down below the control; the template's height is that of
  // the open list, the closed box is one line high.
  m_comboPort = Place(new QComboBox(this), kIdPort, {164, 7, 52, 12});
  AddStatic(-1, "Серийный номер прибора", {7, 25, 86, 8});
  m_editSerNum = AddEdit(kIdSerial, {95, 23, 42, 12}, false, true);
  m_editSerNum->setAlignment(Qt::AlignRight);
  m_checkAuto = AddCheck(kIdAuto, "Авто", {149, 24, 32, 10});
  m_checkGaz = AddCheck(kIdGaz, "Работа в формате АСУПЗ ГАЗ", {7, 40, 209, 14});
  for (QCheckBox* c : findChildren<QCheckBox*>())
    c->setMinimumHeight(std::max(c->height(), c->sizeHint().height()));
  m_comboPort->setItemDelegate(new PortEntryDelegate(m_comboPort));

  connect(qobject_cast<QPushButton*>(Control(kIdOk)), &QPushButton::clicked, this, &CSettingsDlg::accept);
  connect(qobject_cast<QPushButton*>(Control(kIdCancel)), &QPushButton::clicked, this, &CSettingsDlg::reject);
  connect(m_checkAuto, &QCheckBox::clicked, this, &CSettingsDlg::OnAutoClicked);
}

CSettingsDlg::~CSettingsDlg() = default;

QString CSettingsDlg::ListedText(const QModelIndex& entry) {
  const QString text = entry.data(Qt::DisplayRole).toString();
  const QString description = entry.data(kDescriptionRole).toString();
  return description.isEmpty() ? text : text + "  " + description;
}

int CSettingsDlg::exec() {
  OnInitDialog();
  return TemplateDialog::exec();
}

void CSettingsDlg::OnInitDialog() {
  const logwick::ReadoutSettings& settings = m_model.Settings();
  m_checkAuto->setChecked(settings.autoSerial);
  m_checkGaz->setChecked(settings.gazMode);
  m_comboPort->clear();
  for (const logwick::SettingsDialog::PortEntry& port : m_model.Ports()) {
    m_comboPort->addItem(QString::fromStdString(port.text), port.number);
    m_comboPort->setItemData(m_comboPort->count() - 1, QString::fromStdString(port.description),
                             kDescriptionRole);
  }
  const std::optional<std::size_t> selected = m_model.SelectedPort();
  m_comboPort->setCurrentIndex(selected ? static_cast<int>(*selected) : -1);
  // The open list is as wide as its longest entry with its description.
  QAbstractItemView* list = m_comboPort->view();
  list->setMinimumWidth(
      std::max(Units().X(120), list->sizeHintForColumn(0) + list->verticalScrollBar()->sizeHint().width()));
  m_editSerNum->setText(QString::fromStdString(m_model.SerialText()));
  m_editSerNum->setEnabled(m_model.SerialEnabled());
}

std::optional<std::size_t> CSettingsDlg::ChosenPort() const {
  const int index = m_comboPort->currentIndex();
  if (index < 0) return std::nullopt;
  return static_cast<std::size_t>(index);
}

void CSettingsDlg::OnAutoClicked() {
  if (const std::optional<std::string> text = m_model.OnAutoClicked(
          m_checkAuto->isChecked(), m_checkGaz->isChecked(), m_editSerNum->text().toStdString()))
    m_editSerNum->setText(QString::fromStdString(*text));
  m_editSerNum->setEnabled(m_model.SerialEnabled());
}

void CSettingsDlg::accept() {
  if (m_model.OnOK(ChosenPort(), m_checkAuto->isChecked(), m_checkGaz->isChecked(),
                   m_editSerNum->text().toStdString()))
    TemplateDialog::accept();
}
