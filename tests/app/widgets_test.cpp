// The event list view and the text progress bar.
#include "app/text_progress_ctrl.h"
#include "app_test_support.h"

struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};

// Some pixel of area close to c: text strokes carry the pure colour.
static bool AnyPixel(const QImage& img, QRect area, QColor c) {
  for (int x = area.left(); x <= area.right(); ++x)
    for (int y = area.top(); y <= area.bottom(); ++y)
      if (const QColor p = img.pixelColor(x, y);
          qAbs(p.red() - c.red()) + qAbs(p.green() - c.green()) + qAbs(p.blue() - c.blue()) < 120)
        return true;
  return false;
}

class WidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void RowsWrapWithAGreyLineNoSelectionAndManyRowsScroll() {
    CEvListBox box;
    box.resize(300, 200);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.setFocus();  // neither the focus nor the click below may show
    const QFontMetrics fm(box.font());
    const int margin = fm.height() / 8 + 1;
    const QString longText = QString("слово ").repeated(40).trimmed();
    const QStringList texts = {"short", longText};
    box.SetRows(2, [&](int row) { return texts[row]; });
    const int wrapped =
        fm.boundingRect(0, 0, box.viewport()->width(), 10000, Qt::TextWordWrap, longText).height();
    QCOMPARE(box.GetItemHeight(0), fm.height() + margin);
    QCOMPARE(box.GetItemHeight(1), wrapped + margin);
    const QImage before = box.viewport()->grab().toImage();
    QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, QPoint(5, 3));
    QCOMPARE(box.GetCurSel(), 0);
    QCOMPARE(box.viewport()->grab().toImage(), before);
    QCOMPARE(before.pixelColor(box.viewport()->width() / 2, box.GetItemHeight(0) - 1),
             box.palette().color(QPalette::Disabled, QPalette::WindowText));
    box.resize(900, 200);  // a wider view re-wraps
    QVERIFY(box.GetItemHeight(1) < wrapped + margin);

    // Many rows: fetched only when shown; keys and the wheel scroll.
    box.resize(300, 10 * (fm.height() + margin) + 4);
    int fetched = 0;
    box.SetRows(100000, [&](int r) {
      ++fetched;
      return QString("row %1").arg(r);
    });
    box.grab();
    QVERIFY2(fetched < 500, qPrintable(QString::number(fetched)));
    QTest::keyClick(&box, Qt::Key_Down);
    QCOMPARE(box.GetTopIndex(), 1);
    QTest::keyClick(&box, Qt::Key_PageDown);
    QVERIFY(box.GetTopIndex() >= 6 && box.GetTopIndex() <= 11);
    QTest::keyClick(&box, Qt::Key_End);
    QCOMPARE(box.GetTopIndex() + box.VisibleRowCount(), 100000);  // the last page is full
    QVERIFY(box.VisibleRowCount() >= 9);
    QTest::keyClick(&box, Qt::Key_Home);
    QCOMPARE(box.GetTopIndex(), 0);
    QWheelEvent wheel(QPointF(10, 10), box.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box.viewport(), &wheel);
    QVERIFY(box.GetTopIndex() > 0);
  }

  void ProgressFillsPrintsAndRepaintsOnlyByWholePixels() {
    CTextProgressCtrl bar;
    bar.resize(172, 20);
    QPalette colours = bar.palette();
    colours.setColor(QPalette::Highlight, Qt::blue);
    colours.setColor(QPalette::Base, Qt::white);
    bar.setPalette(colours);
    bar.SetRange(0, 116);
    QVERIFY(AnyPixel(bar.grab().toImage(), bar.rect(), Qt::blue));  // empty bar: the text in the bar colour

    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.SetRange(0, 99);
    bar.SetPos(49);  // 49 of 99 fill 85 of 172 pixels
    const QImage half = bar.grab().toImage();
    QCOMPARE(std::pair(half.pixelColor(84, 0), half.pixelColor(85, 0)),
             std::pair(QColor(Qt::blue), QColor(Qt::white)));
    QCOMPARE(bar.DisplayText(), QString("49%"));

    PaintCounter counter;
    bar.installEventFilter(&counter);
    bar.SetRange(0, 60000);
    bar.SetPos(30000);
    bar.SetPos(30000);
    bar.SetPos(30001);  // the same pixel
    QCOMPARE(counter.paints, 1);
    bar.SetPos(36000);
    QCOMPARE(counter.paints, 2);
    bar.SetRange(0x10000 + 10, 0x10000 + 20);  // the 16-bit range message
    bar.SetPos(15);
    QCOMPARE(bar.DisplayText(), QString("50%"));
  }
};

LOGWICK_QTEST_MAIN(WidgetsTest)
#include "widgets_test.moc"
