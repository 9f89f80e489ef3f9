// The results table on an arbitrary template and an arbitrary record: rendering and paging
// must never crash, never index past the record, never grow without bound, and always end.
#include <algorithm>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "table/results_table.h"

using namespace ws;

namespace {

uint32_t Next(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Eight bytes of set-up, the rest is the template file as it would lie on disk.
    if (size < 8)
        return 0;
    auto ws = std::make_unique<Workspace>();
    ws->Regime = (data[0] & 1) ? kRegimeScan : static_cast<int16_t>(data[0] >> 1);
    ws->PointCount = (data[1] | (data[2] << 8)) % (kPointSlots + 1);
    const int32_t rowChoices[] = {0, 1, 2, 3, 36, 100, -5, 2000000000};
    ws->TableRows = rowChoices[data[3] & 7];
    ws->RangeOfMeasure = static_cast<float>(data[4]) / 10.0f;
    ws->DecimalSeparator = (data[5] & 1) ? "," : ".";
    ws->DateSeparator = (data[5] & 2) ? "." : "/";
    uint32_t state = data[6] | (data[7] << 8);
    for (int32_t i = 0; i < ws->PointCount; ++i) {
        const uint32_t r = Next(state);
        // Mostly ordinary walls, now and then no contact, a reading of 1000 mm or more, or a
        // value at the 0.001 mm edge.
        float t = static_cast<float>(r % 1500) / 100.0f;
        if (r % 97 == 0)
            t = 0.0f;
        else if (r % 89 == 0)
            t = 1000.0f + static_cast<float>(r % 9000);
        else if (r % 83 == 0)
            t = 0.001f;
        ws->Thickness[static_cast<size_t>(i)] = t;
        ws->PointMark[static_cast<size_t>(i)] = (r >> 4) % 3 == 0 ? -1 : 0;
    }
    const std::string bytes(reinterpret_cast<const char*>(data) + 8, size - 8);
    TemplateReader reader = [&bytes](const std::string& name, TemplateText& out,
                                     std::string& error) {
        return ParseTemplateText(bytes, name, out, error);
    };
    ResultsTable table(*ws, reader, [] { return CalendarDate{7, 12, 2026}; });

    auto checkPage = [&] {
        fuzz::Check(table.PageText().size() <= 17u * 1024 * 1024, "a page stays bounded");
        fuzz::Check(table.NextPoint >= 0, "the next point never goes negative");
        fuzz::Check(table.PageIndex >= 0 && table.PageIndex < kMaxTablePages,
                    "page index in range");
        fuzz::Check(table.PageStart.size() <= static_cast<size_t>(kMaxTablePages) + 1,
                    "page starts never outgrow the limit");
        fuzz::Check(table.MarkedCount >= 0 && table.MarkedCount <= ws->PointCount, "marks counted");
    };
    table.Load();
    checkPage();
    // A walk through the pages as an operator would click, bounded so every input ends.
    const uint32_t steps = 3 + (state % 40);
    for (uint32_t k = 0; k < steps; ++k) {
        const uint32_t r = Next(state);
        if (r % 5 == 0)
            table.Back();
        else if (r % 11 == 0)
            table.Restart();
        else if (r % 13 == 0)
            table.ShowTablePage();
        else
            table.Forward();
        checkPage();
    }
    return 0;
}
