#include "app/template_dialog.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>

namespace logwick {

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics fm(font);
  // The templates were drawn for a font whose Latin letters, Cyrillic letters
  // and digits are about equally wide; averaging over all three keeps the
  // Russian captions inside their controls with any font.
  const QString sample = QStringLiteral(
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
      "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя0123456789");
  const int w = fm.horizontalAdvance(sample);
  m_baseX = (2 * w / sample.size() + 1) / 2;
  m_baseY = fm.height();
}

QRect DialogUnits::ToPixels(int x, int y, int w, int h) const { return QRect(X(x), Y(y), X(w), Y(h)); }

TemplateDialog::TemplateDialog(QWidget* parent, const QString& caption, int widthDlu, int heightDlu,
                               int topOffsetPx)
    : QDialog(parent), m_units(font()), m_top(topOffsetPx) {
  setWindowTitle(caption);
  setFixedSize(m_units.X(widthDlu), m_units.Y(heightDlu) + topOffsetPx);
}

void TemplateDialog::PlaceWidget(QWidget* w, int id, QRect dlu) {
  if (id >= 0) w->setObjectName(QString::number(id));
  QRect px = m_units.ToPixels(dlu.x(), dlu.y(), dlu.width(), dlu.height());
  px.translate(0, m_top);
  w->setGeometry(px);
}

QPushButton* TemplateDialog::AddButton(int id, const QString& text, QRect dlu, bool isDefault) {
  auto* b = new QPushButton(text, this);
  b->setDefault(isDefault);
  return Place(b, id, dlu);
}

QLabel* TemplateDialog::AddStatic(int id, const QString& text, QRect dlu) {
  auto* l = new QLabel(text, this);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // A static shows its text as it is: the lines that carry a configuration
  // name or a path must not read "<b>" in them as markup.
  l->setTextFormat(Qt::PlainText);
  return Place(l, id, dlu);
}

QLineEdit* TemplateDialog::AddEdit(int id, QRect dlu, bool readOnly, bool digitsOnly) {
  auto* e = new QLineEdit(this);
  e->setReadOnly(readOnly);
  if (readOnly) e->setFocusPolicy(Qt::NoFocus);
  if (digitsOnly) e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), e));
  return Place(e, id, dlu);
}

QCheckBox* TemplateDialog::AddCheck(int id, const QString& text, QRect dlu) {
  return Place(new QCheckBox(text, this), id, dlu);
}

QRadioButton* TemplateDialog::AddRadio(int id, const QString& text, QRect dlu) {
  return Place(new QRadioButton(text, this), id, dlu);
}

QWidget* TemplateDialog::Control(int id) const {
  return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

}  // namespace logwick
