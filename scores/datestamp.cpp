// datestamp.cpp — the date stamp of a score record: the calendar fields packed
// as if every month had 31 days, so it orders records but has gaps; and its
// date and time texts for the score display.
#include "media/media.h"
#include "scores/scores.h"

namespace {

constexpr int64_t kYear = 32140800;  // 12 * 31 * 86400
constexpr int64_t kMonth = 2678400;  // 31 * 86400
constexpr int64_t kDay = 86400;

int64_t Number(const std::string& text, int pos, int len) { return SafeAbs(ToInt(Mid(text, pos, len))); }

}  // namespace

int64_t DateStampOf(const std::string& date, const std::string& time) {
  static const char* const kMonths[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  const std::string d = Upper(date);
  const int64_t year = Number(d, 8, 4), day = Number(d, 1, 2);
  int64_t month = 0;
  const std::string name = Mid(d, 4, 3);
  for (int m = 0; m < 12 && month == 0; ++m)
    if (name == kMonths[m]) month = m + 1;
  const int64_t hour = Number(time, 1, 2), minute = Number(time, 4, 2), second = Number(time, 7, 2);
  // At most about 7e16 (year up to 2^31): no overflow.
  return year * kYear + month * kMonth + day * kDay + hour * 3600 + minute * 60 + second;
}

int64_t DateStamp() {
  // Date and time are read one after the other; around midnight they could
  // come from different days and stamp a record a day early. Read the time
  // between two equal dates.
  std::string date = CurrentDate(), time;
  for (int tries = 0; tries < 3; ++tries) {
    time = CurrentTime();
    const std::string again = CurrentDate();
    if (again == date) break;
    date = again;
  }
  return DateStampOf(date, time);
}

std::string TimeText(int64_t stamp) {
  if (stamp < 0) stamp = 0;  // only a damaged file holds one
  const int64_t second = stamp % 60, minute = (stamp / 60) % 60, hour = (stamp / 3600) % 24;
  return ZeroPad(hour, 2) + ":" + ZeroPad(minute, 2) + ":" + ZeroPad(second, 2);
}

std::string DateText(int64_t stamp) {
  // No calendar date packs below one day; such a stamp comes from a damaged file.
  if (stamp < kDay) return "00-00-0000";
  const int64_t days = stamp / kDay;  // (year * 12 + month) * 31 + day
  const int64_t day = (days - 1) % 31 + 1;
  const int64_t r = (days - day) / 31;
  const int64_t month = (r - 1) % 12 + 1;  // 0 when r is 0, as the truncating rule gives
  const int64_t year = (r - month) / 12;
  return ZeroPad(day, 2) + "-" + ZeroPad(month, 2) + "-" + ZeroPad(year, 4);
}
