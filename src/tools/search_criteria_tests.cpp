#include "tools/search_criteria_tests.h"

#include <cmath>

namespace kestrova {

namespace {

constexpr uint64_t kTicksPerDay = 864000000000;  // 100 ns steps
// Days from 1 January 1601, where file times start, to 30 December 1899.
constexpr double kDaysTo1899 = 109205.0;

enum class Bound { Before, After };

// One bound B against value V: whole days when B has none of a fraction, the time of day when B
// has no whole days, the full value otherwise.
bool WithinBound(DateTimeValue value, DateTimeValue bound, Bound kind) {
    double compared = value;
    const double boundDays = std::trunc(bound);
    if (bound - boundDays == 0) {
        compared = std::trunc(value);
    } else if (boundDays == 0) {
        compared = value - std::trunc(value);
    }
    return kind == Bound::Before ? compared <= bound : compared >= bound;
}

bool PairMatches(const FILETIME& utc, DateTimeValue before, DateTimeValue after) {
    if (before == 0 && after == 0) {
        return true;
    }
    const DateTimeValue value = LocalDateTimeValueOf(utc);
    return (before == 0 || WithinBound(value, before, Bound::Before)) &&
           (after == 0 || WithinBound(value, after, Bound::After));
}

}  // namespace

bool SizeCriteria::Matches(uint64_t size) const {
    return (min == 0 || size >= min) && (max == 0 || size <= max);
}

DateTimeValue DateTimeValueOf(const FILETIME& time) {
    const uint64_t ticks = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    // Whole days apart from the time of day, so a midnight stays a whole number.
    return static_cast<double>(ticks / kTicksPerDay) - kDaysTo1899 +
           static_cast<double>(ticks % kTicksPerDay) / static_cast<double>(kTicksPerDay);
}

DateTimeValue LocalDateTimeValueOf(const FILETIME& utc) {
    FILETIME local = {};
    FileTimeToLocalFileTime(&utc, &local);
    return DateTimeValueOf(local);
}

DateTimeValue DateTimeValueOf(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME system = {};
    system.wYear = static_cast<WORD>(year);
    system.wMonth = static_cast<WORD>(month);
    system.wDay = static_cast<WORD>(day);
    system.wHour = static_cast<WORD>(hour);
    system.wMinute = static_cast<WORD>(minute);
    system.wSecond = static_cast<WORD>(second);
    FILETIME time = {};
    if (!SystemTimeToFileTime(&system, &time)) {
        return 0;
    }
    return DateTimeValueOf(time);
}

bool DateTimeCriteria::Matches(const FoundFile& entry) const {
    return PairMatches(entry.creationTime, createdBefore, createdAfter) &&
           PairMatches(entry.lastWriteTime, modifiedBefore, modifiedAfter) &&
           PairMatches(entry.lastAccessTime, accessedBefore, accessedAfter);
}

}  // namespace kestrova
