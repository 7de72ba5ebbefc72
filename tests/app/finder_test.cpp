// Finding in the main window's list: the find bar over the shown rows, typed
// in Cyrillic through key events.
#include "app/find_bar.h"
#include "app/integrity_wnd.h"
#include "app/statistics_wnd.h"
#include "app_test_support.h"

namespace {

const QColor kFound(255, 226, 90);
const QColor kCurrentFound(255, 150, 40);

QString Count(CLogwickDlg& dlg) { return dlg.FindBar()->findChild<QLabel*>("findCount")->text(); }

}  // namespace

class FinderTest : public QObject {
  Q_OBJECT

 private slots:
  void FindsInTheShownRowsStepsRoundAndCloses() {
    CLogwickDlg dlg;
    dlg.m_strFileToOpen = WriteSample(TempDir() + "/find/ten.t7kev");
    dlg.OnInitDialog();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    const int height = dlg.height();
    CEvListBox* list = dlg.ListBox();
    CFindBar* bar = dlg.FindBar();
    QLineEdit* edit = bar->Edit();
    QVERIFY(bar->isHidden());

    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible());
    QVERIFY(dlg.height() > height);  // a strip below the list
    QVERIFY(bar->geometry().top() > list->geometry().bottom());
    QVERIFY(bar->geometry().bottom() < dlg.height());
    QCOMPARE(QApplication::focusWidget(), edit);

    // Rows 7 and 8 read "...запыленности...": case and ё do not matter.
    TypeText(edit, "ЗАПЫЛЁННОСТИ");
    QCOMPARE(edit->text(), QString("ЗАПЫЛЁННОСТИ"));
    struct Step {
      Qt::Key key;
      Qt::KeyboardModifiers modifiers;
      QWidget* to;
      const char* count;
      int row;
    };
    const Step steps[] = {
        {Qt::Key_unknown, {}, nullptr, "1 из 2", 7},  // as typed: the first at or after the top row
        {Qt::Key_Return, {}, edit, "2 из 2", 8},
        {Qt::Key_F3, {}, edit, "1 из 2", 7},                 // round the end
        {Qt::Key_F3, Qt::ShiftModifier, list, "2 из 2", 8},  // round the start, also from the list
        {Qt::Key_Return, Qt::ShiftModifier, edit, "1 из 2", 7},
        {Qt::Key_Enter, {}, edit, "2 из 2", 8},
    };
    for (const Step& step : steps) {
      if (step.to) QTest::keyClick(step.to, step.key, step.modifiers);
      QCOMPARE(bar->CountText(), QString(step.count));
      QCOMPARE(list->GetCurSel(), step.row);
      QCOMPARE(list->Selection().SelectedCount(), 1u);
    }
    QVERIFY(dlg.isVisible());  // Enter in the bar is not the window's default button
    QCOMPARE(Count(dlg), QString("2 из 2"));
    const QImage marked = list->viewport()->grab().toImage();
    QVERIFY(HasColour(marked, kFound));
    QVERIFY(HasColour(marked, kCurrentFound));

    // A new text is looked for from the top row; the filter applies.
    edit->clear();
    QCOMPARE(bar->CountText(), QString());
    TypeText(edit, "сообщение");
    QCOMPARE(bar->CountText(), QString("1 из 3"));
    QCOMPARE(list->GetCurSel(), 3);
    dlg.Filter().m_bModes = 0;  // the three messages alone
    dlg.FillList();
    QCOMPARE(bar->CountText(), QString("1 из 3"));
    QCOMPARE(list->GetCurSel(), 0);
    dlg.Filter().m_bMessages = 0;
    dlg.FillList();
    QCOMPARE(bar->CountText(), QString("0 из 0"));
    edit->setText("Z");  // no row holds it; no character of the code page
    QCOMPARE(bar->CountText(), QString("0 из 0"));
    edit->setText("🙂");
    QCOMPARE(bar->CountText(), QString("0 из 0"));
    dlg.Filter().m_bMessages = 1;
    dlg.FillList();
    edit->setText("сообщение");

    // Esc closes the bar and takes the marks off; then Esc does nothing, as before.
    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(bar->isHidden());
    QCOMPARE(dlg.height(), height);
    QVERIFY(!HasColour(list->viewport()->grab().toImage(), kFound));
    QTest::keyClick(list, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);  // the text waits, selected for typing over
    QCOMPARE(edit->selectedText(), QString("сообщение"));
    QCOMPARE(bar->CountText(), QString("1 из 3"));
    QTest::keyClick(list, Qt::Key_Escape);  // from the list too, while the bar is open
    QVERIFY(bar->isHidden());
  }

  void TheFirstFoundAtOrAfterTheTopRowIsScrolledIntoView() {
    CT7KEventList l = logwick::test::MakeHeaderList();
    for (int i = 0; i < 300; ++i)  // a message on every 40th row, power on the others
      l.AddTail(logwick::test::MakeEvent(PackTimeStamp(2015, 12, 1, 14, 0, 0), i % 40 == 0 ? 4 : 1));
    CLogwickDlg dlg;
    dlg.m_strFileToOpen = WriteSample(TempDir() + "/find/long.t7kev", l);
    dlg.OnInitDialog();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    CEvListBox* list = dlg.ListBox();
    list->SetTopIndex(100);
    dlg.OnFind();
    TypeText(dlg.FindBar()->Edit(), "Сообщ");
    QCOMPARE(dlg.FindBar()->CountText(), QString("4 из 8"));
    QCOMPARE(list->GetCurSel(), 120);
    QVERIFY(list->GetTopIndex() <= 120 && 120 < list->GetTopIndex() + list->VisibleRowCount());
    for (int row : {160, 200, 240, 280, 0}) {
      QTest::keyClick(list, Qt::Key_F3);
      QCOMPARE(list->GetCurSel(), row);
      QVERIFY(list->GetTopIndex() <= row && row < list->GetTopIndex() + list->VisibleRowCount());
    }
    list->GoToRow(50);  // the next is found from where the user is
    QTest::keyClick(list, Qt::Key_F3);
    QCOMPARE(list->GetCurSel(), 80);
  }

  void GapMarkRowsCountAsRowsForFindStatisticsAndIntegrity() {
    // Ten events, a mark before list index 3 and one before 7: view rows
    // 0-2, mark, 3-6 (view 4-7), mark, 7-9 (view 9-11).
    CLogwickDlg dlg;
    dlg.OnInitDialog();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.PutHistoryInPlace(SampleList(), {3, 7});
    dlg.FillList();
    CEvListBox* list = dlg.ListBox();
    QCOMPARE(list->GetCount(), 12);
    dlg.OnFind();
    TypeText(dlg.FindBar()->Edit(), "сообщение");  // list indices 3, 6 and 9
    QCOMPARE(dlg.FindBar()->CountText(), QString("1 из 3"));
    const int rows[] = {4, 7, 11, 4};
    for (int row : rows) {
      QCOMPARE(list->GetCurSel(), row);
      QVERIFY(list->GetText(row).contains("сообщение", Qt::CaseInsensitive));
      QTest::keyClick(list, Qt::Key_F3);
    }
    dlg.FindBar()->Edit()->setText("пропуск");  // the marks' own text
    QCOMPARE(dlg.FindBar()->CountText(), QString("1 из 2"));
    QCOMPARE(list->GetCurSel(), 3);
    QTest::keyClick(list, Qt::Key_Down);  // off the mark, whose found text is then drawn on its band
    QCOMPARE(list->GetTopIndex(), 0);
    int top = 0;
    for (int row = 0; row < 3; ++row) top += list->GetItemHeight(row);
    const QImage mark =
        list->viewport()->grab().toImage().copy(0, top, list->viewport()->width(), list->GetItemHeight(3));
    QVERIFY(HasColour(mark, kCurrentFound));
    dlg.FindBar()->Close();

    dlg.OnStatistics();
    dlg.StatisticsWnd()->ChooseDay(9);  // 10 December: list index 9
    QCOMPARE(list->GetCurSel(), 11);
    dlg.OnIntegrity();
    dlg.IntegrityWnd()->onFindingChosen(8);
    QCOMPARE(list->GetCurSel(), 10);
  }
};

LOGWICK_QTEST_MAIN(FinderTest)
#include "finder_test.moc"
