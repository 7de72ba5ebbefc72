// The event list view and the text progress bar.
#include <QPainter>
#include <QScrollBar>

#include "app/text_progress_ctrl.h"
#include "app_test_support.h"
#include "view/ev_list_box.h"

namespace {

// Counts the paint events a widget receives.
struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

int LineHeight(const QWidget& w) {
  const QFontMetrics fm(w.font());
  return fm.height();
}

}  // namespace

class WidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void RowHeightsFollowWrappedText() {
    CEvListBox box;
    box.resize(300, 200);
    box.show();
    const QFontMetrics fm(box.font());
    const int margin = fm.height() / 8 + 1;
    box.AddString("short");
    QString longText;
    while (fm.boundingRect(QRect(0, 0, box.viewport()->width(), 10000), Qt::TextWordWrap, longText).height() <
           3 * fm.lineSpacing())
      longText += "слово ";
    longText = longText.trimmed();
    box.AddString(longText);
    QCOMPARE(box.GetItemHeight(0), fm.height() + margin);
    const int wrapped = fm.boundingRect(QRect(0, 0, box.viewport()->width(), 10000), Qt::TextWordWrap, longText).height();
    QVERIFY(wrapped >= 3 * fm.lineSpacing() - fm.leading());
    QCOMPARE(box.GetItemHeight(1), wrapped + margin);

    // A wider view re-wraps: the long row gets shorter, the short one stays.
    const int before = box.GetItemHeight(1);
    box.resize(900, 200);
    QVERIFY(box.GetItemHeight(1) < before);
    QCOMPARE(box.GetItemHeight(0), fm.height() + margin);
  }

  void OnDemandRowsAreFetchedOnlyWhenShown() {
    CEvListBox box;
    box.resize(300, 200);
    box.show();
    int fetched = 0;
    box.SetRows(100000, [&](int row) {
      ++fetched;
      return QString("row %1").arg(row);
    });
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.grab();
    QVERIFY2(fetched < 500, qPrintable(QString::number(fetched)));
    QCOMPARE(box.GetText(99999), QString("row 99999"));
  }

  void KeyboardScrollsByRowsPagesAndEnds() {
    CEvListBox box;
    box.resize(300, 10 * (LineHeight(box) + LineHeight(box) / 8 + 1) + 4);
    box.show();
    box.SetRows(1000, [](int row) { return QString("row %1").arg(row); });
    box.setFocus();
    QCOMPARE(box.GetTopIndex(), 0);
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.GetTopIndex(), 1);
    QTest::keyClick(&box, Qt::Key_Up);
    QTest::keyClick(&box, Qt::Key_Up);
    QCOMPARE(box.GetTopIndex(), 0);
    QTest::keyClick(&box, Qt::Key_PageDown);
    const int page = box.GetTopIndex();
    QVERIFY(page >= 5 && page <= 10);
    QTest::keyClick(&box, Qt::Key_End);
    // The last page is full: the last row is the last one that shows.
    const int top = box.GetTopIndex();
    QCOMPARE(top + box.VisibleRowCount(), 1000);
    QVERIFY(box.VisibleRowCount() >= 9);
    QTest::keyClick(&box, Qt::Key_Home);
    QCOMPARE(box.GetTopIndex(), 0);

    // The wheel scrolls too.
    QWheelEvent wheel(QPointF(10, 10), box.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box.viewport(), &wheel);
    QVERIFY(box.GetTopIndex() > 0);
  }

  void SelectionAndFocusAreNotDrawn() {
    CEvListBox box;
    box.resize(300, 200);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    // An empty list draws nothing, not even a focus rectangle.
    box.setFocus();
    const QImage empty = box.viewport()->grab().toImage();
    QImage blank(empty.size(), empty.format());
    blank.fill(box.viewport()->palette().color(QPalette::Base));
    QCOMPARE(empty, blank);

    box.AddString("first row");
    box.AddString("second row");
    const QImage before = box.viewport()->grab().toImage();
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, QPoint(5, 3));
    QCOMPARE(box.GetCurSel(), 0);
    QCOMPARE(box.viewport()->grab().toImage(), before);

    // Every row ends with a grey line on its last pixel row.
    const int h = box.GetItemHeight(0);
    const QColor grey = box.palette().color(QPalette::Disabled, QPalette::WindowText);
    QCOMPARE(before.pixelColor(box.viewport()->width() / 2, h - 1), grey);
  }

  void ProgressFillsAndPrintsThePercentage() {
    CTextProgressCtrl bar;
    bar.resize(172, 20);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.SetRange(0, 99);
    bar.SetPos(49);
    QCOMPARE(bar.BarWidth(), 85);
    QCOMPARE(bar.DisplayText(), QString("49%"));
    bar.SetWindowText("Готово");
    QCOMPARE(bar.DisplayText(), QString("Готово"));
    bar.SetWindowText("");
    QCOMPARE(bar.DisplayText(), QString("49%"));

    // The 16-bit range message keeps 16 bits of each limit.
    bar.SetRange(0, 0x1FFFF);
    int lo = -1, hi = -1;
    bar.GetRange(lo, hi);
    QCOMPARE(lo, 0);
    QCOMPARE(hi, 0xFFFF);
    bar.SetRange32(0, 0x1FFFF);
    bar.GetRange(lo, hi);
    QCOMPARE(hi, 0x1FFFF);
    QCOMPARE(bar.SetStep(5), 1);
    QCOMPARE(bar.StepIt(), 49);
    QCOMPARE(bar.GetPos(), 54);
  }

  void ProgressRepaintsOnlyWhenTheBarMovesAPixel() {
    CTextProgressCtrl bar;
    bar.resize(172, 20);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    PaintCounter counter;
    bar.installEventFilter(&counter);
    bar.SetRange32(0, 100000);
    bar.SetPos(50000);
    QCOMPARE(counter.paints, 1);
    bar.SetPos(50000);
    bar.SetPos(50001);  // less than a pixel further
    QCOMPARE(counter.paints, 1);
    bar.SetPos(60000);
    QCOMPARE(counter.paints, 2);
  }

  void ProgressTextTakesTheOtherPartsColour() {
    CTextProgressCtrl bar;
    bar.resize(172, 20);
    bar.SetBarColor(Qt::blue);
    bar.SetBkColor(Qt::white);
    bar.SetRange(0, 116);
    bar.SetPos(0);
    QImage img = bar.grab().toImage();
    // Empty bar: only white and the text in the bar colour (blue-ish pixels).
    bool blueText = false;
    for (int x = 0; x < img.width(); ++x)
      for (int y = 0; y < img.height(); ++y)
        if (img.pixelColor(x, y).blue() > 200 && img.pixelColor(x, y).red() < 100) blueText = true;
    QVERIFY(blueText);
    QCOMPARE(bar.DisplayText(), QString("0%"));

    // A real text colour is used over both parts.
    bar.SetTextColor(Qt::red);
    bar.SetPos(58);
    img = bar.grab().toImage();
    bool redLeft = false, redRight = false;
    for (int x = 0; x < img.width(); ++x)
      for (int y = 0; y < img.height(); ++y) {
        const QColor c = img.pixelColor(x, y);
        if (c.red() > 200 && c.green() < 80 && c.blue() < 80) (x < img.width() / 2 ? redLeft : redRight) = true;
      }
    QVERIFY(redLeft && redRight);
  }
};

LOGWICK_QTEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
