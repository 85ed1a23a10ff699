#include "console/update/UpdateSchedule.h"

bool UpdateCheckDue(int year, int month, int day, std::time_t now) {
  if (year < 1900 || month < 1 || month > 12 || day < 1 || day > 31) return true;
  std::tm midnight{};
  midnight.tm_year = year - 1900;
  midnight.tm_mon = month - 1;
  midnight.tm_mday = day;
  midnight.tm_isdst = -1;
  const std::time_t last = std::mktime(&midnight);
  if (last == static_cast<std::time_t>(-1)) return true;
  return std::difftime(now, last) >= 86400.0;
}
