// The statistics and integrity windows of the main window: what they show,
// that they follow the filter and the list, and that a day or a finding takes
// the list to its row.
#include <QBarSet>
#include <QChartView>
#include <QStackedBarSeries>

#include "app/integrity_wnd.h"
#include "app/statistics_wnd.h"
#include "app_test_support.h"

namespace {

using logwick::test::MakeEvent;

// Newest first: 5, 3 and 1 December 2015, nothing on the 2nd and 4th.
CT7KEventList DaysList() {
  CT7KEventList l = logwick::test::MakeHeaderList();
  const std::pair<std::uint32_t, std::uint16_t> events[] = {
      {PackTimeStamp(2015, 12, 5, 10, 0, 0), 4}, {PackTimeStamp(2015, 12, 5, 9, 0, 0), 1},
      {PackTimeStamp(2015, 12, 3, 12, 0, 0), 4}, {PackTimeStamp(2015, 12, 3, 8, 0, 0), 1},
      {PackTimeStamp(2015, 12, 1, 8, 0, 0), 1},
  };
  for (auto [stamp, code] : events) l.AddTail(MakeEvent(stamp, code));
  return l;
}

}  // namespace

class InsightTest : public QObject {
  Q_OBJECT

 private slots:
  void StatisticsFollowTheFilterAndADayLeadsToItsFirstEvent() {
    CLogwickDlg dlg;
    dlg.m_strFileToOpen = WriteSample(TempDir() + "/stats/days.t7kev", DaysList());
    dlg.OnInitDialog();
    dlg.show();
    dlg.findChild<QAction*>("statistics")->trigger();
    CStatisticsWnd* wnd = dlg.StatisticsWnd();
    QVERIFY(wnd && wnd->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(wnd));
    QCOMPARE(wnd->SummaryText(), QString("Событий: 5\nс 01/12/2015 08:00:00 по 05/12/2015 10:00:00\n"
                                         "режимы: 3\nустройства: 0\nсообщения: 2\nлучи: 0\nПР4545: 0\n"
                                         "ведомые: 0\nпрочие: 0"));
    QCOMPARE(wnd->ChartDays(), (std::vector<int>{0, -1, 1, -1, 2}));  // empty days stand empty
    auto* series = qobject_cast<QStackedBarSeries*>(wnd->Chart()->chart()->series().value(0));
    QVERIFY(series);
    QCOMPARE(series->count(), 7);
    QCOMPARE(series->barSets()[0]->at(4), 1.0);  // one mode change on the 5th
    QCOMPARE(series->barSets()[2]->at(4), 1.0);  // and one message

    // A click on the 3rd's bar: its earliest event is row 3.
    QChart* chart = wnd->Chart()->chart();
    const QPointF inChart = chart->mapToPosition(QPointF(2, 1), series);
    const QPoint at = wnd->Chart()->mapFromScene(chart->mapToScene(inChart));
    QTest::mouseClick(wnd->Chart()->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(dlg.ListBox()->GetCurSel(), 3);
    wnd->ChooseDay(1);  // an empty day leads nowhere
    QCOMPARE(dlg.ListBox()->GetCurSel(), 3);

    dlg.Filter().m_bModes = 0;  // the two messages
    dlg.FillList();
    QVERIFY(wnd->SummaryText().startsWith("Событий: 2\nс 03/12/2015 12:00:00 по 05/12/2015 10:00:00\n"));
    QCOMPARE(wnd->ChartDays(), (std::vector<int>{0, -1, 1}));
    wnd->ChooseDay(0);
    QCOMPARE(dlg.ListBox()->GetCurSel(), 1);
    QVERIFY(dlg.ListBox()->GetText(1).startsWith("03/12/2015 12:00:00"));

    dlg.Filter().m_bMessages = 0;  // nothing shown
    dlg.FillList();
    QCOMPARE(wnd->SummaryText().left(10), QString("Событий: 0"));
    QVERIFY(wnd->ChartDays().empty());
    QCOMPARE(wnd->TopBeams()->rowCount(), 0);

    // Years apart: only the days with events get a bar.
    CT7KEventList years = logwick::test::MakeHeaderList();
    years.AddTail(MakeEvent(PackTimeStamp(2019, 1, 1, 8, 0, 0), 1));
    years.AddTail(MakeEvent(PackTimeStamp(2015, 1, 1, 8, 0, 0), 1));
    QCOMPARE(dlg.ReadEventFile(WriteSample(TempDir() + "/stats/years.t7kev", years)), 1);
    dlg.Filter().m_bModes = 1;
    dlg.FillList();
    QCOMPARE(wnd->ChartDays(), (std::vector<int>{0, 1}));
    wnd->ChooseDay(1);
    QCOMPARE(dlg.ListBox()->GetCurSel(), 0);
  }

  void IntegrityListsFindingsAndAClickLeadsToTheRow() {
    CT7KEventList l = logwick::test::MakeHeaderList();
    l.AddTail(MakeEvent(PackTimeStamp(2015, 12, 5, 10, 0, 0), 4));  // earlier than the next row
    l.AddTail(MakeEvent(PackTimeStamp(2015, 12, 5, 11, 0, 0), 1));
    l.AddTail(MakeEvent(PackTimeStamp(2015, 12, 4, 11, 0, 0), 4));
    l.AddTail(MakeEvent(PackTimeStamp(2015, 12, 3, 11, 0, 0), 0));  // no valid event
    CLogwickDlg dlg;
    dlg.m_strFileToOpen = WriteSample(TempDir() + "/check/four.t7kev", l);
    dlg.OnInitDialog();
    dlg.show();
    dlg.findChild<QAction*>("integrity")->trigger();
    CIntegrityWnd* wnd = dlg.IntegrityWnd();
    QVERIFY(wnd && wnd->isVisible());
    QTableWidget* table = wnd->Table();
    QCOMPARE(table->rowCount(), 2);
    auto rowText = [&](int row) {
      return QStringList{table->item(row, 0)->text(), table->item(row, 1)->text(),
                         table->item(row, 2)->text()};
    };
    QCOMPARE(rowText(0), QStringList({"1", "05/12/2015 10:00:00", "время идёт назад"}));
    QCOMPARE(rowText(1), QStringList({"4", "03/12/2015 11:00:00", "неизвестный код события"}));
    QCOMPARE(wnd->findChild<QLabel*>("findingCount")->text(), QString("Замечаний: 2"));

    auto clickRow = [&](int row) {
      QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                        table->visualItemRect(table->item(row, 2)).center());
    };
    clickRow(1);
    QCOMPARE(dlg.ListBox()->GetCurSel(), 3);
    dlg.Filter().m_bMessages = 0;  // rows 1 and 3 shown; the check stays on the whole log
    dlg.FillList();
    QCOMPARE(table->rowCount(), 2);
    clickRow(0);  // its event hidden: the next shown row
    QCOMPARE(dlg.ListBox()->GetCurSel(), 0);
    QVERIFY(dlg.ListBox()->GetText(0).startsWith("05/12/2015 11:00:00"));
    clickRow(1);
    QCOMPARE(dlg.ListBox()->GetCurSel(), 1);
  }
};

LOGWICK_QTEST_MAIN(InsightTest)
#include "insight_test.moc"
