#include "app/filter_dlg.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>

#include "app/message_box.h"

namespace {

QDateEdit* MakeDatePicker(QWidget* parent) {
  auto* d = new QDateEdit(parent);
  d->setCalendarPopup(true);
  d->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
  return d;
}

QDate ToQt(const logwick::LocalDay& d) { return QDate(d.year, d.month, d.day); }
logwick::LocalDay FromQt(const QDate& d) { return {d.year(), d.month(), d.day()}; }

}  // namespace

CFilterDlg::CFilterDlg(logwick::FilterDialog& model, QWidget* parent)
    : TemplateDialog(parent, "Фильтр", 213, 183), m_model(model) {
  setObjectName(QString::number(kIdDialog));
  AddButton(kIdOk, "OK", {156, 142, 50, 14}, true);
  AddButton(kIdCancel, "Отмена", {156, 162, 50, 14});
  AddStatic(-1, "Показывать события:", {7, 7, 199, 8});
  m_dateFrom = Place(MakeDatePicker(this), kIdDateFrom, {75, 19, 47, 11});
  AddStatic(-1, "до", {129, 21, 9, 8});
  m_dateTo = Place(MakeDatePicker(this), kIdDateTo, {145, 18, 49, 12});
  m_checkBeams = AddCheck(kIdBeams, "изменения в лучах с", {15, 42, 83, 10});
  m_editFirstBeam = AddEdit(kIdFirstBeam, {103, 41, 23, 12}, false, true);
  AddStatic(-1, "до", {131, 43, 9, 8});
  m_editLastBeam = AddEdit(kIdLastBeam, {145, 41, 23, 12}, false, true);
  m_checkDevices = AddCheck(kIdDevices, "изменения в устройствах с", {15, 64, 103, 8});
  m_checkMessages = AddCheck(kIdMessages, "выданные сообщения", {15, 84, 171, 8});
  m_checkModes = AddCheck(kIdModes, "изменения в режимах работы ПКП-1", {15, 98, 172, 8});
  m_editFirstDev = AddEdit(kIdFirstDevice, {127, 62, 23, 12}, false, true);
  AddStatic(-1, "до", {155, 64, 9, 8});
  m_editLastDev = AddEdit(kIdLastDevice, {169, 62, 23, 12}, false, true);
  m_checkUnits = AddCheck(kIdUnits, "изменения в ПР4545", {15, 112, 172, 8});
  m_checkSlaves = AddCheck(kIdSlaves, "изменения в ведомых Тарвел-7К", {15, 126, 172, 8});
  m_checkPeriod = AddCheck(kIdPeriod, "за период с", {15, 19, 55, 10});

  // Two-line check boxes of 8 dialog units would clip their text; give them
  // the height of one text line at least.
  for (QCheckBox* c : findChildren<QCheckBox*>())
    c->setMinimumHeight(std::max(c->height(), c->sizeHint().height()));

  connect(qobject_cast<QPushButton*>(Control(kIdOk)), &QPushButton::clicked, this, &CFilterDlg::accept);
  connect(qobject_cast<QPushButton*>(Control(kIdCancel)), &QPushButton::clicked, this, &CFilterDlg::reject);
  connect(m_checkBeams, &QCheckBox::clicked, this, &CFilterDlg::UpdateBeamControls);
  connect(m_checkPeriod, &QCheckBox::clicked, this, &CFilterDlg::OnPeriodClicked);
}

int CFilterDlg::exec() {
  LoadData();
  UpdateBeamControls();
  UpdatePeriodControls();
  return TemplateDialog::exec();
}

void CFilterDlg::LoadData() {
  const logwick::FilterForm f = m_model.Form();
  m_dateFrom->setDate(ToQt(f.from));
  m_dateTo->setDate(ToQt(f.to));
  m_editFirstBeam->setText(QString::fromStdString(f.firstBeam));
  m_editLastBeam->setText(QString::fromStdString(f.lastBeam));
  m_checkDevices->setChecked(f.devices);
  m_checkMessages->setChecked(f.messages);
  m_checkModes->setChecked(f.modes);
  m_checkBeams->setChecked(f.beams);
  m_editFirstDev->setText(QString::fromStdString(f.firstDev));
  m_editLastDev->setText(QString::fromStdString(f.lastDev));
  m_checkSlaves->setChecked(f.slaves);
  m_checkUnits->setChecked(f.units);
  m_checkPeriod->setChecked(f.period);
}

logwick::FilterForm CFilterDlg::Form() const {
  logwick::FilterForm f;
  f.period = m_checkPeriod->isChecked();
  f.from = FromQt(m_dateFrom->date());
  f.to = FromQt(m_dateTo->date());
  f.beams = m_checkBeams->isChecked();
  f.firstBeam = m_editFirstBeam->text().toStdString();
  f.lastBeam = m_editLastBeam->text().toStdString();
  f.devices = m_checkDevices->isChecked();
  f.firstDev = m_editFirstDev->text().toStdString();
  f.lastDev = m_editLastDev->text().toStdString();
  f.messages = m_checkMessages->isChecked();
  f.modes = m_checkModes->isChecked();
  f.units = m_checkUnits->isChecked();
  f.slaves = m_checkSlaves->isChecked();
  return f;
}

void CFilterDlg::FocusEdit(int id) {
  if (auto* edit = qobject_cast<QLineEdit*>(Control(id))) {
    edit->setFocus();
    edit->selectAll();
  }
}

void CFilterDlg::UpdateBeamControls() {
  const bool on = logwick::FilterDialog::BeamEditsEnabled(m_checkBeams->checkState() != Qt::Unchecked);
  m_editFirstBeam->setEnabled(on);
  m_editLastBeam->setEnabled(on);
}

void CFilterDlg::UpdatePeriodControls() {
  m_dateFrom->setEnabled(m_model.DatePickersEnabled());
  m_dateTo->setEnabled(m_model.DatePickersEnabled());
}

void CFilterDlg::OnPeriodClicked() {
  if (const std::optional<int> bad = m_model.OnPeriodClicked(Form())) FocusEdit(*bad);
  UpdatePeriodControls();
}

void CFilterDlg::accept() {
  int focus = 0;
  if (m_model.OnOK(Form(), &focus))
    TemplateDialog::accept();
  else
    FocusEdit(focus);
}
