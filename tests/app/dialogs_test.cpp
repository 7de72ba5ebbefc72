// The filter, settings and About dialogs, driven as a user would.
#include "app/about_dlg.h"
#include "app/filter_dlg.h"
#include "app/settings_dlg.h"
#include "app_test_support.h"
#include "link/port_names.h"
#include "version/program_version.h"

static bool Enabled(QWidget* d, std::initializer_list<int> ids, bool on) {
  return std::all_of(ids.begin(), ids.end(), [&](int id) { return Ctl(d, id)->isEnabled() == on; });
}

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void FilterCommandFollowsTheEnableRulesAndLimitsOnlyTheBeams() {
    CLogwickDlg main;
    main.OnInitDialog();
    WhenModal("130", [&](QDialog* d) {
      QVERIFY(!Ctl<QCheckBox>(d, 1033)->isChecked());
      QCOMPARE(Ctl<QDateEdit>(d, 1012)->date(), QDate::currentDate().addDays(-30));
      QCOMPARE(Ctl<QDateEdit>(d, 1014)->date(), QDate::currentDate());
      for (int id : {1015, 1019, 1020, 1021, 1023, 1024}) QVERIFY(Ctl<QCheckBox>(d, id)->isChecked());
      QCOMPARE(Ctl<QLineEdit>(d, 1017)->text() + Ctl<QLineEdit>(d, 1018)->text(), QString("2550"));
      QVERIFY(Enabled(d, {1012, 1014}, false) && Enabled(d, {1016, 1017, 1018, 1022}, true));
      Click(d, 1015), Click(d, 1019);  // the beam box governs its edits at once, the device box nothing
      QVERIFY(Enabled(d, {1016, 1017}, false) && Enabled(d, {1018, 1022}, true));
      Click(d, 1033);
      QVERIFY(Enabled(d, {1012, 1014}, true));
      Click(d, 2);
    });
    main.OnFilter();
    QCOMPARE(main.Filter().m_bBeams, 1);  // Cancel keeps the filter

    WhenModal("130", [](QDialog* d) {
      Ctl<QLineEdit>(d, 1017)->setText("300"), Ctl<QLineEdit>(d, 1022)->setText("300");
      Click(d, 1033), Ctl<QDateEdit>(d, 1012)->setDate(QDate(2024, 3, 1));
      Click(d, 1021), Click(d, 1);
    });
    main.OnFilter();
    const CT7KEvFilter& f = main.Filter();
    QCOMPARE(std::tuple(f.m_nLastBeam, f.m_nLastDev, f.m_bPeriod, f.m_bModes), std::tuple(255u, 300u, 1, 0));
    QCOMPARE(QDateTime::fromSecsSinceEpoch(f.m_timeFrom).date(), QDate(2024, 3, 1));
  }

  void FilterRefusesAnEmptyNumber() {
    Hooks messages;
    CFilterDlg dlg;
    dlg.m_nLastDev = 255, dlg.m_bUnits = 1;
    WhenModal("130", [&](QDialog* d) {
      Ctl<QLineEdit>(d, 1022)->clear();
      Click(d, 1033);  // the number message instead of the pickers
      QCOMPARE(messages.texts.size(), qsizetype(1));
      QVERIFY(Enabled(d, {1012, 1014}, false));
      Click(d, 1);  // OK keeps the dialog open, the focus on the bad edit
      QCOMPARE(messages.texts.size(), qsizetype(2));
      QVERIFY(d->isVisible() && Ctl(d, 1022)->hasFocus());
      Ctl<QLineEdit>(d, 1016)->clear();  // a disabled beam edit blocks as well
      Ctl<QLineEdit>(d, 1022)->setText("9");
      Click(d, 1);
      QCOMPARE(messages.texts.size(), qsizetype(3));
      Click(d, 2);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QVERIFY(messages.texts.at(0).contains("целое"));
    QCOMPARE(dlg.m_nLastDev, 255u);  // values after the bad edit were not taken
  }

  void SettingsPortsAndSerialNumberRules() {
    Hooks messages;
    const std::vector<logwick::PortInfo> ports = {{1, {}}, {3, {}}, {12, {}}};
    CSettingsDlg dlg(nullptr, &ports), other(nullptr, &ports);
    dlg.m_nPortNumber = 3, other.m_nPortNumber = 7;
    dlg.m_bAuto = other.m_bAuto = 1;
    WhenModal("106", [&](QDialog* d) {
      auto* combo = Ctl<QComboBox>(d, 1053);
      QCOMPARE(QStringList({combo->itemText(0), combo->itemText(1), combo->itemText(2)}),
               QStringList({"COM1", "COM12", "COM3"}));  // sorted as text
      QCOMPARE(combo->currentIndex(), 2);
      auto* edit = Ctl<QLineEdit>(d, 1031);
      QVERIFY(!edit->isEnabled());
      Click(d, 1032);  // unticking "Авто" with 0 in the edit puts 2 there
      QVERIFY(edit->isEnabled() && edit->text() == "2");
      Click(d, 1032), edit->setText("5000000"), Click(d, 1032);  // a number other than 0 stays
      QCOMPARE(edit->text(), QString("5000000"));
      for (const char* bad : {"16777216", "1"}) {
        edit->setText(bad), Click(d, 1);
        QVERIFY(d->isVisible());
      }
      combo->setCurrentIndex(-1), edit->setText("2"), Click(d, 1);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(messages.texts, QStringList(2, "Не допустимый серийный номер"));
    QCOMPARE(messages.captions[0], QString("Ошибка"));
    // No port chosen: refused later as a missing one.
    QCOMPARE(std::tuple(dlg.m_nSerNum, dlg.m_bAuto, dlg.m_nPortNumber), std::tuple(2u, 0, 0xFFFFFFFFu));

    // With "Авто" ticked any text goes; a port no longer present is not shown.
    WhenModal("106", [&](QDialog* d) {
      QCOMPARE(Ctl<QComboBox>(d, 1053)->currentIndex(), -1);
      Ctl<QLineEdit>(d, 1031)->clear(), Click(d, 1);
    });
    QCOMPARE(other.exec(), int(QDialog::Accepted));
    QCOMPARE(other.m_nSerNum, 0u);
  }

  // The About box keeps its version line and names the build as --version does.
  void AboutShowsTheProgramsVersion() {
    CAboutDlg dlg;
    QLabel* line = nullptr;
    for (QLabel* l : dlg.findChildren<QLabel*>())
      if (l->text().startsWith("Версия")) line = l;
    QVERIFY(line);
    QCOMPARE(line->text(), QString("Версия ") + logwick::kProjectVersion);
    QCOMPARE(line->toolTip().toStdString(), logwick::VersionLine("logwick"));
  }
};

LOGWICK_QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
