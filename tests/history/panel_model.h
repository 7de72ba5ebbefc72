// A panel visited over years, for the stitching tests: its true history (every
// event it ever logged), a ring that keeps only the newest `capacity` of them,
// and visits that read the whole ring or only its newest events. Records are
// unique except in bursts: the same record several times within one second.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "events/t7k_event.h"
#include "lists/t7k_event_list.h"
#include "tests/lists/list_samples.h"

namespace logwick::test {

// A read-out in the panel's order, and where it lies in the true history.
struct Visit {
  std::size_t begin = 0, end = 0;
  std::vector<CT7KEvent> events;  // truth[begin, end)
  std::uint32_t clock = 0;        // seconds since the model's start, at the reading
};

// A calendar with 28-day months: monotonic, which is all the stitching needs.
inline std::uint32_t StampOf(std::uint32_t t) {
  return PackTimeStamp(2015 + static_cast<int>(t / (86400u * 28 * 12)),
                       1 + static_cast<int>(t / (86400u * 28) % 12), 1 + static_cast<int>(t / 86400 % 28),
                       static_cast<int>(t / 3600 % 24), static_cast<int>(t / 60 % 60),
                       static_cast<int>(t % 60));
}

class PanelModel {
 public:
  PanelModel(std::uint32_t seed, std::size_t capacity) : m_rng(seed), m_capacity(capacity) {}

  const std::vector<CT7KEvent>& Truth() const { return m_truth; }

  // Logs n more events; a burst may be cut short by a visit and go on after it.
  void Produce(std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
      if (m_burstLeft == 0) NextRecord();
      --m_burstLeft;
      m_truth.push_back(m_record);
    }
  }

  // Everything the ring holds, or only its newest `newest` events.
  Visit Read(std::size_t newest = SIZE_MAX) {
    m_clock += 60;
    const std::size_t held = std::min({m_capacity, m_truth.size(), newest});
    Visit v{m_truth.size() - held, m_truth.size(), {}, m_clock};
    v.events.assign(m_truth.end() - static_cast<std::ptrdiff_t>(held), m_truth.end());
    return v;
  }

  // Years of visits: some after a quiet spell, some after the ring wrapped, the
  // same read-out twice, partial read-outs of the newest blocks.
  std::vector<Visit> VisitOverYears(std::size_t visits) {
    std::vector<Visit> out;
    for (std::size_t i = 0; i < visits; ++i) {
      // Now and then the ring wrapped since the last visit, or nothing is new.
      const std::size_t what = m_rng() % 6, ring = m_capacity;
      Produce(what == 0 ? ring + m_rng() % (ring * 3 / 2) : what == 1 ? 0 : m_rng() % (ring * 3 / 4));
      const bool again = !out.empty() && m_rng() % 10 == 0;  // the same read-out again
      const bool partial = !again && m_rng() % 5 == 0;
      out.push_back(again ? out.back() : Read(partial ? 16 * (1 + m_rng() % (ring / 32)) : SIZE_MAX));
    }
    return out;
  }

  // A visit after each of these numbers of new events.
  std::vector<Visit> VisitsAfter(const std::vector<std::size_t>& produced) {
    std::vector<Visit> out;
    for (std::size_t n : produced) Produce(n), out.push_back(Read());
    return out;
  }

 private:
  void NextRecord() {
    m_clock += 1 + m_rng() % 600;
    m_record = CT7KEvent();
    m_record.SetTimeStamp(StampOf(m_clock));
    m_record.SetCode(static_cast<std::uint16_t>(m_rng() % 24));
    for (std::size_t b = 6; b < CT7KEvent::kSize; ++b)
      m_record.Raw()[b] = static_cast<std::uint8_t>(m_rng() % 4);
    m_burstLeft = m_rng() % 8 == 0 ? 2 + m_rng() % 5 : 1;
  }

  std::mt19937 m_rng;
  std::size_t m_capacity;
  std::vector<CT7KEvent> m_truth;
  CT7KEvent m_record;
  std::size_t m_burstLeft = 0;
  std::uint32_t m_clock = 0;
};

// A read-out as the panel gives it: newest event first, read at the visit.
inline CT7KEventList ReadoutOf(const Visit& v, std::int32_t serial = 4242, std::int32_t type = 1) {
  CT7KEventList l = MakeHeaderList();
  l.m_nPanelType = type;
  l.m_nSerNum = serial;
  const PackedTimeFields t = UnpackTimeStamp(StampOf(v.clock));
  l.m_nReadYear = 2000 + t.year, l.m_nReadMonth = t.month, l.m_nReadDay = t.day;
  l.m_nReadHour = t.hour, l.m_nReadMin = t.minute, l.m_nReadSec = t.second;
  l.m_texts = {"Пожар склад 1", "Тревога цех " + std::to_string(v.clock % 7)};
  for (auto it = v.events.rbegin(); it != v.events.rend(); ++it) l.AddTail(*it);
  return l;
}

}  // namespace logwick::test
