#include "app/settings_dlg.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <climits>
#include <cstdlib>

#include "app/message_box.h"
#include "link/port_names.h"

namespace {

constexpr std::uint32_t kMinSerial = 2;
constexpr std::uint32_t kSerialLimit = 0x1000000;  // 24 bits

}  // namespace

CSettingsDlg::CSettingsDlg(const logwick::ReadoutSettings& settings, QWidget* parent,
                           const std::vector<logwick::PortInfo>* ports)
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
  // Port names with the device after them need more room when the list is open.
  m_comboPort->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
  m_comboPort->view()->setMinimumWidth(Units().X(120));

  connect(qobject_cast<QPushButton*>(Control(kIdOk)), &QPushButton::clicked, this, &CSettingsDlg::accept);
  connect(qobject_cast<QPushButton*>(Control(kIdCancel)), &QPushButton::clicked, this, &CSettingsDlg::reject);
  connect(m_checkAuto, &QCheckBox::clicked, this, &CSettingsDlg::OnAutoClicked);
}

CSettingsDlg::~CSettingsDlg() = default;

QString CSettingsDlg::PortText(const logwick::PortInfo& port) {
  QString text = QString("COM%1").arg(port.number);
#ifndef _WIN32
  // The device without its "/dev/" folder keeps the closed box readable.
  QString device = QString::fromStdString(port.devicePath);
  if (device.startsWith("/dev/")) device = device.mid(5);
  if (!device.isEmpty()) text += ' ' + device;
#endif
  return text;
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
  if (!m_portsGiven) m_ports = logwick::EnumeratePorts();
  m_comboPort->clear();
  // A sorted drop-down list: entries sorted as text, COM10 before COM2.
  std::vector<std::pair<QString, unsigned>> entries;
  for (const auto& port : m_ports) entries.emplace_back(PortText(port), port.number);
  std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0;
  });
  int selected = -1;
  for (const auto& [text, number] : entries) {
    m_comboPort->addItem(text, number);
    if (number == m_settings.portNumber) selected = m_comboPort->count() - 1;
  }
  m_comboPort->setCurrentIndex(selected);
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
