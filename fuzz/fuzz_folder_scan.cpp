// The folder scan over generated file sets: the input is cut into up to twelve files at 0xFF
// bytes; the scan must never crash, keep the record untouched and keep its counts in range.
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "data/folder_scan.h"
#include "fuzz_support.h"

using namespace ws;
namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path root = [] {
        std::random_device rd;
        fs::path p = fs::temp_directory_path() / ("wallscan-fuzz-" + std::to_string(rd()));
        return p;
    }();
    std::error_code ec;
    fs::remove_all(root, ec);
    fs::create_directories(root);
    int file = 0;
    size_t start = 0;
    for (size_t i = 0; i <= size && file < 12; ++i) {
        if (i == size || data[i] == 0xFF) {
            // Names vary in case and length so the sort is exercised too.
            const std::string name =
                std::string(1, static_cast<char>((file % 2 ? 'a' : 'A') + file)) +
                std::to_string(file) + (file == 5 ? ".MEM" : ".mem");
            std::ofstream(root / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(data) + start,
                       static_cast<std::streamsize>(i - start));
            ++file;
            start = i + 1;
        }
    }
    auto ws = std::make_unique<Workspace>();
    ws->PointCount = 3;
    ws->Thickness[1] = 4.5f;
    fuzz::QuietPrompter prompter;
    const bool open = ScanFolder(*ws, prompter, root.string());
    fuzz::Check(ws->PointCount == 3 && ws->Thickness[1] == 4.5f, "record untouched");
    fuzz::Check(ws->ReliefFileCount >= 0 && ws->ReliefFileCount <= kReliefMaxFiles,
                "count in range");
    fuzz::Check(ws->ReliefMinPoints >= 0 && ws->ReliefMinPoints <= kMaxFilePoints,
                "min points in range");
    fuzz::Check(!open || ws->ReliefMinPoints >= 2, "relief opens only with two points or more");
    return 0;
}
