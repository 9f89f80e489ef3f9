#pragma once
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "data/record.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace ws {

class ArchiveFilterProxy;
class ArchiveTableModel;
class FilePicker;
class Prompter;
class SurveyArchive;
struct ArchiveEntry;

// "Архив замеров": every archived trace in a sortable, filterable table, newest first; a side
// panel for its description; open, export, delete and restore.
class ArchiveWindow : public QWidget {
    Q_OBJECT

  public:
    struct Hooks {
        std::function<void()> showTrace;  // the record holds a new trace: show it
        // "Сравнить" with two entries selected, "Отчёт..." with one.
        std::function<void(int64_t, int64_t)> compare;
        std::function<void(int64_t)> report;
    };
    ArchiveWindow(SurveyArchive& archive, Workspace& ws, Prompter& prompter, FilePicker& picker,
                  Hooks hooks, QWidget* parent = nullptr);
    ~ArchiveWindow() override;

    // Reads the catalog again (a download or another process filed something), keeping the
    // selection.
    void Reload();
    // Selects one entry, if the current view shows it.
    void SelectEntry(int64_t id);

    // Commands, shared by the buttons and tests.
    void OpenClick();
    void ExportClick();
    void DeleteClick();  // "Удалить" in the live view, "Восстановить" in the deleted one
    void SaveDescriptionClick();
    void LikePreviousClick();
    void CompareClick();
    void ReportClick();

    std::vector<int64_t> SelectedIds() const;
    int VisibleRows() const;

  protected:
    void changeEvent(QEvent* event) override;

  private:
    void BuildControls();
    void ShowSelected();
    void FillObjects();

    SurveyArchive& archive_;
    Workspace& ws_;
    Prompter& prompter_;
    FilePicker& picker_;
    Hooks hooks_;
    ArchiveTableModel* model_ = nullptr;
    ArchiveFilterProxy* proxy_ = nullptr;
    QTableView* table_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QComboBox* view_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* export_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* compare_ = nullptr;
    QPushButton* report_ = nullptr;
    QComboBox* object_ = nullptr;
    QLineEdit* nominal_ = nullptr;
    QLineEdit* minAllowed_ = nullptr;
    QLineEdit* section_ = nullptr;
    QLineEdit* inspector_ = nullptr;
    QDateEdit* date_ = nullptr;
    QPlainTextEdit* notes_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* likePrevious_ = nullptr;
    QLabel* details_ = nullptr;
    QLabel* count_ = nullptr;
    int64_t shownId_ = 0;     // the entry whose description the panel holds
    bool keepPanel_ = false;  // a background refresh: the user's unsaved typing stays
};

}  // namespace ws
