#pragma once
#include <QPointer>
#include <QWidget>

#include "ui/file_picker.h"

namespace ws {

// The system's open, save and folder dialogs.
class QtFilePicker : public FilePicker {
  public:
    explicit QtFilePicker(QWidget* owner = nullptr) : owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    std::string OpenFile(const std::string& title, const FileFilter& filter,
                         const std::string& startDir) override;
    std::string SaveFile(const std::string& title, const FileFilter& filter,
                         const std::string& startDir) override;
    std::string OpenFileAmong(const std::string& title, const std::vector<FileFilter>& filters,
                              size_t selected, const std::string& startDir) override;
    std::string SaveFileAmong(const std::string& title, const std::vector<FileFilter>& filters,
                              size_t selected, const std::string& startDir) override;
    std::string ChooseFolder(const std::string& title, const std::string& startDir) override;

  private:
    std::string Run(bool save, const std::string& title, const std::vector<FileFilter>& filters,
                    size_t selected, const std::string& startDir);
    QPointer<QWidget> owner_;
};

}  // namespace ws
