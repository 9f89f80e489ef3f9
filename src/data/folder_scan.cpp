#include "data/folder_scan.h"

#include <algorithm>
#include <filesystem>

#include "data/text.h"
#include "data/trace_file.h"
#include "ui/prompter.h"

namespace fs = std::filesystem;

namespace ws {

void SortFileNames(std::vector<std::string>& names) {
    // std::string compares as unsigned bytes through char_traits<char>::compare (memcmp).
    std::sort(names.begin(), names.end());
}

std::vector<std::string> ListMemFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    fs::directory_iterator it(PathFromUtf8(folder), ec);
    if (ec)
        return names;
    for (const fs::directory_entry& entry : it) {
        std::error_code fileEc;
        if (!entry.is_regular_file(fileEc))
            continue;
        const std::string name = PathToUtf8(entry.path().filename());
        if (name.size() < 5)
            continue;
        std::string ext = name.substr(name.size() - 4);
        std::transform(ext.begin(), ext.end(), ext.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (ext == ".mem")
            names.push_back(name);
    }
    SortFileNames(names);
    return names;
}

bool ScanFolder(Workspace& ws, Prompter& prompter, const std::string& folder) {
    ws.ReliefFileCount = 0;
    std::vector<std::string> names = ListMemFiles(folder);
    if (names.empty()) {
        prompter.Message("нет файлов");
        return false;
    }
    // The listing order of a folder differs between systems; taking the first ten of the
    // sorted names gives the same relief everywhere.
    if (names.size() > static_cast<size_t>(kReliefMaxFiles))
        names.resize(kReliefMaxFiles);

    const fs::path dir = PathFromUtf8(folder);
    bool lastIsScan = false;
    // Each file is read into its own copy, so the record the user is working with stays.
    Trace scratch = ws.CurrentTrace();
    for (const std::string& name : names) {
        const TraceReadResult r =
            ReadTraceFile(PathToUtf8(dir / PathFromUtf8(name)), scratch, ws.FilterOn);
        if (r.status != TraceReadStatus::Ok) {
            prompter.Message("Ошибка при вводе из файла " + name, MsgIcon::Exclamation,
                             "Text Editor");
            continue;
        }
        scratch = r.trace;
        const int k = ++ws.ReliefFileCount;
        ws.ReliefFileNames[static_cast<size_t>(k)] = name;
        if (k == 1 || r.trace.PointCount < ws.ReliefMinPoints)
            ws.ReliefMinPoints = static_cast<int16_t>(r.trace.PointCount);
        lastIsScan = r.trace.Regime == kRegimeScan;
        if (r.trace.Regime != kRegimeScan || r.trace.PointCount < 2)
            prompter.Message("Неверный формат в файле " + name);
        for (int j = 0; j < ws.ReliefMinPoints; ++j) {
            ws.ReliefSource[static_cast<size_t>(k - 1)][static_cast<size_t>(j)] =
                r.trace.Thickness[static_cast<size_t>(j)];
            ws.ReliefGrid[static_cast<size_t>(k)][static_cast<size_t>(j)] =
                r.trace.Thickness[static_cast<size_t>(j)];
        }
    }
    return ws.ReliefFileCount > 0 && lastIsScan && ws.ReliefMinPoints >= 2;
}

}  // namespace ws
