#include "link/readout.h"

#include <cstring>
#include <utility>
#include <vector>

#include "events/codec.h"
#include "events/packed_time.h"
#include "events/strformat.h"

namespace logwick {
namespace {

constexpr unsigned kBaudPlain = 9600;
constexpr unsigned kBaudGaz = 1200;
constexpr std::uint8_t kParityNone = 0;
constexpr std::uint8_t kParityEven = 2;
constexpr std::uint8_t kBusAddress = 1;

// Device type reported by the panel -> panel type of the event list.
struct TypeMapping {
  std::uint8_t deviceType;
  int panelType;
};
constexpr TypeMapping kPanelTypes[] = {
    {3, 1},
    {4, 2},
    {5, 1},
};

std::string TextOf(const MessageText& text) {
  return Cp1251ToUtf8(std::string_view(text.data(), ::strnlen(text.data(), text.size() - 1)));
}

class PortCloser {
 public:
  explicit PortCloser(IPanelPort& port) : m_port(port) {}
  ~PortCloser() { m_port.Close(); }
  PortCloser(const PortCloser&) = delete;
  PortCloser& operator=(const PortCloser&) = delete;

 private:
  IPanelPort& m_port;
};

// One reading, after the port is open. The header and texts gather in
// `m_fresh` until the event step makes it the result's list.
class Reading {
 public:
  Reading(const ReadoutSettings& settings, IPanelPort& port, IReadoutView& view,
          const std::atomic<bool>& cancel)
      : m_settings(settings), m_port(port), m_view(view), m_cancel(cancel) {}

  ReadoutResult Run() && {
    if (!FindSerial()) return std::move(m_result);
    m_fresh.m_nSerNum = static_cast<std::int32_t>(m_result.serial);
    ReadType();
    Guarded(ReadoutStep::DeviceInfo, [&] { return ReadDeviceInfo(m_port, m_device); });
    Guarded(ReadoutStep::ConfigInfo, [&] { return ReadConfigInfo(m_port, m_config); });
    Guarded(ReadoutStep::LogInfo, [&] { return CheckedLogInfo(); });
    if (!StopBefore()) ReadTexts();
    if (!StopBefore()) ReadEvents();
    return std::move(m_result);
  }

 private:
  bool Ended() const { return m_result.status != ReadoutStatus::Ok; }

  void Fail(ReadoutStatus status, LinkStatus link) {
    m_result.status = status;
    m_result.linkStatus = link;
    m_view.Warning(status);
  }

  void Step(ReadoutStep step) { m_view.StepBegan(step, m_result.serial); }

  // False when the reading has ended (the address could not be set).
  bool FindSerial() {
    if (m_settings.autoSerial) {
      Step(ReadoutStep::Search);
      StartSearch(m_port);
      for (;;) {
        if (m_cancel.load()) {
          m_result.status = ReadoutStatus::Cancelled;
          return true;
        }
        m_result.serial = FindPanel(m_port);
        if (m_result.serial != 0) break;
      }
    } else {
      m_result.serial = m_settings.selectedSerial;
    }
    Step(ReadoutStep::Address);
    const LinkStatus rc = SetPanelAddress(m_port, m_result.serial, kBusAddress);
    if (rc != LinkStatus::Ok) {
      m_port.Close();
      Fail(ReadoutStatus::AddressNotSet, rc);
      return false;
    }
    return true;
  }

  void ReadType() {
    if (Ended()) return;
    Step(ReadoutStep::PanelType);
    std::uint8_t type = 0;
    std::uint8_t extra = 0;
    const LinkStatus rc = ReadPanelType(m_port, m_result.serial, type, extra);
    if (rc != LinkStatus::Ok) return Fail(ReadoutStatus::TypeNotAnswered, rc);
    m_fresh.m_nPanelType = PanelTypeOfDevice(type);
    if (m_fresh.m_nPanelType == 0) Fail(ReadoutStatus::TypeUnsupported, LinkStatus::Ok);
  }

  // True when the next step is to be skipped: cancelled, or an earlier step
  // failed.
  bool StopBefore() {
    if (m_cancel.load() && !Ended()) m_result.status = ReadoutStatus::Cancelled;
    return Ended();
  }

  template <class Op>
  void Guarded(ReadoutStep step, Op op) {
    if (StopBefore()) return;
    Step(step);
    const LinkStatus rc = op();
    if (rc != LinkStatus::Ok) Fail(ReadoutStatus::InfoNotRead, rc);
  }

  // A block size of 0 would have the block loop stand still for ever.
  LinkStatus CheckedLogInfo() {
    const LinkStatus rc = ReadLogInfo(m_port, m_log);
    if (rc == LinkStatus::Ok && m_log.blockSize == 0 && m_log.eventCount > 0)
      return LinkStatus::ExchangeFailed;
    return rc;
  }

  void ReadTexts() {
    std::vector<std::string> texts;
    Step(ReadoutStep::Texts);
    m_view.ProgressRange(m_config.textCount);
    MessageText text{};
    for (int i = 0; i < m_config.textCount;) {
      const LinkStatus rc = ReadMessageText(m_port, static_cast<std::uint8_t>(i), text);
      if (rc != LinkStatus::Ok) return Fail(ReadoutStatus::InfoNotRead, rc);
      ++i;
      m_view.ProgressAt(i);
      if (text[0] == '\0') break;
      texts.push_back(TextOf(text));
    }
    m_fresh.m_texts = std::move(texts);
  }

  void FillHeader(const PackedTimeFields& clock) {
    m_fresh.m_nReadSec = clock.second;
    m_fresh.m_nReadMin = clock.minute;
    m_fresh.m_nReadHour = clock.hour;
    m_fresh.m_nReadDay = clock.day;
    m_fresh.m_nReadMonth = clock.month;
    m_fresh.m_nReadYear = clock.year + 2000;
    m_fresh.m_nVerMajor = m_device.versionMajor;
    m_fresh.m_nVerMinor = m_device.versionMinor;
    m_fresh.m_nRelDay = m_device.releaseDay;
    m_fresh.m_nRelMonth = m_device.releaseMonth;
    m_fresh.m_nRelYear = m_device.releaseYear;
    std::memcpy(m_fresh.m_szConfigName.data(), m_config.name.data(), m_config.name.size());
  }

  void ReadEvents() {
    const PackedTimeFields clock = UnpackTimeStamp(m_log.panelClock);
    Step(ReadoutStep::Events);
    m_view.EventsBegan({m_device.versionMajor, m_device.versionMinor, clock, m_log.eventCount});
    FillHeader(clock);
    CT7KEventList& list = m_result.list.emplace(std::move(m_fresh));

    const int n = m_log.eventCount;
    const int j = m_log.ringPosition;
    const int b = m_log.blockSize;
    m_view.ProgressRange(static_cast<std::uint16_t>(n - 1));
    std::vector<std::uint8_t> block(static_cast<std::size_t>(b) * CT7KEvent::kSize);
    list.Reserve(n > b ? static_cast<std::size_t>(n - b) : 0);
    for (int h = b; h < n; h += b) {
      if (StopBefore()) return;
      m_view.ProgressAt(h - 1);
      const int k = h > j ? n - h + j : j - h;
      const LinkStatus rc = ReadEventBlock(m_port, static_cast<std::uint16_t>(k), block.data(),
                                           static_cast<std::uint8_t>(b), &m_cancel);
      if (rc == LinkStatus::Cancelled) {
        m_result.status = ReadoutStatus::Cancelled;
        return;
      }
      if (rc != LinkStatus::Ok) return Fail(ReadoutStatus::EventsNotRead, rc);
      for (int i = 0; i < b; ++i) {
        const CT7KEvent ev(block.data() + static_cast<std::size_t>(b - 1 - i) * CT7KEvent::kSize);
        list.AddTail(ev);
        m_view.EventRead(h, ev);
      }
    }
  }

  const ReadoutSettings& m_settings;
  IPanelPort& m_port;
  IReadoutView& m_view;
  const std::atomic<bool>& m_cancel;

  ReadoutResult m_result;
  CT7KEventList m_fresh;
  DeviceInfo m_device;
  ConfigInfo m_config;
  LogInfo m_log;
};

}  // namespace

int PanelTypeOfDevice(std::uint8_t deviceType) {
  for (const auto& m : kPanelTypes)
    if (m.deviceType == deviceType) return m.panelType;
  return 0;
}

namespace {

// The status line of each step, in the order of ReadoutStep.
constexpr const char* kStepTexts[] = {
    "Открытие порта",
    "Поиск прибора",
    "Установка адреса 1 для %d",
    "Чтение типа прибора",
    "Чтение информации о приборе",
    "Чтение информации о конфигурации",
    "Чтение информации о событиях",
    "Чтение текстов сообщений",
    "Чтение событий",
};

}  // namespace

std::string ReadoutStepText(ReadoutStep step, std::uint32_t serial) {
  const char* text = kStepTexts[static_cast<std::size_t>(step)];
  return step == ReadoutStep::Address ? StrFormat(text, static_cast<int>(serial)) : text;
}

std::string PanelVersionText(const PanelLogSummary& log) {
  const PackedTimeFields& c = log.clock;
  return StrFormat("Прибор v%d.%d, его время %02d/%02d/%02d %02d:%02d:%02d", log.versionMajor,
                   log.versionMinor, c.day, c.month, c.year, c.hour, c.minute, c.second);
}

std::string PanelCountText(const PanelLogSummary& log) {
  return StrFormat("В приборе %d событий", log.eventCount);
}

std::string ReadoutMessage(ReadoutStatus status) {
  switch (status) {
    case ReadoutStatus::Ok:
    case ReadoutStatus::Cancelled:
      return {};
    case ReadoutStatus::PortNotOpened:
      return "Не могу открыть порт";
    case ReadoutStatus::AddressNotSet:
      return "Не удается установить\nадрес";
    case ReadoutStatus::TypeNotAnswered:
      return "Не удается определить\nтип прибора";
    case ReadoutStatus::TypeUnsupported:
      return "Тип прибора не поддерживается";
    case ReadoutStatus::InfoNotRead:
      return "Ошибка при чтении\nинформации";
    case ReadoutStatus::EventsNotRead:
      return "Ошибка при чтении\nсобытий";
  }
  return {};
}

ReadoutResult RunReadout(const ReadoutSettings& settings, IPanelPort& port, IReadoutView& view,
                         const std::atomic<bool>& cancel) {
  view.StepBegan(ReadoutStep::OpenPort, 0);
  const bool gaz = settings.gazMode;
  if (!port.Open(settings.portNumber, gaz ? kBaudGaz : kBaudPlain, gaz ? kParityEven : kParityNone)) {
    view.Warning(ReadoutStatus::PortNotOpened);
    return {.status = ReadoutStatus::PortNotOpened};
  }
  PortCloser closer(port);
  return Reading(settings, port, view, cancel).Run();
}

bool PutReadListInPlace(ReadoutResult&& result, CT7KEventList& list) {
  if (!result.list) return false;
  result.list->m_reserved = list.m_reserved;
  list = std::move(*result.list);
  result.list.reset();
  return true;
}

}  // namespace logwick
