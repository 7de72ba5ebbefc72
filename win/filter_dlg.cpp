#include "win/filter_dlg.h"

#include <commctrl.h>

#include "win/dialog.h"
#include "win/resource_ids.h"

namespace logwick::win {

namespace {

constexpr std::int64_t kEpochInFileTime = 11644473600LL;  // seconds from 1601 to 1970

SYSTEMTIME LocalTimeOf(std::int64_t t) {
  const ULONGLONG ticks = static_cast<ULONGLONG>(t + kEpochInFileTime) * 10000000ULL;
  const FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utc{}, local{};
  FileTimeToSystemTime(&ft, &utc);
  SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
  return local;
}

std::int64_t TimeOf(const SYSTEMTIME& local) {
  SYSTEMTIME utc{};
  FILETIME ft{};
  TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
  SystemTimeToFileTime(&utc, &ft);
  const ULONGLONG ticks = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<std::int64_t>(ticks / 10000000ULL) - kEpochInFileTime;
}

class FilterDlg : public Dialog {
 public:
  FilterDlg(CT7KEvFilter& filter, NumberCheck check) : m_filter(filter), m_check(std::move(check)) {}

 private:
  // The check boxes and the filter's flags they show, in exchange order.
  static constexpr struct {
    int id;
    std::int32_t CT7KEvFilter::*flag;
  } kChecks[] = {
      {IDC_DEVICES, &CT7KEvFilter::m_bDevices}, {IDC_MESSAGES, &CT7KEvFilter::m_bMessages},
      {IDC_MODES, &CT7KEvFilter::m_bModes},     {IDC_BEAMS, &CT7KEvFilter::m_bBeams},
      {IDC_SLAVES, &CT7KEvFilter::m_bSlaves},   {IDC_UNITS, &CT7KEvFilter::m_bUnits},
      {IDC_PERIOD, &CT7KEvFilter::m_bPeriod},
  };
  static constexpr struct {
    int id;
    std::uint32_t CT7KEvFilter::*number;
  } kNumbers[] = {
      {IDC_FIRST_BEAM, &CT7KEvFilter::m_nFirstBeam},
      {IDC_LAST_BEAM, &CT7KEvFilter::m_nLastBeam},
      {IDC_FIRST_DEVICE, &CT7KEvFilter::m_nFirstDev},
      {IDC_LAST_DEVICE, &CT7KEvFilter::m_nLastDev},
  };
  static constexpr struct {
    int id;
    std::int64_t CT7KEvFilter::*time;
  } kDates[] = {{IDC_DATE_FROM, &CT7KEvFilter::m_timeFrom}, {IDC_DATE_TO, &CT7KEvFilter::m_timeTo}};

  void OnInit() override {
    for (const auto& d : kDates) {
      SYSTEMTIME st = LocalTimeOf(m_filter.*d.time);
      SendMessageW(Item(d.id), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
    }
    for (const auto& n : kNumbers) SetDlgItemInt(m_window, n.id, m_filter.*n.number, FALSE);
    for (const auto& c : kChecks) Check(c.id, m_filter.*c.flag != 0);
    UpdateBeamControls();
    UpdatePeriodControls();
  }

  // Controls to the filter; stops at the first number refused.
  bool ReadBack() {
    for (const auto& d : kDates) {
      // A picker holds a date; the time of day of the old value stays.
      SYSTEMTIME picked{};
      SendMessageW(Item(d.id), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&picked));
      SYSTEMTIME t = LocalTimeOf(m_filter.*d.time);
      t.wYear = picked.wYear;
      t.wMonth = picked.wMonth;
      t.wDay = picked.wDay;
      m_filter.*d.time = TimeOf(t);
    }
    for (const auto& n : kNumbers) {
      const std::optional<std::uint32_t> v = m_check(m_window, Text(n.id));
      if (!v) {
        SetFocus(Item(n.id));
        SendMessageW(Item(n.id), EM_SETSEL, 0, -1);
        return false;
      }
      m_filter.*n.number = *v;
    }
    for (const auto& c : kChecks) m_filter.*c.flag = Checked(c.id);
    return true;
  }

  void UpdateBeamControls() {
    const bool on = IsDlgButtonChecked(m_window, IDC_BEAMS) != BST_UNCHECKED;
    Enable(IDC_FIRST_BEAM, on);
    Enable(IDC_LAST_BEAM, on);
  }

  void UpdatePeriodControls() {
    Enable(IDC_DATE_FROM, m_filter.m_bPeriod != 0);
    Enable(IDC_DATE_TO, m_filter.m_bPeriod != 0);
  }

  bool OnCommand(WORD id, WORD code) override {
    if (id == IDC_BEAMS && code == BN_CLICKED) UpdateBeamControls();
    if (id == IDC_PERIOD && code == BN_CLICKED) {
      ReadBack();
      UpdatePeriodControls();
    }
    if (id == IDOK) {
      if (ReadBack()) EndDialog(m_window, IDOK);
      return true;
    }
    return false;
  }

  CT7KEvFilter& m_filter;
  NumberCheck m_check;
};

}  // namespace

bool RunFilterDialog(HWND owner, CT7KEvFilter& filter, NumberCheck check) {
  CT7KEvFilter copy = filter;
  FilterDlg dlg(copy, std::move(check));
  if (dlg.RunModal(owner, IDD_FILTER) != IDOK) return false;
  filter = copy;
  return true;
}

}  // namespace logwick::win
