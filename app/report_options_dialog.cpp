#include "app/report_options_dialog.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>

CTextParamDlg::CTextParamDlg(QWidget* parent) : TemplateDialog(parent, "Параметры", 187, 57) {
  setObjectName(QString::number(kIdDialog));
  auto* ok = AddButton(kIdOk, "OK", {39, 36, 50, 14}, true);
  auto* cancel = AddButton(kIdCancel, "Отмена", {101, 36, 50, 14});
  m_radioFilter = AddRadio(kIdScopeFiltered, "С учетом установленного фильтра", {7, 7, 173, 8});
  m_radioAll = AddRadio(kIdScopeAll, "Все события", {7, 19, 125, 8});
  for (QRadioButton* r : {m_radioFilter, m_radioAll})
    r->setMinimumHeight(std::max(r->height(), r->sizeHint().height()));
  auto* group = new QButtonGroup(this);
  group->addButton(m_radioFilter, 0);
  group->addButton(m_radioAll, 1);
  connect(ok, &QPushButton::clicked, this, &CTextParamDlg::accept);
  connect(cancel, &QPushButton::clicked, this, &CTextParamDlg::reject);
}

int CTextParamDlg::exec() {
  m_radioFilter->setChecked(m_nScope == 0);
  m_radioAll->setChecked(m_nScope == 1);
  return TemplateDialog::exec();
}

void CTextParamDlg::accept() {
  m_nScope = m_radioFilter->isChecked() ? 0 : m_radioAll->isChecked() ? 1 : -1;
  TemplateDialog::accept();
}
