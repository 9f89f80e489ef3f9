#pragma once
// The main window over a fresh folder, with scripted dialogs and a record of the viewers it
// opens instead of real ones. For window tests (they link the Qt side).

#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app_windows.h"
#include "app/switchboard.h"
#include "support/fake_file_picker.h"
#include "support/fake_prompter.h"
#include "support/temp_dir.h"

namespace ws::test {

// Viewers opened, in order: "profile", "table", "relief", "map <folder>". The download answers
// as scripted (a code and, when it succeeds, the record it leaves).
class RecordingWindows : public AppWindows {
  public:
    using AppWindows::AppWindows;
    int16_t DownloadFromGauge() override {
        ++downloads;
        if (duringDownload)  // e.g. the operator closes the program while the gauge sends
            duringDownload();
        if (aborted)
            return 0;
        if (downloadResult > 0) {
            ws_.Regime = downloadRegime;
            ws_.PointCount = downloadPoints;
        }
        return downloadResult;
    }
    void ShowProfile() override { shown.push_back("profile"); }
    void ShowTable() override { shown.push_back("table"); }
    void ShowRelief() override { shown.push_back("relief"); }
    void ShowMap(const std::string& folder) override { shown.push_back("map " + folder); }
    void CloseAll() override { ++closed; }
    void AbortDownload() override { ++aborted; }

    std::function<void()> duringDownload;
    int aborted = 0, downloads = 0, closed = 0;
    int16_t downloadResult = -1;  // "no link"
    int16_t downloadRegime = kRegimeScan;
    int32_t downloadPoints = 10;
    std::vector<std::string> shown;
};

struct BoardFixture {
    TempDir dir;
    std::unique_ptr<Workspace> ws = std::make_unique<Workspace>();
    FakePrompter prompter;
    FakeFilePicker picker;
    RecordingWindows windows{*ws, prompter, picker};
    Switchboard board{*ws, windows, prompter, picker};

    // Start-up in the fixture's folder; its messages are dropped unless a test wants them.
    void Load(bool keepMessages = false) {
        board.Load(dir.str());
        if (!keepMessages)
            prompter.shown.clear();
    }
    template <typename T>
    T* Find(const QString& name) {
        T* w = board.findChild<T*>(name);
        if (!w)
            qFatal("control %s not found", qPrintable(name));
        return w;
    }
    void Click(const QString& name) { QTest::mouseClick(Find<QPushButton>(name), Qt::LeftButton); }
};

}  // namespace ws::test
