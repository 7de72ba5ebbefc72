#include "app/filter_dlg.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>

#include "app/message_box.h"

namespace {

// The data exchange's own wording for a number edit that holds no number.
const char* const kNumberMessage = "Введите положительное целое число.";

QDateEdit* MakeDatePicker(QWidget* parent) {
  auto* d = new QDateEdit(parent);
  d->setCalendarPopup(true);
  d->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
  return d;
}

bool ParseUnsigned(const QString& text, std::uint32_t& out) {
  const QString t = text.trimmed();
  if (t.isEmpty()) return false;
  bool ok = false;
  const qulonglong v = t.toULongLong(&ok);
  if (!ok || v > 0xFFFFFFFFull) return false;
  out = static_cast<std::uint32_t>(v);
  return true;
}

}  // namespace

CFilterDlg::CFilterDlg(const CT7KEvFilter& filter, QWidget* parent)
    : TemplateDialog(parent, "Фильтр", 213, 183), m_filter(filter) {
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
  const CT7KEvFilter& f = m_filter;
  m_dateFrom->setDate(QDateTime::fromSecsSinceEpoch(f.m_timeFrom).date());
  m_dateTo->setDate(QDateTime::fromSecsSinceEpoch(f.m_timeTo).date());
  m_editFirstBeam->setText(QString::number(f.m_nFirstBeam));
  m_editLastBeam->setText(QString::number(f.m_nLastBeam));
  m_checkDevices->setChecked(f.m_bDevices != 0);
  m_checkMessages->setChecked(f.m_bMessages != 0);
  m_checkModes->setChecked(f.m_bModes != 0);
  m_checkBeams->setChecked(f.m_bBeams != 0);
  m_editFirstDev->setText(QString::number(f.m_nFirstDev));
  m_editLastDev->setText(QString::number(f.m_nLastDev));
  m_checkSlaves->setChecked(f.m_bSlaves != 0);
  m_checkUnits->setChecked(f.m_bUnits != 0);
  m_checkPeriod->setChecked(f.m_bPeriod != 0);
}

bool CFilterDlg::SaveData() {
  // A picker holds a date only; the time of day of the old value is kept, as
  // the picker of the original keeps it (only whole days count in the filter).
  auto takeDate = [](QDateEdit* picker, std::int64_t& t) {
    const QDateTime old = QDateTime::fromSecsSinceEpoch(t);
    t = QDateTime(picker->date(), old.time()).toSecsSinceEpoch();
  };
  auto takeNumber = [this](QLineEdit* edit, std::uint32_t& out) {
    if (ParseUnsigned(edit->text(), out)) return true;
    logwick::ShowMessage(this, kNumberMessage, logwick::AppTitle(), logwick::MsgIcon::Exclamation);
    edit->setFocus();
    edit->selectAll();
    return false;
  };
  CT7KEvFilter& f = m_filter;
  takeDate(m_dateFrom, f.m_timeFrom);
  takeDate(m_dateTo, f.m_timeTo);
  if (!takeNumber(m_editFirstBeam, f.m_nFirstBeam)) return false;
  if (!takeNumber(m_editLastBeam, f.m_nLastBeam)) return false;
  f.m_bDevices = m_checkDevices->isChecked();
  f.m_bMessages = m_checkMessages->isChecked();
  f.m_bModes = m_checkModes->isChecked();
  f.m_bBeams = m_checkBeams->isChecked();
  if (!takeNumber(m_editFirstDev, f.m_nFirstDev)) return false;
  if (!takeNumber(m_editLastDev, f.m_nLastDev)) return false;
  f.m_bSlaves = m_checkSlaves->isChecked();
  f.m_bUnits = m_checkUnits->isChecked();
  f.m_bPeriod = m_checkPeriod->isChecked();
  return true;
}

void CFilterDlg::UpdateBeamControls() {
  const bool on = m_checkBeams->checkState() != Qt::Unchecked;
  m_editFirstBeam->setEnabled(on);
  m_editLastBeam->setEnabled(on);
}

void CFilterDlg::UpdatePeriodControls() {
  m_dateFrom->setEnabled(m_filter.m_bPeriod != 0);
  m_dateTo->setEnabled(m_filter.m_bPeriod != 0);
}

void CFilterDlg::OnPeriodClicked() {
  SaveData();
  UpdatePeriodControls();
}

void CFilterDlg::accept() {
  if (SaveData()) TemplateDialog::accept();
}
