#pragma once
// options.sav: five settings on ten lines, a label line before each value.

#include <istream>
#include <string>

#include "data/record.h"

namespace ws {

class Prompter;

inline constexpr const char* kSettingsFileName = "options.sav";

std::string SettingsFilePath(const Workspace& ws);
// The file's bytes for the current settings, exactly as SaveSettings writes them.
std::string FormatSettingsFile(const Workspace& ws);

// Fills the five settings from HomeDir's options.sav. Fields read before an error keep their
// new values, the rest keep what they had; any error shows the message. True when all read.
bool LoadSettings(Workspace& ws, Prompter& prompter);
// The reading itself, from the file's bytes: the same partial-update rule, no message.
bool ParseSettingsStream(Workspace& ws, std::istream& in);
// Replaces the file atomically; a failed write shows the message and keeps the old file.
bool SaveSettings(const Workspace& ws, Prompter& prompter);

}  // namespace ws
