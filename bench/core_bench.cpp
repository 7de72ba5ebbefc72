// The core on a full panel log: 100000 events with 20 message texts. Load the
// event file, decode every sentence, filter, write the report file.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "lists/event_file.h"
#include "lists/report.h"
#include "sim/event_generator.h"
#include "lists/t7k_ev_filter.h"

namespace {

constexpr std::size_t kEvents = 100000;
constexpr std::size_t kTexts = 20;

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

void Load(benchmark::State& state) {
  for (auto _ : state) {
    CT7KEventList list;
    if (logwick::LoadEventFile(Data().eventFile, list).status != logwick::LoadStatus::Loaded)
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

}  // namespace

int main(int argc, char** argv) {
  Data();
  benchmark::RegisterBenchmark("load", Load)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("sentences", Sentences)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("filter", Filter)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("report", Report)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
