#pragma once
// Text and dates of the survey archive: case folding for the filter box, the next section's
// name, calendar dates and UTC times, JSON strings.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ws {

// Lower case for Latin and Cyrillic letters (Ё included) in UTF-8; other bytes unchanged.
// The filter box must find "Трубопровод" when "труб" is typed, without a locale library.
std::string FoldCase(std::string_view utf8);

// The words of a filter text, folded; blanks separate words.
std::vector<std::string> FilterWords(std::string_view text);

// True when every word occurs in at least one of the fields (already folded or not: they are
// folded here).
bool MatchesWords(const std::vector<std::string>& words,
                  const std::vector<std::string_view>& fields);

// The section after `section`: its last number one higher, keeping leading zeros ("Участок 3"
// gives "Участок 4", "L09" gives "L10"); a name without a number gets " 2"; empty stays empty.
std::string NextSection(std::string_view section);

// Seconds since 1970-01-01 UTC as "YYYY-MM-DDTHH:MM:SSZ".
std::string FormatUtcIso(int64_t utc);
// The same as "YYYYMMDD-HHMMSS", for file names.
std::string FormatUtcCompact(int64_t utc);
// The calendar date of a moment in the machine's time zone, "YYYY-MM-DD".
std::string LocalDateOf(int64_t utc);
// The same moment as local "DD.MM.YYYY HH:MM", for the command line's table.
std::string LocalDateTimeOf(int64_t utc);

// A real calendar date written "YYYY-MM-DD" (the year 1900..2999), or nothing.
std::optional<std::string> ParseIsoDate(std::string_view text);
// Midnight UTC at the start of a valid "YYYY-MM-DD" date.
std::optional<int64_t> UtcOfDate(std::string_view isoDate);

// A thickness typed by the user: "12.5", "12,5" (the decimal comma of a Russian keyboard),
// blanks around. Empty text is "not given" (true, value empty); anything else that is not a
// plain positive number gives false.
bool ParseMillimetres(std::string_view text, std::optional<double>& value);

// A JSON string literal, quotes included; control characters escaped.
std::string JsonString(std::string_view utf8);

// 64-bit FNV-1a of the bytes as 16 hex digits: a quick key for finding equal contents. Equal
// keys are confirmed by comparing the bytes themselves.
std::string ContentKey(std::string_view bytes);

}  // namespace ws
