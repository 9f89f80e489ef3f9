#pragma once
// File and folder choosers. Every result is a UTF-8 path, empty when the user cancelled.

#include <string>

namespace ws {

struct FileFilter {
    std::string description;    // e.g. "Mem Files (*.mem)"
    std::string pattern;        // e.g. "*.mem"
    std::string defaultSuffix;  // appended to a name typed without one, e.g. "mem"; may be empty
};

class FilePicker {
  public:
    virtual ~FilePicker() = default;
    virtual std::string OpenFile(const std::string& title, const FileFilter& filter,
                                 const std::string& startDir = {}) = 0;
    // Does not ask about overwriting: callers that must ask do it themselves.
    virtual std::string SaveFile(const std::string& title, const FileFilter& filter,
                                 const std::string& startDir = {}) = 0;
    virtual std::string ChooseFolder(const std::string& title, const std::string& startDir) = 0;
};

}  // namespace ws
