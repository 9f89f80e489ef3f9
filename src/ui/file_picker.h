#pragma once
// File and folder choosers. Every result is a UTF-8 path, empty when the user cancelled.

#include <algorithm>
#include <string>
#include <vector>

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
    // The same with several filters to choose from, `selected` (0-based) offered first.
    // Pickers that know only one filter show the selected one.
    virtual std::string OpenFileAmong(const std::string& title,
                                      const std::vector<FileFilter>& filters, size_t selected,
                                      const std::string& startDir = {}) {
        return OpenFile(title, Pick(filters, selected), startDir);
    }
    virtual std::string SaveFileAmong(const std::string& title,
                                      const std::vector<FileFilter>& filters, size_t selected,
                                      const std::string& startDir = {}) {
        return SaveFile(title, Pick(filters, selected), startDir);
    }
    virtual std::string ChooseFolder(const std::string& title, const std::string& startDir) = 0;

  protected:
    static FileFilter Pick(const std::vector<FileFilter>& filters, size_t selected) {
        if (filters.empty())
            return {};
        return filters[std::min(selected, filters.size() - 1)];
    }
};

}  // namespace ws
