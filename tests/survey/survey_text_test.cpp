#include <gtest/gtest.h>

#include "survey/survey_text.h"

namespace ws {
namespace {

TEST(SurveyText, FoldCaseLowersLatinAndCyrillicOnly) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"ЩЪЫЬЭЮЯ", "щъыьэюя"},
        {"ЀЏ", "ѐџ"},  // the first and last of the older capitals
        {"Pipe-7 Ж", "pipe-7 ж"},
        {"№ 5, 12.5 мм", "№ 5, 12.5 мм"},
        {"", ""},
        // A lone lead byte at the end, as a cut-off string may have, passes unchanged.
        {"Ab\xD0", "ab\xD0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FoldCase(c.in), c.out) << c.in;
}

TEST(SurveyText, NextSectionCountsTheLastNumberUp) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"L09", "L10"},
        {"9", "10"},
        {"3-1a", "3-2a"},
        {"Колено", "Колено 2"},
        {"", ""},
        {"Линия 2, т.19", "Линия 2, т.20"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextSection(c.in), c.out) << c.in;
}

TEST(SurveyText, DatesAreCheckedAgainstTheCalendar) {
    const struct {
        const char* in;
        bool ok;
    } cases[] = {
        {"2024-02-29", true}, {"2025-02-29", false}, {"2026-13-01", false}, {"2026-00-10", false},
        {"2026-1-07", false}, {"", false},           {"1899-12-31", false}, {"2026-12-07x", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseIsoDate(c.in).has_value(), c.ok) << c.in;
}

// What a typed thickness becomes: its value, "none" for a box left empty, or "refused".
std::string Typed(const char* text) {
    std::optional<double> v = 42.0;
    if (!ParseMillimetres(text, v))
        return "refused";
    return v ? std::to_string(*v) : "none";
}

TEST(SurveyText, ThicknessesAsTyped) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {" 9,75 ", "9.750000"}, {"   ", "none"},      {"0", "refused"},
        {"-3", "refused"},      {"1.2.3", "refused"}, {"12 мм", "refused"},
        {".", "refused"},       {"1e3", "refused"},   {"99999999999999", "refused"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Typed(c.in), c.out) << c.in;
}

TEST(SurveyText, JsonStringsEscapeWhatJsonForbids) {
    EXPECT_EQ(JsonString("Труба \"А\"\\1\n\t\x01"), "\"Труба \\\"А\\\"\\\\1\\n\\t\\u0001\"");
}

}  // namespace
}  // namespace ws
