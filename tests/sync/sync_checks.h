// Read-outs of two panels that two engineers filed on their visits, the checks
// that two archives came to hold the same, and a view of the progress.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "history/history_archive.h"
#include "sync/readout_sync.h"
#include "tests/history/archive_checks.h"
#include "tests/history/panel_model.h"

namespace logwick::test {

// A view that sees each step of the progress (nothing by default).
struct SyncView : ISyncView {
  explicit SyncView(std::function<void(const SyncProgress&)> on = [](const SyncProgress&) {})
      : on(std::move(on)) {}
  void OnProgress(const SyncProgress& p) override { on(p); }
  std::function<void(const SyncProgress&)> on;
};

using TwoEngineers = std::pair<std::vector<CT7KEventList>, std::vector<CT7KEventList>>;

// Panels 4242 and 5151 visited `visits` times each, by turns; the engineers'
// first visits read the same state of panel 4242, so both file that read-out.
inline TwoEngineers VisitsByTurns(std::size_t visits, std::size_t ring = 600) {
  TwoEngineers out;
  for (std::int32_t serial : {4242, 5151}) {
    PanelModel panel(serial, ring);
    for (std::size_t i = 0; i < visits; ++i) {
      panel.Produce(ring / 2 + i * 37 % ring);
      const CT7KEventList r = ReadoutOf(panel.Read(), serial);
      (i % 2 == 0 ? out.first : out.second).push_back(r);
      if (i == 0 && serial == 4242) out.second.push_back(r);
    }
  }
  return out;
}

inline std::set<std::string> ShaSet(HistoryArchive& a) {
  std::set<std::string> out;
  for (const ReadoutInfo& r : a.ReadoutsFiledAfter(0)) out.insert(r.sha256);
  return out;
}

// Every panel's history as `archive show` prints it, gap marks included.
inline std::string HistoriesText(HistoryArchive& a) {
  std::string text;
  for (const PanelSummary& p : a.Panels()) text += ShowText(*a.History(p.panel));
  return text;
}

inline void ExpectSameArchives(HistoryArchive& a, HistoryArchive& b) {
  EXPECT_EQ(ShaSet(a), ShaSet(b));
  EXPECT_EQ(a.ReadoutsFiledAfter(0).size(), ShaSet(a).size());  // each read-out once
  EXPECT_EQ(HistoriesText(a), HistoriesText(b));
}

}  // namespace logwick::test
