// Timed run of the main window's event list at the file limit: 100000 events
// from open to first complete paint, refill after a filter change, re-wrap
// after a width change, scroll to the end, a keystroke in the find bar with
// the repaint it causes, the statistics window, and the resident memory after
// all.
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
#include "app/logwick_dlg.h"
#include "app/report_preview.h"
#include "app/statistics_wnd.h"
#include "lists/event_file.h"
#include "sim/event_generator.h"

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
  dlg.OnInitDialog();
  dlg.show();
  if (!QTest::qWaitForWindowExposed(&dlg)) return 1;
  CEvListBox* box = dlg.ListBox();

  const double open = MedianMs([&] {
    dlg.ReadEventFile(QString::fromStdString(path));
    dlg.FillList();
    dlg.repaint();
  });
  if (box->GetCount() != static_cast<int>(kEvents)) return 2;

  bool flip = false;
  const double refill = MedianMs([&] {
    flip = !flip;
    dlg.Filter().m_bModes = flip ? 0 : 1;
    dlg.FillList();
    box->repaint();
  });

  const QSize base = box->size();
  int step = 0;
  const double rewrap = MedianMs([&] {
    box->resize(base.width() + (++step % 2 ? 160 : -80), base.height());
    box->repaint();
  });
  box->resize(base);

  const double end = MedianMs([&] {
    box->SetTopIndex(0);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_End, Qt::NoModifier);
    QApplication::sendEvent(box, &key);
    box->repaint();
  });
  if (box->GetTopIndex() + box->VisibleRowCount() != box->GetCount()) return 3;

  // The list alone, as before the find bar and the statistics window.
  const long listRssKib = StatusKib("VmRSS:");

  // The find bar: opening it indexes the shown rows; then each keystroke of
  // typing a word of the first row and taking it back.
  dlg.Filter().m_bModes = 1;
  dlg.FillList();
  if (box->GetCount() != static_cast<int>(kEvents)) return 6;
  QElapsedTimer opening;
  opening.start();
  dlg.OnFind();
  dlg.repaint();
  const double index = opening.nsecsElapsed() / 1e6;
  QLineEdit* edit = dlg.FindBar()->Edit();
  const QString word = box->GetText(0).section(' ', 2, 2).left(5).toLower();
  if (word.isEmpty()) return 4;
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
  const std::size_t found = dlg.FindBar()->Found().Count();
  if (found == 0) return 5;
  dlg.FindBar()->Close();

  const double statistics = MedianMs([&] {
    dlg.OnStatistics();
    dlg.StatisticsWnd()->repaint();
  });

  const long rssKib = StatusKib("VmRSS:");

  // Every page of the printable report, as the print preview draws them.
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(dir.path() + "/report.pdf");
  QElapsedTimer printing;
  printing.start();
  logwick::PrintReport(printer, dlg.EventList(), logwick::ShownRows(dlg.EventList(), {}));
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
  std::printf("logwick resident memory (100000 events): %.1f MB\n", listRssKib / 1024.0);
  std::printf("logwick resident memory with find index and statistics window (100000 events): %.1f MB\n",
              rssKib / 1024.0);
  std::printf("logwick peak resident memory (100000 events): %.1f MB\n", peakKib / 1024.0);
  return 0;
}
