// The filter, settings and About dialogs as drawn: each control of the
// template wired to its model (the rules themselves are the model's tests).
#include "app/about_dlg.h"
#include "app/filter_dlg.h"
#include "app/settings_dlg.h"
#include "app_test_support.h"
#include "version/program_version.h"

using F = CFilterDlg;
using S = CSettingsDlg;

static bool Enabled(QWidget* d, std::initializer_list<int> ids, bool on) {
  return std::all_of(ids.begin(), ids.end(), [&](int id) { return Ctl(d, id)->isEnabled() == on; });
}

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void FilterDialogDrawsAndHandsBackItsModel() {
    Hooks messages;
    CLogwickDlg main;
    logwick::FilterDialog model(main, CT7KEvFilter());
    CFilterDlg dlg(model);
    WhenModal(F::kIdDialog, [&](QDialog* d) {
      QCOMPARE(Ctl<QDateEdit>(d, F::kIdDateFrom)->date(), QDate::currentDate().addDays(-30));
      QVERIFY(Enabled(d, {F::kIdDateFrom, F::kIdDateTo}, false));
      // The beam box governs its edits at once, the device box nothing.
      Click(d, F::kIdBeams);
      Click(d, F::kIdDevices);
      QVERIFY(Enabled(d, {F::kIdFirstBeam, F::kIdLastBeam}, false));
      QVERIFY(Enabled(d, {F::kIdFirstDevice, F::kIdLastDevice}, true));
      Click(d, F::kIdPeriod);
      QVERIFY(Enabled(d, {F::kIdDateFrom, F::kIdDateTo}, true));
      Ctl<QDateEdit>(d, F::kIdDateFrom)->setDate(QDate(2024, 3, 1));
      Ctl<QLineEdit>(d, F::kIdLastDevice)->clear();
      Click(d, F::kIdOk);  // kept open, the focus on the bad edit
      QVERIFY(d->isVisible() && Ctl(d, F::kIdLastDevice)->hasFocus());
      Ctl<QLineEdit>(d, F::kIdLastDevice)->setText("300");
      Click(d, F::kIdOk);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(messages.texts, QStringList{"Введите положительное целое число."});
    const CT7KEvFilter& f = model.Filter();
    QCOMPARE(std::tuple(f.m_bBeams, f.m_bDevices, f.m_nLastDev, f.m_bPeriod), std::tuple(0, 0, 300u, 1));
    QCOMPARE(QDateTime::fromSecsSinceEpoch(f.m_timeFrom).date(), QDate(2024, 3, 1));
  }

  // Each port of the list carries its description beside its own text; "Авто" and OK go to the model.
  void SettingsDialogDrawsThePortsAndHandsBackItsModel() {
    Hooks messages;
    CLogwickDlg main;
    const std::vector<logwick::PortListing> ports = {{1, "/dev/ttyS0", "на плате"}, {12, "/dev/ttyUSB1", ""}};
    logwick::SettingsDialog model(main, {.portNumber = 12, .autoSerial = true}, ports);
    CSettingsDlg dlg(model);
    WhenModal(S::kIdDialog, [&](QDialog* d) {
      auto* combo = Ctl<QComboBox>(d, S::kIdPort);
      QCOMPARE(combo->currentText(), QString("COM12 ttyUSB1"));
      QCOMPARE(S::ListedText(combo->model()->index(0, 0)), QString("COM1 ttyS0  на плате"));
      auto* edit = Ctl<QLineEdit>(d, S::kIdSerial);
      QVERIFY(!edit->isEnabled());
      Click(d, S::kIdAuto);
      QVERIFY(edit->isEnabled() && edit->text() == "2");
      edit->setText("1");
      Click(d, S::kIdOk);
      QVERIFY(d->isVisible());
      combo->setCurrentIndex(0);
      edit->setText("4660");
      Click(d, S::kIdOk);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(messages.texts, QStringList{"Не допустимый серийный номер"});
    const logwick::ReadoutSettings& s = model.Settings();
    QCOMPARE(std::tuple(s.selectedSerial, s.autoSerial, s.portNumber), std::tuple(4660u, false, 1u));
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
