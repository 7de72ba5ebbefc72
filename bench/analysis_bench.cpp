// Statistics, the integrity check and the find bar's search on a full panel
// log: 100000 events with 20 message texts.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "lists/event_statistics.h"
#include "lists/integrity_check.h"
#include "lists/row_search.h"
#include "sim/event_generator.h"

namespace {

constexpr std::size_t kEvents = 100000;
constexpr std::size_t kTexts = 20;
constexpr std::size_t kVisibleRows = 40;  // rows a list view paints, each searched for its highlights

// Typed into the find bar; each is timed as its last keystroke: the search
// over every row plus the highlights of one page of matching rows.
const std::vector<std::string> kNeedles = {"а",          "е",      "луча",     "ёЛКА",
                                           "15/03/2024", "ключ 3", "датчик 4", "zzz"};

const CT7KEventList& List() {
  static const CT7KEventList list = [] {
    CT7KEventList l;
    l.m_nPanelType = 1;
    l.m_nReadYear = 2024, l.m_nReadMonth = 3, l.m_nReadDay = 15, l.m_nReadHour = 11;
    l.m_texts = logwick::SampleMessageTexts(kTexts);
    l.Reserve(kEvents);
    for (const CT7KEvent& ev : logwick::GenerateSampleEvents(kEvents, 1)) l.AddTail(ev);
    return l;
  }();
  return list;
}

const logwick::RowSearch& Rows() {
  static const logwick::RowSearch rows = [] {
    logwick::RowSearch s;
    s.Reserve(kEvents);
    for (const CT7KEvent& ev : List()) s.AddEvent(ev, List().m_texts);
    return s;
  }();
  return rows;
}

void Statistics(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(logwick::ComputeStatistics(List()).days.size());
}

void Integrity(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(logwick::CheckIntegrity(List()).size());
}

void SearchIndex(benchmark::State& state) {
  for (auto _ : state) {
    logwick::RowSearch s;
    s.Reserve(kEvents);
    for (const CT7KEvent& ev : List()) s.AddEvent(ev, List().m_texts);
    benchmark::DoNotOptimize(s.RowCount());
  }
}

void Keystroke(benchmark::State& state, const std::string& needle) {
  const logwick::RowSearch& rows = Rows();
  for (auto _ : state) {
    const std::vector<std::uint32_t> found = rows.FindRows(needle);
    std::size_t spans = 0;
    for (std::size_t i = 0; i < found.size() && i < kVisibleRows; ++i)
      spans += rows.FindInRow(found[i], needle).size();
    benchmark::DoNotOptimize(spans);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Rows();
  benchmark::RegisterBenchmark("statistics", Statistics)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("integrity", Integrity)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("search_index", SearchIndex)->Unit(benchmark::kMillisecond);
  for (const std::string& needle : kNeedles)
    benchmark::RegisterBenchmark(("keystroke/" + needle).c_str(), Keystroke, needle)
        ->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
