#include "console/update/UpdateSchedule.h"

#include <gtest/gtest.h>

namespace {

std::time_t LocalTime(int year, int month, int day, int hour) {
  std::tm when{};
  when.tm_year = year - 1900;
  when.tm_mon = month - 1;
  when.tm_mday = day;
  when.tm_hour = hour;
  when.tm_isdst = -1;
  return std::mktime(&when);
}

TEST(UpdateSchedule, DueOnceAWholeDayHasPassedSinceTheStoredMidnight) {
  EXPECT_FALSE(UpdateCheckDue(2026, 12, 7, LocalTime(2026, 12, 7, 23)));
  EXPECT_TRUE(UpdateCheckDue(2026, 12, 6, LocalTime(2026, 12, 7, 1)));
  EXPECT_TRUE(UpdateCheckDue(1980, 1, 1, LocalTime(2026, 12, 7, 12)));
  EXPECT_FALSE(UpdateCheckDue(2027, 1, 1, LocalTime(2026, 12, 7, 12)));
}

TEST(UpdateSchedule, DatesThatAreNoDatesCountAsLongPast) {
  const std::time_t now = LocalTime(2026, 12, 7, 12);
  EXPECT_TRUE(UpdateCheckDue(1899, 5, 5, now));
  EXPECT_TRUE(UpdateCheckDue(2026, 13, 1, now));
  EXPECT_TRUE(UpdateCheckDue(2026, 0, 1, now));
  EXPECT_TRUE(UpdateCheckDue(2026, 12, 32, now));
  EXPECT_TRUE(UpdateCheckDue(2026, 12, 0, now));
}

}  // namespace
