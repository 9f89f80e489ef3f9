#include "link/gauge_link.h"

#include <algorithm>

#include "data/conditioning.h"
#include "data/numbers.h"
#include "ui/prompter.h"
#include "ui/surface.h"

namespace ws {
namespace {
// A gauge never sends more than a header and 8200 data bytes; a line that keeps talking (noise,
// a wrong device) must not grow the diagnostic copy without bound.
constexpr size_t kRawLimit = 64 * 1024;
}  // namespace

void WaitSeconds(EventPump& pump, double seconds) {
    const double start = pump.Now();
    for (double elapsed = 0.0; elapsed < seconds; elapsed = pump.Now() - start)
        pump.RunEvents(seconds - elapsed);
}

void ProgressBar::Activate(Surface& bar) {
    bar.Clear(kWhite);
    BarSteps = 20;
    BarStepsDrawn = -1;
}

std::string ProgressBar::ShowProgress(Surface& bar, int32_t received, int32_t expected) {
    if (expected <= 0)
        return {};
    int32_t n = RoundToInt16(static_cast<double>(received) * BarSteps / expected).value_or(32767);
    if (n > BarSteps)
        n = BarSteps;
    if (n <= BarStepsDrawn)
        return {};
    const double w = bar.Width(), h = bar.Height();
    for (int32_t i = BarStepsDrawn + 1; i <= n; ++i) {
        const double x1 = (w - 10) * (i - 1) / BarSteps + 30;
        const double x2 = (w - 10) * i / BarSteps - 30;
        bar.FilledBox(x1, 10, x2, h - 10, Rgb{0, 0, 128});
    }
    const int16_t percent =
        RoundToInt16(static_cast<double>(received) * 100.0 / expected).value_or(32767);
    BarStepsDrawn = n;
    return "Передано " + std::to_string(percent) + "%";
}

GaugeLink::GaugeLink(Workspace& ws, SerialPort& port, EventPump& pump, Prompter& prompter,
                     ProgressDisplay& progress)
    : ws_(ws), port_(port), pump_(pump), prompter_(prompter), progress_(progress) {}

int16_t GaugeLink::OpenPort(bool& goOn) {
    int16_t code = 1;
    goOn = false;
    if (ws_.BaudIndex < 1 || ws_.BaudIndex > 3) {
        prompter_.Message("Ошибка построения DCB 0");
        return -1;
    }
    static constexpr int32_t kRates[] = {0, 2400, 9600, 57600};
    ws_.BaudRate = kRates[ws_.BaudIndex];
    if (!port_.Open(Device)) {
        prompter_.Message("Ошибка открытия порта");
        return -2;
    }
    progress_.Open();
    Bar.Activate(progress_.Bar());
    if (!port_.SetQueueSizes(kReadLimit, kReadLimit)) {
        prompter_.Message("Ошибка установки порта 0");
        code = -3;
    }
    if (!port_.ReadSettings()) {
        prompter_.Message("Ошибка статуса 0");
        code = -4;
    }
    if (!port_.WriteSettings(ws_.BaudRate))
        prompter_.Message("Ошибка статуса 0");
    if (!port_.WatchTransmitEmpty())
        prompter_.Message("Ошибка маски 0");
    goOn = true;
    return code;
}

int16_t GaugeLink::SendRequest(uint8_t byte) {
    if (!port_.IsOpen())
        return -1;
    port_.SetRts(true);
    port_.Write(&byte, 1);
    port_.SetRts(false);
    return 1;
}

int16_t GaugeLink::ClosePort() {
    if (port_.IsOpen())
        port_.Close();
    return 1;
}

int16_t GaugeLink::ReadPort() {
    if (!port_.IsOpen())
        return -1;
    const int32_t waiting = port_.BytesWaiting();
    if (waiting < 1)
        return -2;
    const int32_t want = std::min(waiting, kReadLimit);
    // Counts follow the bytes really copied: a queue holding more than one read takes, the
    // rest comes with the next poll instead of being counted twice.
    const int32_t n = std::clamp(port_.Read(ReadBuffer.data(), want), 0, want);
    if (Raw.size() < kRawLimit)
        Raw.insert(Raw.end(), ReadBuffer.begin(), ReadBuffer.begin() + n);
    LineErrors += std::max(port_.TakeLineErrors(), 0);
    auto append = [&](int32_t from) {
        for (int32_t k = from; k < n; ++k) {
            const int32_t at = RxCount + (k - from);
            if (at >= 0 && at < kRxSlots)
                RxBuffer[static_cast<size_t>(at)] = ReadBuffer[static_cast<size_t>(k)];
        }
        RxCount += n - from;
    };
    if (RxCount == 0 && n >= 4) {
        ExpectedBytes = ReadBuffer[1] * 256 + ReadBuffer[0];
        Incoming.PointCount = static_cast<int32_t>(RoundHalfEven(ExpectedBytes / 2.0));
        Incoming.Regime = ReadBuffer[2];
        append(3);
        return static_cast<int16_t>(std::min(waiting, 32767));
    }
    append(0);
    return static_cast<int16_t>(std::min(waiting, 32767));
}

void GaugeLink::DecodeReceived() {
    if (ExpectedBytes > kMaxDataBytes) {
        // The gauge holds at most 4100 points: a longer announcement is a damaged header.
        prompter_.Message("Прибор сообщил неверную длину данных: " + std::to_string(ExpectedBytes) +
                              " байт. Данные не приняты.",
                          MsgIcon::Exclamation);
        Incoming.PointCount = 0;
        return;
    }
    const int32_t stored = std::min(RxCount, kRxSlots);
    // A header with not one whole value after it brought no thickness at all: that is silence
    // on the line, not a trace of zeros to put in place of the record.
    if (stored < 2) {
        Incoming.PointCount = 0;
        return;
    }
    const int32_t points = std::clamp(Incoming.PointCount, 0, kMaxGaugePoints);
    Incoming.PointCount = points;
    for (int32_t k = 0; k <= 2 * points - 2; k += 2) {
        // Points announced but never received are no readings, not the bytes of an older
        // download that still lie in the buffer.
        const double value =
            k + 1 < stored
                ? (RxBuffer[static_cast<size_t>(k + 1)] * 256 + RxBuffer[static_cast<size_t>(k)]) /
                      100.0
                : 0.0;
        Incoming.Thickness[static_cast<size_t>(k / 2)] = static_cast<float>(value);
    }
    if (points > 0 && stored < ExpectedBytes)
        prompter_.Message("Передача прервана: принято " +
                              CountedNoun(stored, "байт", "байта", "байт") + " из " +
                              std::to_string(ExpectedBytes) + ". Недостающие точки без показаний.",
                          MsgIcon::Exclamation);
    if (points > 0 && LineErrors > 0)
        prompter_.Message(
            "При передаче " +
                CountedNoun(LineErrors, "байт принят", "байта приняты", "байт принято") +
                " с ошибками линии. Толщины рядом с ними могут быть неверны: "
                "проверьте кабель и повторите ввод.",
            MsgIcon::Exclamation);
    ConditionTrace(Incoming, ws_.FilterOn);
}

int16_t GaugeLink::DownloadFromGauge() {
    if (busy_)
        return -1;
    busy_ = true;
    abort_ = false;
    bool goOn = false;
    const int16_t code = OpenPort(goOn);
    if (!goOn) {
        busy_ = false;
        return code;
    }
    int32_t r = SendRequest(kRequestByte);
    if (r < 0)
        prompter_.Message("Ошибка записи " + std::to_string(r));
    RxCount = 0;
    ExpectedBytes = 0;
    Raw.clear();
    LineErrors = 0;
    Incoming = ws_.CurrentTrace();
    Incoming.PointCount = 0;
    int32_t received = 0;
    while (r >= 1 && !abort_) {
        pump_.RunEvents(0);
        if (ExpectedBytes > 100) {
            received += r;
            const std::string text = Bar.ShowProgress(progress_.Bar(), received, ExpectedBytes);
            if (!text.empty())
                progress_.SetText(text);
        }
        Wait(1.0);
        if (abort_)
            break;
        r = ReadPort();
    }
    ClosePort();
    if (abort_)
        Incoming.PointCount = 0;
    else
        DecodeReceived();
    progress_.Close();
    // Nothing received leaves the record as it was: the trace on screen is still the last
    // good one, and the main window says there was no connection.
    if (Incoming.PointCount >= 1)
        ws_.StoreTrace(Incoming);
    busy_ = false;
    return code;
}

bool GaugeLink::Received() const {
    return Incoming.PointCount >= 1;
}

void GaugeLink::CancelClicked() {
    for (int k = 0; k < 10 && !abort_; ++k)
        Wait(1.0);
}

void GaugeLink::Abort() {
    if (busy_)
        abort_ = true;
}

void GaugeLink::Wait(double seconds) {
    const double start = pump_.Now();
    for (double elapsed = 0.0; elapsed < seconds && !abort_; elapsed = pump_.Now() - start)
        pump_.RunEvents(std::min(seconds - elapsed, 0.1));
}

}  // namespace ws
