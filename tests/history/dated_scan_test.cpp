#include "history/dated_scan.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/mem_text.h"
#include "support/temp_dir.h"
#include "survey/survey_archive.h"

namespace ws {
namespace {

// "12" may be a file's name; 19 nines are beyond 64 bits.
TEST(ArchiveIdArgument, OnlyHashAndDigits) {
    for (const char* text : {"12", "#0", "#", "#-3", "#12a", "", "#9999999999999999999"})
        EXPECT_EQ(ArchiveIdArgument(text), std::nullopt) << text;
    EXPECT_EQ(ArchiveIdArgument("#12"), 12);
    EXPECT_EQ(ArchiveIdArgument("#999999999999999999"), 999999999999999999);
}

InspectionScan Dated(const char* date, int64_t filed) {
    InspectionScan s;
    s.InspectedOn = date;
    s.FiledUtc = filed;
    s.File = date;
    return s;
}

TEST(OrderByDate, EarlierInspectionFirst) {
    const struct {
        InspectionScan a, b;
        const char* first;  // File of the scan that ends up first
    } rows[] = {
        {Dated("2026-05-12", 1), Dated("2021-05-12", 2), "2021-05-12"},
        {Dated("2021-05-12", 2), Dated("2026-05-12", 1), "2021-05-12"},
        // Without dates the filing time decides; the same day too.
        {Dated("", 20), Dated("", 10), ""},
        {Dated("2026-05-12", 20), Dated("", 10), ""},
    };
    for (auto r : rows) {
        OrderByDate(r.a, r.b);
        EXPECT_EQ(r.a.File, r.first);
        if (std::string(r.first).empty()) {
            EXPECT_EQ(r.a.FiledUtc, 10);
        }
    }
}

TEST(ScanFromArchive, TheEntryAndItsPreviousInspection) {
    test::TempDir dir;
    SurveyArchive archive;
    ASSERT_TRUE(archive.Open(dir.File("archive")).Ok);
    auto file = [&](const char* date, const char* section, int64_t when) {
        const Trace t = test::TraceOf({8.0f, 8.0f, 8.0f + when / 1000.0f});
        const int64_t id = archive.FileDownload(t, {0x01}, DownloadFacts{}, when).Id;
        archive.Describe(id, {"Т-3", section, "Петров", date, ""});
        return id;
    };
    const int64_t oldest = file("2019-01-10", "Участок 7", 100);
    const int64_t previous = file("2021-05-12", "Участок 7", 200);
    const int64_t otherSection = file("2024-01-01", "Участок 8", 300);
    const int64_t now = file("2026-05-12", "Участок 7", 400);
    EXPECT_EQ(FindPreviousInspection(archive, now), previous);
    EXPECT_EQ(FindPreviousInspection(archive, previous), oldest);
    EXPECT_EQ(FindPreviousInspection(archive, oldest), std::nullopt);
    EXPECT_EQ(FindPreviousInspection(archive, otherSection), std::nullopt);

    std::string error;
    const auto s = ScanFromArchive(archive, now, error);
    ASSERT_TRUE(s) << error;
    EXPECT_EQ(s->InspectedOn, "2026-05-12");
    EXPECT_EQ(s->Scan->PointCount, 3);
    EXPECT_EQ(s->Origin.rfind("из прибора ", 0), 0u);

    // A trace file gone from the archive's folder: a reason, not a crash.
    const auto entry = archive.Get(previous);
    ASSERT_TRUE(entry);
    std::filesystem::remove(entry->TraceFile);
    EXPECT_FALSE(ScanFromArchive(archive, previous, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace ws
