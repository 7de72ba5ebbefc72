// The archive window as a model, driven by the scripted face.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "desk/archive_window_model.h"
#include "tests/desk/desk_samples.h"
#include "tests/desk/scripted_face.h"

namespace logwick {
namespace {

namespace fs = std::filesystem;
using namespace test;
using namespace std::chrono_literals;

struct ArchiveWindow : ::testing::Test {
  ScriptedFace face;
  MemoryProfile profile;
  std::string path = Scratch("arch/archive.sqlite");

  void SetUp() override { FillArchive(path); }
  static std::vector<std::int32_t> Serials(const ArchiveWindowModel& m) {
    std::vector<std::int32_t> s;
    for (std::size_t r = 0; r < m.RowCount(); ++r) s.push_back(m.Row(r).panel.serial);
    return s;
  }
};

TEST_F(ArchiveWindow, RowsNarrowAndSortKeepingTheSelectionAndOpenAHistory) {
  ArchiveWindowModel m(face, profile, path);
  m.Refresh();
  EXPECT_EQ(Serials(m), (std::vector<std::int32_t>{123, 4567}));
  using M = ArchiveWindowModel;
  EXPECT_EQ(std::tuple(m.Cell(0, M::kColEvents), m.Cell(0, M::kColGapMarks), m.Cell(0, M::kColType)),
            std::tuple("20", "1", "Тарвел-7К"));
  EXPECT_EQ(m.GetState().statusLine, "Приборов в архиве: 2");
  m.Select(1);
  m.SortBy(M::kColSerial, false);
  EXPECT_EQ(Serials(m), (std::vector<std::int32_t>{4567, 123}));
  EXPECT_EQ(m.Selected(), 0u);  // still panel 4567
  m.Narrow("ЦЕХ");
  EXPECT_EQ(Serials(m), std::vector<std::int32_t>{4567});
  m.Narrow("12");
  EXPECT_EQ(Serials(m), std::vector<std::int32_t>{123});
  EXPECT_EQ(m.Selected(), 0u);  // the panel shown is selected

  ASSERT_TRUE(m.OnOpen());
  const PanelHistory h = m.TakeHistory().value();
  EXPECT_EQ(std::pair(h.list.GetCount(), h.gapMarks.size()), std::pair(std::size_t{20}, std::size_t{1}));
}

TEST_F(ArchiveWindow, AMissingArchiveIsNotMadeAndADamagedOneIsNamedAndLeftAlone) {
  const std::string missing = Scratch("arch/none.sqlite");
  fs::remove(missing);
  ArchiveWindowModel none(face, profile, missing);
  none.Refresh();
  EXPECT_EQ(none.GetState().statusLine, "Архив ещё не создан: он появится с первым сохранённым чтением");
  EXPECT_FALSE(fs::exists(missing));

  const std::string damaged = Scratch("arch/damaged.sqlite");
  std::ofstream(damaged, std::ios::binary) << std::string(4096, 'x');
  ArchiveWindowModel bad(face, profile, damaged);
  bad.Refresh();
  EXPECT_EQ(bad.RowCount(), 0u);
  ASSERT_EQ(face.messages.size(), 1u);
  EXPECT_NE(face.messages[0].text.find(damaged), std::string::npos);
  EXPECT_EQ(std::pair(face.messages[0].owner, fs::file_size(damaged)),
            std::pair(MsgOwner::Archive, std::uintmax_t{4096}));
}

TEST_F(ArchiveWindow, ASyncNeedsAnAddressWithoutAPasswordRunsOnAWorkerAndClosingStopsItAndWaits) {
  std::thread::id worker;
  ArchiveWindowModel m(face, profile, path, SlowServer(worker));
  m.OnSync("  ");
  m.OnSync("postgresql://ivanov:secret@db/logwick");
  ASSERT_EQ(face.messages.size(), 2u);
  EXPECT_EQ(face.messages[0].text.rfind("Укажите адрес сервера общего архива", 0), 0u);
  EXPECT_NE(face.messages[1].text.find("пароль"), std::string::npos);
  EXPECT_FALSE(m.Syncing() || profile.strings.count(kSettingServerUrl));

  bool closed = false;
  m.SetClose([&] { closed = true; });
  m.OnSync(" postgresql://ivanov@db/logwick ");
  EXPECT_EQ(profile.strings[kSettingServerUrl], "postgresql://ivanov@db/logwick");
  EXPECT_TRUE(m.GetState().syncing);
  while (m.GetState().progressUpper != 100) face.RunPosted(10s);
  EXPECT_EQ(m.GetState().statusLine.rfind("Отправка", 0), 0u);
  EXPECT_FALSE(m.OnClose());  // stops first
  while (m.Syncing() && face.RunPosted(10s)) continue;
  EXPECT_TRUE(closed);
  EXPECT_NE(worker, std::this_thread::get_id());
  EXPECT_EQ(m.GetState().statusLine.rfind("Синхронизация остановлена", 0), 0u);
  EXPECT_EQ(face.messages.size(), 2u);
}

}  // namespace
}  // namespace logwick
