// Panel visits for the archive window's tests.
#pragma once

#include <string>

#include "events/codec.h"
#include "tests/lists/list_samples.h"

namespace apptest {

// Ten December days of panel `serial` (configuration `config`), moved by
// `shift` days, as read on the day after the last one: two visits 15 days
// apart leave a gap between them.
inline CT7KEventList Visit(std::int32_t serial, const char* config, int shift) {
  CT7KEventList l = logwick::test::MakeHeaderList();
  l.m_nSerNum = serial;
  const std::string name = logwick::Utf8ToCp1251(config);
  l.SetConfigNameBytes(name.data(), name.size());
  l.m_texts = {"Пожар", "Тревога"};
  l.m_nReadDay = 11 + shift;
  for (int day = 10; day >= 1; --day)  // newest first, as read
    l.AddTail(logwick::test::MakeEvent(PackTimeStamp(2015, 12, day + shift, 9, 0, 0), 1, {1}));
  return l;
}

}  // namespace apptest
