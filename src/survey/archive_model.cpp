#include "survey/archive_model.h"

#include <QDateTime>

#include "data/numbers.h"
#include "survey/survey_text.h"

namespace ws {

QString SourceCaption(EntrySource source) {
    switch (source) {
        case EntrySource::Saved:
            return QStringLiteral("сохранён");
        case EntrySource::Imported:
            return QStringLiteral("импорт");
        case EntrySource::Gauge:
            break;
    }
    return QStringLiteral("прибор");
}

namespace {

QString Description(const ArchiveEntry& e) {
    QString text = QString::fromStdString(e.Inspector);
    if (!e.Notes.empty()) {
        if (!text.isEmpty())
            text += QStringLiteral("; ");
        text += QString::fromStdString(e.Notes).simplified();
    }
    return text;
}

}  // namespace

ArchiveTableModel::ArchiveTableModel(std::string decimalSeparator, QObject* parent)
    : QAbstractTableModel(parent), decimal_(std::move(decimalSeparator)) {}

void ArchiveTableModel::SetEntries(std::vector<ArchiveEntry> entries) {
    beginResetModel();
    entries_ = std::move(entries);
    haystack_.clear();
    haystack_.reserve(entries_.size());
    for (const auto& e : entries_)
        haystack_.push_back(
            FoldCase(e.Object + '\n' + e.Section + '\n' + e.Inspector + '\n' + e.Notes));
    endResetModel();
}

int ArchiveTableModel::RowOf(int64_t id) const {
    for (size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].Id == id)
            return static_cast<int>(i);
    return -1;
}

int ArchiveTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

int ArchiveTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kArchiveColumns;
}

QVariant ArchiveTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const ArchiveEntry& e = entries_[static_cast<size_t>(index.row())];
    if (role == kEntryIdRole)
        return QVariant::fromValue<qlonglong>(e.Id);
    auto mm = [&](const std::optional<double>& v) -> QVariant {
        if (role == kSortRole)
            return v ? *v : -1.0;
        return v ? QString::fromStdString(FormatMask(*v, "##0.00", decimal_)) : QString();
    };
    if (role == Qt::TextAlignmentRole) {
        const bool number =
            index.column() == kColPoints || index.column() == kColMin || index.column() == kColMean;
        return QVariant::fromValue((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != kSortRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
        case kColDate:
            if (role == kSortRole)
                return QVariant::fromValue<qlonglong>(e.FiledUtc);
            // Kept in UTC, shown in the machine's time zone.
            return QDateTime::fromSecsSinceEpoch(e.FiledUtc)
                .toLocalTime()
                .toString(QStringLiteral("dd.MM.yyyy HH:mm"));
        case kColObject:
            return QString::fromStdString(e.Object);
        case kColSection:
            return QString::fromStdString(e.Section);
        case kColPoints:
            return role == kSortRole ? QVariant(e.PointCount)
                                     : QVariant(QString::number(e.PointCount));
        case kColMin:
            return mm(e.MinMm);
        case kColMean:
            return mm(e.MeanMm);
        case kColSource:
            return SourceCaption(e.Source);
        case kColDescription:
            return Description(e);
        default:
            return {};
    }
}

QVariant ArchiveTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const captions[kArchiveColumns] = {
        "Дата", "Объект", "Участок", "Точек", "Мин., мм", "Средн., мм", "Источник", "Описание"};
    return section >= 0 && section < kArchiveColumns ? QString::fromUtf8(captions[section])
                                                     : QVariant();
}

ArchiveFilterProxy::ArchiveFilterProxy(QObject* parent) : QSortFilterProxyModel(parent) {
    setSortRole(kSortRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
}

void ArchiveFilterProxy::SetFilterText(const std::string& text) {
    words_ = FilterWords(text);
    invalidateFilter();
}

bool ArchiveFilterProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    if (words_.empty())
        return true;
    const auto* model = static_cast<const ArchiveTableModel*>(sourceModel());
    const std::string& hay = model->Haystack(sourceRow);
    for (const auto& w : words_)
        if (hay.find(w) == std::string::npos)
            return false;
    return true;
}

bool ArchiveFilterProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    const auto* model = static_cast<const ArchiveTableModel*>(sourceModel());
    const ArchiveEntry& a = model->Entry(left.row());
    const ArchiveEntry& b = model->Entry(right.row());
    // Ties fall back on the filing order, so equal values keep the newest first.
    auto byTime = [&] { return a.FiledUtc != b.FiledUtc ? a.FiledUtc < b.FiledUtc : a.Id < b.Id; };
    auto mm = [&](const std::optional<double>& x, const std::optional<double>& y) {
        const double vx = x.value_or(-1.0), vy = y.value_or(-1.0);
        return vx != vy ? vx < vy : byTime();
    };
    auto text = [&](const std::string& x, const std::string& y) {
        if (x == y)
            return byTime();
        return QString::fromStdString(x).compare(QString::fromStdString(y), Qt::CaseInsensitive) <
               0;
    };
    switch (left.column()) {
        case kColObject:
            return text(a.Object, b.Object);
        case kColSection:
            return text(a.Section, b.Section);
        case kColPoints:
            return a.PointCount != b.PointCount ? a.PointCount < b.PointCount : byTime();
        case kColMin:
            return mm(a.MinMm, b.MinMm);
        case kColMean:
            return mm(a.MeanMm, b.MeanMm);
        case kColSource:
            return a.Source != b.Source ? static_cast<int>(a.Source) < static_cast<int>(b.Source)
                                        : byTime();
        case kColDescription:
            return text(a.Inspector + '\n' + a.Notes, b.Inspector + '\n' + b.Notes);
        default:
            return byTime();
    }
}

}  // namespace ws
