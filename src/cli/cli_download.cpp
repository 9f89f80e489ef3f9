#include <cstdio>
#include <memory>

#include "cli/cli.h"
#include "data/numbers.h"
#include "data/record.h"
#include "data/trace_file.h"
#include "link/gauge_link.h"
#include "link/port_names.h"
#include "link/qt_serial_port.h"
#include "survey/survey_archive.h"
#include "ui/qt_surface.h"

namespace ws::cli {
namespace {

// The progress window's text goes to standard error, one line per change.
class StderrProgress : public ProgressDisplay {
  public:
    StderrProgress() : bar_(320, 28, 96.0) {}
    void Open() override {}
    void Close() override {}
    Surface& Bar() override { return bar_; }
    void SetText(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }

  private:
    ImageSurface bar_;
};

int Usage(const char* why, const std::string& what) {
    return UsageError("download", why, what);
}

}  // namespace

int RunDownload(const Args& args) {
    std::string device, out, baud, archiveDir;
    bool filter = false, archive = true;
    for (ArgCursor words(args); words.Next();) {
        const std::string& a = words.Word();
        if (a == "--device") {
            if (!words.Value(device))
                return Usage("нет устройства после ", a);
        } else if (a == "--baud") {
            if (!words.Value(baud))
                return Usage("нет скорости после ", a);
        } else if (a == "-o" || a == "--output") {
            if (!words.Value(out))
                return Usage("нет имени файла после ", a);
        } else if (a == "--filter") {
            filter = true;
        } else if (a == "--no-archive") {
            archive = false;
        } else if (a == "--archive") {
            if (!words.Value(archiveDir))
                return Usage("нет папки после ", a);
        } else {
            return Usage("неизвестный параметр ", a);
        }
    }
    if (device.empty())
        return Usage("не указано устройство (--device)", "");
    auto ws = std::make_unique<Workspace>();
    if (baud == "2400" || baud.empty())
        ws->BaudIndex = 1;
    else if (baud == "9600")
        ws->BaudIndex = 2;
    else if (baud == "57600")
        ws->BaudIndex = 3;
    else
        return Usage("скорость 2400, 9600 или 57600, получено ", baud);
    ws->FilterOn = filter;

    StderrPrompter prompter;
    QtSerialPort port;
    QtEventPump pump;
    StderrProgress progress;
    GaugeLink link(*ws, port, pump, prompter, progress);
    link.Device = DeviceFor(device, LoadPortMap());
    const int16_t code = link.DownloadFromGauge();
    if (code < 1 || !link.Received() || ws->PointCount < 1) {
        std::fprintf(stderr, "Нет связи!\n");
        return kFailed;
    }
    std::fprintf(stderr, "wallscan-cli download: %s, режим %d\n",
                 CountedNoun(ws->PointCount, "точка", "точки", "точек").c_str(), ws->Regime);
    if (archive) {
        // Filed as the window files it; a failure is told but does not lose the output.
        DownloadFacts facts;
        facts.Port = device;
        facts.Device = link.Device;
        facts.Baud = ws->BaudRate;
        facts.ExpectedBytes = link.ExpectedBytes;
        facts.ReceivedBytes = link.RxCount;
        facts.LineErrors = link.LineErrors;
        FileDownloadInArchive(archiveDir, ws->CurrentTrace(), link.Raw, facts);
    }
    return WriteOutput(out, FormatTraceFile(ws->CurrentTrace())) ? kOk : kFailed;
}

}  // namespace ws::cli
