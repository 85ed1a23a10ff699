// When the automatic update check is due.
#pragma once

#include <ctime>

class ISettings;

// True when at least one whole day has passed since midnight of the stored date.
// A stored date that is no calendar date counts as long past.
bool UpdateCheckDue(int year, int month, int day, std::time_t now);

// The daily rule at start-up: when the check is due and "AutoUpdate" allows it,
// stores today's date first (a failing check still counts as the day's) and
// returns true; otherwise changes nothing.
bool TakeDailyUpdateCheck(ISettings& settings, std::time_t now);
