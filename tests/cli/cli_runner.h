// Running logwick-cli (and other programs) from a test as a user would: output
// and errors captured, the exit status as the shell sees it.
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
inline std::string Quote(const std::string& s) { return "\"" + s + "\""; }
#ifdef _WIN32
inline const std::string kOpen = "\"", kClose = "\"", kProgram = [] {
  std::string p = std::string(LOGWICK_BIN_DIR) + "/logwick-cli.exe";
  std::replace(p.begin(), p.end(), '/', '\\');
  return Quote(p);
}();
inline int Status(int raw) { return raw; }
inline std::string Captured(const std::string& path) {
  std::string t = ReadText(path);
  return std::erase(t, '\r'), t;
}
#else
inline const std::string kProgram = Quote(std::string(LOGWICK_BIN_DIR) + "/logwick-cli"), kOpen, kClose;
inline int Status(int raw) { return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1; }
inline std::string Captured(const std::string& path) { return ReadText(path); }
#endif

// program: quoted as the shell needs it.
inline Result RunProgram(const std::string& program, const std::vector<std::string>& args,
                         const TempDir& dir) {
  std::string cmd = kOpen + program;
  for (const auto& a : args) cmd += " " + Quote(a);
  const std::string out = dir.File("stdout"), err = dir.File("stderr");
  const int raw = std::system((cmd + " >" + Quote(out) + " 2>" + Quote(err) + kClose).c_str());
  return {Status(raw), Captured(out), Captured(err)};
}

class Cli : public ::testing::Test {
 protected:
  Result Run(const std::vector<std::string>& args) { return RunProgram(kProgram, args, dir_); }

  std::string Sample(std::size_t n) {
    const std::string path = dir_.File("sample.t7kev");
    EXPECT_EQ(
        Run({"sample", "-o", path, "--count", std::to_string(n), "--seed", "7", "--texts", "20"}).status, 0);
    EXPECT_EQ(LoadEventFile(path, list_).status, FileStatus::Done);
    EXPECT_EQ(list_.GetCount() + list_.m_texts.size(), n + 20);
    return path;
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
