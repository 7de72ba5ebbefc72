// Sample lists and scratch files shared by the desktop model's and the Qt face's tests.
#pragma once

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

// A path `name` under this run's private folder (removed at the end), its parent made.
inline std::string Scratch(const std::string& name) {
  static const TempDir dir;
  const std::filesystem::path p = dir.Path() / std::filesystem::path(name).make_preferred();
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

#ifdef LOGWICK_WITH_ARCHIVE
// A new archive at path: panel 123 "Склад" read twice 15 days apart, which
// leaves a gap between, and panel 4567 "Цех" once; ten December days a reading.
inline void FillArchive(const std::string& path) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::filesystem::remove(path);
  auto archive = HistoryArchive::Open(path, true);
  for (auto [serial, config, shift] : {std::tuple{123, "Склад", 0}, {123, "Склад", 15}, {4567, "Цех", 0}}) {
    CT7KEventList l = MakeHeaderList();
    l.m_nSerNum = serial;
    const std::string name = Utf8ToCp1251(config);
    l.SetConfigNameBytes(name.data(), name.size());
    l.m_nReadDay = 11 + shift;
    for (int day = 10; day >= 1; --day)
      l.AddTail(MakeEvent(PackTimeStamp(2015, 12, day + shift, 9, 0, 0), 1, {1}));
    archive->File(l, {serial == 123 ? "COM1" : "COM2"});
  }
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
