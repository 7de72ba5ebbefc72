#include "cli/helper_program.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/exit_status.h"

#ifdef _WIN32
#include <windows.h>

#include "events/codec.h"
#else
#include <unistd.h>
#endif

namespace logwick::cli {
namespace {

namespace fs = std::filesystem;

std::vector<std::string>& Arguments() {
  static std::vector<std::string> args;
  return args;
}

// This program's own file.
fs::path OwnPath() {
  std::error_code ec;
#ifdef _WIN32
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return fs::path(buffer.substr(0, n));
    buffer.resize(buffer.size() * 2);
  }
#else
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) return self;
  const std::string& arg0 = Arguments().empty() ? std::string() : Arguments().front();
  return arg0.find('/') == std::string::npos ? fs::path() : fs::absolute(arg0, ec);
#endif
}

fs::path FindHelper() {
#ifdef _WIN32
  const std::string file = std::string(kSyncHelperName) + ".exe";
#else
  const std::string file = kSyncHelperName;
#endif
  const fs::path folder = OwnPath().parent_path();
  const fs::path places[] = {folder / file, folder.parent_path() / "libexec" / "logwick" / file};
  std::error_code ec;
  for (const fs::path& p : places)
    if (fs::is_regular_file(p, ec)) return p;
  throw CliError("Не найдена программа синхронизации " + file + " (ищется рядом с logwick-cli и в " +
                     (folder.parent_path() / "libexec" / "logwick").string() + "): переустановите Logwick",
                 kExitFailure);
}

#ifdef _WIN32
BOOL WINAPI LeaveCtrlCToHelper(DWORD event) { return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT; }

// One argument as the C runtime's parser takes it back: quoted when it holds
// a blank or a quote, with backslashes doubled before a quote.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, L'\\');
  return out + L"\"";
}
#endif

}  // namespace

void RememberArguments(int argc, char** argv) { Arguments().assign(argv, argv + argc); }

int RunSyncHelper() {
  const fs::path helper = FindHelper();
  std::fflush(stdout);
  std::fflush(stderr);
#ifdef _WIN32
  std::wstring line = Quoted(helper.wstring());
  for (std::size_t i = 1; i < Arguments().size(); ++i) line += L" " + Quoted(Utf8ToWide(Arguments()[i]));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // Ctrl-C reaches every program of the console: the helper stops its work
  // and ends, and this one waits for it. (A handler, unlike ignoring Ctrl-C,
  // is not inherited by the helper.)
  SetConsoleCtrlHandler(LeaveCtrlCToHelper, TRUE);
  if (!CreateProcessW(helper.wstring().c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process))
    throw CliError("Не удаётся запустить " + WideToUtf8(helper.wstring()) + " (ошибка " +
                       std::to_string(GetLastError()) + ")",
                   kExitFailure);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = kExitFailure;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
#else
  std::vector<char*> argv;
  std::string path = helper.string();
  argv.push_back(path.data());
  for (std::size_t i = 1; i < Arguments().size(); ++i) argv.push_back(Arguments()[i].data());
  argv.push_back(nullptr);
  execv(path.c_str(), argv.data());
  throw CliError("Не удаётся запустить " + path + " (" + std::strerror(errno) + ")", kExitFailure);
#endif
}

}  // namespace logwick::cli
