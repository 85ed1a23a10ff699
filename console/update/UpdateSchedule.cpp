#include "console/update/UpdateSchedule.h"

#include "console/session/SessionViews.h"

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

bool TakeDailyUpdateCheck(ISettings& settings, std::time_t now) {
  const int year = settings.GetInt("General", "LastUpdateYear", 1980);
  const int month = settings.GetInt("General", "LastUpdateMonth", 1);
  const int day = settings.GetInt("General", "LastUpdateDay", 1);
  if (!UpdateCheckDue(year, month, day, now) || settings.GetInt("General", "AutoUpdate", 1) == 0)
    return false;
  std::tm today{};
  localtime_r(&now, &today);
  settings.SetInt("General", "LastUpdateYear", today.tm_year + 1900);
  settings.SetInt("General", "LastUpdateMonth", today.tm_mon + 1);
  settings.SetInt("General", "LastUpdateDay", today.tm_mday);
  return true;
}
