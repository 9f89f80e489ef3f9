#pragma once
// The program's secondary windows: single instances, created on first use and kept until
// closed. The main window reaches every other window through here, never directly.

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "data/record.h"
#include "ui/printer.h"

class QPrinter;

namespace ws {

class Prompter;
class FilePicker;
class ProfileWindow;
class ProgressWindow;
class QtSerialPort;
class QtEventPump;
class GaugeLink;
class Printer;
class ReliefWindow;
class EditorWindow;
class SurveyArchive;
class ArchiveWindow;
class StatsWindow;
class MapWindow;
class ComparisonWindow;
struct ThresholdStore;

class AppWindows {
  public:
    AppWindows(Workspace& ws, Prompter& prompter, FilePicker& picker);
    virtual ~AppWindows();

    // Downloads the gauge's trace into the record: 1 on success, negative on failure.
    virtual int16_t DownloadFromGauge();
    // Ends a running download at its next poll without taking what came (the program is closing).
    virtual void AbortDownload();
    // The profile viewer for a thickness scan, the results table otherwise.
    void ShowCurrentTrace();
    virtual void ShowProfile();
    virtual void ShowTable();
    virtual void ShowRelief();
    virtual void ShowAbout(QWidget* owner);
    // Lets the operator map COM1 and COM2 to the system's serial devices.
    virtual void ShowPortSettings(QWidget* owner);
    // "&Статистика" of the profile viewer, beside it; follows its marks.
    virtual void ShowStats();
    // "&Карта толщин...": the corrosion map of a folder.
    virtual void ShowMap(const std::string& folder);
    // A double click on the map: the scan into the record as "Открыть файл" loads it, shown
    // in the profile viewer at the point, zoomed 4 times.
    void OpenScanAt(const std::string& path, int index);
    // Puts the thresholds of the record's archive object (when it has one) into the session;
    // false when there is no such object.
    bool ApplyObjectThresholds();
    // Where the statistics window keeps the thresholds: the object of the record's archive
    // entry when there is one, else the session.
    ThresholdStore ObjectThresholds();
    // "Сравнить" of the archive window: the two entries in inspection order.
    virtual void ShowComparison(int64_t firstId, int64_t secondId);
    // "Отчёт..." of the profile viewer (the record as shown) and of the archive window (an
    // entry): asks for the PDF's name, writes it and opens it.
    virtual void MakeReport();
    virtual void MakeEntryReport(int64_t id);
    // "Печать отчёта" of the profile viewer: the same document on the default printer.
    virtual void PrintRecordReport();
    // Shows a written document (the report): the system's viewer; tests replace it.
    std::function<void(const std::string& path)> openDocument;
    // Closes every secondary window (the program is ending).
    virtual void CloseAll();

    // The survey archive, or null when it is off: in tests, or when it could not be opened
    // (`problem` says why, for the archive's menu items).
    void SetArchive(SurveyArchive* archive, std::string problem = {});
    SurveyArchive* Archive() const { return archive_; }
    // Files the trace the user has just saved as `path` in the archive.
    void FileSavedTrace(const std::string& path);
    // "Архив замеров" and "Импорт в архив...".
    virtual void ShowArchive(QWidget* owner);
    virtual void ImportIntoArchive(QWidget* owner);

    // What the windows print on: the default printer, PDF files, and the user's answers.
    PrintServices& Printing() { return *printing_; }

  protected:
    Workspace& ws_;
    Prompter& prompter_;
    FilePicker& picker_;

  private:
    std::unique_ptr<Printer> printer_;
    std::unique_ptr<PrintServices> printing_;
    QPointer<ProfileWindow> form1_;
    std::unique_ptr<QtSerialPort> port_;
    std::unique_ptr<QtEventPump> pump_;
    std::unique_ptr<ProgressWindow> progress_;
    std::unique_ptr<GaugeLink> link_;
    QPointer<ReliefWindow> relief_;
    QPointer<EditorWindow> editor_;
    std::unique_ptr<Printer> reliefPrinter_;
    SurveyArchive* archive_ = nullptr;
    std::string archiveProblem_;
    QPointer<ArchiveWindow> archiveWindow_;
    QPointer<StatsWindow> stats_;
    QPointer<MapWindow> map_;
    QPointer<ComparisonWindow> comparison_;
    void FileDownloadInArchive();
    bool ArchiveAvailable();
};

}  // namespace ws
