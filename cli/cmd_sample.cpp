// logwick-cli sample -o FILE [--count N] [--seed S] [--texts T]: an event file
// of generated events, for trying the program and for measurements.
#include <CLI/CLI.hpp>

#include <memory>

#include "cli/commands.h"
#include "cli/list_io.h"
#include "events/codec.h"
#include "sim/event_generator.h"

namespace logwick::cli {
namespace {

struct SampleOptions {
  std::string out;
  std::size_t count = 1000;
  std::uint32_t seed = 1;
  std::size_t texts = kSampleMessageCount;
};

CT7KEventList MakeSampleList(const SampleOptions& o) {
  CT7KEventList list;
  list.m_nPanelType = 1;
  list.m_nSerNum = static_cast<std::int32_t>(10000 + o.seed % 90000);
  // Read a few minutes after the newest sample event (15/03/2024 10:30:00).
  list.m_nReadDay = 15;
  list.m_nReadMonth = 3;
  list.m_nReadYear = 2024;
  list.m_nReadHour = 10;
  list.m_nReadMin = 34;
  list.m_nReadSec = 12;
  list.m_nVerMajor = 3;
  list.m_nVerMinor = 2;
  list.m_nRelDay = 20;
  list.m_nRelMonth = 11;
  list.m_nRelYear = 2019;
  const std::string name = Utf8ToCp1251("Объект " + std::to_string(o.seed));
  list.SetConfigNameBytes(name.data(), name.size());
  list.m_texts = SampleMessageTexts(o.texts);
  list.Reserve(o.count);
  for (const CT7KEvent& ev : GenerateSampleEvents(o.count, o.seed)) list.AddTail(ev);
  return list;
}

}  // namespace

void AddSampleCommand(CLI::App& app) {
  auto opts = std::make_shared<SampleOptions>();
  auto* cmd = app.add_subcommand("sample", "Write an event file of generated sample events");
  cmd->add_option("-o,--output", opts->out, "Event file to write")->required();
  cmd->add_option("--count", opts->count, "Number of events (at most 100000)")
      ->check(CLI::Range(std::size_t{0}, std::size_t{CT7KEventList::kMaxEvents}))
      ->capture_default_str();
  cmd->add_option("--seed", opts->seed, "Seed of the generator")->capture_default_str();
  cmd->add_option("--texts", opts->texts, "Number of message texts")
      ->check(CLI::Range(std::size_t{0}, std::size_t{255}))
      ->capture_default_str();
  cmd->callback([opts] { StoreListOrThrow(opts->out, MakeSampleList(*opts)); });
}

}  // namespace logwick::cli
