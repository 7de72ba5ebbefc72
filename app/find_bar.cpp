#include "app/find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "app/ev_list_box.h"

CFindBar::CFindBar(CEvListBox* list, FillIndexFn fillIndex, QWidget* parent)
    : QWidget(parent), m_list(list), m_fillIndex(std::move(fillIndex)) {
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
    void (CFindBar::*act)();
  };
  const Button buttons[] = {
      {"findPrevious", "\u25B2", "Предыдущее (Shift+F3)", &CFindBar::FindPrevious},
      {"findNext", "\u25BC", "Следующее (F3)", &CFindBar::FindNext},
      {"findClose", "\u2715", "Закрыть (Esc)", &CFindBar::Close},
  };
  for (const Button& b : buttons) {
    auto* button = new QToolButton(this);
    button->setObjectName(b.name);
    button->setText(QString::fromUtf8(b.text));
    button->setToolTip(b.tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    connect(button, &QToolButton::clicked, this, b.act);
    layout->addWidget(button);
  }
  connect(m_edit, &QLineEdit::textChanged, this, &CFindBar::Search);
  m_edit->installEventFilter(this);
  hide();
}

void CFindBar::Open() {
  const bool wasHidden = isHidden();
  show();
  m_edit->setFocus(Qt::ShortcutFocusReason);
  m_edit->selectAll();
  if (wasHidden) {
    if (onShownChanged) onShownChanged(true);
    Search();
  }
}

void CFindBar::Close() {
  if (isHidden()) return;
  hide();
  m_found.Clear();
  m_list->SetFound({}, -1);
  m_list->setFocus(Qt::OtherFocusReason);
  if (onShownChanged) onShownChanged(false);
}

void CFindBar::RowsChanged() {
  m_indexStale = true;
  m_found.Clear();
  if (!isHidden()) Search();
}

QString CFindBar::CountText() const {
  if (m_needle.empty()) return {};
  const std::size_t at = m_found.Current() ? *m_found.Current() + 1 : 0;
  return QString("%1 из %2").arg(at).arg(m_found.Count());
}

void CFindBar::Search() {
  if (isHidden()) return;
  m_needle = m_edit->text().toStdString();
  if (m_indexStale) {
    m_index.Clear();
    m_index.Reserve(static_cast<std::size_t>(m_list->GetCount()));
    m_fillIndex(m_index);
    m_indexStale = false;
  }
  m_found.Set(m_index.FindRows(m_needle), static_cast<std::size_t>(m_list->GetTopIndex()));
  ShowFound();
}

void CFindBar::FindNext() { Step(true); }
void CFindBar::FindPrevious() { Step(false); }

void CFindBar::Step(bool forward) {
  if (!m_found.Current()) return;
  const int at = m_list->GetCurSel();
  if (at >= 0 && forward) m_found.Next(static_cast<std::size_t>(at));
  if (at >= 0 && !forward) m_found.Previous(static_cast<std::size_t>(at));
  ShowFound();
}

void CFindBar::ShowFound() {
  const bool any = m_found.Current().has_value();
  const int current = any ? static_cast<int>(m_found.CurrentRow()) : -1;
  if (any) m_list->GoToRow(current);
  if (m_needle.empty()) {
    m_list->SetFound({}, -1);
  } else {
    m_list->SetFound(
        [this](int row) {
          const auto at = static_cast<std::size_t>(row);
          return m_found.Holds(at) ? m_index.FindInRow(at, m_needle)
                                   : std::vector<logwick::RowSearch::Span>{};
        },
        current);
  }
  m_count->setText(CountText());
}

bool CFindBar::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_edit && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    // Enter steps through the rows found; it must not reach the window's
    // default button.
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      Step(!(key->modifiers() & Qt::ShiftModifier));
      return true;
    }
    if (key->key() == Qt::Key_Escape) {
      Close();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
