#include "link/port_probe_text.h"

#include "events/strformat.h"
#include "link/port_names.h"
#include "link/readout.h"
#include "lists/panel_types.h"

namespace logwick {
namespace {

constexpr const char* kPlainMode = "9600 бод 8N1";
constexpr const char* kGazMode = "1200 бод 8E1 (режим ГАЗ)";
constexpr const char* kModemManager = "ModemManager";

const char* ModeName(bool gaz) { return gaz ? kGazMode : kPlainMode; }

std::string PortLine(const ProbeReport& r) {
  std::string line =
      r.portNumber ? StrFormat("Порт COM%u: %s", r.portNumber, r.device.c_str()) : "Порт " + r.device;
  if (!r.linkTarget.empty()) line += " -> " + r.linkTarget;
  if (!r.hardware.description.empty()) line += " (" + r.hardware.description + ")";
  return line;
}

std::vector<std::string> NoDevice(const ProbeReport& r) {
  if (r.device.empty())
    return {
        StrFormat("Для COM%u нет устройства: COM1-32 — это /dev/ttyS0-31, COM33-64 — /dev/ttyUSB0-31, "
                  "COM65-96 — /dev/ttyACM0-31, другие номера задаются ссылкой COM%u в папке %s.",
                  r.portNumber, r.portNumber, PortsFolder().c_str())};
  std::vector<std::string> lines;
  if (!r.linkTarget.empty())
    lines.push_back("Устройство " + r.device + " не существует: ссылка указывает на " + r.linkTarget +
                    ", а его нет.");
  else
    lines.push_back("Устройство " + r.device + " не существует.");
  lines.push_back("Проверьте, подключён ли адаптер; какие порты есть, показывает \"logwick-cli ports\".");
  return lines;
}

std::vector<std::string> NoPermission(const ProbeReport& r) {
  if (r.group.empty() || r.group == "root")
    return {"Нет прав на " + r.resolved + ": попросите администратора открыть доступ к порту."};
  if (r.groupListsUser)
    return {"Нет прав на " + r.resolved + ": устройство доступно группе " + r.group + ".",
            "Пользователь " + r.user + " уже в группе " + r.group +
                ", но этот сеанс начат раньше: выйдите из системы и войдите снова."};
  return {"Нет прав на " + r.resolved + ": устройство доступно группе " + r.group + ", а пользователь " +
              r.user + " в неё не входит.",
          "Добавьте его в группу: sudo usermod -aG " + r.group + " " + r.user +
              ", затем выйдите из системы и войдите снова."};
}

bool HeldByModemManager(const ProbeReport& r) {
  for (const ProcessInfo& p : r.holders)
    if (p.name == kModemManager) return true;
  return false;
}

std::vector<std::string> Busy(const ProbeReport& r) {
  if (r.holders.empty())
    return {"Порт " + r.resolved + " занят другой программой (её процесс этому пользователю не виден).",
            "Закройте программу, которая работает с портом, и повторите."};
  std::string who;
  for (const ProcessInfo& p : r.holders)
    AppendFormat(who, "%sпроцесс %d (%s)", who.empty() ? "" : ", ", p.pid, p.name.c_str());
  return {"Порт " + r.resolved + " занят: его держит " + who + ".", "Закройте эту программу и повторите."};
}

std::vector<std::string> Echo(const ProbeReport& r) {
  std::vector<std::string> lines{
      "Линия возвращает всё, что отправлено (эхо): так ведёт себя адаптер RS-485 с включённым эхом "
      "или заглушка-петля на месте прибора."};
  if (r.serial)
    lines.push_back(
        StrFormat("За эхом ответил прибор %u: отключите эхо адаптера (перемычкой или в его "
                  "настройке), тогда прибор можно будет прочитать.",
                  r.serial));
  else
    lines.push_back("Прибор за эхом не ответил.");
  return lines;
}

std::string TypeText(std::uint8_t deviceType) {
  const int panelType = PanelTypeOfDevice(deviceType);
  if (panelType == 0) return StrFormat("тип %u, не поддерживается", unsigned{deviceType});
  return StrFormat("%s (тип %u)", PanelTypeName(panelType).c_str(), unsigned{deviceType});
}

std::vector<std::string> Panel(const ProbeReport& r) {
  const DeviceInfo& v = r.version;
  std::vector<std::string> lines{
      StrFormat("Найден прибор: серийный номер %u, %s, версия %u.%u от %02u/%02u/%04u.", r.serial,
                TypeText(r.deviceType).c_str(), unsigned{v.versionMajor}, unsigned{v.versionMinor},
                unsigned{v.releaseDay}, unsigned{v.releaseMonth}, unsigned{v.releaseYear})};
  if (r.gaz)
    lines.push_back(
        "Прибор отвечает в режиме ГАЗ (1200 бод 8E1): включите \"ГАЗ\" в настройке "
        "(logwick-cli read --gaz).");
  else
    lines.push_back(std::string("Прибор отвечает при ") + kPlainMode + ", режим ГАЗ не нужен.");
  return lines;
}

std::vector<std::string> Incomplete(const ProbeReport& r) {
  static constexpr const char* kSteps[] = {"установку адреса", "запрос типа", "запрос версии"};
  return {
      StrFormat("Прибор %u ответил на поиск при %s, но не на %s: связь неустойчива (помехи, плохой "
                "контакт, слишком длинная линия).",
                r.serial, ModeName(r.gaz), kSteps[static_cast<int>(r.failedStep)])};
}

std::vector<std::string> Verdict(const ProbeReport& r) {
  switch (r.verdict) {
    case ProbeVerdict::kNoDevice:
      return NoDevice(r);
    case ProbeVerdict::kNoPermission:
      return NoPermission(r);
    case ProbeVerdict::kBusy:
      return Busy(r);
    case ProbeVerdict::kCannotOpen:
      return {"Не могу открыть порт: " + r.openError};
    case ProbeVerdict::kEcho:
      return Echo(r);
    case ProbeVerdict::kNoise:
      return {
          "На запросы приходят байты, но это не ответ прибора: помехи на линии, другое устройство "
          "на порту или несколько приборов отвечают разом."};
    case ProbeVerdict::kSilence:
      return {std::string("Прибор не отвечает ни при ") + kPlainMode + ", ни при " + kGazMode + ".",
              "Проверьте питание прибора, кабель и подключение линий (RX и TX, для RS-485 — A и B)."};
    case ProbeVerdict::kPanelIncomplete:
      return Incomplete(r);
    case ProbeVerdict::kPanel:
      return Panel(r);
  }
  return {};
}

std::string ModeLine(const ModeOutcome& m) {
  std::string what;
  if (m.echo) what = "эхо";
  if (m.serial) what += StrFormat("%sответил прибор %u", m.echo ? ", за ним " : "", m.serial);
  if (m.strayBytes)
    AppendFormat(what, "%sпосторонние байты (%u)", what.empty() ? "" : ", ",
                 static_cast<unsigned>(m.strayBytes));
  return std::string(ModeName(m.gaz)) + ": " + (what.empty() ? "нет ответа" : what);
}

// How to keep ModemManager off the adapter: a udev rule for its USB ids, or
// for the device name when they are not known.
std::vector<std::string> ModemManagerNote(const ProbeReport& r) {
  const std::string match = r.hardware.usbVendorId.empty()
                                ? "KERNEL==\"" + r.resolved.substr(r.resolved.rfind('/') + 1) + "\""
                                : "ATTRS{idVendor}==\"" + r.hardware.usbVendorId +
                                      "\", ATTRS{idProduct}==\"" + r.hardware.usbProductId + "\"";
  return {
      "Запущена служба ModemManager: она опрашивает устройства ttyACM и ttyUSB, может занять порт и "
      "посылает в линию свои команды.",
      "Чтобы она не трогала адаптер, добавьте в /etc/udev/rules.d/99-logwick.rules строку",
      "  " + match + ", ENV{ID_MM_DEVICE_IGNORE}=\"1\"",
      "и выполните sudo udevadm control --reload, затем переподключите адаптер; или остановите службу: "
      "sudo systemctl stop ModemManager (disable — насовсем)."};
}

}  // namespace

std::vector<std::string> ProbeReportLines(const ProbeReport& report) {
  std::vector<std::string> lines;
  if (!report.device.empty()) lines.push_back(PortLine(report));
  for (std::string& line : Verdict(report)) lines.push_back(std::move(line));
  for (const ModeOutcome& m : report.modes) lines.push_back(ModeLine(m));
  if (report.modemManager || HeldByModemManager(report))
    for (std::string& line : ModemManagerNote(report)) lines.push_back(std::move(line));
  return lines;
}

}  // namespace logwick
