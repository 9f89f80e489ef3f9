#pragma once
// The archive window's table: a model over the entries of one view of the catalog and a proxy
// that sorts by the values (not their text) and filters by the words of the filter box.

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <string>
#include <vector>

#include "survey/survey_archive.h"

namespace ws {

enum ArchiveColumn {
    kColDate,
    kColObject,
    kColSection,
    kColPoints,
    kColMin,
    kColMean,
    kColSource,
    kColDescription,
    kArchiveColumns
};

// The value a column sorts by: seconds, counts and millimetres as numbers, text as text.
inline constexpr int kSortRole = Qt::UserRole + 1;
inline constexpr int kEntryIdRole = Qt::UserRole + 2;

class ArchiveTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit ArchiveTableModel(std::string decimalSeparator, QObject* parent = nullptr);

    // Replaces every row (one reset: the view re-asks only for the rows it shows).
    void SetEntries(std::vector<ArchiveEntry> entries);
    const ArchiveEntry& Entry(int row) const { return entries_[static_cast<size_t>(row)]; }
    int RowOf(int64_t id) const;
    // The folded text the filter box searches in, one per row.
    const std::string& Haystack(int row) const { return haystack_[static_cast<size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    std::string decimal_;
    std::vector<ArchiveEntry> entries_;
    std::vector<std::string> haystack_;
};

class ArchiveFilterProxy : public QSortFilterProxyModel {
    Q_OBJECT

  public:
    explicit ArchiveFilterProxy(QObject* parent = nullptr);
    void SetFilterText(const std::string& text);

  protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    // Compares the entries' own values: going through QVariant for each of the 130,000
    // comparisons of a 10,000-row sort costs most of the window's fill time.
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

  private:
    std::vector<std::string> words_;
};

// The Russian word of a source for the table.
QString SourceCaption(EntrySource source);

}  // namespace ws
