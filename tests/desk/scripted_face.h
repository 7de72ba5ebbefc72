// A face without windows for the desktop model's tests: it records what it is shown and asked, answers from
// queues and callbacks, and runs posted calls when asked (RunPosted), as an interface thread's queue would.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

#include "desk/face.h"
#include "desk/profile.h"
#include "desk/reading_session.h"

namespace logwick::test {

template <class T>
std::optional<T> Lookup(const std::map<std::string, T>& values, const char* name) {
  auto it = values.find(name);
  return it == values.end() ? std::nullopt : std::optional(it->second);
}

template <class T>
std::optional<T> Pop(std::deque<T>& queue) {
  if (queue.empty()) return std::nullopt;
  T front = queue.front();
  queue.pop_front();
  return front;
}

class MemoryProfile : public IProfile {
 public:
  std::optional<std::int32_t> ReadInt(const char* name) override { return Lookup(ints, name); }
  std::optional<std::string> ReadString(const char* name) override { return Lookup(strings, name); }
  void WriteInt(const char* name, std::int32_t value) override {
    ints[name] = value;
    writes.push_back(name);
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
  std::vector<Message> messages;  // shown, in order
  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (const Message& m : messages) t.push_back(m.text);
    return t;
  }
  std::deque<std::string> files;  // answers to the file dialogs in turn; none left: Cancel
  std::vector<FileRequest> fileRequests;
  std::deque<bool> answers;  // to questions; none left: Нет
  std::vector<Message> questions;

  std::function<bool(FilterDialog&)> filterDialog = [](FilterDialog&) { return false; };
  std::function<bool(SettingsDialog&)> settingsDialog = [](SettingsDialog&) { return false; };
  std::function<bool(ReportScope&)> reportOptions = [](ReportScope&) { return true; };
  std::function<bool(ArchiveWindowModel&)> archiveWindow = [](ArchiveWindowModel&) { return false; };
  // Called once the reading dialog has started its session (e.g. to cancel).
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
    return Pop(answers).value_or(false);
  }
  std::optional<std::string> ChooseFile(const FileRequest& r) override {
    fileRequests.push_back(r);
    return Pop(files);
  }
  bool RunFilterDialog(FilterDialog& d) override { return filterDialog(d); }
  bool RunSettingsDialog(SettingsDialog& d) override { return settingsDialog(d); }
  bool RunReportOptions(ReportScope& s) override { return reportOptions(s); }
  void RunReadingDialog(ReadingSession& session) override {
    bool done = false;
    session.Start([] {}, [&](int) { done = true; });
    during(session);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done && std::chrono::steady_clock::now() < deadline) RunPosted(std::chrono::seconds(10));
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
  // Waits at most `wait` for a posted call, then runs what was posted so far; false when nothing was.
  bool RunPosted(std::chrono::milliseconds wait = {}) {
    std::deque<std::function<void()>> calls;
    {
      std::unique_lock<std::mutex> lock(m_lock);
      m_wake.wait_for(lock, wait, [this] { return !m_posted.empty(); });
      calls.swap(m_posted);
    }
    for (auto& call : calls) call();
    return !calls.empty();
  }

 private:
  std::mutex m_lock;
  std::condition_variable m_wake;
  std::deque<std::function<void()>> m_posted;
};

}  // namespace logwick::test
