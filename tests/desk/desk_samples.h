// Sample lists and scratch files shared by the desktop model's and the Qt face's tests.
#pragma once

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "events/codec.h"
#include "tests/lists/list_samples.h"

#ifdef LOGWICK_WITH_ARCHIVE
#include "desk/sync_worker.h"
#include "history/history_archive.h"
#endif

namespace logwick::test {

// A path `name` under this run's private folder, its parent made.
inline std::string Scratch(const std::string& name) {
  std::filesystem::path p =
      std::filesystem::temp_directory_path() / ("logwick-desk-" + std::to_string(::getpid())) / name;
  p.make_preferred();
  std::filesystem::create_directories(p.parent_path());
  return p.string();
}

inline std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<unreadable>";
}

// Ten December days of panel 123, newest first: seven mode changes, three
// messages (code 4) in rows 3, 6 and 9.
inline CT7KEventList TenEvents() {
  CT7KEventList l = MakeHeaderList();
  l.m_texts = {"Пожар", "Тревога"};
  for (int i = 0; i < 10; ++i)
    l.AddTail(MakeEvent(PackTimeStamp(2015, 12, 10 - i, 14, 12, 5), i % 3 == 0 && i > 0 ? 4 : 1,
                        {static_cast<std::uint8_t>(i)}));
  return l;
}

// Ten December days of panel `serial` (configuration `config`), moved by
// `shift` days, as read on the day after the last one: two visits 15 days
// apart leave a gap between them.
inline CT7KEventList Visit(std::int32_t serial, const char* config, int shift) {
  CT7KEventList l = MakeHeaderList();
  l.m_nSerNum = serial;
  const std::string name = Utf8ToCp1251(config);
  l.SetConfigNameBytes(name.data(), name.size());
  l.m_nReadDay = 11 + shift;
  for (int day = 10; day >= 1; --day)
    l.AddTail(MakeEvent(PackTimeStamp(2015, 12, day + shift, 9, 0, 0), 1, {1}));
  return l;
}

#ifdef LOGWICK_WITH_ARCHIVE
// A new archive at path: panel 123 "Склад" visited twice with a gap between, panel 4567 "Цех" once.
inline void FillArchive(const std::string& path) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::filesystem::remove(path);
  auto archive = HistoryArchive::Open(path, true);
  archive->File(Visit(123, "Склад", 0), {"COM1"});
  archive->File(Visit(123, "Склад", 15), {"COM1"});
  archive->File(Visit(4567, "Цех", 0), {"COM2"});
}

// A stand-in for the server: notes its thread and reports progress until it is stopped.
inline SyncWorker::Job SlowServer(std::thread::id& thread) {
  return [&thread](const std::string&, const std::string& url, ISyncView& view,
                   const std::atomic<bool>& cancel) {
    thread = std::this_thread::get_id();
    SyncOutcome r;
    r.server = url;
    for (std::size_t done = 0; !cancel; done = (done + 1) % 100) {
      view.OnProgress({SyncStep::Sending, done, 100});
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    r.status = SyncStatus::Cancelled;
    return r;
  };
}
#endif

}  // namespace logwick::test
