// Renders every window and dialog of the program, with real content, to PNG
// files (for the documentation): logwick-screenshots OUTPUT_FOLDER.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "app/about_dlg.h"
#include "app/ev_list_box.h"
#include "app/reading_dialog.h"
#include "app/filter_dlg.h"
#include "app/find_bar.h"
#include "app/integrity_wnd.h"
#include "app/logwick_app.h"
#include "app/main_window.h"
#include "app/qt_translation.h"
#include "app/settings_dlg.h"
#include "app/statistics_wnd.h"
#include "app/report_options_dialog.h"
#include "events/codec.h"
#include "link/port_list.h"
#include "lists/event_file.h"
#include "sim/event_generator.h"

#ifdef LOGWICK_WITH_ARCHIVE
#include <algorithm>

#include "app/archive_dlg.h"
#include "app/qt_profile.h"
#include "history/history_archive.h"
#endif

namespace {

QDir g_out;
int g_failures = 0;

void Settle(int ms = 50) {
  for (int i = 0; i < ms / 5; ++i) {
    QApplication::processEvents();
    QThread::msleep(5);
  }
}

void Save(QWidget& w, const char* name) {
  w.show();
  Settle();
  const QString path = g_out.filePath(QString(name) + ".png");
  if (!w.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    ++g_failures;
    return;
  }
  std::printf("%s\n", qPrintable(path));
  w.hide();
}

CT7KEventList SampleList() {
  CT7KEventList list;
  list.m_nPanelType = 1;
  list.m_nSerNum = 4660;
  list.m_nReadDay = 15;
  list.m_nReadMonth = 3;
  list.m_nReadYear = 2024;
  list.m_nReadHour = 10;
  list.m_nReadMin = 42;
  list.m_nReadSec = 7;
  list.m_nVerMajor = 3;
  list.m_nVerMinor = 12;
  list.m_nRelDay = 14;
  list.m_nRelMonth = 6;
  list.m_nRelYear = 2021;
  const std::string name = logwick::Utf8ToCp1251("Склад N2");
  list.SetConfigNameBytes(name.data(), name.size());
  list.m_texts = logwick::SampleMessageTexts(logwick::kSampleMessageCount);
  for (const CT7KEvent& ev : logwick::GenerateSampleEvents(600, 3)) list.AddTail(ev);
  return list;
}

#ifdef LOGWICK_WITH_ARCHIVE
// The events [from, to) of a sample list (newest first) as one visit read on
// the given day, with the configuration name given.
CT7KEventList Visit(const CT7KEventList& all, std::size_t from, std::size_t to, std::int32_t serial,
                    const char* config, int readDay) {
  CT7KEventList visit = all;
  visit.RemoveAll();
  visit.m_nSerNum = serial;
  visit.m_nReadDay = readDay;
  const std::string name = logwick::Utf8ToCp1251(config);
  visit.SetConfigNameBytes(name.data(), name.size());
  for (std::size_t i = from; i < to; ++i) visit.AddTail(all[i]);
  return visit;
}

// The archive window over three panels, one visited twice with events lost
// between the visits, and that panel's history in the main window.
void ShootArchive(const QString& folder, CLogwickDlg& main) {
  const QString path = folder + "/archive.sqlite";
  qputenv("LOGWICK_ARCHIVE", path.toUtf8());
  const CT7KEventList all = SampleList();
  {
    auto archive = logwick::HistoryArchive::Open(path.toStdString(), true);
    archive->File(Visit(all, 300, 600, 4660, "Склад N2", 2), {"COM1"});
    archive->File(Visit(all, 0, 200, 4660, "Склад N2", 15), {"COM1"});
    archive->File(Visit(all, 100, 400, 1207, "Цех 3", 9), {"COM3"});
    archive->File(Visit(all, 0, 600, 15, "Проходная", 12), {"COM3"});
  }
  logwick::QtProfile profile;
  logwick::ArchiveWindowModel model(main, profile, path.toStdString());
  CArchiveDlg dlg(model, &main);
  model.Refresh();
  dlg.findChild<QLineEdit*>(QString::number(CArchiveDlg::kIdServer))
      ->setText("postgresql://инженер@archive.example/logwick");
  model.SelectPanel({1, 4660});
  model.SortBy(model.SortColumn(), model.SortAscending());
  // The archive's usual place rather than this run's scratch folder.
  dlg.findChild<QLabel*>(QString::number(CArchiveDlg::kIdPath))
      ->setText("Архив: /home/engineer/.local/share/Ormet/logwick/archive.sqlite");
  Save(dlg, "archive-window");

  model.OnOpen();
  if (std::optional<logwick::PanelHistory> h = model.TakeHistory()) {
    main.Model().PutHistoryInPlace(std::move(*h));
    main.Model().FillList();
    // Scrolled so that the gap mark's row stands in the middle.
    main.show();
    Settle();
    CEvListBox* box = main.ListBox();
    for (int row = 0; row < box->GetCount(); ++row)
      if (box->IsGapMark(row)) box->SetTopIndex(std::max(row - 4, 0));
    Save(main, "main-window-history");
  }
}
#endif

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
  QApplication app(argc, argv);
  logwick::InstallRussianTranslation();
  g_out = QDir(argc > 1 ? argv[1] : "docs");
  g_out.mkpath(".");

  const QString file = settings.path() + "/sample.t7kev";
  logwick::StoreEventFile(file.toStdString(), SampleList());

  CLogwickDlg main;
  logwick::MainWindowModel& model = main.Model();
  model.OnInitDialog(file.toStdString());
  Save(main, "main-window");

  // The find bar, the first word of the fourth row's sentence looked for.
  model.OnFind();
  main.FindBar()->Edit()->setText(main.ListBox()->GetText(3).section(' ', 2, 2));
  Save(main, "find-bar");
  model.CloseFind();

  model.OnStatistics();
  Save(*main.StatisticsWnd(), "statistics");
  model.OnIntegrity();
  Save(*main.IntegrityWnd(), "integrity");
  QMetaObject::invokeMethod(
      &main,
      [] {
        if (QWidget* preview = QApplication::activeModalWidget()) Save(*preview, "print-preview");
      },
      Qt::QueuedConnection);
  model.OnPrint();  // Save hides the preview, which ends it

  CT7KEvFilter shown = model.Filter();
  shown.m_nFirstBeam = 1;
  shown.m_nLastBeam = 16;
  shown.m_bModes = 0;
  shown.m_bPeriod = 1;
  logwick::FilterDialog filterModel(main, shown);
  CFilterDlg filter(filterModel, &main);
  filter.LoadData();
  filter.UpdateBeamControls();
  filter.UpdatePeriodControls();
  Save(filter, "filter-dialog");

  const std::vector<logwick::PortListing> ports = {
      {1, "/dev/ttyS0", "последовательный порт на плате"},
      {33, "/dev/ttyUSB0", "FTDI FT232R USB UART A50285BI"},
      {7, "/dev/pts/3", "псевдотерминал, ссылка /home/u/.config/Ormet/ports/COM7 -> /dev/pts/3"},
  };
  logwick::ReadoutSettings chosen = logwick::ReadoutSettingsNow(model.m_nPortNumber);
  chosen.portNumber = 33;
  chosen.selectedSerial = 4660;
  chosen.autoSerial = false;
  logwick::SettingsDialog settingsModel(main, chosen, ports);
  CSettingsDlg settingsDlg(settingsModel, &main);
  QMetaObject::invokeMethod(
      &settingsDlg, [&] { settingsDlg.done(0); }, Qt::QueuedConnection);
  settingsDlg.exec();  // runs its initialisation: ports, serial number
  Save(settingsDlg, "settings-dialog");

  CTextParamDlg params(&main);
  params.findChild<QRadioButton*>(QString::number(CTextParamDlg::kIdScopeAll))->setChecked(true);
  Save(params, "report-options");

  logwick::ReadingSession session(
      main, logwick::ReadoutSettingsNow(model.m_nPortNumber),
      [](const logwick::ReadoutSettings&, logwick::IReadoutView& v, const std::atomic<bool>& cancel) {
        v.StepBegan(logwick::ReadoutStep::Events, 4660);
        v.EventsBegan({3, 12, UnpackTimeStamp(PackTimeStamp(2024, 3, 15, 10, 42, 7)), 1024});
        v.ProgressRange(1023);
        v.ProgressAt(639);
        CT7KEvent event;
        event.SetTimeStamp(PackTimeStamp(2024, 3, 15, 9, 12, 44));
        v.EventRead(640, event);
        while (!cancel) QThread::msleep(5);
        return logwick::ReadoutResult{.status = logwick::ReadoutStatus::Cancelled};
      });
  CFetchlog reading(session, &main);
  Save(reading, "reading-dialog");

  CAboutDlg about(&main);
  Save(about, "about");
  CHelpDlg help(&main);
  Save(help, "help");
#ifdef LOGWICK_WITH_ARCHIVE
  ShootArchive(settings.path(), main);
#endif
  return g_failures == 0 ? 0 : 1;
}
