#pragma once
#include <deque>
#include <string>
#include <vector>

#include "ui/file_picker.h"

namespace ws::test {

// Hands out scripted paths (empty = the user cancelled) and records every request.
class FakeFilePicker : public FilePicker {
  public:
    struct Request {
        std::string kind;  // "open", "save" or "folder"
        std::string title;
        FileFilter filter;
        std::string startDir;
    };
    std::string OpenFile(const std::string& title, const FileFilter& filter,
                         const std::string& startDir) override {
        return Next({"open", title, filter, startDir});
    }
    std::string SaveFile(const std::string& title, const FileFilter& filter,
                         const std::string& startDir) override {
        return Next({"save", title, filter, startDir});
    }
    std::string OpenFileAmong(const std::string& title, const std::vector<FileFilter>& filters,
                              size_t selected, const std::string& startDir) override {
        return Next({"open", title, Pick(filters, selected), startDir});
    }
    std::string SaveFileAmong(const std::string& title, const std::vector<FileFilter>& filters,
                              size_t selected, const std::string& startDir) override {
        return Next({"save", title, Pick(filters, selected), startDir});
    }
    std::string ChooseFolder(const std::string& title, const std::string& startDir) override {
        return Next({"folder", title, {}, startDir});
    }
    std::vector<Request> requests;
    std::deque<std::string> answers;

  private:
    std::string Next(Request r) {
        requests.push_back(std::move(r));
        if (answers.empty())
            return {};
        std::string a = answers.front();
        answers.pop_front();
        return a;
    }
};

}  // namespace ws::test
