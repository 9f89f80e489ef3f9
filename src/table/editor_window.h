#pragma once
#include <QMainWindow>
#include <functional>
#include <string>
#include <vector>

#include "data/record.h"
#include "table/results_table.h"

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace ws {

class FilePicker;
class Prompter;
struct PrintServices;

// frmEditor: the results table, page by page, in an editable text area with the menus of a
// small text editor around it.
class EditorWindow : public QMainWindow {
    Q_OBJECT

  public:
    struct Hooks {
        std::function<void()> showAbout;  // "Об &авторах"
    };
    EditorWindow(Workspace& ws, Prompter& prompter, FilePicker& picker, PrintServices& print,
                 TemplateReader templates, Hooks hooks, QWidget* parent = nullptr);
    ~EditorWindow() override;

    // The load: settings controls filled, marks counted, the first page rendered.
    void Load();

    ResultsTable& Table() { return table_; }
    bool RowsEdited() const { return rowsEdited_; }
    std::string PrintFontName() const;

    // Commands, shared by the buttons, the menus and tests.
    void ForwardClick();
    void BackClick();
    void FileItemClick(int index);
    void RecentClick(int index);
    void EditMenuOpening();
    void EditItemClick(int index);
    void OpenTextFile(const std::string& name);
    void SaveTextFile(const std::string& name);
    void AddRecentFile(const std::string& name);
    int RecentCount() const { return static_cast<int>(recent_.size()); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildMenus();
    void BuildStrip();
    void FillSettings();
    void Show(ResultsTable::Outcome outcome);
    void Text1Changed(const QString& text);
    void ApplyRows();
    void ApplyThreshold();
    void PrintClick();
    std::string StartFolder() const;

    Workspace& ws_;
    Prompter& prompter_;
    FilePicker& picker_;
    PrintServices& print_;
    Hooks hooks_;
    ResultsTable table_;
    bool rowsEdited_ = false;
    bool busy_ = false;  // a message box is up: focus changes it causes apply nothing
    std::string printFont_;

    QWidget* strip_ = nullptr;
    QPlainTextEdit* txtEdit_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLineEdit* text2_ = nullptr;
    QComboBox* combo1_ = nullptr;
    QComboBox* combo2_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* forward_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* fileItem_[6] = {};
    QAction* separator_ = nullptr;
    std::vector<QAction*> recent_;
    QAction* editItem_[3] = {};
};

}  // namespace ws
