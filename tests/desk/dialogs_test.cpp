// The filter and settings dialogs' models, driven by the scripted face.
#include <gtest/gtest.h>

#include "desk/filter_dialog.h"
#include "desk/settings_dialog.h"
#include "tests/desk/scripted_face.h"

namespace logwick {
namespace {

using test::ScriptedFace;

TEST(FilterDialog, ExchangesInOrderAndStopsAtTheFirstEditWithoutANumber) {
  ScriptedFace face;
  FilterDialog dlg(face, CT7KEvFilter());
  const FilterForm defaults = dlg.Form();
  EXPECT_EQ(std::tuple(defaults.period, defaults.firstBeam, defaults.lastBeam, defaults.lastDev,
                       dlg.DatePickersEnabled()),
            std::tuple(false, "0", "255", "255", false));

  FilterForm f = defaults;
  f.lastBeam = "300";  // not limited here
  f.devices = false;
  f.lastDev = "";  // stops the exchange: the later fields stay as they were
  f.slaves = false;
  f.period = true;
  int focus = 0;
  EXPECT_FALSE(dlg.OnOK(f, &focus));
  EXPECT_EQ(focus, IDC_FILTER_LAST_DEVICE);
  EXPECT_EQ(face.messages.at(0), (Message{"Введите положительное целое число.", MsgCaption::Title,
                                          MsgIcon::Exclamation, MsgOwner::Filter}));
  EXPECT_EQ(std::tuple(dlg.Filter().m_nLastBeam, dlg.Filter().m_bDevices, dlg.Filter().m_bSlaves),
            std::tuple(300u, 0, 1));
  // "за период с" takes the whole exchange; the pickers follow the working copy.
  EXPECT_EQ(dlg.OnPeriodClicked(f), IDC_FILTER_LAST_DEVICE);
  EXPECT_FALSE(dlg.DatePickersEnabled());
  f.lastDev = " 17 ";
  EXPECT_EQ(dlg.OnPeriodClicked(f), std::nullopt);
  EXPECT_TRUE(dlg.DatePickersEnabled());
  for (const char* bad : {"-1", "4294967296", "1x", "+"}) {
    f.firstBeam = bad;
    EXPECT_EQ(dlg.Save(f), IDC_FILTER_FIRST_BEAM) << bad;
  }
  // A picked day keeps the time of day.
  const std::int64_t t = 1449928800;  // some local time
  const LocalDay day = LocalDayOf(t);
  const std::int64_t moved = OnLocalDay(t, {day.year, day.month == 12 ? 11 : day.month + 1, 1});
  EXPECT_EQ(std::pair(LocalDayOf(moved).day, OnLocalDay(moved, day)), std::pair(1, t));
}

TEST(SettingsDialog, ListsPortsAsTextTakesTheChosenOneAndRefusesOrReplacesASerialNumberOutOfRange) {
  ScriptedFace face;
  ReadoutSettings s{.portNumber = 12};
  const std::vector<PortListing> ports = {{1, "", "на плате"}, {3, "", ""}, {12, "", ""}};
  SettingsDialog dlg(face, s, ports);
  EXPECT_EQ(std::tuple(dlg.Ports()[1].number, dlg.Ports()[2].number, dlg.Ports()[0].description),
            std::tuple(12u, 3u, "на плате"));  // sorted as text
  EXPECT_EQ(dlg.SelectedPort(), 1u);
  s.portNumber = 7;
  EXPECT_EQ(SettingsDialog(face, s, ports).SelectedPort(), std::nullopt);
  EXPECT_TRUE(dlg.OnOK(std::nullopt, true, false, ""));
  EXPECT_EQ(std::pair(dlg.Settings().portNumber, dlg.Settings().selectedSerial),
            std::pair(SettingsDialog::kNoPort, 0u));  // an empty edit with "Авто" on

  SettingsDialog serial(face, ReadoutSettings{}, {});
  EXPECT_FALSE(serial.SerialEnabled());
  const std::pair<const char*, std::optional<std::string>> autoOff[] = {
      {"0", "2"},        {"1", "2"},  {"2", std::nullopt}, {"5000000", std::nullopt},
      {"16777216", "2"}, {"abc", "2"}};
  for (const auto& [typed, becomes] : autoOff)
    EXPECT_EQ(serial.OnAutoClicked(false, false, typed), becomes) << typed;
  EXPECT_TRUE(serial.SerialEnabled());
  for (const char* bad : {"0", "1", "16777216", "-5"}) EXPECT_FALSE(serial.OnOK(0, false, false, bad)) << bad;
  EXPECT_EQ(face.messages.at(0),
            (Message{"Не допустимый серийный номер", MsgCaption::Error, MsgIcon::Stop, MsgOwner::Settings}));
  EXPECT_TRUE(serial.OnOK(0, false, true, " 16777215"));
  EXPECT_EQ(std::tuple(serial.Settings().selectedSerial, serial.Settings().gazMode),
            std::tuple(16777215u, true));
  EXPECT_EQ(SettingsDialog::AtoiUnsigned("-1"), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace logwick
