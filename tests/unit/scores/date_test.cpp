// The date stamp packed from the media layer's date and time texts, and its
// date and time texts back.
#include <climits>
#include <cstdint>
#include <iterator>

#include "tests/unit/support.h"

using namespace support;

namespace {

struct Moment {
  const char* date;
  const char* time;
  int64_t stamp;
  const char* dateText;
  const char* timeText;
};

TEST(DateStamp, PacksCalendarFieldsAndShowsThemBack) {
  const Moment moments[] = {
      {"06 Dec 2026", "15:12:09", 65149974729, "06-12-2026", "15:12:09"},
      {"31 Jan 2026", "23:59:59", 65122703999, "31-01-2026", "23:59:59"},
      {"31 Dec 2026", "00:00:00", 65152080000, "31-12-2026", "00:00:00"},
      {"01 Jan 0001", "00:00:01", 32140800 + 2678400 + 86400 + 1, "01-01-0001", "00:00:01"},
      {"15 Jun 12345", "12:00:00", 1234LL * 32140800 + 6 * 2678400 + 15 * 86400 + 43200, "15-06-1234",
       "12:00:00"},  // only characters 8 to 11 hold the year
  };
  for (const Moment& m : moments) {
    SCOPED_TRACE(m.date);
    const int64_t stamp = DateStampOf(m.date, m.time);
    EXPECT_EQ(stamp, m.stamp);
    EXPECT_EQ(DateText(stamp), m.dateText);
    EXPECT_EQ(TimeText(stamp), m.timeText);
  }
  // Month names in any case; an unknown one counts as month 0.
  EXPECT_EQ(DateStampOf("06 dec 2026", "15:12:09"), 65149974729);
  EXPECT_EQ(DateStampOf("06 Dez 2026", "15:12:09"), 65149974729 - 12 * 2678400);
  // Damaged texts read as far as they go.
  EXPECT_EQ(DateStampOf("", ""), 0);
  EXPECT_EQ(DateStampOf("-6 Jan -026", "-1:x:05"), 26LL * 32140800 + 2678400 + 6 * 86400 + 3600 + 5);
}

TEST(DateStamp, LaterMomentsGiveLargerStamps) {
  const char* const moments[][2] = {
      {"28 Feb 2026", "23:59:59"}, {"01 Mar 2026", "00:00:00"}, {"30 Apr 2026", "12:00:00"},
      {"01 May 2026", "00:00:00"}, {"31 Dec 2026", "23:59:59"}, {"01 Jan 2027", "00:00:00"},
  };
  for (size_t i = 1; i < std::size(moments); i++)
    EXPECT_LT(DateStampOf(moments[i - 1][0], moments[i - 1][1]), DateStampOf(moments[i][0], moments[i][1])) << i;
}

TEST(DateStamp, DamagedStampsStillGiveTexts) {
  EXPECT_EQ(TimeText(0), "00:00:00");
  EXPECT_EQ(DateText(0), "00-00-0000");
  EXPECT_EQ(DateText(86399), "00-00-0000");
  EXPECT_EQ(TimeText(-5), "00:00:00");
  EXPECT_EQ(DateText(INT64_MIN), "00-00-0000");
  EXPECT_EQ(DateText(86400), "01-00-0000");  // day 1 of no month
  EXPECT_EQ(TimeText(INT64_MAX), "15:30:07");
  EXPECT_EQ(DateText(INT64_MAX).size(), 10u);
  EXPECT_EQ(DateText(10000LL * 32140800 + 3 * 2678400 + 4 * 86400), "04-03-0000");  // last four digits of the year
}

TEST(DateStamp, NowComesFromTheMediaLayersDateAndTime) {
  UseHeadlessBackend();
  const std::string date = CurrentDate();
  const int64_t stamp = DateStamp();
  const int64_t after = DateStampOf(CurrentDate(), CurrentTime());
  EXPECT_LE(stamp, after);
  EXPECT_GT(stamp, after - 5);
  // The date text shows today in dd-mm-yyyy.
  const std::string text = DateText(stamp);
  EXPECT_EQ(text.substr(0, 2), date.substr(0, 2));
  EXPECT_EQ(text.substr(6), date.substr(7, 4));
}

}  // namespace
