#pragma once
#include <deque>
#include <string>
#include <vector>

#include "ui/prompter.h"

namespace ws::test {

// Records every box and answers questions from a script (No when the script is empty, the
// safe default of every question the program asks).
class FakePrompter : public Prompter {
  public:
    struct Shown {
        std::string text;
        MsgIcon icon;
        std::string title;
        bool question;
    };
    void Message(const std::string& text, MsgIcon icon, const std::string& title) override {
        shown.push_back({text, icon, title, false});
    }
    bool AskYesNo(const std::string& text, const std::string& title) override {
        shown.push_back({text, MsgIcon::Question, title, true});
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> t;
        for (const auto& s : shown)
            t.push_back(s.text);
        return t;
    }
    std::vector<Shown> shown;
    std::deque<bool> answers;
};

}  // namespace ws::test
