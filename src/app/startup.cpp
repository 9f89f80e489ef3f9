#include "app/startup.h"

#include <filesystem>

#include "data/settings.h"
#include "data/text.h"
#include "data/trace_file.h"
#include "ui/prompter.h"

namespace ws {

int PortIndexFor(const std::string& portName) {
    return portName == "COM1" ? 1 : 2;
}

int16_t BaudIndexFor(int32_t baudRate) {
    switch (baudRate) {
        case 9600:
            return 2;
        case 57600:
            return 3;
        default:
            return 1;
    }
}

int32_t BaudRateFor(int16_t baudIndex) {
    switch (baudIndex) {
        case 2:
            return 9600;
        case 3:
            return 57600;
        default:
            return 2400;
    }
}

void StartUp(Workspace& ws, Prompter& prompter, const std::string& currentDir) {
    ws.ReliefDir = currentDir;
    ws.PrintFontSize = 12;
    ws.TableRows = 36;
    ws.RangeOfMeasure = 0.0f;
    ws.BaudIndex = 1;
    ws.BaudRate = 2400;
    ws.HomeDir = currentDir;
    LoadSettings(ws, prompter);
    ws.RangeFromZero = true;
    ws.FilterOn = false;
    ws.DialogFileName.clear();
    ws.PortName = PortIndexFor(ws.PortName) == 1 ? "COM1" : "COM2";
    ws.BaudIndex = BaudIndexFor(ws.BaudRate);
    ws.BaudRate = BaudRateFor(ws.BaudIndex);

    const std::string working = WorkingFilePath(ws);
    std::error_code ec;
    if (!std::filesystem::exists(PathFromUtf8(working), ec)) {
        prompter.Message("Отсутствует файл temp.mem");
        ws.PointCount = 0;
        ws.Regime = 0;
        return;
    }
    LoadTrace(ws, prompter, working);
    ws.CurrentFileName = "не определен";
}

void ShutDown(Workspace& ws, Prompter& prompter) {
    SaveSettings(ws, prompter);
    SaveTrace(ws, prompter, kWorkingFileName);
}

}  // namespace ws
