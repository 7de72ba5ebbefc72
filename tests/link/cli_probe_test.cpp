// logwick-cli ports and probe against logwick-cli simulate: the port list, and
// a verdict of each exit status (the verdicts and their words: port_probe_test).
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "tests/link/cli_child.h"

using namespace logwick::test;

namespace {

// Whether process pid has opened path within 10 s (a loaded machine starts
// processes slowly).
bool HoldsOpen(pid_t pid, const std::string& path) {
  const std::filesystem::path fds = "/proc/" + std::to_string(pid) + "/fd";
  for (int i = 0; i < 500; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(20))) {
    std::error_code ec;
    for (const auto& fd : std::filesystem::directory_iterator(fds, ec))
      if (std::filesystem::read_symlink(fd.path(), ec) == path) return true;
  }
  return false;
}

class CliProbe : public CliRunner {
 protected:
  void SetUp() override { ::setenv("LOGWICK_PORTS_DIR", dir_.File("ports").c_str(), 1); }
  void TearDown() override { ::unsetenv("LOGWICK_PORTS_DIR"); }

  // Probes `target` (a device path, or "COMn"), checks the status and that each text was said.
  void Probe(const std::string& target, int status, const std::vector<std::string>& said) {
    const bool com = target.rfind("COM", 0) == 0;
    auto p = Run("probe", {com ? "--port" : "--device", com ? target.substr(3) : target});
    EXPECT_EQ(p->Wait(), status) << target << "\n" << p->Out() << p->Err();
    for (const std::string& text : said)
      EXPECT_NE(p->Out().find(text), std::string::npos) << text << "\n" << p->Out();
  }
};

}  // namespace

TEST_F(CliProbe, PortsListsEachPortWithItsDeviceAndDescription) {
  const std::string dev = Simulate({"--as-com", "42", "--line-mode", "gaz"});
  auto p = Run("ports", {});
  ASSERT_EQ(p->Wait(), 0) << p->Err();
  const std::string link = dir_.File("ports/COM42");
  EXPECT_NE(p->Out().find("COM42  " + dev + "  псевдотерминал, ссылка " + link + " -> " + dev + "\n"),
            std::string::npos)
      << p->Out();
  const std::regex line("COM[0-9]+  /[^ ]+(  .+)?");
  std::istringstream lines(p->Out());
  for (std::string l; std::getline(lines, l);) EXPECT_TRUE(std::regex_match(l, line)) << l;
  // The same panel by its number.
  Probe("COM42", 0,
        {"Порт COM42: " + link + " -> " + dev + " (псевдотерминал)", "Найден прибор", "в режиме ГАЗ"});
}

TEST_F(CliProbe, ALineWithoutAPanelAndAPortThatCannotBeUsed) {
  Probe(Simulate({"--silent", "--echo"}), 2, {"(эхо)", "Прибор за эхом не ответил"});
  // Busy: a read-out searching a silent line holds the port.
  const std::string dev = Simulate({"--silent"});
  auto reader = Run("read", {"--device", dev, "-o", dir_.File("x.t7kev")});
  ASSERT_TRUE(HoldsOpen(reader->Pid(), dev));
  Probe(dev, 1,
        {"Порт " + dev + " занят: его держит процесс " + std::to_string(reader->Pid()) + " (logwick-cli)."});
  reader->Signal(SIGINT);
  EXPECT_EQ(reader->Wait(), 130);

  std::filesystem::create_directories(dir_.File("ports"));
  std::filesystem::create_symlink(dir_.File("gone"), dir_.File("ports/COM9"));
  Probe(dir_.File("none"), 1, {"Устройство " + dir_.File("none") + " не существует.", "logwick-cli ports"});
  Probe("COM9", 1, {"ссылка указывает на " + dir_.File("gone") + ", а его нет"});
  Probe("COM120", 1, {"Для COM120 нет устройства", "ссылкой COM120 в папке " + dir_.File("ports")});
  Probe("/dev/null", 1, {"Не могу открыть порт: /dev/null"});
}
