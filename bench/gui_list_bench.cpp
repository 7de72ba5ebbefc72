// Timed run of the main window's event list at the file limit: 100000 events
// from open to first complete paint, refill after a filter change, re-wrap
// after a width change, scroll to the end, a keystroke in the find bar with
// the repaint it causes, the statistics window, the print preview's first
// page and its layout, the printable report's pages, and the resident memory.
// Where the program has the panel history archive, also a 1,000,000-event
// history from "Открыть" in the archive window to the main window's first
// complete paint, and scrolling to its end.
// Prints "name: value unit" lines (median of several runs).
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/ev_list_box.h"
#include "app/find_bar.h"
#include "app/main_window.h"
#include "app/report_preview.h"
#include "app/statistics_wnd.h"
#include "lists/event_file.h"
#include "sim/event_generator.h"

#ifdef LOGWICK_WITH_ARCHIVE
#include "app/qt_profile.h"
#include "desk/archive_window_model.h"
#include "history/history_archive.h"
#endif

namespace {

constexpr int kRuns = 7;
constexpr std::size_t kEvents = 100000;

template <class F>
double MedianMs(F&& once) {
  std::vector<double> ms;
  for (int i = 0; i < kRuns; ++i) {
    QElapsedTimer t;
    t.start();
    once();
    ms.push_back(t.nsecsElapsed() / 1e6);
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

void ScrollToEnd(CEvListBox* box) {
  box->SetTopIndex(0);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
  QApplication::sendEvent(box, &key);
  box->repaint();
}

#ifdef LOGWICK_WITH_ARCHIVE
constexpr std::size_t kHistory = 1000000;
constexpr std::size_t kReadout = 100000;
constexpr std::size_t kOverlap = 1000;
const logwick::PanelKey kPanel{1, 77};

// Panel 77 visited until its history holds kHistory events: each read-out
// overlaps the one before, but every fourth follows a gap.
bool FillArchive(const std::string& path) {
  std::vector<CT7KEvent> truth = logwick::GenerateSampleEvents(kHistory + kHistory / 10, 5);  // newest first
  std::reverse(truth.begin(), truth.end());
  auto archive = logwick::HistoryArchive::Open(path, true);
  std::size_t end = 0;
  for (int visit = 0; archive->Panels().empty() || archive->Panels().front().events < kHistory; ++visit) {
    end += kReadout - kOverlap + (visit % 4 == 3 ? 2 * kOverlap : 0);
    if (end > truth.size()) return false;
    CT7KEventList r;
    r.m_nPanelType = kPanel.type;
    r.m_nSerNum = kPanel.serial;
    r.m_nReadYear = 2020 + visit / 12;
    r.m_nReadMonth = 1 + visit % 12;
    r.m_nReadDay = 1;
    r.m_texts = logwick::SampleMessageTexts(20);
    for (std::size_t i = end; i > end - std::min(end, kReadout); --i) r.AddTail(truth[i - 1]);
    archive->File(r, {"bench"});
  }
  return true;
}
#endif

long StatusKib(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::string(key).size()));
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir dir;
  qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
  qputenv("XDG_DATA_HOME", (dir.path() + "/data").toUtf8());
  QApplication app(argc, argv);

  const std::string path = (dir.path() + "/limit.t7kev").toStdString();
  {
    CT7KEventList list;
    list.m_nPanelType = 1;
    list.m_texts = logwick::SampleMessageTexts(20);
    for (const CT7KEvent& ev : logwick::GenerateSampleEvents(kEvents, 1)) list.AddTail(ev);
    if (!logwick::StoreEventFile(path, list).ok) return 1;
  }

  CLogwickDlg dlg;
  logwick::MainWindowModel& model = dlg.Model();
  model.OnInitDialog();
  dlg.show();
  if (!QTest::qWaitForWindowExposed(&dlg)) return 1;
  CEvListBox* box = dlg.ListBox();

  const double open = MedianMs([&] {
    model.ReadEventFile(path);
    model.FillList();
    dlg.repaint();
  });
  if (box->GetCount() != static_cast<int>(kEvents)) return 2;

  bool flip = false;
  const double refill = MedianMs([&] {
    flip = !flip;
    model.Filter().m_bModes = flip ? 0 : 1;
    model.FillList();
    box->repaint();
  });

  const QSize base = box->size();
  int step = 0;
  const double rewrap = MedianMs([&] {
    box->resize(base.width() + (++step % 2 ? 160 : -80), base.height());
    box->repaint();
  });
  box->resize(base);

  const double end = MedianMs([&] { ScrollToEnd(box); });
  if (box->GetTopIndex() + box->VisibleRowCount() != box->GetCount()) return 3;

  // The list alone, as before the find bar and the statistics window.
  const long listRssKib = StatusKib("VmRSS:");

  // The find bar: opening it indexes the shown rows; then each keystroke of
  // typing a word of the first row and taking it back.
  model.Filter().m_bModes = 1;
  model.FillList();
  if (box->GetCount() != static_cast<int>(kEvents)) return 6;
  QElapsedTimer opening;
  opening.start();
  model.OnFind();
  dlg.repaint();
  const double index = opening.nsecsElapsed() / 1e6;
  QLineEdit* edit = dlg.FindBar()->Edit();
  const QString word = box->GetText(0).section(' ', 2, 2).left(5).toLower();
  if (word.isEmpty()) return 7;
  auto press = [&](Qt::Key key, const QString& text) {
    QTest::sendKeyEvent(QTest::Click, edit, key, text, Qt::NoModifier);
    dlg.repaint();
  };
  std::vector<double> keys;
  for (int run = 0; run < kRuns; ++run) {
    for (QChar c : word) {
      QElapsedTimer t;
      t.start();
      press(static_cast<Qt::Key>(c.toUpper().unicode()), QString(c));
      keys.push_back(t.nsecsElapsed() / 1e6);
    }
    for (int i = 0; i < word.size(); ++i) {
      QElapsedTimer t;
      t.start();
      press(Qt::Key_Backspace, {});
      keys.push_back(t.nsecsElapsed() / 1e6);
    }
  }
  std::sort(keys.begin(), keys.end());
  const double key = keys[keys.size() / 2];
  const double worstKey = keys.back();
  edit->setText(word);
  const std::size_t found = model.Find().Found().Count();
  if (found == 0) return 8;
  model.CloseFind();

  // From the command to the window's first complete paint, counting the
  // shown events anew each time as after a filter change.
  std::vector<double> opens;
  for (int run = 0; run < kRuns; ++run) {
    if (dlg.StatisticsWnd()) dlg.StatisticsWnd()->hide();  // else it follows the refill
    model.FillList();
    QElapsedTimer t;
    t.start();
    model.OnStatistics();
    dlg.StatisticsWnd()->repaint();
    opens.push_back(t.nsecsElapsed() / 1e6);
  }
  std::sort(opens.begin(), opens.end());
  const double statistics = opens[opens.size() / 2];
  dlg.StatisticsWnd()->hide();  // it would follow every refill below

  // The print preview of every shown event: from the command to its first
  // page on the screen, and until every page is laid out.
  const double previewFirst = MedianMs([&] {
    logwick::ReportPreview preview(model.EventList(), model.Shown(), &dlg);
    preview.show();
    while (preview.PagesPainted() == 0) QApplication::processEvents();
  });
  QElapsedTimer previewing;
  previewing.start();
  {
    logwick::ReportPreview preview(model.EventList(), model.Shown(), &dlg);
    preview.show();
    while (!preview.Layout().Done()) QApplication::processEvents();
  }
  const double previewDone = previewing.nsecsElapsed() / 1e6;

  const long rssKib = StatusKib("VmRSS:");

  // Every page of the printable report, as the print preview draws them.
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.path() + "/report.pdf");
  QElapsedTimer printing;
  printing.start();
  logwick::PrintReport(printer, model.EventList(), logwick::ShownRows(model.EventList(), {}));
  const double print = printing.nsecsElapsed() / 1e6;
  const long peakKib = StatusKib("VmHWM:");
  std::printf("list view open to first paint (100000 events): %.2f ms\n", open);
  std::printf("list view refill after filter change (100000 events): %.2f ms\n", refill);
  std::printf("list view re-wrap after width change (100000 events): %.2f ms\n", rewrap);
  std::printf("list view scroll to end (100000 events): %.2f ms\n", end);
  std::printf("find bar opening with indexing (100000 events): %.2f ms\n", index);
  std::printf("find bar keystroke with repaint (100000 events, median): %.2f ms\n", key);
  std::printf("find bar keystroke with repaint (100000 events, slowest): %.2f ms\n", worstKey);
  std::printf("printable report, every page to PDF (100000 events): %.0f ms\n", print);
  std::printf("statistics window over shown events (100000 events): %.2f ms\n", statistics);
  std::printf("print preview, first page on screen (100000 events): %.0f ms\n", previewFirst);
  std::printf("print preview, every page laid out (100000 events): %.0f ms\n", previewDone);
  std::printf("logwick resident memory (100000 events): %.1f MB\n", listRssKib / 1024.0);
  std::printf("logwick resident memory with find index and statistics window (100000 events): %.1f MB\n",
              rssKib / 1024.0);
  std::printf("logwick peak resident memory (100000 events): %.1f MB\n", peakKib / 1024.0);

#ifdef LOGWICK_WITH_ARCHIVE
  const QString archivePath = dir.path() + "/archive.sqlite";
  qputenv("LOGWICK_ARCHIVE", archivePath.toUtf8());
  if (!FillArchive(archivePath.toStdString())) return 4;
  model.Filter() = CT7KEvFilter();
  logwick::QtProfile profile;
  logwick::ArchiveWindowModel archive(dlg, profile, archivePath.toStdString());
  archive.Refresh();
  // From the click on "Открыть" to the history's first complete paint.
  const double history = MedianMs([&] {
    if (!archive.SelectPanel(kPanel)) return;
    archive.OnOpen();
    std::optional<logwick::PanelHistory> h = archive.TakeHistory();
    if (!h) return;
    model.PutHistoryInPlace(std::move(*h));
    model.FillList();
    dlg.repaint();
  });
  if (box->GetCount() < static_cast<int>(kHistory)) return 5;
  const double historyEnd = MedianMs([&] { ScrollToEnd(box); });
  std::printf("history open to first paint (%zu events, %zu gap marks): %.2f ms\n",
              model.EventList().GetCount(), model.GapMarkIndices().size(), history);
  std::printf("history scroll to end (%zu events): %.2f ms\n", model.EventList().GetCount(), historyEnd);
  std::printf("logwick resident memory (%zu-event history): %.1f MB\n", model.EventList().GetCount(),
              StatusKib("VmRSS:") / 1024.0);
#endif
  return 0;
}
