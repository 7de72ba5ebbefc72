// logwick-cli read: reads a panel's log over a serial line into an event file.
#include <CLI/CLI.hpp>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include "cli/commands.h"
#include "cli/list_io.h"
#include "cli/read_progress.h"
#include "events/strformat.h"
#include "link/comm_port.h"
#include "link/readout.h"
#include "link/trace_port.h"
#include "lists/event_file.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace logwick::cli {
namespace {

constexpr int kExitFailed = 2;
constexpr int kExitCancelled = 130;
constexpr std::uint32_t kMinSerial = 2;
constexpr std::uint32_t kMaxSerial = 0xFFFFFF;

std::atomic<bool> g_cancel{false};

// Ctrl-C stops the reading as the dialog's button does; a second one ends the
// program at once.
extern "C" void OnInterrupt(int) {
  if (g_cancel.exchange(true)) std::_Exit(kExitCancelled);
}

struct ReadOptions {
  std::optional<unsigned> port;
  std::string device;
  std::optional<std::uint32_t> serial;
  bool gaz = false;
  std::string output;
  std::string trace;
};

struct TraceFile {
  std::FILE* file = nullptr;
  ~TraceFile() {
    if (file) std::fclose(file);
  }
};

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
    trace.file = std::fopen(o.trace.c_str(), "w");
    if (!trace.file) throw CliError("Не могу создать файл\n" + o.trace);
    tracer = std::make_unique<TracePort>(comm, trace.file);
  }
  IPanelPort& port = tracer ? static_cast<IPanelPort&>(*tracer) : comm;

  ReadoutParams params;
  params.portNumber = o.port.value_or(1);
  params.autoSerial = !o.serial.has_value();
  params.selectedSerial = o.serial.value_or(0);
  params.gazMode = o.gaz;

  TerminalReadoutView view(stderr, isatty(fileno(stderr)) != 0);
  g_cancel = false;
  auto previous = std::signal(SIGINT, OnInterrupt);
  CT7KEventList list;
  std::uint32_t serial = 0;
  bool replaced = false;
  const int rc = RunReadout(params, port, view, g_cancel, list, serial, &replaced);
  std::signal(SIGINT, previous);
  view.Finish();
  if (!comm.LastError().empty()) std::fprintf(stderr, "%s\n", comm.LastError().c_str());

  if (replaced) StoreReadoutOrRecover(o.output, list);
  const std::string written =
      replaced ? StrFormat("%u events of panel %d written to %s", static_cast<unsigned>(list.GetCount()),
                           list.m_nSerNum, o.output.c_str())
               : "nothing was read; " + o.output + " was not written";
  if (rc == kReadoutOk) {
    std::fprintf(stderr, "%s\n", written.c_str());
    return;
  }
  if (g_cancel) throw CliError("reading cancelled; " + written, kExitCancelled);
  throw CliError("reading failed; " + written, kExitFailed);
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
  cmd->callback([o, port, device] {
    if (port->count() + device->count() != 1) throw CliError("read: give --port N or --device PATH");
    RunRead(*o);
  });
}

}  // namespace logwick::cli
