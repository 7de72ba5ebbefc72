#include "app/find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "desk/main_window_model.h"

CFindBar::CFindBar(logwick::MainWindowModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
  setObjectName("findBar");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  auto* label = new QLabel("Найти:", this);
  m_edit = new QLineEdit(this);
  m_edit->setObjectName("findText");
  m_edit->setClearButtonEnabled(true);
  label->setBuddy(m_edit);
  m_count = new QLabel(this);
  m_count->setObjectName("findCount");
  m_count->setMinimumWidth(m_count->fontMetrics().horizontalAdvance("100000 из 100000"));
  m_count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  layout->addWidget(label);
  layout->addWidget(m_edit, 1);
  layout->addWidget(m_count);
  struct Button {
    const char* name;
    const char* text;
    const char* tip;
    void (logwick::MainWindowModel::*act)();
  };
  const Button buttons[] = {
      {"findPrevious", "\u25B2", "Предыдущее (Shift+F3)", &logwick::MainWindowModel::FindPrevious},
      {"findNext", "\u25BC", "Следующее (F3)", &logwick::MainWindowModel::FindNext},
      {"findClose", "\u2715", "Закрыть (Esc)", &logwick::MainWindowModel::CloseFind},
  };
  for (const Button& b : buttons) {
    auto* button = new QToolButton(this);
    button->setObjectName(b.name);
    button->setText(QString::fromUtf8(b.text));
    button->setToolTip(b.tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, [this, act = b.act] { (m_model.*act)(); });
    layout->addWidget(button);
  }
  connect(m_edit, &QLineEdit::textChanged, this,
          [this](const QString& text) { m_model.FindText(text.toStdString()); });
  m_edit->installEventFilter(this);
  hide();
}

void CFindBar::Open() {
  show();
  m_edit->setFocus(Qt::ShortcutFocusReason);
  m_edit->selectAll();
}

QString CFindBar::CountText() const { return QString::fromStdString(m_model.Find().CountText()); }

void CFindBar::ShowCount() { m_count->setText(CountText()); }

bool CFindBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_edit && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter steps through the rows found; it must not reach the window's
    // default button.
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (key->modifiers() & Qt::ShiftModifier)
        m_model.FindPrevious();
      else
        m_model.FindNext();
      return true;
    }
    if (key->key() == Qt::Key_Escape) {
      m_model.CloseFind();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
