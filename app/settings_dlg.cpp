#include "app/settings_dlg.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "app/message_box.h"
#include "link/port_list.h"

namespace {

constexpr std::uint32_t kMinSerial = 2;
constexpr std::uint32_t kSerialLimit = 0x1000000;  // 24 bits

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

CSettingsDlg::CSettingsDlg(const logwick::ReadoutSettings& settings, QWidget* parent,
                           const std::vector<logwick::PortListing>* ports)
    : TemplateDialog(parent, "Настройка", 223, 85), m_settings(settings), m_portsGiven(ports != nullptr) {
  setObjectName(QString::number(kIdDialog));
  if (ports) m_ports = *ports;
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

QString CSettingsDlg::PortText(const logwick::PortListing& port) {
  QString text = QString("COM%1").arg(port.number);
#ifndef _WIN32
  // The device without its "/dev/" folder keeps the closed box readable.
  QString device = QString::fromStdString(port.device);
  if (device.startsWith("/dev/")) device = device.mid(5);
  if (!device.isEmpty()) text += ' ' + device;
#endif
  return text;
}

QString CSettingsDlg::ListedText(const QModelIndex& entry) {
  const QString text = entry.data(Qt::DisplayRole).toString();
  const QString description = entry.data(kDescriptionRole).toString();
  return description.isEmpty() ? text : text + "  " + description;
}

std::uint32_t CSettingsDlg::AtoiUnsigned(const QString& text) {
  // atoi: blanks, a sign, then digits; what does not fit wraps as a long
  // would, and the result is taken as 32 bits.
  const QByteArray bytes = text.toLatin1();
  const long long v = std::strtoll(bytes.constData(), nullptr, 10);
  return static_cast<std::uint32_t>(static_cast<int>(static_cast<std::int64_t>(v)));
}

int CSettingsDlg::exec() {
  OnInitDialog();
  return TemplateDialog::exec();
}

void CSettingsDlg::OnInitDialog() {
  m_checkAuto->setChecked(m_settings.autoSerial);
  m_checkGaz->setChecked(m_settings.gazMode);
  if (!m_portsGiven) m_ports = logwick::ListPorts(logwick::HostSystemView());
  m_comboPort->clear();
  // A sorted drop-down list: entries sorted as text, COM10 before COM2.
  std::vector<std::pair<QString, const logwick::PortListing*>> entries;
  for (const auto& port : m_ports) entries.emplace_back(PortText(port), &port);
  std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0;
  });
  int selected = -1;
  for (const auto& [text, port] : entries) {
    m_comboPort->addItem(text, port->number);
    const int at = m_comboPort->count() - 1;
    m_comboPort->setItemData(at, QString::fromStdString(port->description), kDescriptionRole);
    if (port->number == m_settings.portNumber) selected = at;
  }
  m_comboPort->setCurrentIndex(selected);
  // The open list is as wide as its longest entry with its description.
  QAbstractItemView* list = m_comboPort->view();
  list->setMinimumWidth(
      std::max(Units().X(120), list->sizeHintForColumn(0) + list->verticalScrollBar()->sizeHint().width()));
  m_editSerNum->setText(QString::number(static_cast<int>(m_settings.selectedSerial)));
  m_editSerNum->setEnabled(!m_settings.autoSerial);
}

void CSettingsDlg::OnAutoClicked() {
  m_settings.autoSerial = m_checkAuto->isChecked();
  m_settings.gazMode = m_checkGaz->isChecked();
  if (m_settings.autoSerial) {
    m_editSerNum->setEnabled(false);
    return;
  }
  m_editSerNum->setEnabled(true);
  const std::uint32_t n = AtoiUnsigned(m_editSerNum->text());
  if (n < kMinSerial || n > kSerialLimit - 1) m_editSerNum->setText("2");
}

void CSettingsDlg::accept() {
  m_settings.autoSerial = m_checkAuto->isChecked();
  m_settings.gazMode = m_checkGaz->isChecked();
  const int index = m_comboPort->currentIndex();
  m_settings.portNumber = index < 0 ? kNoPort : m_comboPort->itemData(index).toUInt();
  const std::uint32_t n = AtoiUnsigned(m_editSerNum->text());
  if (m_settings.autoSerial || (n >= kMinSerial && n < kSerialLimit)) {
    m_settings.selectedSerial = n;
    TemplateDialog::accept();
    return;
  }
  logwick::ShowMessage(this, "Не допустимый серийный номер", "Ошибка", logwick::MsgIcon::Stop);
}
