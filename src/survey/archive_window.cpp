#include "survey/archive_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <filesystem>

#include "data/numbers.h"
#include "data/text.h"
#include "data/trace_file.h"
#include "survey/archive_model.h"
#include "survey/survey_archive.h"
#include "survey/survey_text.h"
#include "ui/file_picker.h"
#include "ui/prompter.h"
#include "ui/qt_windows.h"

namespace ws {
namespace {

const FileFilter kMemFilter{"Mem Files (*.mem)", "*.mem", "mem"};

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string S(const QString& s) {
    return s.toStdString();
}

QString Millimetres(const std::optional<double>& v, const std::string& decimal) {
    return v ? Q(FormatMask(*v, "##0.00", decimal)) : QString();
}

}  // namespace

ArchiveWindow::ArchiveWindow(SurveyArchive& archive, Workspace& ws, Prompter& prompter,
                             FilePicker& picker, Hooks hooks, QWidget* parent)
    : QWidget(parent, Qt::Window),
      archive_(archive),
      ws_(ws),
      prompter_(prompter),
      picker_(picker),
      hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("frmArchive"));
    setWindowTitle(QStringLiteral("Архив замеров"));
    BuildControls();
    resize(1220, 640);
    Reload();
    archive_.ChangedElsewhere();  // from here on, changes by other programs are noticed
    CenterOnScreen(*this);
}

ArchiveWindow::~ArchiveWindow() = default;

void ArchiveWindow::BuildControls() {
    auto* outer = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    auto* top = new QHBoxLayout;
    filter_ = new QLineEdit(this);
    filter_->setObjectName(QStringLiteral("txtFilter"));
    filter_->setPlaceholderText(QStringLiteral("Поиск: объект, участок, исполнитель, примечание"));
    filter_->setClearButtonEnabled(true);
    view_ = new QComboBox(this);
    view_->setObjectName(QStringLiteral("cboView"));
    view_->addItems({QStringLiteral("Замеры"), QStringLiteral("Удалённые")});
    top->addWidget(new QLabel(QStringLiteral("Найти:"), this));
    top->addWidget(filter_, 1);
    top->addWidget(view_);
    left->addLayout(top);

    model_ = new ArchiveTableModel(ws_.DecimalSeparator, this);
    proxy_ = new ArchiveFilterProxy(this);
    proxy_->setSourceModel(model_);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("grdEntries"));
    table_->setModel(proxy_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    // Fixed row heights: with thousands of rows the view must not measure each one.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->verticalHeader()->hide();
    table_->setSortingEnabled(true);
    table_->sortByColumn(kColDate, Qt::DescendingOrder);
    const int widths[kArchiveColumns] = {122, 140, 120, 50, 70, 78, 70, 160};
    for (int c = 0; c < kArchiveColumns; ++c)
        table_->setColumnWidth(c, widths[c]);
    table_->horizontalHeader()->setStretchLastSection(true);
    left->addWidget(table_, 1);

    auto* buttons = new QHBoxLayout;
    auto makeButton = [&](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QLatin1String(name));
        buttons->addWidget(b);
        return b;
    };
    open_ = makeButton("cmdOpen", "Открыть");
    export_ = makeButton("cmdExport", "Экспорт...");
    delete_ = makeButton("cmdDelete", "Удалить");
    compare_ = makeButton("cmdCompare", "Сравнить");
    compare_->setToolTip(QStringLiteral("Скорость коррозии между двумя выбранными замерами"));
    report_ = makeButton("cmdReport", "Отчёт...");
    buttons->addStretch();
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("lblCount"));
    buttons->addWidget(count_);
    left->addLayout(buttons);
    outer->addLayout(left, 1);

    // The side panel: the description of the selected trace and its object's thresholds.
    auto* panel = new QGroupBox(QStringLiteral("Описание замера"), this);
    panel->setObjectName(QStringLiteral("fraDescription"));
    panel->setFixedWidth(320);
    auto* form = new QFormLayout(panel);
    object_ = new QComboBox(panel);
    object_->setObjectName(QStringLiteral("cboObject"));
    object_->setEditable(true);
    object_->setInsertPolicy(QComboBox::NoInsert);
    nominal_ = new QLineEdit(panel);
    nominal_->setObjectName(QStringLiteral("txtNominal"));
    minAllowed_ = new QLineEdit(panel);
    minAllowed_->setObjectName(QStringLiteral("txtMinAllowed"));
    section_ = new QLineEdit(panel);
    section_->setObjectName(QStringLiteral("txtSection"));
    inspector_ = new QLineEdit(panel);
    inspector_->setObjectName(QStringLiteral("txtInspector"));
    date_ = new QDateEdit(panel);
    date_->setObjectName(QStringLiteral("dtpInspected"));
    date_->setCalendarPopup(true);
    date_->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    notes_ = new QPlainTextEdit(panel);
    notes_->setObjectName(QStringLiteral("txtNotes"));
    notes_->setTabChangesFocus(true);
    form->addRow(QStringLiteral("Объект:"), object_);
    form->addRow(QStringLiteral("Номинал, мм:"), nominal_);
    form->addRow(QStringLiteral("Мин. допуст., мм:"), minAllowed_);
    form->addRow(QStringLiteral("Участок:"), section_);
    form->addRow(QStringLiteral("Исполнитель:"), inspector_);
    form->addRow(QStringLiteral("Дата замера:"), date_);
    form->addRow(QStringLiteral("Примечание:"), notes_);
    save_ = new QPushButton(QStringLiteral("Сохранить описание"), panel);
    save_->setObjectName(QStringLiteral("cmdSaveDescription"));
    likePrevious_ = new QPushButton(QStringLiteral("Тот же объект, следующий участок"), panel);
    likePrevious_->setObjectName(QStringLiteral("cmdLikePrevious"));
    likePrevious_->setToolTip(
        QStringLiteral("Объект и исполнитель предыдущего замера, номер участка на один больше"));
    form->addRow(save_);
    form->addRow(likePrevious_);
    details_ = new QLabel(panel);
    details_->setObjectName(QStringLiteral("lblDetails"));
    details_->setWordWrap(true);
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    details_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    form->addRow(details_);
    outer->addWidget(panel);

    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        proxy_->SetFilterText(S(text));
        count_->setText(
            QStringLiteral("Показано %1 из %2").arg(VisibleRows()).arg(model_->rowCount()));
    });
    connect(view_, &QComboBox::currentIndexChanged, this, [this] {
        delete_->setText(view_->currentIndex() == 1 ? QStringLiteral("Восстановить")
                                                    : QStringLiteral("Удалить"));
        Reload();
    });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ShowSelected(); });
    connect(table_, &QTableView::doubleClicked, this, [this] { OpenClick(); });
    connect(object_, &QComboBox::currentTextChanged, this, [this](const QString& name) {
        // Choosing a known object shows its thresholds; a new name starts with none.
        const auto obj = archive_.FindObject(S(name));
        nominal_->setText(obj ? Millimetres(obj->NominalMm, ws_.DecimalSeparator) : QString());
        minAllowed_->setText(obj ? Millimetres(obj->MinAllowedMm, ws_.DecimalSeparator)
                                 : QString());
    });
    connect(open_, &QPushButton::clicked, this, &ArchiveWindow::OpenClick);
    connect(export_, &QPushButton::clicked, this, &ArchiveWindow::ExportClick);
    connect(delete_, &QPushButton::clicked, this, &ArchiveWindow::DeleteClick);
    connect(compare_, &QPushButton::clicked, this, &ArchiveWindow::CompareClick);
    connect(report_, &QPushButton::clicked, this, &ArchiveWindow::ReportClick);
    connect(save_, &QPushButton::clicked, this, &ArchiveWindow::SaveDescriptionClick);
    connect(likePrevious_, &QPushButton::clicked, this, &ArchiveWindow::LikePreviousClick);
}

void ArchiveWindow::Reload() {
    const auto keep = SelectedIds();
    ListQuery q;
    q.Deleted = view_->currentIndex() == 1;
    model_->SetEntries(archive_.List(q));
    FillObjects();
    count_->setText(QStringLiteral("Показано %1 из %2").arg(VisibleRows()).arg(model_->rowCount()));
    for (const int64_t id : keep)
        SelectEntry(id);
    ShowSelected();
}

void ArchiveWindow::changeEvent(QEvent* event) {
    // wallscan-cli may have filed or described entries while another window had the focus.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        archive_.ChangedElsewhere()) {
        keepPanel_ = true;
        Reload();
        keepPanel_ = false;
    }
    QWidget::changeEvent(event);
}

void ArchiveWindow::FillObjects() {
    const QString current = object_->currentText();
    const QSignalBlocker block(object_);
    object_->clear();
    object_->addItem(QString());
    for (const auto& o : archive_.Objects())
        object_->addItem(Q(o.Name));
    object_->setCurrentText(current);
}

void ArchiveWindow::SelectEntry(int64_t id) {
    const int row = model_->RowOf(id);
    if (row < 0)
        return;
    const QModelIndex index = proxy_->mapFromSource(model_->index(row, 0));
    if (!index.isValid())
        return;
    table_->selectionModel()->select(index,
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    table_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    table_->scrollTo(index);
}

std::vector<int64_t> ArchiveWindow::SelectedIds() const {
    std::vector<int64_t> ids;
    if (!table_ || !table_->selectionModel())
        return ids;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows())
        ids.push_back(index.data(kEntryIdRole).toLongLong());
    return ids;
}

int ArchiveWindow::VisibleRows() const {
    return proxy_->rowCount();
}

void ArchiveWindow::ShowSelected() {
    const auto ids = SelectedIds();
    const bool one = ids.size() == 1;
    const bool live = view_->currentIndex() == 0;
    open_->setEnabled(one);
    export_->setEnabled(one);
    delete_->setEnabled(!ids.empty());
    compare_->setEnabled(ids.size() == 2 && bool(hooks_.compare));
    report_->setEnabled(one && bool(hooks_.report));
    for (QWidget* w :
         std::initializer_list<QWidget*>{object_, nominal_, minAllowed_, section_, inspector_,
                                         date_, notes_, save_, likePrevious_})
        w->setEnabled(one && live);
    if (!one) {
        // A background refresh passes through an empty selection on its way back.
        if (keepPanel_)
            return;
        shownId_ = 0;
        details_->setText(ids.empty() ? QStringLiteral("Выберите замер в таблице.")
                                      : QStringLiteral("Выбрано замеров: %1").arg(ids.size()));
        return;
    }
    if (keepPanel_ && ids[0] == shownId_)
        return;
    shownId_ = ids[0];
    const auto e = archive_.Get(ids[0]);
    if (!e)
        return;
    {
        const QSignalBlocker block(object_);
        object_->setCurrentText(Q(e->Object));
    }
    const auto obj = archive_.ObjectOfEntry(e->Id);
    nominal_->setText(obj ? Millimetres(obj->NominalMm, ws_.DecimalSeparator) : QString());
    minAllowed_->setText(obj ? Millimetres(obj->MinAllowedMm, ws_.DecimalSeparator) : QString());
    section_->setText(Q(e->Section));
    inspector_->setText(Q(e->Inspector));
    date_->setDate(QDate::fromString(Q(e->InspectedOn), Qt::ISODate));
    notes_->setPlainText(Q(e->Notes));

    QString text =
        QStringLiteral("Запись № %1, источник: %2.").arg(e->Id).arg(SourceCaption(e->Source));
    if (e->Source == EntrySource::Gauge) {
        text += QStringLiteral(
                    "\nПорт %1 (%2), %3 бит/с.\nБайт ожидалось %4, принято %5, ошибок "
                    "линии %6.")
                    .arg(Q(e->Port), Q(e->Device))
                    .arg(e->Baud)
                    .arg(e->ExpectedBytes)
                    .arg(e->ReceivedBytes)
                    .arg(e->LineErrors);
    }
    text += QStringLiteral("\nРежим %1, точек %2; мин. %3, средн. %4, макс. %5 мм.")
                .arg(e->Regime)
                .arg(e->PointCount)
                .arg(Millimetres(e->MinMm, ws_.DecimalSeparator),
                     Millimetres(e->MeanMm, ws_.DecimalSeparator),
                     Millimetres(e->MaxMm, ws_.DecimalSeparator));
    text += QStringLiteral("\nФайл: %1").arg(Q(e->TraceFile));
    for (const auto& p : e->Paths)
        text += QStringLiteral("\nСохранён как: %1").arg(Q(p));
    details_->setText(text);
}

void ArchiveWindow::OpenClick() {
    const auto ids = SelectedIds();
    if (ids.size() != 1)
        return;
    const auto e = archive_.Get(ids[0]);
    if (!e)
        return;
    std::error_code ec;
    if (!std::filesystem::exists(PathFromUtf8(e->TraceFile), ec)) {
        prompter_.Message("Файл замера не найден: " + e->TraceFile, MsgIcon::Exclamation);
        return;
    }
    // Exactly what "Открыть файл" does with the archived file, then the record knows its entry.
    if (!LoadTrace(ws_, prompter_, e->TraceFile))
        return;
    ws_.ArchiveEntryId = e->Id;
    if (ws_.PointCount > 0 && hooks_.showTrace)
        hooks_.showTrace();
}

void ArchiveWindow::ExportClick() {
    const auto ids = SelectedIds();
    if (ids.size() != 1)
        return;
    const std::string target = picker_.SaveFile("Экспорт замера", kMemFilter);
    if (target.empty())
        return;
    std::error_code ec;
    if (std::filesystem::exists(PathFromUtf8(target), ec) &&
        !prompter_.AskYesNo("Файл уже существует. Перезаписать?"))
        return;
    if (!archive_.Export(ids[0], target))
        prompter_.Message("Замер не экспортирован: " + archive_.LastError(), MsgIcon::Exclamation);
}

void ArchiveWindow::DeleteClick() {
    const auto ids = SelectedIds();
    if (ids.empty())
        return;
    const bool live = view_->currentIndex() == 0;
    if (!archive_.SetDeleted(ids, live)) {
        prompter_.Message("Архив: " + archive_.LastError(), MsgIcon::Exclamation);
        return;
    }
    table_->clearSelection();
    Reload();
}

void ArchiveWindow::SaveDescriptionClick() {
    const auto ids = SelectedIds();
    if (ids.size() != 1)
        return;
    std::optional<double> nominal, minAllowed;
    if (!ParseMillimetres(S(nominal_->text()), nominal) ||
        !ParseMillimetres(S(minAllowed_->text()), minAllowed)) {
        prompter_.Message("Толщина задаётся числом миллиметров, например 12,5",
                          MsgIcon::Exclamation);
        return;
    }
    EntryDescription d;
    d.Object = S(object_->currentText());
    d.Section = S(section_->text());
    d.Inspector = S(inspector_->text());
    d.InspectedOn = S(date_->date().toString(Qt::ISODate));
    d.Notes = S(notes_->toPlainText());
    if (!archive_.Describe(ids[0], d)) {
        prompter_.Message("Описание не сохранено: " + archive_.LastError(), MsgIcon::Exclamation);
        return;
    }
    if (const auto obj = archive_.ObjectOfEntry(ids[0])) {
        if (!archive_.SetObjectThresholds(obj->Id, nominal, minAllowed))
            prompter_.Message("Толщины объекта не сохранены: " + archive_.LastError(),
                              MsgIcon::Exclamation);
    }
    Reload();
}

void ArchiveWindow::LikePreviousClick() {
    const auto ids = SelectedIds();
    if (ids.size() != 1)
        return;
    const auto prev = archive_.PreviousEntry(ids[0]);
    if (!prev) {
        prompter_.Message("Нет более раннего замера.");
        return;
    }
    object_->setCurrentText(Q(prev->Object));
    section_->setText(Q(NextSection(prev->Section)));
    inspector_->setText(Q(prev->Inspector));
    SaveDescriptionClick();
}

void ArchiveWindow::CompareClick() {
    const auto ids = SelectedIds();
    if (ids.size() == 2 && hooks_.compare)
        hooks_.compare(ids[0], ids[1]);
}

void ArchiveWindow::ReportClick() {
    const auto ids = SelectedIds();
    if (ids.size() == 1 && hooks_.report)
        hooks_.report(ids[0]);
}

}  // namespace ws
