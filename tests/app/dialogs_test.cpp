// The filter, settings and About dialogs, driven as a user would.
#include "app/about_dlg.h"
#include "app/filter_dlg.h"
#include "app/settings_dlg.h"
#include "app_test_support.h"
#include "link/port_list.h"
#include "version/program_version.h"

using F = CFilterDlg;
using S = CSettingsDlg;

static bool Enabled(QWidget* d, std::initializer_list<int> ids, bool on) {
  return std::all_of(ids.begin(), ids.end(), [&](int id) { return Ctl(d, id)->isEnabled() == on; });
}

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void FilterCommandFollowsTheEnableRulesAndLimitsOnlyTheBeams() {
    CLogwickDlg main;
    main.OnInitDialog();
    WhenModal(F::kIdDialog, [&](QDialog* d) {
      QVERIFY(!Ctl<QCheckBox>(d, F::kIdPeriod)->isChecked());
      QCOMPARE(Ctl<QDateEdit>(d, F::kIdDateFrom)->date(), QDate::currentDate().addDays(-30));
      QCOMPARE(Ctl<QDateEdit>(d, F::kIdDateTo)->date(), QDate::currentDate());
      for (int id : {F::kIdBeams, F::kIdDevices, F::kIdMessages, F::kIdModes, F::kIdUnits, F::kIdSlaves})
        QVERIFY(Ctl<QCheckBox>(d, id)->isChecked());
      QCOMPARE(Ctl<QLineEdit>(d, F::kIdLastBeam)->text(), QString("255"));
      QCOMPARE(Ctl<QLineEdit>(d, F::kIdFirstDevice)->text(), QString("0"));
      QVERIFY(Enabled(d, {F::kIdDateFrom, F::kIdDateTo}, false));
      QVERIFY(Enabled(d, {F::kIdFirstBeam, F::kIdLastBeam, F::kIdFirstDevice, F::kIdLastDevice}, true));
      // The beam box governs its edits at once, the device box nothing.
      Click(d, F::kIdBeams);
      Click(d, F::kIdDevices);
      QVERIFY(Enabled(d, {F::kIdFirstBeam, F::kIdLastBeam}, false));
      QVERIFY(Enabled(d, {F::kIdFirstDevice, F::kIdLastDevice}, true));
      Click(d, F::kIdPeriod);
      QVERIFY(Enabled(d, {F::kIdDateFrom, F::kIdDateTo}, true));
      Click(d, F::kIdCancel);
    });
    main.OnFilter();
    QCOMPARE(main.Filter().m_bBeams, 1);  // Cancel keeps the filter

    WhenModal(F::kIdDialog, [](QDialog* d) {
      Ctl<QLineEdit>(d, F::kIdLastBeam)->setText("300");
      Ctl<QLineEdit>(d, F::kIdLastDevice)->setText("300");
      Click(d, F::kIdPeriod);
      Ctl<QDateEdit>(d, F::kIdDateFrom)->setDate(QDate(2024, 3, 1));
      Click(d, F::kIdModes);
      Click(d, F::kIdOk);
    });
    main.OnFilter();
    const CT7KEvFilter& f = main.Filter();
    QCOMPARE(std::tuple(f.m_nLastBeam, f.m_nLastDev, f.m_bPeriod, f.m_bModes), std::tuple(255u, 300u, 1, 0));
    QCOMPARE(QDateTime::fromSecsSinceEpoch(f.m_timeFrom).date(), QDate(2024, 3, 1));
  }

  void FilterRefusesAnEmptyNumber() {
    Hooks messages;
    CT7KEvFilter start;
    start.m_bBeams = 0;
    CFilterDlg dlg(start);
    WhenModal(F::kIdDialog, [&](QDialog* d) {
      Ctl<QLineEdit>(d, F::kIdLastDevice)->clear();
      Click(d, F::kIdPeriod);  // the number message instead of the pickers
      QCOMPARE(messages.texts.size(), qsizetype(1));
      QVERIFY(Enabled(d, {F::kIdDateFrom, F::kIdDateTo}, false));
      Click(d, F::kIdOk);  // OK keeps the dialog open, the focus on the bad edit
      QCOMPARE(messages.texts.size(), qsizetype(2));
      QVERIFY(d->isVisible() && Ctl(d, F::kIdLastDevice)->hasFocus());
      Ctl<QLineEdit>(d, F::kIdFirstBeam)->clear();  // a disabled beam edit blocks as well
      Ctl<QLineEdit>(d, F::kIdLastDevice)->setText("9");
      Click(d, F::kIdOk);
      QCOMPARE(messages.texts.size(), qsizetype(3));
      Click(d, F::kIdCancel);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QVERIFY(messages.texts.at(0).contains("целое"));
    QCOMPARE(dlg.Filter().m_nLastDev, 255u);  // values after the bad edit were not taken
  }

  void SettingsPortsAndSerialNumberRules() {
    Hooks messages;
    const std::vector<logwick::PortListing> ports = {{1, {}, {}}, {3, {}, {}}, {12, {}, {}}};
    CSettingsDlg dlg({.portNumber = 3, .autoSerial = true}, nullptr, &ports);
    WhenModal(S::kIdDialog, [&](QDialog* d) {
      auto* combo = Ctl<QComboBox>(d, S::kIdPort);
      QCOMPARE(QStringList({combo->itemText(0), combo->itemText(1), combo->itemText(2)}),
               QStringList({"COM1", "COM12", "COM3"}));  // sorted as text
      QCOMPARE(combo->currentIndex(), 2);
      auto* edit = Ctl<QLineEdit>(d, S::kIdSerial);
      QVERIFY(!edit->isEnabled());
      Click(d, S::kIdAuto);  // unticking "Авто" with 0 in the edit puts 2 there
      QVERIFY(edit->isEnabled() && edit->text() == "2");
      Click(d, S::kIdAuto);
      edit->setText("5000000");
      Click(d, S::kIdAuto);  // a number other than 0 stays
      QCOMPARE(edit->text(), QString("5000000"));
      for (const char* bad : {"16777216", "1"}) {
        edit->setText(bad);
        Click(d, S::kIdOk);
        QVERIFY(d->isVisible());
      }
      combo->setCurrentIndex(-1);
      edit->setText("2");
      Click(d, S::kIdOk);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(messages.texts, QStringList(2, "Не допустимый серийный номер"));
    QCOMPARE(messages.captions[0], QString("Ошибка"));
    // No port chosen: refused later as a missing one.
    const logwick::ReadoutSettings& s = dlg.Settings();
    QCOMPARE(std::tuple(s.selectedSerial, s.autoSerial, s.portNumber), std::tuple(2u, false, S::kNoPort));

    // With "Авто" ticked any text goes; a port no longer present is not shown.
    CSettingsDlg other({.portNumber = 7, .autoSerial = true}, nullptr, &ports);
    WhenModal(S::kIdDialog, [&](QDialog* d) {
      QCOMPARE(Ctl<QComboBox>(d, S::kIdPort)->currentIndex(), -1);
      Ctl<QLineEdit>(d, S::kIdSerial)->clear();
      Click(d, S::kIdOk);
    });
    QCOMPARE(other.exec(), int(QDialog::Accepted));
    QCOMPARE(other.Settings().selectedSerial, 0u);
  }

  // Each port of the list carries the description `logwick-cli ports` prints for it; the entries keep
  // their text, their order and their port number.
  void SettingsPortListDescribesEachPort() {
    const QString link = qEnvironmentVariable("LOGWICK_PORTS_DIR") + "/COM7";
    QVERIFY(QFile::link("/dev/null", link));
    const auto listed = logwick::ListPorts(logwick::HostSystemView());
    CSettingsDlg dlg({.portNumber = 7, .autoSerial = true});
    WhenModal(S::kIdDialog, [&](QDialog* d) {
      auto* combo = Ctl<QComboBox>(d, S::kIdPort);
      QCOMPARE(combo->count(), qsizetype(listed.size()));
      for (const logwick::PortListing& port : listed) {
        const int at = combo->findData(port.number);
        QVERIFY(at >= 0);
        const QString text = S::PortText(port);
        const QString description = QString::fromStdString(port.description);
        QCOMPARE(combo->itemText(at), text);
        QCOMPARE(S::ListedText(combo->model()->index(at, 0)), text + "  " + description);
      }
      QCOMPARE(combo->currentText(), QString("COM7 null"));
      QVERIFY2(
          S::ListedText(combo->model()->index(combo->currentIndex(), 0)).endsWith(link + " -> /dev/null"),
          qPrintable(S::ListedText(combo->model()->index(combo->currentIndex(), 0))));
      QVERIFY(combo->view()->minimumWidth() > combo->view()->fontMetrics().horizontalAdvance(link));
      Click(d, S::kIdCancel);
    });
    dlg.exec();
    QFile::remove(link);
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
