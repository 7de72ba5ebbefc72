// logwick-cli ports and probe against logwick-cli simulate: every verdict a
// pseudo-terminal can bring about, with its exit status and its words.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "tests/link/cli_child.h"

using namespace logwick::test;

namespace {

struct ProbeCase {
  std::vector<std::string> simulator;  // empty: no simulator, probe `device` as given
  int status;
  std::vector<std::string> said;
};

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
  void ProbeSimulated(const ProbeCase& c) {
    const std::string dev = Simulate(c.simulator);
    Probe(dev, c.status, c.said);
    sim_.reset();
  }
};

}  // namespace

TEST_F(CliProbe, PortsListsEachPortWithItsDeviceAndDescription) {
  const std::string dev = Simulate({"--as-com", "42"});
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
  Probe("COM42", 0, {"Порт COM42: " + link + " -> " + dev + " (псевдотерминал)", "Найден прибор"});
}

TEST_F(CliProbe, APanelIsFoundInTheLineModeItAnswersIn) {
  const ProbeCase cases[] = {
      {{}, 0, {"серийный номер 4660, Тарвел-7К (тип 3), версия 3.12 от 14/06/2021", "режим ГАЗ не нужен"}},
      {{"--line-mode", "gaz", "--type", "4", "--serial", "700123", "--firmware", "2.5"},
       0,
       {"серийный номер 700123, Тарвел-7Л (тип 4), версия 2.5", "в режиме ГАЗ (1200 бод 8E1)",
        "9600 бод 8N1: нет ответа", "1200 бод 8E1 (режим ГАЗ): ответил прибор 700123"}},
      {{"--silent-on", "address"},
       2,
       {"Прибор 4660 ответил на поиск при 9600 бод 8N1, но не на установку адреса"}},
      {{"--silent-on", "type"}, 2, {"но не на запрос типа"}},
  };
  for (const ProbeCase& c : cases) ProbeSimulated(c);
}

TEST_F(CliProbe, ALineWithoutAnAnsweringPanelIsExplained) {
  const ProbeCase cases[] = {
      {{"--silent"}, 2, {"Прибор не отвечает ни при 9600 бод 8N1, ни при 1200 бод 8E1 (режим ГАЗ)."}},
      {{"--silent", "--echo"}, 2, {"(эхо)", "Прибор за эхом не ответил", "9600 бод 8N1: эхо\n"}},
      {{"--echo"},
       2,
       {"(эхо)", "За эхом ответил прибор 4660", "9600 бод 8N1: эхо, за ним ответил прибор 4660"}},
      // Every answer to the search damaged, in both line modes.
      {{"--bad-checksum", "1", "--bad-checksum", "2", "--bad-checksum", "3", "--bad-checksum", "4",
        "--bad-checksum", "5", "--bad-checksum", "6"},
       2,
       {"это не ответ прибора", "9600 бод 8N1: посторонние байты (15)"}},
  };
  for (const ProbeCase& c : cases) ProbeSimulated(c);
}

TEST_F(CliProbe, APortThatCannotBeUsedIsExplained) {
  // Busy: a read-out searching a silent line holds the port.
  const std::string dev = Simulate({"--silent"});
  auto reader = Run("read", {"--device", dev, "-o", dir_.File("x.t7kev")});
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Probe(dev, 1,
        {"Порт " + dev + " занят: его держит процесс " + std::to_string(reader->pid) + " (logwick-cli)."});
  reader->Signal(SIGINT);
  EXPECT_EQ(reader->Wait(), 130);

  std::filesystem::create_directories(dir_.File("ports"));
  std::filesystem::create_symlink(dir_.File("gone"), dir_.File("ports/COM9"));
  Probe(dir_.File("none"), 1, {"Устройство " + dir_.File("none") + " не существует.", "logwick-cli ports"});
  Probe("COM9", 1, {"ссылка указывает на " + dir_.File("gone") + ", а его нет"});
  Probe("COM120", 1, {"Для COM120 нет устройства", "ссылкой COM120 в папке " + dir_.File("ports")});
  Probe("/dev/null", 1, {"Не могу открыть порт: /dev/null"});
}
