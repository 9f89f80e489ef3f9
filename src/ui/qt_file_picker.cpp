#include "ui/qt_file_picker.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace ws {

std::string QtFilePicker::Run(bool save, const std::string& title,
                              const std::vector<FileFilter>& filters, size_t selected,
                              const std::string& startDir) {
    QFileDialog dialog(owner_.data(), QString::fromStdString(title),
                       QString::fromStdString(startDir));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    // The open dialog accepts a name that does not exist (opening it then does nothing), and
    // the save dialog does not ask about overwriting: the caller asks its own question.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    // "Mem Files (*.mem)" carries its pattern; a bare description gets it appended.
    QStringList nameFilters;
    for (const FileFilter& filter : filters) {
        QString nameFilter = QString::fromStdString(filter.description);
        if (!nameFilter.contains(QLatin1Char('(')))
            nameFilter += QStringLiteral(" (") + QString::fromStdString(filter.pattern) + ')';
        nameFilters << nameFilter;
    }
    dialog.setNameFilters(nameFilters);
    if (!nameFilters.isEmpty()) {
        const FileFilter& chosen = filters[std::min(selected, filters.size() - 1)];
        dialog.selectNameFilter(
            nameFilters[static_cast<int>(std::min(selected, filters.size() - 1))]);
        if (!chosen.defaultSuffix.empty())
            dialog.setDefaultSuffix(QString::fromStdString(chosen.defaultSuffix));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().first()).toStdString();
}

std::string QtFilePicker::OpenFile(const std::string& title, const FileFilter& filter,
                                   const std::string& startDir) {
    return Run(false, title, {filter}, 0, startDir);
}

std::string QtFilePicker::SaveFile(const std::string& title, const FileFilter& filter,
                                   const std::string& startDir) {
    return Run(true, title, {filter}, 0, startDir);
}

std::string QtFilePicker::OpenFileAmong(const std::string& title,
                                        const std::vector<FileFilter>& filters, size_t selected,
                                        const std::string& startDir) {
    return Run(false, title, filters, selected, startDir);
}

std::string QtFilePicker::SaveFileAmong(const std::string& title,
                                        const std::vector<FileFilter>& filters, size_t selected,
                                        const std::string& startDir) {
    return Run(true, title, filters, selected, startDir);
}

std::string QtFilePicker::ChooseFolder(const std::string& title, const std::string& startDir) {
    const QString dir = QFileDialog::getExistingDirectory(
        owner_.data(), QString::fromStdString(title), QString::fromStdString(startDir),
        QFileDialog::ShowDirsOnly);
    if (dir.isEmpty() || !QFileInfo(dir).isDir())
        return {};
    return QDir::toNativeSeparators(dir).toStdString();
}

}  // namespace ws
