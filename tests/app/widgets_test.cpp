// The event list view and the text progress bar.
#include "app/text_progress_ctrl.h"
#include "app_test_support.h"

struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    paints += e->type() == QEvent::Paint;
    return false;
  }
};

// Rows of plain texts; a click or a key only moves the current row (the main
// window's model keeps a selection, and is the next test's).
struct TextRows : logwick::IEventRows {
  std::function<QString(int)> textOf;
  std::size_t count, current = kNoRow;
  CEvListBox* box;

  TextRows(CEvListBox& b, std::size_t n, std::function<QString(int)> texts)
      : textOf(std::move(texts)), count(n), box(&b) {
    b.SetRows(this, this);
  }
  std::size_t RowCount() const override { return count; }
  std::string RowText(std::size_t row) const override { return textOf(static_cast<int>(row)).toStdString(); }
  bool IsGapMarkRow(std::size_t) const override { return false; }
  bool IsSelected(std::size_t row) const override { return row == current; }
  std::size_t CurrentRow() const override { return current; }
  std::vector<logwick::RowSearch::Span> FoundSpans(std::size_t) const override { return {}; }
  std::size_t FoundRow() const override { return kNoRow; }
  void Select(std::size_t row, SelectAct) override {
    current = row;
    box->ShowRow(static_cast<int>(row), logwick::ScrollTo::Least);
  }
  void SelectAll() override {}
  void CopySelection() override {}
};

class WidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void RowsWrapWithAGreyLineAndManyRowsScroll() {
    CEvListBox box;
    box.resize(300, 200);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.setFocus();  // the focus does not show
    const QFontMetrics fm(box.font());
    const int margin = fm.height() / 8 + 1;
    const QStringList texts = {"short", QString("слово ").repeated(40).trimmed()};
    TextRows rows(box, 2, [&](int row) { return texts[row]; });
    const int wrapped =
        fm.boundingRect(0, 0, box.viewport()->width(), 10000, Qt::TextWordWrap, texts[1]).height();
    QCOMPARE(std::pair(box.GetItemHeight(0), box.GetItemHeight(1)),
             std::pair(fm.height() + margin, wrapped + margin));
    QCOMPARE(
        box.viewport()->grab().toImage().pixelColor(box.viewport()->width() / 2, box.GetItemHeight(0) - 1),
        box.palette().color(QPalette::Disabled, QPalette::WindowText));
    box.resize(900, 200);  // a wider view re-wraps
    QVERIFY(box.GetItemHeight(1) < wrapped + margin);

    // Many rows: fetched only when shown; keys move the current row, the wheel scrolls.
    box.resize(300, 10 * (fm.height() + margin) + 4);
    int fetched = 0;
    TextRows many(box, 100000, [&](int r) {
      ++fetched;
      return QString("row %1").arg(r);
    });
    QApplication::processEvents();  // the resize reaches the viewport
    box.grab();
    QVERIFY2(fetched < 500, qPrintable(QString::number(fetched)));
    const int page = box.VisibleRowCount() - 1;  // the rows in view less one
    QVERIFY(page >= 9);
    // Down with no current row takes the top row; Up stops at the first.
    const std::pair<Qt::Key, int> moves[] = {
        {Qt::Key_Down, 0},      {Qt::Key_Down, 1},        {Qt::Key_Up, 0},
        {Qt::Key_Up, 0},        {Qt::Key_PageDown, page}, {Qt::Key_PageDown, 2 * page},
        {Qt::Key_PageUp, page}, {Qt::Key_End, 99999},     {Qt::Key_Home, 0}};
    for (auto [key, row] : moves) {
      QTest::keyClick(&box, key);
      QCOMPARE(box.GetCurSel(), row);
      QVERIFY(box.GetTopIndex() <= row && row < box.GetTopIndex() + box.VisibleRowCount());
    }
    QTest::keyClick(&box, Qt::Key_End);
    QCOMPARE(box.GetTopIndex() + box.VisibleRowCount(), 100000);  // the last page is full
    QTest::keyClick(&box, Qt::Key_Home);
    QWheelEvent wheel(QPointF(10, 10), box.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box.viewport(), &wheel);
    QVERIFY(box.GetTopIndex() > 0);
    QCOMPARE(box.GetCurSel(), 0);  // scrolling leaves the current row where it is
  }

  // Clicks, keys and drags reach the main window's selection; selected rows
  // are drawn in the selection colours, the others as before.
  void RowsAreSelectedByMouseAndKeysAndCopiedAsLines() {
    CLogwickDlg dlg;
    CEvListBox& box = *Shown(dlg, WriteSample(TempDir() + "/select/ten.t7kev")).ListBox();
    const logwick::RowSelection& selection = dlg.Model().Selection();
    const int h = box.GetItemHeight(0);
    auto rowImage = [&](int row) { return box.viewport()->grab().toImage().copy(0, row * h, 280, h); };
    const QImage plain[] = {rowImage(0), rowImage(1)};
    auto click = [&](int row, Qt::KeyboardModifiers modifiers = {}) {
      QTest::mouseClick(box.viewport(), Qt::LeftButton, modifiers, QPoint(5, row * h + h / 2));
    };
    auto copied = [&] {
      QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
      return QGuiApplication::clipboard()->text();
    };
    using Rows = std::vector<std::size_t>;
    click(1);
    QCOMPARE(selection.SelectedRows(), Rows{1});
    QCOMPARE(rowImage(0), plain[0]);
    QVERIFY(rowImage(1) != plain[1]);
    QVERIFY(HasColour(rowImage(1), box.palette().color(QPalette::Active, QPalette::Highlight)));
    click(3, Qt::ShiftModifier);
    QCOMPARE(selection.SelectedRows(), (Rows{1, 2, 3}));
    click(2, Qt::ControlModifier);
    QCOMPARE(selection.SelectedRows(), (Rows{1, 3}));
    QTest::keyClick(&box, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(selection.SelectedRows(), (Rows{2, 3}));
    QCOMPARE(copied(), box.GetText(2) + '\n' + box.GetText(3) + '\n');
    QTest::keyClick(&box, Qt::Key_Up);
    QCOMPARE(selection.SelectedRows(), Rows{2});
    const QPoint to(5, 2 * h + h / 2);  // a drag from the first row
    QTest::mousePress(box.viewport(), Qt::LeftButton, {}, QPoint(5, h / 2));
    QMouseEvent move(QEvent::MouseMove, to, box.viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &move);
    QCOMPARE(selection.SelectedRows(), (Rows{0, 1, 2}));
    QTest::mouseRelease(box.viewport(), Qt::LeftButton, {}, to);
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(copied().count('\n'), 10);
    dlg.Model().FillList();  // refilled: nothing selected
    QCOMPARE(rowImage(1), plain[1]);
  }

  void ProgressFillsPrintsAndRepaintsOnlyByWholePixels() {
    CTextProgressCtrl bar;
    bar.resize(172, 20);
    QPalette colours = bar.palette();
    colours.setColor(QPalette::Highlight, Qt::blue);
    colours.setColor(QPalette::Base, Qt::white);
    bar.setPalette(colours);
    bar.SetRange(0, 116);
    QVERIFY(HasColour(bar.grab().toImage(), Qt::blue, 119));  // empty bar: the text in the bar colour

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
    for (int pos : {30000, 30000, 30001}) bar.SetPos(pos);  // the same pixel
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
