// Running logwick-cli from a test as a user would: output and errors captured,
// the exit status as the shell sees it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/wait.h>
#endif

#include "lists/event_file.h"
#include "lists/report.h"
#include "tests/lists/test_files.h"

namespace logwick::test {

struct Result {
  int status;
  std::string out, err;
};

// Double quotes serve both shells: the arguments here hold no '$', '`' or '"'.
// cmd.exe drops the first and the last quote of a line that starts with one,
// and its console streams end lines in CR LF.
inline Result RunCli(const std::vector<std::string>& args, const TempDir& dir) {
  const auto quote = [](const std::string& s) { return "\"" + s + "\""; };
  const std::string out = dir.File("stdout"), err = dir.File("stderr");
#ifdef _WIN32
  std::string cmd = std::string(LOGWICK_BIN_DIR) + "/logwick-cli.exe";
  std::replace(cmd.begin(), cmd.end(), '/', '\\');
  cmd = quote(cmd);
#else
  std::string cmd = quote(std::string(LOGWICK_BIN_DIR) + "/logwick-cli");
#endif
  for (const auto& a : args) cmd += " " + quote(a);
  cmd += " >" + quote(out) + " 2>" + quote(err);
#ifdef _WIN32
  Result r{std::system(quote(cmd).c_str()), ReadText(out), ReadText(err)};
  std::erase(r.out, '\r');
  std::erase(r.err, '\r');
  return r;
#else
  const int raw = std::system(cmd.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(out), ReadText(err)};
#endif
}

struct Cli : ::testing::Test {
  Result Run(const std::vector<std::string>& args) { return RunCli(args, dir_); }
  // The output of a run that must end with status 0.
  std::string Out(const std::vector<std::string>& args) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
  }

  // Stores list as an event file of the scratch folder and keeps it in list_.
  std::string Store(const CT7KEventList& list, const std::string& name) {
    list_ = list;
    const std::string path = dir_.File(name);
    EXPECT_TRUE(StoreEventFile(path, list).ok);
    return path;
  }

  std::string ExpectedShow(const EventPredicate& admit) {  // UTF-8, LF line ends
    std::string text;
    ForEachReportLine(list_, admit, [&](std::string_view line) { (text += line) += '\n'; });
    return text;
  }

  TempDir dir_;
  CT7KEventList list_;
};

}  // namespace logwick::test
