#include "link/readout.h"

#include <cstring>
#include <utility>
#include <vector>

#include "events/codec.h"
#include "events/strformat.h"
#include "link/protocol.h"

namespace logwick {
namespace {

constexpr unsigned kBaudPlain = 9600;
constexpr unsigned kBaudGaz = 1200;
constexpr std::uint8_t kParityNone = 0;
constexpr std::uint8_t kParityEven = 2;
constexpr std::uint8_t kBusAddress = 1;

constexpr const char* kMsgCannotOpen = "Не могу открыть порт";
constexpr const char* kMsgAddress = "Не удается установить\nадрес";
constexpr const char* kMsgType = "Не удается определить\nтип прибора";
constexpr const char* kMsgTypeUnsupported = "Тип прибора не поддерживается";
constexpr const char* kMsgInfo = "Ошибка при чтении\nинформации";
constexpr const char* kMsgEvents = "Ошибка при чтении\nсобытий";

// Device type reported by the panel -> panel type of the event list.
struct TypeMapping {
  std::uint8_t deviceType;
  int panelType;
};
constexpr TypeMapping kPanelTypes[] = {{3, 1}, {4, 2}, {5, 1}};

// The panel clock fields: second, minute, hour, day, month, year - 2000.
struct Clock {
  int sec, min, hour, day, month, year;
};

Clock Unpack(std::uint32_t t) {
  return {static_cast<int>(t & 0x3F),         static_cast<int>((t >> 6) & 0x3F),
          static_cast<int>((t >> 12) & 0x1F), static_cast<int>((t >> 17) & 0x1F),
          static_cast<int>((t >> 22) & 0x0F), static_cast<int>(t >> 26)};
}

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

// One reading, after the port is open. Results accumulate in `fresh` until
// the event step hands it over to the caller's list.
class Reading {
 public:
  Reading(const ReadoutParams& params, IPanelPort& port, IReadoutView& view, const std::atomic<bool>& cancel,
          CT7KEventList& list, std::uint32_t& currentSerial, bool* listReplaced)
      : m_params(params),
        m_port(port),
        m_view(view),
        m_cancel(cancel),
        m_list(list),
        m_serial(currentSerial),
        m_listReplaced(listReplaced) {}

  int Run() {
    if (!FindSerial()) return kReadoutStopped;
    m_fresh.m_nSerNum = static_cast<std::int32_t>(m_serial);
    ReadType();
    Guarded("Чтение информации о приборе", [&] { return ReadDeviceInfo(m_port, m_device); });
    Guarded("Чтение информации о конфигурации", [&] { return ReadConfigInfo(m_port, m_config); });
    Guarded("Чтение информации о событиях", [&] { return CheckedLogInfo(); });
    if (!StopBefore()) ReadTexts();
    if (!StopBefore()) ReadEvents();
    return m_result;
  }

 private:
  // False when the reading has ended (the address could not be set).
  bool FindSerial() {
    if (m_params.autoSerial) {
      m_view.SetStatus("Поиск прибора");
      StartSearch(m_port);
      for (;;) {
        if (m_cancel.load()) {
          m_result = kReadoutStopped;
          return true;
        }
        m_serial = FindPanel(m_port);
        if (m_serial != 0) break;
      }
    } else {
      m_serial = m_params.selectedSerial;
    }
    m_view.SetStatus(StrFormat("Установка адреса 1 для %d", static_cast<int>(m_serial)));
    if (SetPanelAddress(m_port, m_serial, kBusAddress) != kLinkOk) {
      m_port.Close();
      m_view.ShowWarning(kMsgAddress);
      return false;
    }
    return true;
  }

  void ReadType() {
    if (m_result != kReadoutOk) return;
    m_view.SetStatus("Чтение типа прибора");
    std::uint8_t type = 0, extra = 0;
    if (ReadPanelType(m_port, m_serial, type, extra) != kLinkOk) {
      m_result = kReadoutStopped;
      m_view.ShowWarning(kMsgType);
      return;
    }
    m_fresh.m_nPanelType = PanelTypeOfDevice(type);
    if (m_fresh.m_nPanelType == 0) {
      m_view.ShowWarning(kMsgTypeUnsupported);
      m_result = kReadoutStopped;
    }
  }

  // True when the next step is to be skipped: cancelled (result 11) or an
  // earlier step failed.
  bool StopBefore() {
    if (m_cancel.load()) m_result = kReadoutStopped;
    return m_result != kReadoutOk;
  }

  template <class Op>
  void Guarded(const char* status, Op op) {
    if (StopBefore()) return;
    m_view.SetStatus(status);
    m_result = op();
    if (m_result != kReadoutOk) m_view.ShowWarning(kMsgInfo);
  }

  // A block size of 0 would have the block loop stand still for ever.
  int CheckedLogInfo() {
    const int rc = ReadLogInfo(m_port, m_log);
    if (rc == kLinkOk && m_log.blockSize == 0 && m_log.eventCount > 0) return kLinkExchangeFailed;
    return rc;
  }

  void ReadTexts() {
    std::vector<std::string> texts;
    m_view.SetStatus("Чтение текстов сообщений");
    m_view.SetProgressRange(0, m_config.textCount);
    MessageText text{};
    for (int i = 0; i < m_config.textCount;) {
      const int rc = ReadMessageText(m_port, static_cast<std::uint8_t>(i), text);
      if (rc != kLinkOk) {
        m_view.ShowWarning(kMsgInfo);
        m_result = rc;
        return;
      }
      ++i;
      m_view.SetProgressPos(i);
      if (text[0] == '\0') break;
      texts.push_back(TextOf(text));
    }
    m_fresh.m_texts = std::move(texts);
  }

  void FillHeader() {
    const Clock c = Unpack(m_log.panelClock);
    m_fresh.m_nReadSec = c.sec;
    m_fresh.m_nReadMin = c.min;
    m_fresh.m_nReadHour = c.hour;
    m_fresh.m_nReadDay = c.day;
    m_fresh.m_nReadMonth = c.month;
    m_fresh.m_nReadYear = c.year + 2000;
    m_fresh.m_nVerMajor = m_device.versionMajor;
    m_fresh.m_nVerMinor = m_device.versionMinor;
    m_fresh.m_nRelDay = m_device.releaseDay;
    m_fresh.m_nRelMonth = m_device.releaseMonth;
    m_fresh.m_nRelYear = m_device.releaseYear;
    std::memcpy(m_fresh.m_szConfigName.data(), m_config.name.data(), m_config.name.size());
    // The reserved block belongs to no reading: it stays what the list held.
    m_fresh.m_reserved = m_list.m_reserved;
  }

  void ReadEvents() {
    const Clock c = Unpack(m_log.panelClock);
    m_view.SetStatus("Чтение событий");
    m_view.SetVersionLine(StrFormat("Прибор v%d.%d, его время %02d/%02d/%02d %02d:%02d:%02d",
                                    m_device.versionMajor, m_device.versionMinor, c.day, c.month, c.year,
                                    c.hour, c.min, c.sec));
    m_view.SetCountLine(StrFormat("В приборе %d событий", m_log.eventCount));
    m_view.ShowReadingLabel();
    FillHeader();
    m_list = std::move(m_fresh);
    m_list.RemoveAll();
    if (m_listReplaced) *m_listReplaced = true;
    m_view.SetButtonText("Остановить");

    const int n = m_log.eventCount;
    const int j = m_log.ringPosition;
    const int b = m_log.blockSize;
    m_view.SetProgressRange(0, static_cast<std::uint16_t>(n - 1));
    std::vector<std::uint8_t> block(static_cast<std::size_t>(b) * CT7KEvent::kSize);
    m_list.Reserve(n > b ? static_cast<std::size_t>(n - b) : 0);
    for (int h = b; h < n; h += b) {
      if (m_cancel.load()) {
        m_result = kReadoutStopped;
        return;
      }
      m_view.SetProgressPos(h - 1);
      const int k = h > j ? n - h + j : j - h;
      const int rc = ReadEventBlock(m_port, static_cast<std::uint16_t>(k), block.data(),
                                    static_cast<std::uint8_t>(b), &m_cancel);
      if (rc == kLinkCancelled) {
        m_result = kReadoutStopped;
        return;
      }
      if (rc != kLinkOk) {
        m_view.ShowWarning(kMsgEvents);
        m_result = rc;
        return;
      }
      for (int i = 0; i < b; ++i) {
        const CT7KEvent ev(block.data() + static_cast<std::size_t>(b - 1 - i) * CT7KEvent::kSize);
        m_list.AddTail(ev);
        m_view.SetEventLine(StrFormat("%4d от %s", h, ev.GetTimeText().c_str()));
      }
    }
  }

  const ReadoutParams& m_params;
  IPanelPort& m_port;
  IReadoutView& m_view;
  const std::atomic<bool>& m_cancel;
  CT7KEventList& m_list;
  std::uint32_t& m_serial;
  bool* m_listReplaced;

  int m_result = kReadoutOk;
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

int RunReadout(const ReadoutParams& params, IPanelPort& port, IReadoutView& view,
               const std::atomic<bool>& cancel, CT7KEventList& list, std::uint32_t& currentSerial,
               bool* listReplaced) {
  if (listReplaced) *listReplaced = false;
  view.SetStatus("Открытие порта");
  const bool gaz = params.gazMode;
  if (!port.Open(params.portNumber, gaz ? kBaudGaz : kBaudPlain, gaz ? kParityEven : kParityNone)) {
    view.ShowWarning(kMsgCannotOpen);
    return kReadoutStopped;
  }
  PortCloser closer(port);
  return Reading(params, port, view, cancel, list, currentSerial, listReplaced).Run();
}

}  // namespace logwick
