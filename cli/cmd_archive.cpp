// logwick-cli archive add|list|show|export: the panel history archive.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/archive_access.h"
#include "cli/commands.h"
#include "cli/filter_options.h"
#include "cli/helper_program.h"
#include "cli/list_io.h"
#include "cli/report_output.h"
#include "events/strformat.h"
#include "lists/panel_types.h"

namespace logwick::cli {
namespace {

struct ArchiveOptions {
  std::string archive;  // --archive PATH
  std::vector<std::string> files;
  std::int32_t serial = 0;
  std::optional<std::int32_t> type;
  std::string out;
  FilterOptions filter;
  bool skipped = false;  // list --skipped
};

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path p =
      std::filesystem::absolute(std::filesystem::path(std::u8string(path.begin(), path.end())), ec);
  if (ec) return path;
  const std::u8string s = p.u8string();
  return {s.begin(), s.end()};
}

void RunAdd(const ArchiveOptions& o) {
  auto archive = OpenArchiveOrThrow(o.archive, true);
  ExitStatus firstRefusal = kExitOk;
  std::size_t refused = 0;
  for (const std::string& file : o.files) {
    CT7KEventList list;
    try {
      list = LoadListOrThrow(file);
    } catch (const CliError& e) {
      std::fprintf(stderr, "%s\n", e.what());
      if (firstRefusal == kExitOk) firstRefusal = e.status;
      ++refused;
      continue;
    }
    FileAndReport(*archive, list, {AbsolutePath(file)}, file);
  }
  if (refused > 0)
    throw CliError(StrFormat("archive add: %zu of %zu files refused", refused, o.files.size()), firstRefusal);
}

// Fields of `archive list` are separated by tabs: the configuration name, like
// the file names, may hold blanks.
std::string StampText(std::optional<std::uint32_t> stamp) {
  if (!stamp) return "-";
  CT7KEvent ev;
  ev.SetTimeStamp(*stamp);
  return ev.GetTimeText();
}

std::string PanelLines(HistoryArchive& archive) {
  std::string out;
  for (const PanelSummary& p : archive.Panels()) {
    out += StrFormat("%s\t%d\t%s\t%llu\t%llu\t%s\t%s\t%s\t%llu\n", PanelTypeName(p.panel.type).c_str(),
                     p.panel.serial, TerminalText(p.configName).c_str(),
                     static_cast<unsigned long long>(p.events), static_cast<unsigned long long>(p.readouts),
                     StampText(p.firstEvent).c_str(), StampText(p.lastEvent).c_str(),
                     ReadTimeText(p.lastRead).c_str(), static_cast<unsigned long long>(p.gapMarks));
  }
  return out;
}

// One line per read-out of a shared server that a synchronisation skipped:
// serial number, the first 16 hex digits of its SHA-256, the warning it got.
std::string SkippedLines(HistoryArchive& archive) {
  std::string out;
  for (const SkippedReadout& s : archive.SkippedReadouts()) {
    const std::string serial = s.serial ? std::to_string(*s.serial) : "?";
    out += StrFormat("%s\t%s\t%s\n", serial.c_str(), HexOf(s.sha).substr(0, 16).c_str(),
                     TerminalText(s.warning).c_str());
  }
  return out;
}

void RunList(const ArchiveOptions& o) {
  std::unique_ptr<HistoryArchive> archive;
  try {
    archive = HistoryArchive::Open(ArchivePathOrThrow(o.archive), false);
  } catch (const ArchiveError& e) {
    if (e.GetKind() == ArchiveError::Kind::Missing) return;  // no archive yet: no panels
    ThrowArchiveError(e);
  }
  std::string out;
  try {
    if (o.skipped)
      out = SkippedLines(*archive);
    else
      out = PanelLines(*archive);
  } catch (const ArchiveError& e) {
    ThrowArchiveError(e);
  }
  if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0)
    throw CliError("logwick-cli: cannot write the standard output");
}

// The panel that SERIAL and --type name; refused when there is none or when
// several types share the serial number and --type does not choose.
PanelKey ChoosePanel(HistoryArchive& archive, const ArchiveOptions& o) {
  std::vector<PanelKey> panels;
  try {
    panels = archive.PanelsWithSerial(o.serial);
  } catch (const ArchiveError& e) {
    ThrowArchiveError(e);
  }
  if (o.type) std::erase_if(panels, [&](const PanelKey& k) { return k.type != *o.type; });
  if (panels.empty()) {
    const std::string which = o.type ? StrFormat("%s (с/н %d)", PanelTypeName(*o.type).c_str(), o.serial)
                                     : StrFormat("с/н %d", o.serial);
    throw CliError("no panel " + which + " in the archive " + archive.Path());
  }
  if (panels.size() > 1) {
    std::string types;
    for (const PanelKey& k : panels)
      types +=
          StrFormat("%s%s (--type %d)", types.empty() ? "" : ", ", PanelTypeName(k.type).c_str(), k.type);
    throw CliError(StrFormat("serial number %d belongs to several panel types: %s; choose one with --type",
                             o.serial, types.c_str()));
  }
  return panels.front();
}

PanelHistory LoadHistoryOrThrow(const ArchiveOptions& o, std::size_t maxEvents) {
  auto archive = OpenArchiveOrThrow(o.archive, false);
  const PanelKey panel = ChoosePanel(*archive, o);
  try {
    if (std::optional<PanelHistory> h = archive->History(panel, maxEvents)) return std::move(*h);
  } catch (const ArchiveError& e) {
    ThrowArchiveError(e);
  }
  throw CliError("no read-out of this panel in the archive " + archive->Path());
}

void RunShow(const ArchiveOptions& o) {
  const PanelHistory h = LoadHistoryOrThrow(o, SIZE_MAX);
  const CT7KEvFilter filter = o.filter.Build();
  PrintReport(
      stdout, h.list, [&filter](const CT7KEvent& ev) { return filter.Accept(ev); }, h.gapMarks);
}

void RunExport(const ArchiveOptions& o) {
  StoreListOrThrow(o.out, LoadHistoryOrThrow(o, CT7KEventList::kMaxEvents).list);
}

CLI::App* AddAction(CLI::App& archive, const char* name, const char* what,
                    std::shared_ptr<ArchiveOptions> o) {
  auto* cmd = archive.add_subcommand(name, what);
  cmd->add_option("--archive", o->archive,
                  "archive file (default: $LOGWICK_ARCHIVE, else the user's data folder)");
  return cmd;
}

void AddPanelOptions(CLI::App& cmd, ArchiveOptions& o) {
  cmd.add_option("SERIAL", o.serial, "the panel's serial number")->required();
  cmd.add_option("--type", o.type, "panel type: 1 Тарвел-7К, 2 Тарвел-7Л, 3 Тарвел-7К(Apollo)")
      ->check(CLI::Range(1, 3));
}

}  // namespace

void AddArchiveCommand(CLI::App& app) {
  auto* archive =
      app.add_subcommand("archive", "The panel history archive: every read-out, stitched per panel");
  archive->require_subcommand(1);

  auto add = std::make_shared<ArchiveOptions>();
  auto* cmd = AddAction(*archive, "add", "File event files into the archive, in the order given", add);
  cmd->add_option("FILE", add->files, "Event files")->required();
  cmd->callback([add] { RunAdd(*add); });

  auto list = std::make_shared<ArchiveOptions>();
  cmd = AddAction(*archive, "list", "One line per panel (tab-separated)", list);
  cmd->add_flag("--skipped", list->skipped,
                "instead, one line per read-out a synchronisation skipped: serial number, the first 16 hex"
                " digits of its SHA-256, why");
  cmd->callback([list] { RunList(*list); });

  auto show = std::make_shared<ArchiveOptions>();
  cmd = AddAction(*archive, "show", "Print a panel's history as `show` prints an event file", show);
  AddPanelOptions(*cmd, *show);
  show->filter.AddTo(*cmd);
  cmd->callback([show] { RunShow(*show); });

  auto exp = std::make_shared<ArchiveOptions>();
  cmd = AddAction(*archive, "export", "Write the newest 100000 events of a panel's history as an event file",
                  exp);
  AddPanelOptions(*cmd, *exp);
  cmd->add_option("-o,--output", exp->out, "Event file to write")->required();
  cmd->callback([exp] { RunExport(*exp); });
#ifdef LOGWICK_WITH_SYNC
  // The helper program parses the same command line again and runs it.
  const auto helper = [](const SyncRequest&) {
    if (const int status = RunSyncHelper(); status != kExitOk)
      throw CliError("", static_cast<ExitStatus>(status));
  };
  AddArchiveSyncActions(*archive, {helper, helper});
#endif
}

}  // namespace logwick::cli
