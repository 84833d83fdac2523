#pragma once
// The size and time-stamp criteria of the file search. With their defaults every entry
// passes both.

#include <windows.h>

#include <cstdint>

#include "tools/find_file_types.h"

namespace kestrova {

// Byte bounds, 0 meaning none. 64-bit, so files of 4 GB and more are bounded by their real
// size.
struct SizeCriteria {
    uint64_t min = 0;
    uint64_t max = 0;

    bool Matches(uint64_t size) const;
};

// A point in time as days since 30 December 1899, the time of day as the fraction.
using DateTimeValue = double;

// The date-time value of a file time, taken as it is (no time-zone change).
DateTimeValue DateTimeValueOf(const FILETIME& time);
// The date-time value of a UTC file time in local time.
DateTimeValue LocalDateTimeValueOf(const FILETIME& utc);
// The date-time value of a calendar date and time of day.
DateTimeValue DateTimeValueOf(int year, int month, int day, int hour = 0, int minute = 0,
                              int second = 0);

// Six bounds, 0 meaning none. A bound without fraction compares whole days only, one without
// whole days the time of day only.
struct DateTimeCriteria {
    DateTimeValue createdBefore = 0;
    DateTimeValue createdAfter = 0;
    DateTimeValue modifiedBefore = 0;
    DateTimeValue modifiedAfter = 0;
    DateTimeValue accessedBefore = 0;
    DateTimeValue accessedAfter = 0;

    // Creation, last write and last access, in that order, each in local time.
    bool Matches(const FoundFile& entry) const;
};

}  // namespace kestrova
