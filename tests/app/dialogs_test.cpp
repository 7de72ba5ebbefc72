// The filter, settings and report-options dialogs, driven as a user would.
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QRadioButton>

#include "app/settings_dlg.h"
#include "app/text_param_dlg.h"
#include "app_test_support.h"
#include "link/port_names.h"
#include "view/filter_dlg.h"
#include "view/t7k_ev_filter.h"

using apptest::Click;
using apptest::Ctl;

namespace {

void FillFromDefaults(CFilterDlg& dlg) {
  const CT7KEvFilter f;
  dlg.m_timeFrom = f.m_timeFrom;
  dlg.m_timeTo = f.m_timeTo;
  dlg.m_nFirstBeam = f.m_nFirstBeam;
  dlg.m_nLastBeam = f.m_nLastBeam;
  dlg.m_bDevices = f.m_bDevices;
  dlg.m_bMessages = f.m_bMessages;
  dlg.m_bModes = f.m_bModes;
  dlg.m_bBeams = f.m_bBeams;
  dlg.m_nFirstDev = f.m_nFirstDev;
  dlg.m_nLastDev = f.m_nLastDev;
  dlg.m_bSlaves = f.m_bSlaves;
  dlg.m_bUnits = f.m_bUnits;
  dlg.m_bPeriod = f.m_bPeriod;
}

std::vector<logwick::PortInfo> Ports(std::initializer_list<unsigned> numbers) {
  std::vector<logwick::PortInfo> v;
  for (unsigned n : numbers) v.push_back({n, {}});
  return v;
}

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void FilterOpensWithTheDefaultsAndEnableRules() {
    CFilterDlg dlg;
    FillFromDefaults(dlg);
    bool checked = false;
    apptest::WhenModal("130", [&](QDialog* d) {
      QVERIFY(!Ctl<QCheckBox>(d, 1033)->isChecked());
      QVERIFY(!Ctl<QDateEdit>(d, 1012)->isEnabled());
      QVERIFY(!Ctl<QDateEdit>(d, 1014)->isEnabled());
      QCOMPARE(Ctl<QDateEdit>(d, 1014)->date(), QDate::currentDate());
      QCOMPARE(Ctl<QDateEdit>(d, 1012)->date(), QDate::currentDate().addDays(-30));
      for (int id : {1015, 1019, 1020, 1021, 1023, 1024}) QVERIFY(Ctl<QCheckBox>(d, id)->isChecked());
      QCOMPARE(Ctl<QLineEdit>(d, 1016)->text(), QString("0"));
      QCOMPARE(Ctl<QLineEdit>(d, 1017)->text(), QString("255"));
      QCOMPARE(Ctl<QLineEdit>(d, 1018)->text(), QString("0"));
      QCOMPARE(Ctl<QLineEdit>(d, 1022)->text(), QString("255"));
      QVERIFY(Ctl<QLineEdit>(d, 1016)->isEnabled());

      // Beam check box governs its edits at once; the device one does not.
      Click(d, 1015);
      QVERIFY(!Ctl<QLineEdit>(d, 1016)->isEnabled());
      QVERIFY(!Ctl<QLineEdit>(d, 1017)->isEnabled());
      Click(d, 1019);
      QVERIFY(Ctl<QLineEdit>(d, 1018)->isEnabled());
      QVERIFY(Ctl<QLineEdit>(d, 1022)->isEnabled());
      // Period check box enables the pickers at once.
      Click(d, 1033);
      QVERIFY(Ctl<QDateEdit>(d, 1012)->isEnabled());
      QVERIFY(Ctl<QDateEdit>(d, 1014)->isEnabled());
      checked = true;
      Click(d, 2);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QVERIFY(checked);
  }

  void FilterRefusesAnEmptyNumber() {
    apptest::MessageRecorder messages;
    CFilterDlg dlg;
    FillFromDefaults(dlg);
    apptest::WhenModal("130", [&](QDialog* d) {
      Ctl<QLineEdit>(d, 1022)->clear();
      // The period click shows the number message and leaves the pickers.
      Click(d, 1033);
      QCOMPARE(messages.seen.size(), size_t(1));
      QVERIFY(!Ctl<QDateEdit>(d, 1012)->isEnabled());
      // OK keeps the dialog open, with the focus on the bad edit.
      Click(d, 1);
      QCOMPARE(messages.seen.size(), size_t(2));
      QVERIFY(d->isVisible());
      QVERIFY(Ctl<QLineEdit>(d, 1022)->hasFocus());
      Click(d, 2);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QVERIFY(messages.seen.at(0).text.contains("целое"));
    // Values before the bad edit were taken, later ones were not.
    QCOMPARE(dlg.m_nFirstDev, 0u);
    QCOMPARE(dlg.m_bUnits, 1);
  }

  void FilterTakesAnyUnsignedNumberAndThePeriod() {
    CFilterDlg dlg;
    FillFromDefaults(dlg);
    apptest::WhenModal("130", [&](QDialog* d) {
      Ctl<QLineEdit>(d, 1017)->setText("300");
      Ctl<QLineEdit>(d, 1018)->setText("10");
      Ctl<QLineEdit>(d, 1022)->setText("5");
      Click(d, 1033);
      Ctl<QDateEdit>(d, 1012)->setDate(QDate(2024, 3, 1));
      Ctl<QDateEdit>(d, 1014)->setDate(QDate(2024, 3, 15));
      Click(d, 1021);
      Click(d, 1);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(dlg.m_nLastBeam, 300u);
    QCOMPARE(dlg.m_nFirstDev, 10u);
    QCOMPARE(dlg.m_nLastDev, 5u);
    QCOMPARE(dlg.m_bPeriod, 1);
    QCOMPARE(dlg.m_bModes, 0);
    QCOMPARE(QDateTime::fromSecsSinceEpoch(dlg.m_timeFrom).date(), QDate(2024, 3, 1));
    QCOMPARE(QDateTime::fromSecsSinceEpoch(dlg.m_timeTo).date(), QDate(2024, 3, 15));
  }

  void FilterTabOrderEndsWithThePeriodBox() {
    CFilterDlg dlg;
    QWidget* w = dlg.findChild<QWidget*>("1");
    QStringList order;
    for (int i = 0; i < 200 && w; ++i) {
      if (!w->objectName().isEmpty()) order << w->objectName();
      w = w->nextInFocusChain();
      if (w->objectName() == "1") break;
    }
    const int period = order.indexOf("1033");
    QVERIFY(period > order.indexOf("1024"));
    QVERIFY(order.indexOf("1016") < order.indexOf("1017"));
  }

  void SettingsListsPortsSortedAsText() {
    const auto ports = Ports({1, 3, 12});
    CSettingsDlg dlg(nullptr, &ports);
    dlg.m_nPortNumber = 3;
    dlg.m_bAuto = 1;
    apptest::WhenModal("106", [&](QDialog* d) {
      auto* combo = Ctl<QComboBox>(d, 1053);
      QCOMPARE(combo->count(), 3);
      QCOMPARE(combo->itemText(0), QString("COM1"));
      QCOMPARE(combo->itemText(1), QString("COM12"));
      QCOMPARE(combo->itemText(2), QString("COM3"));
      QCOMPARE(combo->currentIndex(), 2);
      QVERIFY(!Ctl<QLineEdit>(d, 1031)->isEnabled());
      combo->setCurrentIndex(1);
      Click(d, 1);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(dlg.m_nPortNumber, 12u);
  }

  void SettingsWithoutThePortSelectsNothing() {
    const auto ports = Ports({1, 2});
    CSettingsDlg dlg(nullptr, &ports);
    dlg.m_nPortNumber = 7;
    dlg.m_bAuto = 1;
    apptest::WhenModal("106", [&](QDialog* d) {
      QCOMPARE(Ctl<QComboBox>(d, 1053)->currentIndex(), -1);
      Ctl<QLineEdit>(d, 1031)->clear();
      Click(d, 1);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    // No port chosen: the error value, refused later as a missing port.
    QCOMPARE(dlg.m_nPortNumber, 0xFFFFFFFFu);
    QCOMPARE(dlg.m_nSerNum, 0u);  // auto on: any text, also empty, passes
  }

  void SettingsSerialNumberRules() {
    apptest::MessageRecorder messages;
    const auto ports = Ports({1});
    CSettingsDlg dlg(nullptr, &ports);
    dlg.m_nSerNum = 0;
    dlg.m_bAuto = 1;
    apptest::WhenModal("106", [&](QDialog* d) {
      auto* edit = Ctl<QLineEdit>(d, 1031);
      // Unticking "Авто" with 0 in the edit puts 2 there; 5000000 stays.
      Click(d, 1032);
      QVERIFY(edit->isEnabled());
      QCOMPARE(edit->text(), QString("2"));
      Click(d, 1032);
      edit->setText("5000000");
      Click(d, 1032);
      QCOMPARE(edit->text(), QString("5000000"));
      // 16777216 is refused and keeps the dialog open.
      edit->setText("16777216");
      Click(d, 1);
      QVERIFY(d->isVisible());
      QCOMPARE(messages.seen.size(), size_t(1));
      QCOMPARE(messages.seen[0].text, QString("Не допустимый серийный номер"));
      QCOMPARE(messages.seen[0].caption, QString("Ошибка"));
      QVERIFY(messages.seen[0].icon == logwick::MsgIcon::Stop);
      edit->setText("1");
      Click(d, 1);
      QCOMPARE(messages.seen.size(), size_t(2));
      edit->setText("2");
      Ctl<QCheckBox>(d, 1035)->click();
      Click(d, 1);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(dlg.m_nSerNum, 2u);
    QCOMPARE(dlg.m_bAuto, 0);
    QCOMPARE(dlg.m_bGazMode, 1);
  }

  void SettingsAtoiReading() {
    QCOMPARE(CSettingsDlg::AtoiUnsigned("123abc"), 123u);
    QCOMPARE(CSettingsDlg::AtoiUnsigned(""), 0u);
    QCOMPARE(CSettingsDlg::AtoiUnsigned("  77"), 77u);
    QCOMPARE(CSettingsDlg::AtoiUnsigned("-1"), 0xFFFFFFFFu);
  }

  void ReportOptionsStartWithAllEvents() {
    CTextParamDlg dlg;
    dlg.m_nScope = 1;
    apptest::WhenModal("138", [&](QDialog* d) {
      QVERIFY(Ctl<QRadioButton>(d, 1030)->isChecked());
      QVERIFY(!Ctl<QRadioButton>(d, 1026)->isChecked());
      Click(d, 1026);
      QVERIFY(!Ctl<QRadioButton>(d, 1030)->isChecked());
      Click(d, 1);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(dlg.m_nScope, 0);
  }
};

LOGWICK_QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
