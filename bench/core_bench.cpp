// The core on a full panel log: 100000 events with 20 message texts. Load the
// event file, decode every sentence, filter, write the report file; statistics,
// the integrity check and the find bar's search.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "lists/event_file.h"
#include "lists/event_statistics.h"
#include "lists/integrity_check.h"
#include "lists/report.h"
#include "lists/row_search.h"
#include "lists/t7k_ev_filter.h"
#include "sim/event_generator.h"

namespace {

constexpr std::size_t kEvents = 100000;
constexpr std::size_t kTexts = 20;
constexpr std::size_t kVisibleRows = 40;  // rows a list view paints, each searched for its highlights

// Typed into the find bar; each is timed as its last keystroke: the search
// over every row plus the highlights of one page of matching rows.
const std::vector<std::string> kNeedles = {"а",          "е",      "луча",     "ёЛКА",
                                           "15/03/2024", "ключ 3", "датчик 4", "zzz"};

struct Workload {
  std::filesystem::path dir;
  std::string eventFile, reportFile;
  CT7KEventList list;

  Workload() {
    std::random_device rd;
    dir = std::filesystem::temp_directory_path() / ("logwick-bench-" + std::to_string(rd()));
    std::filesystem::create_directories(dir);
    eventFile = (dir / "log.t7kev").string();
    reportFile = (dir / "log.txt").string();
    list.m_nPanelType = 1;
    list.m_nReadYear = 2024, list.m_nReadMonth = 3, list.m_nReadDay = 15, list.m_nReadHour = 11;
    list.m_texts = logwick::SampleMessageTexts(kTexts);
    list.Reserve(kEvents);
    for (const CT7KEvent& ev : logwick::GenerateSampleEvents(kEvents, 1)) list.AddTail(ev);
    if (!logwick::StoreEventFile(eventFile, list).ok) std::abort();
  }
  ~Workload() {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
};

Workload& Data() {
  static Workload w;
  return w;
}

// The list folded for the find bar, as it is between two keystrokes.
logwick::RowSearch FoldRows() {
  logwick::RowSearch s;
  s.Reserve(kEvents);
  for (const CT7KEvent& ev : Data().list) s.AddEvent(ev, Data().list.m_texts);
  return s;
}

const logwick::RowSearch& Rows() {
  static const logwick::RowSearch rows = FoldRows();
  return rows;
}

void Load(benchmark::State& state) {
  for (auto _ : state) {
    CT7KEventList list;
    if (logwick::LoadEventFile(Data().eventFile, list).status != logwick::FileStatus::Done)
      state.SkipWithError("load failed");
    benchmark::DoNotOptimize(list.GetCount());
  }
}

void Sentences(benchmark::State& state) {
  const CT7KEventList& list = Data().list;
  std::string text;
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (const CT7KEvent& ev : list) {
      text.clear();
      ev.AppendText(text, list.m_texts);
      bytes += text.size();
    }
    benchmark::DoNotOptimize(bytes);
  }
}

void Filter(benchmark::State& state) {
  const CT7KEventList& list = Data().list;
  CT7KEvFilter f;
  f.m_bPeriod = 1;
  f.m_timeFrom = 0;
  f.m_nFirstBeam = 3;
  f.m_nLastBeam = 40;
  f.m_bUnits = 0;
  for (auto _ : state) {
    std::size_t admitted = 0;
    for (const CT7KEvent& ev : list) admitted += f.Accept(ev);
    benchmark::DoNotOptimize(admitted);
  }
}

void Report(benchmark::State& state) {
  for (auto _ : state) {
    if (!logwick::WriteReportFile(Data().reportFile, Data().list, {}).ok)
      state.SkipWithError("report failed");
  }
}

void Statistics(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(logwick::ComputeStatistics(Data().list).days.size());
}

void Integrity(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(logwick::CheckIntegrity(Data().list).size());
}

void SearchIndex(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(FoldRows().RowCount());
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
  benchmark::RegisterBenchmark("load", Load)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("sentences", Sentences)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("filter", Filter)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("report", Report)->Unit(benchmark::kMillisecond);
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
