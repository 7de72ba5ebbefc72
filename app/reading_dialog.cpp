#include "app/reading_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "app/text_progress_ctrl.h"

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

void SetText(QLineEdit* edit, const std::string& text) {
  const QString q = Q(text);
  if (edit->text() != q) edit->setText(q);
}

}  // namespace

CFetchlog::CFetchlog(logwick::ReadingSession& session, QWidget* parent)
    : TemplateDialog(parent, QString(), 186, 114), m_session(session) {
  setObjectName(QString::number(kIdDialog));
  // A modal frame without caption or system menu.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
  m_editStatus = AddEdit(kIdStatus, {7, 7, 172, 12}, true);
  m_editStatus->setAlignment(Qt::AlignCenter);
  m_editVersion = AddEdit(kIdVersion, {7, 20, 172, 12}, true);
  m_editCount = AddEdit(kIdCount, {7, 35, 172, 12}, true);
  m_labelReading = AddStatic(kIdReadingLabel, "Читается:", {7, 50, 34, 11});
  m_labelReading->hide();
  m_editEvent = AddEdit(kIdEvent, {44, 50, 135, 12}, true);
  auto* frame = Place(new QFrame(this), -1, {7, 72, 172, 12});
  frame->setFrameShape(QFrame::Box);
  frame->setLineWidth(1);
  m_progress = new CTextProgressCtrl(this);
  m_progress->setObjectName(QString::number(kIdProgress));
  m_progress->setGeometry(frame->geometry().adjusted(1, 1, -1, -1));
  m_button = AddButton(kIdStop, "Отмена", {68, 93, 50, 14});
  // The only control that takes the focus: Enter, Space, a click and Esc all
  // stop the reading.
  m_button->setAutoDefault(true);
  m_button->setFocus();
  connect(m_button, &QPushButton::clicked, this, &CFetchlog::reject);
}

int CFetchlog::exec() {
  Apply();
  return TemplateDialog::exec();
}

void CFetchlog::showEvent(QShowEvent* event) {
  TemplateDialog::showEvent(event);
  m_session.Start([this] { Apply(); }, [this](int result) { done(result); });
}

void CFetchlog::Apply() {
  const logwick::ReadingSession::State& s = m_session.GetState();
  SetText(m_editStatus, s.status);
  SetText(m_editVersion, s.version);
  SetText(m_editCount, s.count);
  SetText(m_editEvent, s.eventLine);
  m_labelReading->setVisible(s.readingLabel);
  if (m_button->text() != Q(s.button)) m_button->setText(Q(s.button));
  m_progress->SetRange(0, s.rangeUpper);  // a new range alone repaints nothing
  m_progress->SetPos(s.position);
}
