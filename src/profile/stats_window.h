#pragma once
#include <QWidget>
#include <functional>
#include <optional>

#include "data/record.h"
#include "data/statistics.h"
#include "ui/qt_surface.h"

class QLabel;
class QLineEdit;
class QTableWidget;

namespace ws {

class Prompter;

// Where the thresholds of the record's object live. Without a store they stay in the
// session (the workspace); the program hands the survey archive's object here when the trace
// has an archive entry.
struct ThresholdStore {
    // The object's values, or nothing when the record has no object to ask.
    std::function<std::optional<Thresholds>()> load;
    // Keeps new values with the object; false (after saying why) when that failed.
    std::function<bool(const Thresholds&)> save;
};

// "Статистика": the whole trace and the marked part side by side, the object's thresholds,
// and the histogram of the readings.
class StatsWindow : public QWidget {
    Q_OBJECT

  public:
    StatsWindow(Workspace& ws, Prompter& prompter, ThresholdStore store, QWidget* parent = nullptr);
    ~StatsWindow() override;

    // Reads the thresholds from the store (when it has the object) and recomputes everything
    // from the record: on opening and whenever the record or its marks changed.
    void Reload();
    // Recomputes from the record with the thresholds as they stand (after each marking).
    void Refresh();
    // Takes the typed thresholds: into the session, to the store, and tells the profile.
    void ApplyThresholds();

    ImageSurface& HistogramPicture() { return histogram_; }

  signals:
    void thresholdsChanged();

  private:
    Workspace& ws_;
    Prompter& prompter_;
    ThresholdStore store_;
    QTableWidget* table_ = nullptr;
    QLineEdit* nominal_ = nullptr;
    QLineEdit* minAllowed_ = nullptr;
    QLabel* where_ = nullptr;
    QLabel* picture_ = nullptr;
    ImageSurface histogram_;
};

}  // namespace ws
