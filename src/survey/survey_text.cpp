#include "survey/survey_text.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace ws {

namespace {

// Appends one code point as UTF-8 (only the two-byte range is needed here).
void PutTwoByte(std::string& out, unsigned cp) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
}

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string FoldCase(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') {
            out += static_cast<char>(c + 32);
            continue;
        }
        if ((c == 0xD0 || c == 0xD1) && i + 1 < s.size()) {
            const auto d = static_cast<unsigned char>(s[i + 1]);
            const unsigned cp = ((c & 0x1Fu) << 6) | (d & 0x3Fu);
            if ((d & 0xC0) == 0x80) {
                unsigned lower = cp;
                if (cp >= 0x410 && cp <= 0x42F)  // А..Я
                    lower = cp + 0x20;
                else if (cp >= 0x400 && cp <= 0x40F)  // Ѐ..Џ, Ё among them
                    lower = cp + 0x50;
                PutTwoByte(out, lower);
                ++i;
                continue;
            }
        }
        out += static_cast<char>(c);
    }
    return out;
}

std::vector<std::string> FilterWords(std::string_view text) {
    std::vector<std::string> words;
    std::string current;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            if (!current.empty())
                words.push_back(FoldCase(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty())
        words.push_back(FoldCase(current));
    return words;
}

bool MatchesWords(const std::vector<std::string>& words,
                  const std::vector<std::string_view>& fields) {
    if (words.empty())
        return true;
    std::vector<std::string> folded;
    folded.reserve(fields.size());
    for (const auto f : fields)
        folded.push_back(FoldCase(f));
    for (const auto& w : words) {
        bool found = false;
        for (const auto& f : folded) {
            if (f.find(w) != std::string::npos) {
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    return true;
}

std::string NextSection(std::string_view section) {
    if (section.empty())
        return {};
    size_t end = section.size();
    while (end > 0 && !Digit(section[end - 1]))
        --end;
    if (end == 0)
        return std::string(section) + " 2";
    size_t begin = end;
    while (begin > 0 && Digit(section[begin - 1]))
        --begin;
    std::string digits(section.substr(begin, end - begin));
    // Add one with carry, keeping the width; a carry out of the first digit widens it.
    int i = static_cast<int>(digits.size()) - 1;
    while (i >= 0) {
        if (digits[static_cast<size_t>(i)] == '9') {
            digits[static_cast<size_t>(i)] = '0';
            --i;
        } else {
            ++digits[static_cast<size_t>(i)];
            break;
        }
    }
    if (i < 0)
        digits.insert(digits.begin(), '1');
    return std::string(section.substr(0, begin)) + digits + std::string(section.substr(end));
}

namespace {

struct Civil {
    int year, month, day, hour, minute, second;
};

Civil CivilOfUtc(int64_t utc) {
    using namespace std::chrono;
    const sys_seconds t{seconds{utc}};
    const sys_days day = floor<days>(t);
    const year_month_day ymd{day};
    const hh_mm_ss<seconds> tod{t - day};
    return {static_cast<int>(ymd.year()),
            static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day())),
            static_cast<int>(tod.hours().count()),
            static_cast<int>(tod.minutes().count()),
            static_cast<int>(tod.seconds().count())};
}

std::optional<Civil> LocalCivil(int64_t utc) {
    const std::time_t t = static_cast<std::time_t>(utc);
    std::tm tm{};
#ifdef _WIN32
    if (localtime_s(&tm, &t) != 0)
        return std::nullopt;
#else
    if (!localtime_r(&t, &tm))
        return std::nullopt;
#endif
    return Civil{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace

std::string FormatUtcIso(int64_t utc) {
    const Civil c = CivilOfUtc(utc);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", c.year, c.month, c.day, c.hour,
                  c.minute, c.second);
    return buf;
}

std::string FormatUtcCompact(int64_t utc) {
    const Civil c = CivilOfUtc(utc);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02d-%02d%02d%02d", c.year, c.month, c.day, c.hour,
                  c.minute, c.second);
    return buf;
}

std::string LocalDateOf(int64_t utc) {
    const Civil c = LocalCivil(utc).value_or(CivilOfUtc(utc));
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", c.year, c.month, c.day);
    return buf;
}

std::string LocalDateTimeOf(int64_t utc) {
    const Civil c = LocalCivil(utc).value_or(CivilOfUtc(utc));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d", c.day, c.month, c.year, c.hour,
                  c.minute);
    return buf;
}

std::optional<std::string> ParseIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    for (const size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u})
        if (!Digit(text[i]))
            return std::nullopt;
    auto num = [&](size_t from, size_t n) {
        int v = 0;
        for (size_t i = from; i < from + n; ++i)
            v = v * 10 + (text[i] - '0');
        return v;
    };
    using namespace std::chrono;
    const int y = num(0, 4);
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(num(5, 2))},
                             day{static_cast<unsigned>(num(8, 2))}};
    if (y < 1900 || y > 2999 || !ymd.ok())
        return std::nullopt;
    return std::string(text);
}

std::optional<int64_t> UtcOfDate(std::string_view isoDate) {
    if (!ParseIsoDate(isoDate))
        return std::nullopt;
    using namespace std::chrono;
    auto num = [&](size_t from, size_t n) {
        int v = 0;
        for (size_t i = from; i < from + n; ++i)
            v = v * 10 + (isoDate[i] - '0');
        return v;
    };
    const year_month_day ymd{year{num(0, 4)}, month{static_cast<unsigned>(num(5, 2))},
                             day{static_cast<unsigned>(num(8, 2))}};
    return duration_cast<seconds>(sys_days{ymd}.time_since_epoch()).count();
}

bool ParseMillimetres(std::string_view text, std::optional<double>& value) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    value.reset();
    if (b == e)
        return true;
    double whole = 0, scale = 0;
    int digits = 0;
    bool point = false;
    for (size_t i = b; i < e; ++i) {
        const char c = text[i];
        if (Digit(c)) {
            ++digits;
            if (digits > 12)
                return false;
            if (point) {
                scale /= 10;
                whole += (c - '0') * scale;
            } else {
                whole = whole * 10 + (c - '0');
            }
        } else if ((c == '.' || c == ',') && !point) {
            point = true;
            scale = 1;
        } else {
            return false;
        }
    }
    if (digits == 0 || !(whole > 0))
        return false;
    value = whole;
    return true;
}

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out += ch;
                }
        }
    }
    out += '"';
    return out;
}

std::string ContentKey(std::string_view bytes) {
    uint64_t h = 14695981039346656037ull;  // FNV-1a offset basis
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;  // FNV-1a prime
    }
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

}  // namespace ws
