#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/prompter.h"

namespace ws::fuzz {

// Counts boxes and answers every question No, as a cautious user would.
class QuietPrompter : public Prompter {
  public:
    void Message(const std::string&, MsgIcon, const std::string&) override { ++messages; }
    bool AskYesNo(const std::string&, const std::string&) override {
        ++messages;
        return false;
    }
    int messages = 0;
};

// A violated invariant is a finding: stop so libFuzzer keeps the input.
inline void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

}  // namespace ws::fuzz
