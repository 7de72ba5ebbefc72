// A face without windows for the desktop model's tests: it records every
// message and every window opened, answers file dialogs and questions from
// queues, runs modal dialogs through callbacks, and runs posted calls when
// asked (RunPosted), as an interface thread's queue would.
#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "desk/face.h"
#include "desk/filter_dialog.h"
#include "desk/main_window_model.h"
#include "desk/profile.h"
#include "desk/reading_session.h"
#include "desk/settings_dialog.h"

namespace logwick::test {

class MemoryProfile : public IProfile {
 public:
  std::optional<std::int32_t> ReadInt(const char* name) override {
    auto it = ints.find(name);
    return it == ints.end() ? std::nullopt : std::optional(it->second);
  }
  void WriteInt(const char* name, std::int32_t value) override {
    ints[name] = value;
    writes.push_back(name);
  }
  std::optional<std::string> ReadString(const char* name) override {
    auto it = strings.find(name);
    return it == strings.end() ? std::nullopt : std::optional(it->second);
  }
  void WriteString(const char* name, const std::string& value) override {
    strings[name] = value;
    writes.push_back(name);
  }
  std::map<std::string, std::int32_t> ints;
  std::map<std::string, std::string> strings;
  std::vector<std::string> writes;
};

class ScriptedFace : public IDeskFace {
 public:
  // Messages shown, in order.
  std::vector<Message> messages;
  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (const Message& m : messages) t.push_back(m.text);
    return t;
  }
  // Answers to the file dialogs, in turn (none left: Cancel), and the
  // requests they answered.
  std::deque<std::string> files;
  std::vector<FileRequest> fileRequests;
  std::deque<bool> answers;  // to questions; none left: Нет
  std::vector<Message> questions;

  std::function<bool(FilterDialog&)> filterDialog = [](FilterDialog&) { return false; };
  std::function<bool(SettingsDialog&)> settingsDialog = [](SettingsDialog&) { return false; };
  std::function<bool(ReportScope&)> reportOptions = [](ReportScope&) { return true; };
  std::function<bool(ArchiveWindowModel&)> archiveWindow = [](ArchiveWindowModel&) { return false; };
  // The reading dialog: starts the session and runs posted calls until it
  // has finished; `during` is called once it runs (e.g. to cancel).
  std::function<void(ReadingSession&)> during = [](ReadingSession&) {};

  std::vector<DeskWindow> opened;
  unsigned changes = 0;  // DeskChange bits since last cleared
  std::vector<std::pair<std::size_t, ScrollTo>> shownRows;
  std::size_t topRow = 0;
  std::string clipboard;
  bool closed = false;

  void ShowMessage(const Message& m) override { messages.push_back(m); }
  bool AskYesNo(const Message& m) override {
    questions.push_back(m);
    if (answers.empty()) return false;
    const bool a = answers.front();
    answers.pop_front();
    return a;
  }
  std::optional<std::string> ChooseFile(const FileRequest& r) override {
    fileRequests.push_back(r);
    if (files.empty()) return std::nullopt;
    std::string f = files.front();
    files.pop_front();
    return f;
  }
  bool RunFilterDialog(FilterDialog& d) override { return filterDialog(d); }
  bool RunSettingsDialog(SettingsDialog& d) override { return settingsDialog(d); }
  bool RunReportOptions(ReportScope& s) override { return reportOptions(s); }
  void RunReadingDialog(ReadingSession& session) override {
    bool done = false;
    session.Start([] {}, [&](int) { done = true; });
    during(session);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done && std::chrono::steady_clock::now() < deadline) WaitAndRunPosted();
  }
  bool RunArchiveWindow(ArchiveWindowModel& a) override { return archiveWindow(a); }
  void OpenWindow(DeskWindow w) override { opened.push_back(w); }
  void Changed(unsigned what) override { changes |= what; }
  void ShowRow(std::size_t row, ScrollTo how) override { shownRows.emplace_back(row, how); }
  std::size_t TopRow() const override { return topRow; }
  void CopyText(const std::string& text) override { clipboard = text; }
  void CloseMainWindow() override { closed = true; }

  void Post(std::function<void()> call) override {
    std::lock_guard<std::mutex> lock(m_lock);
    m_posted.push_back(std::move(call));
    m_wake.notify_all();
  }
  // Runs what was posted so far; false when nothing was.
  bool RunPosted() {
    std::deque<std::function<void()>> calls;
    {
      std::lock_guard<std::mutex> lock(m_lock);
      calls.swap(m_posted);
    }
    for (auto& call : calls) call();
    return !calls.empty();
  }
  // Waits (at most a few seconds) for a posted call, then runs them.
  bool WaitAndRunPosted() {
    {
      std::unique_lock<std::mutex> lock(m_lock);
      m_wake.wait_for(lock, std::chrono::seconds(10), [this] { return !m_posted.empty(); });
    }
    return RunPosted();
  }

 private:
  std::mutex m_lock;
  std::condition_variable m_wake;
  std::deque<std::function<void()>> m_posted;
};

}  // namespace logwick::test
