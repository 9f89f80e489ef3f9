// The options.sav reader on arbitrary bytes: no crash, and a file it wrote reads back the same.
#include <memory>
#include <sstream>

#include "data/settings.h"
#include "fuzz_support.h"

using namespace ws;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto ws = std::make_unique<Workspace>();
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    ParseSettingsStream(*ws, in);
    const std::string saved = FormatSettingsFile(*ws);
    auto back = std::make_unique<Workspace>();
    std::istringstream again(saved);
    const bool ok = ParseSettingsStream(*back, again);
    // A port name holding a line break cannot survive a line-based file; nothing else may differ.
    if (ws->PortName.find_first_of("\r\n") == std::string::npos) {
        fuzz::Check(ok, "saved settings read back");
        fuzz::Check(back->TableRows == ws->TableRows && back->PrintFontSize == ws->PrintFontSize &&
                        back->BaudRate == ws->BaudRate,
                    "whole-number settings survive a save");
    }
    return 0;
}
