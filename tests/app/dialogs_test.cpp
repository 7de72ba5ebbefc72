// The filter, settings and report-options dialogs, driven as a user would
// through the main window's commands.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

#include "app/logwick_dlg.h"
#include "app/settings_dlg.h"
#include "app_test_support.h"
#include "link/port_names.h"
#include "view/filter_dlg.h"

using apptest::Click;
using apptest::Ctl;

namespace {

bool Enabled(QWidget* d, std::initializer_list<int> ids, bool on) {
  for (int id : ids)
    if (Ctl<QWidget>(d, id)->isEnabled() != on) return false;
  return true;
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void FilterOpensWithTheDefaultsAndFollowsItsEnableRules() {
    CLogwickDlg main;
    main.OnInitDialog();
    bool ran = false;
    apptest::WhenModal("130", [&](QDialog* d) {
      QVERIFY(!Ctl<QCheckBox>(d, 1033)->isChecked());
      QVERIFY(Enabled(d, {1012, 1014}, false));
      QCOMPARE(Ctl<QDateEdit>(d, 1012)->date(), QDate::currentDate().addDays(-30));
      QCOMPARE(Ctl<QDateEdit>(d, 1014)->date(), QDate::currentDate());
      for (int id : {1015, 1019, 1020, 1021, 1023, 1024}) QVERIFY(Ctl<QCheckBox>(d, id)->isChecked());
      QCOMPARE(Ctl<QLineEdit>(d, 1017)->text(), QString("255"));
      QCOMPARE(Ctl<QLineEdit>(d, 1018)->text(), QString("0"));
      QVERIFY(Enabled(d, {1016, 1017, 1018, 1022}, true));
      Click(d, 1015);  // the beam box governs its edits at once
      Click(d, 1019);  // the device box governs nothing
      QVERIFY(Enabled(d, {1016, 1017}, false));
      QVERIFY(Enabled(d, {1018, 1022}, true));
      Click(d, 1033);
      QVERIFY(Enabled(d, {1012, 1014}, true));
      ran = true;
      Click(d, 2);
    });
    main.OnFilter();
    QVERIFY(ran);
    QCOMPARE(main.Filter().m_bBeams, 1);  // Cancel keeps the filter
  }

  void FilterRefusesAnEmptyNumber() {
    apptest::MessageRecorder messages;
    CFilterDlg dlg;
    dlg.m_nLastDev = 255;
    dlg.m_bUnits = 1;
    apptest::WhenModal("130", [&](QDialog* d) {
      Ctl<QLineEdit>(d, 1022)->clear();
      Click(d, 1033);  // the number message instead of the pickers
      QCOMPARE(messages.seen.size(), size_t(1));
      QVERIFY(Enabled(d, {1012, 1014}, false));
      Click(d, 1);  // OK keeps the dialog open, the focus on the bad edit
      QCOMPARE(messages.seen.size(), size_t(2));
      QVERIFY(d->isVisible());
      QVERIFY(Ctl<QLineEdit>(d, 1022)->hasFocus());
      QVERIFY(Enabled(d, {1016}, false));
      Ctl<QLineEdit>(d, 1016)->clear();  // a disabled beam edit blocks as well
      Ctl<QLineEdit>(d, 1022)->setText("9");
      Click(d, 1);
      QCOMPARE(messages.seen.size(), size_t(3));
      Click(d, 2);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QVERIFY(messages.seen.at(0).text.contains("целое"));
    QCOMPARE(dlg.m_nLastDev, 255u);  // values after the bad edit were not taken
  }

  void FilterCommandTakesThePeriodAndLimitsOnlyTheBeams() {
    CLogwickDlg main;
    main.OnInitDialog();
    apptest::WhenModal("130", [](QDialog* d) {
      Ctl<QLineEdit>(d, 1017)->setText("300");
      Ctl<QLineEdit>(d, 1022)->setText("300");
      Click(d, 1033);
      Ctl<QDateEdit>(d, 1012)->setDate(QDate(2024, 3, 1));
      Click(d, 1021);
      Click(d, 1);
    });
    main.OnFilter();
    const CT7KEvFilter& f = main.Filter();
    QCOMPARE(f.m_nLastBeam, 255u);
    QCOMPARE(f.m_nLastDev, 300u);
    QCOMPARE(f.m_bPeriod, 1);
    QCOMPARE(f.m_bModes, 0);
    QCOMPARE(QDateTime::fromSecsSinceEpoch(f.m_timeFrom).date(), QDate(2024, 3, 1));
  }

  void FilterTabOrderEndsWithThePeriodBox() {
    CFilterDlg dlg;
    QStringList order;
    for (QWidget* w = Ctl<QWidget>(&dlg, 1)->nextInFocusChain(); w->objectName() != "1"; w = w->nextInFocusChain())
      if (w->parentWidget() == &dlg && w->objectName().toInt() > 0) order << w->objectName();
    QCOMPARE(order.join(' '), QString("2 1012 1014 1015 1016 1017 1019 1020 1021 1018 1022 1023 1024 1033"));
  }

  void SettingsPortsAndSerialNumberRules() {
    apptest::MessageRecorder messages;
    const std::vector<logwick::PortInfo> ports = {{1, {}}, {3, {}}, {12, {}}};
    CSettingsDlg dlg(nullptr, &ports);
    dlg.m_nPortNumber = 3;
    dlg.m_bAuto = 1;
    apptest::WhenModal("106", [&](QDialog* d) {
      auto* combo = Ctl<QComboBox>(d, 1053);
      QCOMPARE(QStringList({combo->itemText(0), combo->itemText(1), combo->itemText(2)}),
               QStringList({"COM1", "COM12", "COM3"}));  // sorted as text
      QCOMPARE(combo->currentIndex(), 2);
      auto* edit = Ctl<QLineEdit>(d, 1031);
      QVERIFY(!edit->isEnabled());
      Click(d, 1032);  // unticking "Авто" with 0 in the edit puts 2 there
      QVERIFY(edit->isEnabled());
      QCOMPARE(edit->text(), QString("2"));
      Click(d, 1032);
      edit->setText("5000000");
      Click(d, 1032);
      QCOMPARE(edit->text(), QString("5000000"));
      for (const char* bad : {"16777216", "1"}) {
        edit->setText(bad);
        Click(d, 1);
        QVERIFY(d->isVisible());
      }
      combo->setCurrentIndex(-1);
      edit->setText("2");
      Click(d, 1);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(messages.Texts(), QStringList(2, "Не допустимый серийный номер"));
    QCOMPARE(messages.seen[0].caption, QString("Ошибка"));
    QCOMPARE(dlg.m_nSerNum, 2u);
    QCOMPARE(dlg.m_bAuto, 0);
    QCOMPARE(dlg.m_nPortNumber, 0xFFFFFFFFu);  // no port: refused later as a missing one
  }

  void SettingsWithAutoTakeAnyText() {
    const std::vector<logwick::PortInfo> ports = {{1, {}}};
    CSettingsDlg dlg(nullptr, &ports);
    dlg.m_nPortNumber = 7;
    dlg.m_bAuto = 1;
    apptest::WhenModal("106", [&](QDialog* d) {
      QCOMPARE(Ctl<QComboBox>(d, 1053)->currentIndex(), -1);
      Ctl<QLineEdit>(d, 1031)->clear();
      Click(d, 1);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(dlg.m_nSerNum, 0u);
    QCOMPARE(CSettingsDlg::AtoiUnsigned(" 77x"), 77u);
    QCOMPARE(CSettingsDlg::AtoiUnsigned("-1"), 0xFFFFFFFFu);
  }
};

LOGWICK_QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
