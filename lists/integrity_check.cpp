#include "lists/integrity_check.h"

#include "lists/stamp_calendar.h"

namespace logwick {
namespace {

constexpr std::uint16_t kReadErrorCode = 32766;
constexpr std::uint16_t kNoInformationCode = 32767;
constexpr std::int64_t kSecondsPerDay = 86400;

struct FindingText {
  std::string_view name, title;
};

constexpr std::array<FindingText, 7> kTexts = {{
    {"time-backwards", "время идёт назад"},
    {"future", "время позже считывания"},
    {"bad-date", "неверная дата"},
    {"gap", "перерыв в журнале"},
    {"unknown-code", "неизвестный код события"},
    {"read-error", "ошибка чтения данных"},
    {"no-information", "нет информации"},
}};

// The codes the decoder knows: 1-13, 20-23, 32766 and 32767.
bool IsValidCode(std::uint16_t code) {
  return (code >= 1 && code <= 13) || (code >= 20 && code <= 23) || code == kReadErrorCode ||
         code == kNoInformationCode;
}

}  // namespace

std::string_view FindingName(FindingKind kind) { return kTexts[static_cast<std::size_t>(kind)].name; }
std::string_view FindingTitle(FindingKind kind) { return kTexts[static_cast<std::size_t>(kind)].title; }

IntegrityChecker::Fields IntegrityChecker::FieldsOfStamp(std::uint32_t stamp) {
  const PackedTimeFields f = UnpackTimeStamp(stamp);
  return {2000 + f.year, f.month, f.day, f.hour, f.minute, f.second};
}

IntegrityChecker::IntegrityChecker(const CT7KEventList& l, IntegrityOptions options)
    : m_gapSeconds(options.gapDays * kSecondsPerDay) {
  const Fields read = {l.m_nReadYear, l.m_nReadMonth, l.m_nReadDay,
                       l.m_nReadHour, l.m_nReadMin,   l.m_nReadSec};
  if (read != Fields{}) m_readTime = read;
}

void IntegrityChecker::Add(const CT7KEvent& ev) {
  if (m_pending) CheckRow(*m_pending, &ev);
  m_pending = ev;
}

std::vector<Finding> IntegrityChecker::Finish() {
  if (m_pending) CheckRow(*m_pending, nullptr);
  m_pending.reset();
  return std::move(m_findings);
}

void IntegrityChecker::CheckRow(const CT7KEvent& ev, const CT7KEvent* next) {
  const std::uint32_t stamp = ev.TimeStamp();
  const std::size_t row = m_row++;
  auto find = [&](FindingKind kind) { m_findings.push_back({row, kind, stamp}); };

  const bool good = HasGoodDate(stamp);
  const bool backwards = next && stamp < next->TimeStamp();
  if (backwards) find(FindingKind::TimeBackwards);
  if (good && m_readTime && FieldsOfStamp(stamp) > *m_readTime) find(FindingKind::Future);
  if (!good) find(FindingKind::BadDate);
  if (next && good && !backwards && HasGoodDate(next->TimeStamp()) &&
      CalendarSeconds(stamp) - CalendarSeconds(next->TimeStamp()) > m_gapSeconds)
    find(FindingKind::Gap);
  const std::uint16_t code = ev.Code();
  if (!IsValidCode(code)) find(FindingKind::UnknownCode);
  if (code == kReadErrorCode) find(FindingKind::ReadError);
  if (code == kNoInformationCode) find(FindingKind::NoInformation);
}

std::vector<Finding> CheckIntegrity(const CT7KEventList& list, const EventPredicate& admit,
                                    IntegrityOptions options) {
  IntegrityChecker checker(list, options);
  for (const CT7KEvent& ev : list)
    if (!admit || admit(ev)) checker.Add(ev);
  return checker.Finish();
}

}  // namespace logwick
