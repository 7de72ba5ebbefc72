// Timed run of the main window's event list at the file limit: 100000 events
// from open to first complete paint, refill after a filter change, re-wrap
// after a width change, scroll to the end, and the resident memory after all.
// Prints "name: value unit" lines (median of several runs).
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/logwick_dlg.h"
#include "lists/event_file.h"
#include "sim/event_generator.h"
#include "app/ev_list_box.h"

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

  const long rssKib = StatusKib("VmRSS:");
  const long peakKib = StatusKib("VmHWM:");
  std::printf("list view open to first paint (100000 events): %.2f ms\n", open);
  std::printf("list view refill after filter change (100000 events): %.2f ms\n", refill);
  std::printf("list view re-wrap after width change (100000 events): %.2f ms\n", rewrap);
  std::printf("list view scroll to end (100000 events): %.2f ms\n", end);
  std::printf("logwick resident memory (100000 events): %.1f MB\n", rssKib / 1024.0);
  std::printf("logwick peak resident memory (100000 events): %.1f MB\n", peakKib / 1024.0);
  return 0;
}
