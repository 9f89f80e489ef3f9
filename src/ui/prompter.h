#pragma once
// How logic speaks to the user: message boxes, nothing else. The Qt implementation shows
// real boxes; tests use a scripted fake that records every text and answers questions.

#include <string>

namespace ws {

// The application's title, used by message boxes that name no title of their own.
inline constexpr const char* kProductName = "WallScan";

enum class MsgIcon { None, Exclamation, Question, Information, Critical };

class Prompter {
  public:
    virtual ~Prompter() = default;
    // A box with an OK button.
    virtual void Message(const std::string& text, MsgIcon icon = MsgIcon::None,
                         const std::string& title = kProductName) = 0;
    // Yes and No with the question icon, No as the default button. True for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& title = kProductName) = 0;
};

}  // namespace ws
