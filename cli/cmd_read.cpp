// logwick-cli read: reads a panel's log over a serial line into an event file.
#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/interrupt.h"
#include "cli/list_io.h"
#include "cli/read_progress.h"
#include "cli/readout_filing.h"
#include "events/strformat.h"
#include "link/comm_port.h"
#include "link/readout.h"
#include "link/trace_port.h"
#include "lists/event_file.h"
#include "lists/file_system.h"

namespace logwick::cli {
namespace {

constexpr std::uint32_t kMinSerial = 2;
constexpr std::uint32_t kMaxSerial = 0xFFFFFF;

struct ReadOptions {
  std::optional<unsigned> port;
  std::string device;
  std::optional<std::uint32_t> serial;
  bool gaz = false;
  std::string output;
  std::string trace;
  ReadoutFiling filing;
};

struct TraceFile {
  std::FILE* file = nullptr;
  ~TraceFile() {
    if (file) std::fclose(file);
  }
};

ReadoutSettings SettingsOf(const ReadOptions& o) {
  ReadoutSettings settings;
  settings.portNumber = o.port.value_or(1);
  settings.autoSerial = !o.serial.has_value();
  settings.selectedSerial = o.serial.value_or(0);
  settings.gazMode = o.gaz;
  return settings;
}

void RunRead(const ReadOptions& o) {
  if (o.serial && (*o.serial < kMinSerial || *o.serial > kMaxSerial))
    throw CliError(StrFormat("Не допустимый серийный номер: %u (2 .. %u)", *o.serial, kMaxSerial));

  // Nothing read from the panel may be lost to a target that cannot be written.
  CheckCanCreateOrThrow(o.output);
  CCommPort comm;
  if (!o.device.empty()) comm.BindDevice(o.device);
  TraceFile trace;
  std::unique_ptr<TracePort> tracer;
  if (!o.trace.empty()) {
    trace.file = OpenFile(o.trace, "w");
    if (!trace.file)
      throw CliError(FileMessage(kMsgCannotCreate, o.trace, ErrnoText(errno)), kExitCannotWrite);
    tracer = std::make_unique<TracePort>(comm, trace.file);
  }
  IPanelPort& port = tracer ? static_cast<IPanelPort&>(*tracer) : comm;

  TerminalReadoutView view(stderr, StderrIsTerminal());
  const ReadoutResult result = [&] {
    // Ctrl-C stops the reading as the dialog's button does.
    const InterruptCancels interrupt;
    return RunReadout(SettingsOf(o), port, view, interrupt.Flag());
  }();
  view.Finish();
  if (!comm.LastError().empty()) std::fprintf(stderr, "%s\n", comm.LastError().c_str());

  const bool complete = result.status == ReadoutStatus::Ok;
  const std::string source = o.device.empty() ? StrFormat("COM%u", o.port.value_or(1)) : o.device;
  const ExitStatus filed = result.list ? o.filing.File(*result.list, source, !complete) : kExitOk;
  if (result.list) StoreReadoutOrRecover(o.output, *result.list);
  const std::string written = result.list ? StrFormat("%u events of panel %d written to %s",
                                                      static_cast<unsigned>(result.list->GetCount()),
                                                      result.list->m_nSerNum, o.output.c_str())
                                          : "nothing was read; " + o.output + " was not written";
  if (complete) {
    std::fprintf(stderr, "%s\n", written.c_str());
    if (filed != kExitOk) throw CliError("the read-out was not filed into the archive", filed);
    return;
  }
  const char* ending = result.status == ReadoutStatus::Cancelled ? "reading cancelled; " : "reading failed; ";
  throw CliError(ending + written, ExitStatusOf(result.status));
}

}  // namespace

void AddReadCommand(CLI::App& app) {
  auto o = std::make_shared<ReadOptions>();
  auto* cmd = app.add_subcommand("read", "Read a panel's event log over a serial line");
  auto* port = cmd->add_option("--port", o->port, "COM port number (see the ports folder)")
                   ->check(CLI::Range(1u, 255u));
  auto* device = cmd->add_option("--device", o->device, "serial device path instead of a port");
  port->excludes(device);
  cmd->add_option("--serial", o->serial, "the panel's serial number (default: search for it)");
  cmd->add_flag("--gaz", o->gaz, "ГАЗ mode: 1200 baud, even parity (default 9600, no parity)");
  cmd->add_option("-o,--output", o->output, "event file to write")->required();
  cmd->add_option("--trace", o->trace, "write every frame sent and received to this file");
  o->filing.AddTo(*cmd);
  cmd->callback([o, port, device] {
    if (port->count() + device->count() != 1) throw CliError("read: give --port N or --device PATH");
    RunRead(*o);
  });
}

}  // namespace logwick::cli
