// The find bar and the statistics and integrity windows as drawn: keys and
// Cyrillic typing reach the model, found text is marked in the rows, a bar of
// the chart and a row of the findings table lead the list to their rows.
#include "app/day_chart.h"
#include "app/find_bar.h"
#include "app/integrity_wnd.h"
#include "app/statistics_wnd.h"
#include "app_test_support.h"

namespace {

const QColor kFound(255, 226, 90);
const QColor kCurrentFound(255, 150, 40);

}  // namespace

class FinderTest : public QObject {
  Q_OBJECT

 private slots:
  void FindBarTakesKeysAndMarksTheRows() {
    CT7KEventList l = TenEvents();
    for (int i = 0; i < 300; ++i)  // a message on every 40th row below, power on the others
      l.AddTail(logwick::test::MakeEvent(PackTimeStamp(2015, 11, 1, 14, 0, 0), i % 40 == 0 ? 4 : 1));
    CLogwickDlg dlg;
    dlg.Model().OnInitDialog(WriteSample(TempDir() + "/find/long.t7kev", l).toStdString());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const int height = dlg.height();
    CEvListBox* list = dlg.ListBox();
    CFindBar* bar = dlg.FindBar();
    QLineEdit* edit = bar->Edit();
    list->SetTopIndex(100);

    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible() && dlg.height() > height);  // a strip below the list
    QVERIFY(bar->geometry().top() > list->geometry().bottom());
    QCOMPARE(QApplication::focusWidget(), edit);
    // Rows 3, 6, 9 and every 40th from 10 (letter case aside, ё as е): the
    // first at or after the top row.
    TypeText(edit, "СООБЩЁНИЕ");
    QCOMPARE(bar->CountText(), QString("7 из 11"));
    QCOMPARE(list->GetCurSel(), 130);
    QVERIFY(list->GetTopIndex() <= 130 && 130 < list->GetTopIndex() + list->VisibleRowCount());
    struct Step {
      QWidget* to;
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      int row;
    };
    const Step steps[] = {
        {edit, Qt::Key_Return, {}, 170},
        {edit, Qt::Key_F3, {}, 210},
        {list, Qt::Key_F3, Qt::ShiftModifier, 170},  // also from the list
        {edit, Qt::Key_Return, Qt::ShiftModifier, 130},
        {edit, Qt::Key_Enter, {}, 170},
    };
    for (const Step& step : steps) {
      QTest::keyClick(step.to, step.key, step.modifiers);
      QCOMPARE(list->GetCurSel(), step.row);
    }
    QVERIFY(dlg.isVisible());  // Enter in the bar is not the window's default button
    QCOMPARE(bar->findChild<QLabel*>("findCount")->text(), QString("8 из 11"));
    const QImage marked = list->viewport()->grab().toImage();
    QVERIFY(HasColour(marked, kCurrentFound));

    // Esc closes the bar and takes the marks off; then Esc does nothing, as before.
    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(bar->isHidden());
    QCOMPARE(dlg.height(), height);
    QVERIFY(!HasColour(list->viewport()->grab().toImage(), kCurrentFound));
    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);  // the text waits, selected for typing over
    QCOMPARE(edit->selectedText(), QString("СООБЩЁНИЕ"));
  }

  void ChartBarsAndFindingsLeadToTheirRows() {
    // Newest first: 5, 3 and 1 December 2015, nothing on the 2nd and 4th; the
    // 5th dated earlier than the row after it, the last row no valid event.
    CT7KEventList l = logwick::test::MakeHeaderList();
    const std::pair<std::uint32_t, std::uint16_t> events[] = {
        {PackTimeStamp(2015, 12, 5, 8, 0, 0), 4},  {PackTimeStamp(2015, 12, 5, 9, 0, 0), 1},
        {PackTimeStamp(2015, 12, 3, 12, 0, 0), 4}, {PackTimeStamp(2015, 12, 3, 8, 0, 0), 1},
        {PackTimeStamp(2015, 12, 1, 8, 0, 0), 0},
    };
    for (auto [stamp, code] : events) l.AddTail(logwick::test::MakeEvent(stamp, code));
    CLogwickDlg dlg;
    dlg.Model().OnInitDialog(WriteSample(TempDir() + "/insight/days.t7kev", l).toStdString());
    dlg.show();
    dlg.findChild<QAction*>("statistics")->trigger();
    CStatisticsWnd* wnd = dlg.StatisticsWnd();
    QVERIFY(wnd && QTest::qWaitForWindowExposed(wnd));
    QVERIFY(wnd->SummaryText().startsWith("Событий: 5\n"));
    for (QTableWidget* table : wnd->findChildren<QTableWidget*>())  // all ten rows at the first size
      QVERIFY(table->rowViewportPosition(9) + table->rowHeight(9) <= table->viewport()->height());
    CDayChart* chart = wnd->Chart();
    QCOMPARE(chart->Count(4, logwick::EventKind::Messages), 1u);  // one message on the 5th
    // A click on the 3rd's bar takes the list to that day's newest event.
    QTest::mouseClick(chart, Qt::LeftButton, {}, chart->ColumnRect(2).center());
    QCOMPARE(dlg.ListBox()->GetCurSel(), 2);
    dlg.Model().Filter().m_bModes = 0;  // the window follows the filter: two messages, one other
    dlg.Model().FillList();
    QVERIFY2(wnd->SummaryText().startsWith("Событий: 3\n"), qPrintable(wnd->SummaryText()));

    dlg.findChild<QAction*>("integrity")->trigger();
    QTableWidget* table = dlg.IntegrityWnd()->Table();
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(1, 2)->text(), QString("неизвестный код события"));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualItemRect(table->item(0, 2)).center());
    QCOMPARE(dlg.ListBox()->GetCurSel(), 0);
  }
};

LOGWICK_QTEST_MAIN(FinderTest)
#include "finder_test.moc"
