// When the automatic update check is due.
#pragma once

#include <ctime>

// True when at least one whole day has passed since midnight of the stored date.
// A stored date that is no calendar date counts as long past.
bool UpdateCheckDue(int year, int month, int day, std::time_t now);
