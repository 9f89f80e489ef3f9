#pragma once
#include <QMainWindow>
#include <QPoint>
#include <functional>
#include <memory>

#include "data/record.h"
#include "map/map_model.h"
#include "map/map_view.h"
#include "ui/qt_surface.h"

class QLabel;
class QLineEdit;
class QTableWidget;

namespace ws {

class FilePicker;
class Prompter;
struct PrintServices;
class MapCanvas;

// "Карта толщин": the corrosion map of a survey folder.
class MapWindow : public QMainWindow {
    Q_OBJECT

  public:
    struct Hooks {
        // Double click on a cell: load that scan (a .mem path) and show it at a point index.
        std::function<void(const std::string& path, int index)> openScan;
        std::function<void()> showAbout;
    };
    MapWindow(Workspace& ws, Prompter& prompter, FilePicker& picker, PrintServices& print,
              Hooks hooks, QWidget* parent = nullptr);
    ~MapWindow() override;

    // Reads the folder and shows its map; false (after saying why) when there is nothing.
    bool Load(const std::string& folder);

    const MapModel& Model() const { return load_.model; }
    MapView& View() { return *view_; }
    ImageSurface& Picture() { return surface_; }
    MapLayout Layout() const;

    // Commands shared by the controls and tests.
    void FitClick();
    void ApplyStrip();
    void SavePngClick();
    void SavePdfClick();

    // Mouse on the canvas, in canvas pixels.
    void Hover(QPoint px);
    void Zoom(QPoint px, double factor);
    void PanBy(QPoint deltaPx);
    void SelectRect(QPoint from, QPoint to);
    void OpenAt(QPoint px);

  private:
    friend class MapCanvas;
    void Redraw();
    void ShowStats();
    double Upp() const;

    Workspace& ws_;
    Prompter& prompter_;
    FilePicker& picker_;
    PrintServices& print_;
    Hooks hooks_;
    MapLoadResult load_;
    std::unique_ptr<MapView> view_;
    ImageSurface surface_;
    MapCanvas* canvas_ = nullptr;
    QLineEdit* nominal_ = nullptr;
    QLineEdit* minAllowed_ = nullptr;
    QLineEdit* spacing_ = nullptr;
    QLabel* readout_ = nullptr;
    QTableWidget* stats_ = nullptr;
    Thresholds limits_;
    bool haveSelection_ = false;
    int32_t sel_[4] = {0, 0, 0, 0};  // rows and columns of the selected rectangle
};

}  // namespace ws
