#pragma once
#include <QPointer>
#include <QWidget>

#include "ui/prompter.h"

namespace ws {

// Real message boxes, owned by a window (or by none).
class QtPrompter : public Prompter {
  public:
    explicit QtPrompter(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    void Message(const std::string& text, MsgIcon icon, const std::string& title) override;
    bool AskYesNo(const std::string& text, const std::string& title) override;

  private:
    QWidget* VisibleOwner() const;
    QPointer<QWidget> owner_;
};

}  // namespace ws
