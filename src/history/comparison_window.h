#pragma once
#include <QWidget>
#include <optional>
#include <string>

#include "history/corrosion_rate.h"
#include "history/dated_scan.h"
#include "ui/qt_surface.h"

class QLabel;
class QPushButton;
class QSpinBox;

namespace ws {

// "Сравнение замеров": two inspections of one line, the later aligned to the earlier, both
// profiles over each other, the loss per point under them and the figures above; the shift
// can be set by hand and "Авто" goes back to the best one.
class ComparisonWindow : public QWidget {
    Q_OBJECT

  public:
    // `earlier` and `later` in inspection order; `tmin` in mm (none or 0: not set).
    ComparisonWindow(InspectionScan earlier, InspectionScan later, std::optional<double> tmin,
                     std::string decimalSeparator, QWidget* parent = nullptr);
    ~ComparisonWindow() override;

    // Compares at the shift in the spin box.
    void ShiftChanged(int shift);
    // Searches for the best shift and shows it.
    void AutoClick();

    const CompareResult& Result() const { return result_; }
    ImageSurface& Picture() { return picture_; }

  private:
    void Show();

    InspectionScan earlier_, later_;
    std::optional<double> tmin_;
    std::string sep_;
    CompareResult result_;
    QLabel* figures_ = nullptr;
    QLabel* canvas_ = nullptr;
    QSpinBox* shift_ = nullptr;
    QPushButton* auto_ = nullptr;
    ImageSurface picture_;
};

}  // namespace ws
