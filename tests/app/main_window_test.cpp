// The main window and what it opens, as drawn from their templates, each control wired to its model; the
// rules themselves are the model's tests.
#include <QPrinter>

#include "app/about_dlg.h"
#include "app/day_chart.h"
#include "app/filter_dlg.h"
#include "app/find_bar.h"
#include "app/integrity_wnd.h"
#include "app/report_preview.h"
#include "app/settings_dlg.h"
#include "app/statistics_wnd.h"
#include "app/text_progress_ctrl.h"
#include "app_test_support.h"
#include "lists/shown_rows.h"
#include "version/program_version.h"

using M = CLogwickDlg;
using F = CFilterDlg;
using S = CSettingsDlg;
using logwick::test::MakeEvent, logwick::test::MakeFullList, logwick::test::MakeHeaderList;

// Which of the filter dialog's date pickers and edits are enabled ('1') and which not ('0').
static QString FilterEnabled(QWidget* d) {
  QString s;
  for (int id :
       {F::kIdDateFrom, F::kIdDateTo, F::kIdFirstBeam, F::kIdLastBeam, F::kIdFirstDevice, F::kIdLastDevice})
    s += Ctl(d, id)->isEnabled() ? '1' : '0';
  return s;
}

struct PaintCounter : QObject {
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    paints += e->type() == QEvent::Paint;
    return false;
  }
};

// Rows of plain texts; a click or a key only moves the current row.
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

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { QSettings("Ormet", "T29 read events").clear(); }

  void RowsWrapWithAGreyLineManyRowsScrollAndTheProgressFillsByWholePixels() {
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
        {Qt::Key_PageUp, page}, {Qt::Key_Home, 0},        {Qt::Key_End, 99999}};
    for (auto [key, row] : moves) {
      QTest::keyClick(&box, key);
      QCOMPARE(box.GetCurSel(), row);
      QVERIFY(box.GetTopIndex() <= row && row < box.GetTopIndex() + box.VisibleRowCount());
    }
    const int lastTop = 100000 - box.VisibleRowCount();  // the last page is full
    QCOMPARE(box.GetTopIndex(), lastTop);
    QWheelEvent wheel(QPointF(10, 10), box.mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(box.viewport(), &wheel);
    QVERIFY(box.GetTopIndex() < lastTop);
    QCOMPARE(box.GetCurSel(), 99999);  // scrolling leaves the current row where it is

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

  // A configuration name with tags and an entity reads as typed.
  void DrawsItsModelSelectsAndFindsRowsByMouseAndKeys() {
    CT7KEventList list = TenEvents();
    for (int i = 0; i < 300; ++i)  // a message on every 40th row below, power on the others
      list.AddTail(MakeEvent(PackTimeStamp(2015, 11, 1, 14, 0, 0), i % 40 == 0 ? 4 : 1));
    const std::string name = logwick::Utf8ToCp1251("<b>x</b> &amp;");
    list.SetConfigNameBytes(name.data(), name.size());
    CLogwickDlg dlg;
    CEvListBox& box = *Shown(dlg, WriteSample(TempDir() + "/rows.t7kev", list)).ListBox();
    QCOMPARE(Line(&dlg, M::kIdConfigLine), QString("Конфигурация <b>x</b> &amp;"));
    for (int id : {M::kIdCountLine, M::kIdReadLine, M::kIdPanelLine, M::kIdVersionLine, M::kIdConfigLine,
                   M::kIdFilterLine})
      QCOMPARE(Ctl<QLabel>(&dlg, id)->textFormat(), Qt::PlainText);
    QCOMPARE(box.GetCount(), 310);
    QCOMPARE(box.GetText(0), QString::fromStdString(dlg.Model().RowText(0)));
    for (int id : {M::kIdReadFromPanel, M::kIdReadFromFile, M::kIdWriteToFile, M::kIdWriteText,
                   M::kIdSettings, M::kIdHelp, M::kIdAbout, M::kIdExit})
      QVERIFY(dlg.MenuBar()->findChild<QAction*>(QString::number(id)));
    QVERIFY(!(dlg.windowFlags() & Qt::WindowMaximizeButtonHint));

    const logwick::RowSelection& selection = dlg.Model().Selection();
    const int h = box.GetItemHeight(0);
    auto rowImage = [&](int row) { return box.viewport()->grab().toImage().copy(0, row * h, 280, h); };
    const QImage plain[] = {rowImage(0), rowImage(1)};
    auto click = [&](int row, Qt::KeyboardModifiers modifiers = {}) {
      QTest::mouseClick(box.viewport(), Qt::LeftButton, modifiers, QPoint(5, row * h + h / 2));
    };
    using Rows = std::vector<std::size_t>;
    click(1);
    QCOMPARE(rowImage(0), plain[0]);
    QVERIFY(rowImage(1) != plain[1]);
    QVERIFY(HasColour(rowImage(1), box.palette().color(QPalette::Active, QPalette::Highlight)));
    QCOMPARE(selection.SelectedRows(), Rows{1});
    click(3, Qt::ShiftModifier);
    QCOMPARE(selection.SelectedRows(), (Rows{1, 2, 3}));
    click(2, Qt::ControlModifier);
    QCOMPARE(selection.SelectedRows(), (Rows{1, 3}));
    QTest::keyClick(&box, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(selection.SelectedRows(), (Rows{2, 3}));
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), box.GetText(2) + '\n' + box.GetText(3) + '\n');
    QTest::keyClick(&box, Qt::Key_Up);
    QCOMPARE(selection.SelectedRows(), Rows{2});
    const QPoint to(5, 2 * h + h / 2);  // a drag from the first row
    QTest::mousePress(box.viewport(), Qt::LeftButton, {}, QPoint(5, h / 2));
    QMouseEvent move(QEvent::MouseMove, to, box.viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(box.viewport(), &move);
    QCOMPARE(selection.SelectedRows(), (Rows{0, 1, 2}));
    QTest::mouseRelease(box.viewport(), Qt::LeftButton, {}, to);
    for (Qt::Key key : {Qt::Key_A, Qt::Key_C}) QTest::keyClick(&box, key, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text().count('\n'), 310);
    dlg.Model().FillList();  // refilled: nothing selected
    QCOMPARE(rowImage(1), plain[1]);

    const int height = dlg.height();
    CFindBar* bar = dlg.FindBar();
    QLineEdit* edit = bar->Edit();
    box.SetTopIndex(100);
    QTest::keyClick(&box, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isVisible() && dlg.height() > height);  // a strip below the list
    QVERIFY(bar->geometry().top() > box.geometry().bottom());
    QCOMPARE(QApplication::focusWidget(), edit);
    // Typed as a keyboard would (QTest::keyClicks takes Latin-1 only); found in rows 3, 6, 9 and every 40th
    // from 10: the first from the top row.
    for (QChar c : QString("СООБЩЁНИЕ"))
      QTest::sendKeyEvent(QTest::Click, edit, static_cast<Qt::Key>(c.unicode()), QString(c),
                          Qt::ShiftModifier);
    QCOMPARE(box.GetCurSel(), 130);
    QVERIFY(box.GetTopIndex() <= 130 && 130 < box.GetTopIndex() + box.VisibleRowCount());
    const std::tuple<QWidget*, Qt::Key, Qt::KeyboardModifiers, int> steps[] = {
        {edit, Qt::Key_Return, {}, 170},
        {edit, Qt::Key_F3, {}, 210},
        {&box, Qt::Key_F3, Qt::ShiftModifier, 170},
        {edit, Qt::Key_Return, Qt::ShiftModifier, 130},
        {edit, Qt::Key_Enter, {}, 170}};
    for (auto [to, key, modifiers, row] : steps) {
      QTest::keyClick(to, key, modifiers);
      QCOMPARE(box.GetCurSel(), row);
    }
    QVERIFY(dlg.isVisible());  // Enter in the bar is not the window's default button
    QCOMPARE(bar->findChild<QLabel*>("findCount")->text(), QString("8 из 11"));
    const QColor currentFound(255, 150, 40);
    QVERIFY(HasColour(box.viewport()->grab().toImage(), currentFound));

    // Esc closes the bar and takes the marks off; then Esc does nothing, as before.
    QTest::keyClick(edit, Qt::Key_Escape);
    QVERIFY(bar->isHidden() && dlg.height() == height);
    QVERIFY(!HasColour(box.viewport()->grab().toImage(), currentFound));
    QTest::keyClick(&box, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    QTest::keyClick(&box, Qt::Key_F, Qt::ControlModifier);  // the text waits, selected for typing over
    QCOMPARE(edit->selectedText(), QString("СООБЩЁНИЕ"));
  }

  // Enter outside a button presses Вы&ход; it and the close box ask before an unsaved reading is lost.
  void KeysHelpTheAboutBoxLeavingAndTheFilterAndSettingsDialogs() {
    logwick::QtProfile().WriteInt(logwick::kSettingArchiveReadings, 0);
    CLogwickDlg dlg(nullptr, {.readout = [](const logwick::ReadoutSettings&, logwick::IReadoutView&,
                                            const std::atomic<bool>&) {
                      return logwick::ReadoutResult{.list = TenEvents()};
                    }});
    Shown(dlg);
    int help = 0;
    const std::function<void()> ways[] = {
        [&] { dlg.MenuBar()->findChild<QAction*>(QString::number(M::kIdHelp))->trigger(); },
        [&] { Click(&dlg, M::kIdHelpButton); },
        [&] { QTest::keyClick(dlg.ListBox(), Qt::Key_F1); },
    };
    for (const auto& open : ways) {
      QApplication::setActiveWindow(&dlg);
      QVERIFY(QTest::qWaitForWindowActive(&dlg));
      dlg.ListBox()->setFocus();
      WhenModal("help", [&](QDialog* d) {
        help += d->findChild<QTextBrowser*>("helptext") != nullptr;
        d->accept();
      });
      open();
      QTRY_COMPARE(QApplication::activeModalWidget(), nullptr);
    }
    QCOMPARE(help, 3);
    CAboutDlg about;
    QStringList labels;  // each with its tooltip
    for (QLabel* l : about.findChildren<QLabel*>()) labels << l->text() + '|' + l->toolTip();
    const QString version =
        QString("Версия ") + logwick::kProjectVersion + '|' + logwick::VersionLine("logwick").c_str();
    QVERIFY2(labels.contains(version), qPrintable(labels.join('\n')));
    dlg.Model().m_nPortNumber = 1;
    dlg.Model().OnReadFromPanel();
    int asked = 0;
    logwick::SetQuestionHook([&](const logwick::MessageRecord&) { return ++asked == 2; });
    QTest::keyClick(dlg.ListBox(), Qt::Key_Return);  // "Нет"
    QVERIFY(dlg.isVisible() && dlg.close());
    logwick::SetQuestionHook({});
    QCOMPARE(std::pair(asked, dlg.result()), std::pair(2, int(QDialog::Accepted)));

    // The filter and settings dialogs draw and hand back their models.
    Hooks messages;
    logwick::FilterDialog filter(dlg, CT7KEvFilter());
    WhenModal(F::kIdDialog, [&](QDialog* d) {
      auto* lastDevice = Ctl<QLineEdit>(d, F::kIdLastDevice);
      QCOMPARE(Ctl<QDateEdit>(d, F::kIdDateFrom)->date(), QDate::currentDate().addDays(-30));
      QCOMPARE(FilterEnabled(d), QString("001111"));
      for (int box : {F::kIdBeams, F::kIdDevices}) Click(d, box);
      QCOMPARE(FilterEnabled(d), QString("000011"));
      Click(d, F::kIdPeriod);
      QCOMPARE(FilterEnabled(d), QString("110011"));
      Ctl<QDateEdit>(d, F::kIdDateFrom)->setDate(QDate(2024, 3, 1));
      lastDevice->clear();
      Click(d, F::kIdOk);  // kept open, the focus on the bad edit
      QVERIFY(d->isVisible() && lastDevice->hasFocus());
      lastDevice->setText("300");
      Click(d, F::kIdOk);
    });
    QCOMPARE(CFilterDlg(filter).exec(), int(QDialog::Accepted));
    QCOMPARE(messages.texts.size(), 1);  // the refusal's
    const CT7KEvFilter& f = filter.Filter();
    QCOMPARE(std::tuple(f.m_bBeams, f.m_bDevices, f.m_nLastDev, f.m_bPeriod), std::tuple(0, 0, 300u, 1));
    QCOMPARE(QDateTime::fromSecsSinceEpoch(f.m_timeFrom).date(), QDate(2024, 3, 1));

    const std::vector<logwick::PortListing> ports = {{1, "/dev/ttyS0", "на плате"}, {12, "/dev/ttyUSB1", ""}};
    logwick::SettingsDialog settings(dlg, {.portNumber = 12, .autoSerial = true}, ports);
    WhenModal(S::kIdDialog, [&](QDialog* d) {
      auto* combo = Ctl<QComboBox>(d, S::kIdPort);
      QCOMPARE(combo->currentText(), QString("COM12 ttyUSB1"));
      QCOMPARE(S::ListedText(combo->model()->index(0, 0)), QString("COM1 ttyS0  на плате"));
      auto* edit = Ctl<QLineEdit>(d, S::kIdSerial);
      QVERIFY(!edit->isEnabled());
      Click(d, S::kIdAuto);
      QVERIFY(edit->isEnabled() && edit->text() == "2");
      combo->setCurrentIndex(0);
      edit->setText("4660");
      Click(d, S::kIdOk);
    });
    QCOMPARE(CSettingsDlg(settings).exec(), int(QDialog::Accepted));
    const logwick::ReadoutSettings& s = settings.Settings();
    QCOMPARE(std::tuple(s.selectedSerial, s.autoSerial, s.portNumber), std::tuple(4660u, false, 1u));
  }

  void ChartBarsAndFindingsLeadToTheirRowsTheWindowsFollowTheFilterAndThePreviewShowsPagesAsLaidOut() {
    // Newest first: 5, 3 and 1 December, nothing on the 2nd and 4th; the last row no valid event.
    CT7KEventList l = MakeHeaderList();
    for (auto [day, hour, code] : {std::tuple{5, 8, 4}, {5, 9, 1}, {3, 12, 4}, {3, 8, 1}, {1, 8, 0}})
      l.AddTail(MakeEvent(PackTimeStamp(2015, 12, day, hour, 0, 0), static_cast<std::uint16_t>(code)));
    CLogwickDlg dlg;
    Shown(dlg, WriteSample(TempDir() + "/insight/days.t7kev", l));
    dlg.findChild<QAction*>("statistics")->trigger();
    CStatisticsWnd* wnd = dlg.StatisticsWnd();
    QVERIFY(wnd && QTest::qWaitForWindowExposed(wnd));
    for (QTableWidget* table : wnd->findChildren<QTableWidget*>())  // all ten rows at the first size
      QVERIFY(table->rowViewportPosition(9) + table->rowHeight(9) <= table->viewport()->height());
    CDayChart* chart = wnd->Chart();
    QTest::mouseClick(chart, Qt::LeftButton, {}, chart->ColumnRect(2).center());
    QCOMPARE(dlg.ListBox()->GetCurSel(), 2);  // the 3rd's newest event
    dlg.Model().Filter().m_bModes = 0;
    dlg.Model().FillList();
    QVERIFY2(wnd->SummaryText().startsWith("Событий: 3\n"), qPrintable(wnd->SummaryText()));

    dlg.findChild<QAction*>("integrity")->trigger();
    QTableWidget* table = dlg.IntegrityWnd()->Table();
    QCOMPARE(table->rowCount(), 2);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualItemRect(table->item(0, 2)).center());
    QCOMPARE(dlg.ListBox()->GetCurSel(), 0);

    // The print preview shows pages as they are laid out.
    dlg.Model().EventList() = MakeFullList(100000);
    dlg.Model().FillList();
    WhenModal("printPreview", [&](QDialog* d) {
      auto* preview = static_cast<logwick::ReportPreview*>(d);
      QTRY_VERIFY(preview->PagesPainted() > 0);
      QVERIFY(!preview->Layout().Done() && preview->CancelButton()->isVisible());
      QVERIFY(!preview->PrintButton()->isEnabled());
      QTest::mouseClick(preview->CancelButton(), Qt::LeftButton);
      QVERIFY(!d->isVisible());
    });
    dlg.findChild<QAction*>("print")->trigger();

    const CT7KEventList ten = TenEvents();
    const logwick::ShownRows all(ten, {});
    int pages = 0;
    WhenModal("printPreview", [&](QDialog* d) {
      auto* preview = static_cast<logwick::ReportPreview*>(d);
      QTRY_VERIFY(preview->Layout().Done());
      QVERIFY(preview->PrintButton()->isEnabled() && preview->Progress()->isHidden());
      pages = preview->Layout().PageCount();
      d->reject();
    });
    logwick::ShowReportPreview(&dlg, ten, all);

    // The same pages as a PDF: the summary, then the events table, as long as the shown events need.
    auto pdfPages = [](const CT7KEventList& list, const logwick::ShownRows& rows) {
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFileName(TempDir() + "/report.pdf");
      logwick::PrintReport(printer, list, rows);
      QFile pdf(printer.outputFileName());
      const QByteArray bytes = pdf.open(QIODevice::ReadOnly) ? pdf.readAll() : QByteArray();
      return bytes.startsWith("%PDF") ? int(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r")) : -1;
    };
    QCOMPARE(pdfPages(ten, all), pages);
    QCOMPARE(pdfPages(ten, logwick::ShownRows(ten, [](const CT7KEvent& ev) { return ev.Code() == 4; })), 2);
    CT7KEventList many = MakeHeaderList();
    for (int i = 0; i < 1000; ++i) many.AddTail(MakeEvent(PackTimeStamp(2015, 12, 1, 8, 0, 0), 1));
    const int manyPages = pdfPages(many, logwick::ShownRows(many, {}));
    QVERIFY2(manyPages > 10 && manyPages < 40, qPrintable(QString::number(manyPages)));
  }
};

LOGWICK_QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
