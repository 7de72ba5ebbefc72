// The panel history archive at scale: a panel visited until its history
// holds 1,000,000 events (read-outs of 4096 events, each overlapping the one
// before), then the time to file one more read-out into it, the archive's
// size per event of history and the time to load the whole history. Also leaves a panel with a 100,000-event
// history for timing `logwick-cli archive show` as a whole process.
//
//   logwick-bench-history ARCHIVE   (ARCHIVE must not exist)
// Prints "name: value unit" lines.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "history/history_archive.h"
#include "sim/event_generator.h"

using namespace logwick;
using Clock = std::chrono::steady_clock;

namespace {

constexpr std::size_t kReadout = 4096;
constexpr std::size_t kNew = 3072;  // new events per visit: a quarter overlaps the visit before

// A read-out of the window [end - kReadout, end) of the panel's true history.
CT7KEventList ReadoutAt(const std::vector<CT7KEvent>& truth, std::size_t end, std::int32_t serial) {
  CT7KEventList l;
  l.m_nPanelType = 1;
  l.m_nSerNum = serial;
  const CT7KEvent& newest = truth[end - 1];
  const std::uint32_t t = newest.TimeStamp();
  l.m_nReadYear = 2000 + static_cast<int>(t >> 26);
  l.m_nReadMonth = static_cast<int>((t >> 22) & 15);
  l.m_nReadDay = static_cast<int>((t >> 17) & 31);
  l.m_nReadHour = static_cast<int>((t >> 12) & 31);
  l.m_nReadMin = static_cast<int>((t >> 6) & 63);
  l.m_nReadSec = static_cast<int>(t & 63);
  l.m_texts = SampleMessageTexts(kSampleMessageCount);
  for (std::size_t i = end; i > end - std::min(end, kReadout); --i) l.AddTail(truth[i - 1]);
  return l;
}

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Files visits of one panel until its history holds at least `events`;
// returns where the next visit's window ends.
std::size_t Visit(HistoryArchive& archive, const std::vector<CT7KEvent>& truth, std::int32_t serial,
                  std::size_t events) {
  std::size_t end = kReadout;
  for (;; end += kNew) {
    archive.File(ReadoutAt(truth, end, serial), {"bench"});
    if (end >= events) return end + kNew;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: logwick-bench-history ARCHIVE\n");
    return 2;
  }
  const std::string path = argv[1];
  constexpr std::size_t kHistory = 1000000;
  // The panel's true history, oldest first, with room for the timed visits.
  std::vector<CT7KEvent> truth = GenerateSampleEvents(kHistory + 40 * kNew, 11);
  std::reverse(truth.begin(), truth.end());

  auto archive = HistoryArchive::Open(path, true);
  std::size_t end = Visit(*archive, truth, 1001, kHistory);
  const std::uint64_t before = archive->Panels().front().events;
  std::vector<double> times;
  for (int i = 0; i < 15; ++i, end += kNew) {
    const CT7KEventList r = ReadoutAt(truth, end, 1001);
    const auto start = Clock::now();
    archive->File(r, {"bench"});
    times.push_back(Ms(Clock::now() - start));
  }
  std::sort(times.begin(), times.end());
  const std::uint64_t events = archive->Panels().front().events;
  const std::uint64_t readouts = archive->Panels().front().readouts;
  std::printf("archive filing, 4096 events into a %llu-event history: %.1f ms\n",
              static_cast<unsigned long long>(before), times[times.size() / 2]);
  archive.reset();  // writes everything into the file itself

  // What the desktop program opens: the whole history with its header.
  archive = HistoryArchive::Open(path, false);
  const auto opening = Clock::now();
  const std::size_t loaded = archive->History({1, 1001})->list.GetCount();
  std::printf("archive history load, %zu events (open to value): %.1f ms\n", loaded,
              Ms(Clock::now() - opening));
  archive.reset();
  const double bytes = static_cast<double>(std::filesystem::file_size(path));
  std::printf("archive size (%llu events from %llu read-outs): %.1f bytes per event\n",
              static_cast<unsigned long long>(events), static_cast<unsigned long long>(readouts),
              bytes / static_cast<double>(events));

  // The panel for timing `archive show`: serial number 1002, 100,000 events.
  archive = HistoryArchive::Open(path, true);
  Visit(*archive, truth, 1002, 100000);
  return 0;
}
