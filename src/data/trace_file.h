#pragma once
// The .mem measurement file: five header lines, then one line per point.

#include <istream>
#include <optional>
#include <string>

#include "data/record.h"

namespace ws {

class Prompter;

inline constexpr const char* kWorkingFileName = "temp.mem";

enum class TraceReadStatus { Ok, Missing, Error };

struct TraceReadResult {
    TraceReadStatus status = TraceReadStatus::Missing;
    Trace trace;          // the trace as read and conditioned (valid when Ok)
    std::string problem;  // what went wrong, for logs and the command line (when Error)
};

// Reads a .mem file into a copy of `base` (slots past the new count keep base's values) and
// conditions it. Never touches shared state and shows nothing.
TraceReadResult ReadTraceFile(const std::string& path, const Trace& base, bool filterOn);

// The same from an open stream (the file's bytes); never Missing.
TraceReadResult ParseTraceStream(std::istream& in, const Trace& base, bool filterOn);

// The file's bytes for a trace, exactly as SaveTrace writes them.
std::string FormatTraceFile(const Trace& trace);

// Loads a file into the record. A missing file changes nothing and says nothing; a file that
// cannot be read shows the message and leaves the record exactly as it was. True when loaded.
bool LoadTrace(Workspace& ws, Prompter& prompter, const std::string& name);

// Saves the record. An existing file (other than the working file) is replaced only after the
// user agrees. "temp.mem" always lands in HomeDir. The file is replaced atomically; a failed
// write shows the message and keeps the old file. True when written.
bool SaveTrace(Workspace& ws, Prompter& prompter, const std::string& name);

// The full path of the working file.
std::string WorkingFilePath(const Workspace& ws);

}  // namespace ws
