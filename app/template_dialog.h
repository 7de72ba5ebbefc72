// Dialogs laid out from their resource templates: positions in dialog units
// are turned into pixels with the dialog font's average character width and
// height, as the templates were designed, so every template keeps its
// arrangement and proportions. Dialogs and controls carry their resource id as
// objectName (each dialog names its ids as constants) and take the focus in the
// order they are created (the template's order).
#pragma once

#include <QDialog>
#include <QRect>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace logwick {

class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  QRect ToPixels(int x, int y, int w, int h) const;
  int X(int dlu) const { return dlu * m_baseX / 4; }
  int Y(int dlu) const { return dlu * m_baseY / 8; }

 private:
  int m_baseX;
  int m_baseY;
};

class TemplateDialog : public QDialog {
 public:
  // The ids of the buttons most templates share.
  enum CommonId : int { kIdOk = 1, kIdCancel = 2 };

  // size in dialog units; origin shifts every control (e.g. below a menu bar).
  TemplateDialog(QWidget* parent, const QString& caption, int widthDlu, int heightDlu, int topOffsetPx = 0);

  const DialogUnits& Units() const { return m_units; }

  QPushButton* AddButton(int id, const QString& text, QRect dlu, bool isDefault = false);
  // A label of plain text (never read as markup).
  QLabel* AddStatic(int id, const QString& text, QRect dlu);
  QLineEdit* AddEdit(int id, QRect dlu, bool readOnly = false, bool digitsOnly = false);
  QCheckBox* AddCheck(int id, const QString& text, QRect dlu);
  QRadioButton* AddRadio(int id, const QString& text, QRect dlu);
  // Any other control, already created with this dialog as parent.
  template <class W>
  W* Place(W* w, int id, QRect dlu) {
    PlaceWidget(w, id, dlu);
    return w;
  }

  // The control with the resource id, or null.
  QWidget* Control(int id) const;

 private:
  void PlaceWidget(QWidget* w, int id, QRect dlu);

  DialogUnits m_units;
  int m_top;
};

}  // namespace logwick
