// Moments as UTC text, the same on every system and in every time zone:
// the audit log's lines and file names, the simulator's log.
#pragma once

#include <ctime>
#include <string>

// `time` broken down in UTC and written by strftime's `format`;
// "unknown-time" when the system cannot break it down or the text is empty
// (so for the other two as well).
std::string FormatUtc(std::time_t time, const char* format);

// ISO 8601 to the second: 2026-05-04T13:07:09Z.
std::string UtcTimestamp(std::time_t time);

// The same to the microsecond: 2026-05-04T13:07:09.000250Z.
std::string UtcTimestampMicroseconds(std::time_t seconds, long microseconds);
