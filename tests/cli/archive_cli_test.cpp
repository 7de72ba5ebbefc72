// logwick-cli archive as a user runs it: which archive, what each action
// prints, refusals and their statuses.
#include <gtest/gtest.h>

#include "history/archive_location.h"
#include "lists/t7k_ev_filter.h"
#include "tests/cli/cli_runner.h"
#include "tests/history/archive_checks.h"
#include "tests/history/panel_model.h"
#include "tests/lists/test_env.h"

using namespace logwick;
using namespace logwick::test;

namespace {

struct ArchiveCli : Cli {
  void SetUp() override {
    for (const char* name : {"HOME", "LOCALAPPDATA"}) SetEnv(name, dir_.File("home").c_str());
    SetEnv("XDG_DATA_HOME", nullptr);
    SetEnv("LOGWICK_ARCHIVE", nullptr);
  }

  // Read-outs of one panel: the second overlaps the first, the third comes
  // after the ring wrapped.
  std::vector<std::string> Visits(std::int32_t serial = 4242, std::int32_t type = 1) {
    std::vector<std::string> files;
    for (const Visit& v : PanelModel(serial, 2000).VisitsAfter({1500, 600, 5000})) {
      files.push_back(dir_.File(std::to_string(type) + "-" + std::to_string(serial) + "-" +
                                std::to_string(files.size()) + ".t7kev"));
      EXPECT_TRUE(StoreEventFile(files.back(), ReadoutOf(v, serial, type)).ok);
    }
    return files;
  }

  std::string archive_ = dir_.File("a.sqlite");
};

// Which archive is the library's rule (ArchiveLocation); the command passes
// it the option, and a missing archive holds no panels.
TEST_F(ArchiveCli, AddListShowAndExport) {
  const std::vector<std::string> f = Visits();
  Result r = Run({"archive", "list", "--archive", archive_});
  EXPECT_EQ(std::make_pair(r.status, r.out), std::make_pair(0, std::string()));
  EXPECT_FALSE(std::filesystem::exists(archive_));
  ASSERT_EQ(Run({"archive", "add", f[0]}).status, 0);
  EXPECT_TRUE(DefaultArchivePath().starts_with(dir_.File("home")) &&
              std::filesystem::exists(PathOf(DefaultArchivePath())));

  const std::string broken = dir_.File("broken.t7kev"), missing = dir_.File("missing.t7kev");
  WriteBytes(broken, Bytes(20, 5));
  r = Run({"archive", "add", "--archive", archive_, f[0], broken, f[1], missing, f[2], f[1]});
  EXPECT_EQ(r.status, 2);  // the first refusal's
  EXPECT_EQ(r.out,
            f[0] + ": Тарвел-7К (с/н 4242): 1500 new events, 0 already known, no gap mark\n" + f[1] +
                ": Тарвел-7К (с/н 4242): 600 new events, 1400 already known, no gap mark\n" + f[2] +
                ": Тарвел-7К (с/н 4242): 2000 new events, 0 already known, gap mark set\n" + f[1] +
                ": Тарвел-7К (с/н 4242): 0 new events, 2000 already known, no gap mark (already filed)\n");
  EXPECT_NE(r.err.find("Ошибка формата файла: " + broken + "\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Не могу прочитать файл: " + missing), std::string::npos) << r.err;
  EXPECT_EQ(Run({"archive", "add", "--archive", archive_, f[2]}).status, 0);
  const std::string list = Out({"archive", "list", "--archive", archive_});
  EXPECT_TRUE(list.starts_with("Тарвел-7К\t4242\tСклад\t4100\t3\t") && list.ends_with("\t1\n")) << list;
  EXPECT_EQ(std::ranges::count(list, '\t'), 8);

  // `archive show` prints the history as `show` prints a file.
  const PanelHistory h = *HistoryArchive::Open(archive_, false)->History({1, 4242});
  EXPECT_EQ(Out({"archive", "show", "--archive", archive_, "4242"}), ShowText(h));
  CT7KEvFilter noModes;
  noModes.m_bModes = 0;
  EXPECT_EQ(Out({"archive", "show", "--archive", archive_, "4242", "--type", "1", "--no-modes"}),
            ShowText(h, [&](const CT7KEvent& ev) { return noModes.Accept(ev); }));

  // The export holds the newest events with the newest read-out's header.
  const std::string out = dir_.File("export.t7kev");
  ASSERT_EQ(Run({"archive", "export", "--archive", archive_, "4242", "-o", out}).status, 0);
  CT7KEventList exported;
  ASSERT_EQ(LoadEventFile(out, exported).status, FileStatus::Done);
  EXPECT_EQ(exported, h.list);
}

// The library leaves a damaged archive untouched: Archive.RefusesWhatIsNotASoundArchive...
TEST_F(ArchiveCli, RefusalsNameThePanelOrTheArchiveAndWriteNothing) {
  for (const auto& f : {Visits(77, 1), Visits(77, 2)})
    ASSERT_EQ(Run({"archive", "add", "--archive", archive_, f[0]}).status, 0);
  const std::string out = dir_.File("x.t7kev"), missing = dir_.File("missing.sqlite");
  const std::string damaged = dir_.File("damaged.sqlite"), file = Visits()[0];
  WriteBytes(damaged, Bytes(3000, 'x'));
  const std::tuple<std::string, std::vector<std::string>, int, std::string> cases[] = {
      {archive_, {"show", "77"}, 1, "Тарвел-7К (--type 1), Тарвел-7Л (--type 2)"},
      {archive_, {"export", "77", "-o", out}, 1, "--type"},
      {archive_, {"show", "78"}, 1, "с/н 78"},
      {archive_, {"show", "77", "--type", "3"}, 1, "Тарвел-7К(Apollo) (с/н 77)"},
      {archive_, {"show", "77", "--type", "4"}, 105, ""},
      {missing, {"show", "4242"}, 3, "Архив не найден: " + missing + "\n"},
      {damaged, {"add", file}, 2, "Архив повреждён: " + damaged},
      {damaged, {"show", "4242"}, 2, "Архив повреждён: " + damaged},
  };
  for (auto [archive, args, status, message] : cases) {
    args.insert(args.begin(), {"archive"});
    args.insert(args.begin() + 2, {"--archive", archive});
    const Result r = Run(args);
    EXPECT_EQ(r.status, status) << args[1] << " " << args[4];
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_TRUE(message.empty() ? !r.err.empty() : r.err.find(message) != std::string::npos) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(out) || std::filesystem::exists(missing));
  EXPECT_EQ(ReadBytes(damaged), Bytes(3000, 'x'));
  EXPECT_EQ(Run({"archive", "show", "--archive", archive_, "77", "--type", "2"}).status, 0);
}

}  // namespace
