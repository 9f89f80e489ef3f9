#include "table/editor_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "data/atomic_file.h"
#include "data/numbers.h"
#include "data/text.h"
#include "ui/file_picker.h"
#include "ui/printer.h"
#include "ui/prompter.h"
#include "ui/qt_surface.h"
#include "ui/qt_windows.h"

namespace ws {
namespace {

constexpr const char* kCaption = "Просмотр результатов";
constexpr const char* kEditorCaption = "Text Editor: ";
constexpr const char* kOpenError = "Error encountered while trying to open file, please retry.";
constexpr const char* kSaveError = "Error occurred while trying to close file, please retry.";

// A text file bigger than this is not a protocol: opening it would freeze the text area.
constexpr size_t kTextFileMaxBytes = 16 * 1024 * 1024;

constexpr double kWindowWidth = 8640, kWindowHeight = 6500, kStripHeight = 550;

const std::vector<FileFilter>& TextFilters() {
    static const std::vector<FileFilter> filters = {
        {"All Files (*.*)", "*", ""},
        {"Text Files (*.txt)", "*.txt", "txt"},
        {"Batch Files (*.bat)", "*.bat", "bat"},
    };
    return filters;
}
constexpr size_t kTextFilterIndex = 1;  // "Text Files (*.txt)" first

bool ContainsNoCase(const std::string& text, const char* part) {
    return QString::fromStdString(text).contains(QLatin1String(part), Qt::CaseInsensitive);
}

}  // namespace

EditorWindow::EditorWindow(Workspace& ws, Prompter& prompter, FilePicker& picker,
                           PrintServices& print, TemplateReader templates, Hooks hooks,
                           QWidget* parent)
    : QMainWindow(parent),
      ws_(ws),
      prompter_(prompter),
      picker_(picker),
      print_(print),
      hooks_(std::move(hooks)),
      table_(ws, std::move(templates)) {
    setObjectName(QStringLiteral("frmEditor"));
    setWindowTitle(QString::fromUtf8(kCaption));

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    BuildStrip();
    strip_->setParent(central);
    column->addWidget(strip_);

    txtEdit_ = new QPlainTextEdit(central);
    txtEdit_->setObjectName(QStringLiteral("txtEdit"));
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::TypeWriter);
    mono.setFixedPitch(true);
    txtEdit_->setFont(mono);
    // Table rows are wider than the window: scroll rather than break them.
    txtEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtEdit_->setMinimumHeight(0);
    column->addWidget(txtEdit_, 1);
    setCentralWidget(central);
    BuildMenus();
}

EditorWindow::~EditorWindow() {
    // The boxes outlive this object's members while the base class deletes its children; a
    // focus change then must not reach the filter.
    text1_->removeEventFilter(this);
    text2_->removeEventFilter(this);
}

void EditorWindow::BuildStrip() {
    strip_ = new QWidget;
    strip_->setObjectName(QStringLiteral("SettingsStrip"));
    auto* row = new QHBoxLayout(strip_);
    row->setContentsMargins(6, 3, 6, 3);
    row->setSpacing(6);

    auto label = [&](const char* text, QWidget* buddy) {
        auto* l = new QLabel(QString::fromUtf8(text), strip_);
        l->setBuddy(buddy);
        row->addWidget(l);
    };
    text1_ = new QLineEdit(strip_);
    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setToolTip(QStringLiteral("Выбор числа строк в таблице"));
    text1_->setFixedWidth(QFontMetrics(text1_->font()).horizontalAdvance(QStringLiteral("00000")) +
                          12);
    label("Строк в таблице", text1_);
    row->addWidget(text1_);
    row->addSpacing(6);

    text2_ = new QLineEdit(strip_);
    text2_->setObjectName(QStringLiteral("Text2"));
    text2_->setFixedWidth(
        QFontMetrics(text2_->font()).horizontalAdvance(QStringLiteral("000.000")) + 12);
    label("Порог толщины", text2_);
    row->addWidget(text2_);
    row->addSpacing(6);

    combo1_ = new QComboBox(strip_);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    combo1_->setEditable(true);
    combo1_->setInsertPolicy(QComboBox::NoInsert);
    combo1_->setToolTip(QStringLiteral("Выбор шрифта печати"));
    combo1_->setMinimumContentsLength(12);
    label("Шрифт печати", combo1_);
    row->addWidget(combo1_);

    combo2_ = new QComboBox(strip_);
    combo2_->setObjectName(QStringLiteral("Combo2"));
    combo2_->setEditable(true);
    combo2_->setInsertPolicy(QComboBox::NoInsert);
    combo2_->setToolTip(QStringLiteral("Размер шрифта"));
    combo2_->setMinimumContentsLength(2);
    row->addWidget(combo2_);
    row->addStretch(1);

    back_ = new QPushButton(QStringLiteral("Назад"), strip_);
    back_->setObjectName(QStringLiteral("Back"));
    back_->setToolTip(QStringLiteral("Предыдущий лист"));
    row->addWidget(back_);
    forward_ = new QPushButton(QStringLiteral("Вперед"), strip_);
    forward_->setObjectName(QStringLiteral("Forward"));
    forward_->setToolTip(QStringLiteral("Следующий лист"));
    row->addWidget(forward_);

    strip_->setFixedHeight(std::max(TwipsToPx(kStripHeight), strip_->sizeHint().height()));

    connect(back_, &QPushButton::clicked, this, &EditorWindow::BackClick);
    connect(forward_, &QPushButton::clicked, this, &EditorWindow::ForwardClick);
    connect(text1_, &QLineEdit::textChanged, this, &EditorWindow::Text1Changed);
    text1_->installEventFilter(this);
    text2_->installEventFilter(this);
    connect(combo1_, &QComboBox::activated, this,
            [this](int index) { printFont_ = combo1_->itemText(index).toStdString(); });
    connect(combo2_, &QComboBox::activated, this, [this](int index) {
        const auto size = RoundToInt16(NumericPrefix(combo2_->itemText(index).toStdString()));
        if (size && *size > 0)
            ws_.PrintFontSize = *size;
    });
}

void EditorWindow::BuildMenus() {
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&Файл"));
    fileMenu_->setObjectName(QStringLiteral("mnuFile"));
    const char* captions[] = {"&Новый",   "&Открыть...", "&Сохранить...",
                              "&Закрыть", "&Печать",     "В&ыйти"};
    for (int i = 0; i < 6; ++i) {
        fileItem_[i] = fileMenu_->addAction(QString::fromUtf8(captions[i]));
        fileItem_[i]->setObjectName(QStringLiteral("mnuFileItem(%1)").arg(i));
        connect(fileItem_[i], &QAction::triggered, this, [this, i] { FileItemClick(i); });
    }
    separator_ = fileMenu_->addSeparator();
    separator_->setObjectName(QStringLiteral("mnuFileArray(0)"));
    separator_->setVisible(false);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("П&равка"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    const char* editCaptions[] = {"&Вырезать", "&Копировать", "Вс&тавить"};
    const QKeySequence keys[] = {QKeySequence::Cut, QKeySequence::Copy, QKeySequence::Paste};
    for (int i = 0; i < 3; ++i) {
        editItem_[i] = edit->addAction(QString::fromUtf8(editCaptions[i]));
        editItem_[i]->setObjectName(QStringLiteral("mnuEditItem(%1)").arg(i));
        editItem_[i]->setShortcut(keys[i]);
        // The text area handles these keys itself while it has the focus.
        editItem_[i]->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(editItem_[i], &QAction::triggered, this, [this, i] { EditItemClick(i); });
    }
    connect(edit, &QMenu::aboutToShow, this, &EditorWindow::EditMenuOpening);

    AddAboutItem(*menuBar(), QStringLiteral("Об &авторах"), hooks_.showAbout);
}

void EditorWindow::FillSettings() {
    text1_->setText(QString::number(ws_.TableRows));
    text2_->setText(QString::fromStdString(FormatThreshold(ws_.RangeOfMeasure)));

    combo1_->clear();
    bool chosen = false;
    for (const std::string& font : print_.printer.FontNames()) {
        if (!ContainsNoCase(font, "courier"))
            continue;
        combo1_->addItem(QString::fromStdString(font));
        // The first Courier, unless a Cyrillic one comes later: the last of those wins.
        if (!chosen || ContainsNoCase(font, " cyr")) {
            combo1_->setCurrentIndex(combo1_->count() - 1);
            printFont_ = font;
            chosen = true;
        }
    }
    if (!chosen)
        combo1_->setEditText(QString::fromStdString(printFont_));

    combo2_->clear();
    combo2_->addItems({QStringLiteral("8"), QStringLiteral("10"), QStringLiteral("12")});
    combo2_->setEditText(QString::number(ws_.PrintFontSize));
}

void EditorWindow::Load() {
    rowsEdited_ = false;
    FillSettings();
    fileItem_[3]->setEnabled(false);
    setWindowTitle(QString::fromUtf8(kCaption));

    // Wide enough for the settings strip, never narrower than the classic window.
    const int width = std::max(TwipsToPx(kWindowWidth), strip_->sizeHint().width());
    resize(width, TwipsToPx(kWindowHeight));
    CenterOnScreen(*this);
    Show(table_.Load());
}

void EditorWindow::Show(ResultsTable::Outcome outcome) {
    switch (outcome) {
        case ResultsTable::Outcome::Rendered:
            txtEdit_->setPlainText(QString::fromStdString(table_.PageText()));
            break;
        case ResultsTable::Outcome::NoInformation:
            busy_ = true;
            prompter_.Message("Нет информации!");
            busy_ = false;
            break;
        case ResultsTable::Outcome::Failed:
            busy_ = true;
            prompter_.Message(table_.Error(), MsgIcon::Exclamation);
            busy_ = false;
            break;
        case ResultsTable::Outcome::Unchanged:
            break;
    }
}

void EditorWindow::ForwardClick() {
    Show(table_.Forward());
}

void EditorWindow::BackClick() {
    Show(table_.Back());
}

void EditorWindow::Text1Changed(const QString& text) {
    // Emptying the box is an edit too (applying it gives no rows), but the rows stay as they
    // were while there is nothing to read.
    rowsEdited_ = true;
    if (text.isEmpty())
        return;
    // A number beyond the range of rows is not taken; applying it puts the last good one back.
    if (const auto rows = RoundToInt32(NumericPrefix(text.toStdString())))
        ws_.TableRows = *rows;
}

void EditorWindow::ApplyRows() {
    const auto rows = RoundToInt32(NumericPrefix(text1_->text().toStdString()));
    rowsEdited_ = false;
    if (!rows) {
        const QSignalBlocker quiet(text1_);
        text1_->setText(QString::number(ws_.TableRows));
        return;
    }
    ws_.TableRows = *rows;
    Show(table_.Restart());
}

void EditorWindow::ApplyThreshold() {
    if (const auto value = ToSingle(NumericPrefix(text2_->text().toStdString())))
        ws_.RangeOfMeasure = *value;
    text2_->setText(QString::fromStdString(FormatThreshold(ws_.RangeOfMeasure)));
    Show(table_.ShowTablePage());
}

bool EditorWindow::eventFilter(QObject* watched, QEvent* event) {
    if ((watched != text1_ && watched != text2_) || busy_)
        return QMainWindow::eventFilter(watched, event);
    const bool enter = event->type() == QEvent::KeyPress &&
                       (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return ||
                        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Enter);
    // Leaving the box is the focus moving to another control of this window. A menu popping up
    // or the window losing activation also takes the focus away, but the operator has not left
    // the box: re-rendering then would wipe the edits made in the text area before they could be
    // saved or printed.
    bool leave = false;
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason why = static_cast<QFocusEvent*>(event)->reason();
        leave = why != Qt::PopupFocusReason && why != Qt::ActiveWindowFocusReason &&
                why != Qt::MenuBarFocusReason;
    }
    if (!enter && !leave)
        return QMainWindow::eventFilter(watched, event);
    if (watched == text1_) {
        if (rowsEdited_)
            ApplyRows();
    } else {
        ApplyThreshold();
    }
    return enter || QMainWindow::eventFilter(watched, event);
}

std::string EditorWindow::PrintFontName() const {
    const std::string name = combo1_->currentText().trimmed().toStdString();
    // Nothing chosen: the text area's own font, so the columns line up on paper as on screen.
    return name.empty() ? "Courier New" : name;
}

void EditorWindow::PrintClick() {
    const std::string text = txtEdit_->toPlainText().toStdString();
    const std::string font = PrintFontName();
    const double size = ws_.PrintFontSize > 0 ? ws_.PrintFontSize : 12;
    PrintPage(print_, false, [&](Surface& page) { PrintTableText(page, text, font, size); });
}

std::string EditorWindow::StartFolder() const {
    if (!ws_.DialogFileName.empty() && ws_.DialogFileName != "Untitled") {
        const std::filesystem::path parent = PathFromUtf8(ws_.DialogFileName).parent_path();
        std::error_code ec;
        if (!parent.empty() && std::filesystem::is_directory(parent, ec))
            return PathToUtf8(parent);
    }
    return ws_.HomeDir;
}

void EditorWindow::FileItemClick(int index) {
    switch (index) {
        case 0:
            txtEdit_->clear();
            ws_.DialogFileName = "Untitled";
            setWindowTitle(QString::fromUtf8(kEditorCaption) + QStringLiteral("Untitled"));
            break;
        case 1: {
            const std::string name =
                picker_.OpenFileAmong("Открыть", TextFilters(), kTextFilterIndex, StartFolder());
            if (name.empty())
                return;
            ws_.DialogFileName = name;
            OpenTextFile(name);
            break;
        }
        case 2: {
            const std::string name =
                picker_.SaveFileAmong("Сохранить", TextFilters(), kTextFilterIndex, StartFolder());
            if (name.empty())
                return;
            ws_.DialogFileName = name;
            SaveTextFile(std::string(ws_.DialogFileName));
            break;
        }
        case 3:
            // Only the text area is emptied: closing never writes over a stored file.
            txtEdit_->clear();
            setWindowTitle(QString::fromUtf8(kEditorCaption) + QStringLiteral("Untitled"));
            fileItem_[3]->setEnabled(false);
            break;
        case 4:
            PrintClick();
            break;
        case 5:
            close();
            break;
        default:
            break;
    }
}

void EditorWindow::OpenTextFile(const std::string& name) {
    const QString caption = QString::fromUtf8(kEditorCaption) + QString::fromStdString(name);
    if (windowTitle() == caption)
        return;
    std::string bytes;
    if (!ReadWholeFile(name, bytes, kTextFileMaxBytes)) {
        prompter_.Message(kOpenError, MsgIcon::Exclamation, "Text Editor");
        return;
    }
    txtEdit_->setPlainText(QString::fromStdString(DecodeUserText(bytes)));
    fileItem_[3]->setEnabled(true);
    AddRecentFile(name);
    setWindowTitle(caption);
}

void EditorWindow::SaveTextFile(const std::string& name) {
    std::error_code ec;
    if (std::filesystem::exists(PathFromUtf8(name), ec) &&
        !prompter_.AskYesNo("Overwrite existing file?"))
        return;
    QString text = txtEdit_->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    text += QStringLiteral("\r\n");
    if (!WriteFileAtomically(name, EncodeUserText(text.toStdString())))
        prompter_.Message(kSaveError, MsgIcon::Exclamation);
}

void EditorWindow::AddRecentFile(const std::string& name) {
    separator_->setVisible(true);
    for (const QAction* item : recent_)
        if (item->data().toString().toStdString() == name)
            return;
    const int index = static_cast<int>(recent_.size()) + 1;
    // A file name is shown as it is: "&" in it is not an accelerator.
    QString shown = QString::fromStdString(name);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* item = fileMenu_->addAction(shown);
    item->setData(QString::fromStdString(name));
    item->setObjectName(QStringLiteral("mnuFileArray(%1)").arg(index));
    connect(item, &QAction::triggered, this, [this, index] { RecentClick(index); });
    recent_.push_back(item);
}

void EditorWindow::RecentClick(int index) {
    if (index < 1 || index > static_cast<int>(recent_.size()))
        return;
    OpenTextFile(recent_[static_cast<size_t>(index) - 1]->data().toString().toStdString());
}

void EditorWindow::EditMenuOpening() {
    const bool selection = txtEdit_->textCursor().hasSelection();
    editItem_[0]->setEnabled(selection);
    editItem_[1]->setEnabled(selection);
}

void EditorWindow::EditItemClick(int index) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    QTextCursor cursor = txtEdit_->textCursor();
    switch (index) {
        case 0:
        case 1:
            if (!cursor.hasSelection())
                return;
            clipboard->clear();
            // The text area keeps paragraph separators inside a selection; the clipboard wants
            // ordinary line ends.
            clipboard->setText(
                cursor.selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')));
            if (index == 0)
                cursor.removeSelectedText();
            break;
        case 2:
            txtEdit_->insertPlainText(clipboard->text());
            break;
        default:
            break;
    }
}

}  // namespace ws
