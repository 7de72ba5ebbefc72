// Synchronisation with a shared server on loopback: 1000 read-outs of 4096
// events (200 panels visited 5 times, each visit overlapping the one before)
// sent into an empty server, the same fetched into an empty local archive,
// and an exchange with nothing to do, with those 1000 read-outs and with a
// few thousand small ones on each side.
//
//   logwick-bench-sync URL URL2 FOLDER
// URL and URL2 name two databases without the shared archive (server-init is
// run on them); FOLDER must be empty. Prints "name: value unit" lines and
// leaves FOLDER/first.sqlite (the 1000 read-outs) for the script to sync
// again as a whole process.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/event_generator.h"
#include "sync/server_sync.h"

using namespace logwick;
using Clock = std::chrono::steady_clock;

namespace {

struct Quiet : ISyncView {
  void OnProgress(const SyncProgress&) override {}
};

// Visits to `panels` panels, `visits` each, read-outs of `size` events of
// which `fresh` are new since the visit before.
void FileVisits(HistoryArchive& archive, int panels, int visits, std::size_t size, std::size_t fresh) {
  for (int p = 0; p < panels; ++p) {
    std::vector<CT7KEvent> truth =
        GenerateSampleEvents(size + fresh * visits, static_cast<std::uint32_t>(p + 1));
    std::reverse(truth.begin(), truth.end());  // oldest first
    for (int v = 0; v < visits; ++v) {
      CT7KEventList l;
      l.m_nPanelType = 1;
      l.m_nSerNum = 2000 + p;
      l.m_nReadYear = 2024;
      l.m_nReadMonth = 1 + v;
      l.m_nReadDay = 1;
      l.m_texts = SampleMessageTexts(kSampleMessageCount);
      const std::size_t end = size + fresh * static_cast<std::size_t>(v);
      for (std::size_t i = end; i > end - size; --i) l.AddTail(truth[i - 1]);
      archive.File(l, {"bench"});
    }
  }
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// One exchange, timed; ends the program on a failure.
double Timed(const std::string& archive, const std::string& url, SyncCounts* counts = nullptr) {
  Quiet view;
  const std::atomic<bool> cancel{false};
  const auto start = Clock::now();
  const SyncOutcome r = SyncWithServer(archive, url, view, cancel);
  const double ms = Ms(Clock::now() - start);
  if (r.status != SyncStatus::Done) {
    std::fprintf(stderr, "logwick-bench-sync: %s (%s)\n", r.message.c_str(), r.detail.c_str());
    std::exit(1);
  }
  if (counts) *counts = r.counts;
  return ms;
}

double MedianNothingToDo(const std::string& archive, const std::string& url) {
  Timed(archive, url);  // the first one after sending looks once more for what it sent
  std::vector<double> times;
  for (int i = 0; i < 11; ++i) times.push_back(Timed(archive, url));
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: logwick-bench-sync URL URL2 FOLDER\n");
    return 2;
  }
  const std::string url = argv[1], url2 = argv[2], folder = argv[3];
  for (const std::string& u : {url, url2})
    if (const ServerInitOutcome r = InitServer(u); r.status != SyncStatus::Done) {
      std::fprintf(stderr, "logwick-bench-sync: %s (%s)\n", r.message.c_str(), r.detail.c_str());
      return 1;
    }

  const std::string first = folder + "/first.sqlite", second = folder + "/second.sqlite";
  FileVisits(*HistoryArchive::Open(first, true), 200, 5, 4096, 3072);
  SyncCounts counts;
  double ms = Timed(first, url, &counts);
  std::printf("sync of %zu read-outs of 4096 events into an empty server: %.0f ms (%.0f read-outs/s)\n",
              counts.sent, ms, counts.sent * 1000.0 / ms);
  ms = Timed(second, url, &counts);
  std::printf(
      "sync of %zu read-outs of 4096 events into an empty local archive: %.0f ms (%.0f read-outs/s)\n",
      counts.fetched, ms, counts.fetched * 1000.0 / ms);
  std::printf("sync with nothing to do, %zu read-outs on each side: %.1f ms\n", counts.fetched,
              MedianNothingToDo(second, url));

  const std::string many = folder + "/many.sqlite";
  FileVisits(*HistoryArchive::Open(many, true), 500, 6, 64, 48);
  ms = Timed(many, url2, &counts);
  std::printf("sync of %zu read-outs of 64 events into an empty server: %.0f ms\n", counts.sent, ms);
  std::printf("sync with nothing to do, %zu read-outs on each side: %.1f ms\n", counts.sent,
              MedianNothingToDo(many, url2));
  return 0;
}
