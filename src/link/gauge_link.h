#pragma once
// The download of a trace from the gauge: port opening with its result codes, the request,
// the once-a-second polling, the decoding, and the progress bar's arithmetic.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/record.h"
#include "link/serial_port.h"

namespace ws {

class Prompter;
class Surface;

inline constexpr uint8_t kRequestByte = 0xCC;
inline constexpr int kReadLimit = 8000;     // bytes taken by one read
inline constexpr int kRxSlots = 8201;       // data bytes kept (header removed)
inline constexpr int kMaxDataBytes = 8200;  // 4100 points

// Where the download shows its progress: the "Вводятся данные" window.
class ProgressDisplay {
  public:
    virtual ~ProgressDisplay() = default;
    // Shows the window; its activation clears the bar.
    virtual void Open() = 0;
    virtual void Close() = 0;
    // The bar, in its own units.
    virtual Surface& Bar() = 0;
    virtual void SetText(const std::string& text) = 0;
};

// The bar: 20 boxes, drawn as the received share grows.
struct ProgressBar {
    int32_t BarSteps = 20;
    int32_t BarStepsDrawn = -1;
    void Activate(Surface& bar);
    // Draws the boxes up to the received share and returns the label text, or empty when
    // nothing changed.
    std::string ShowProgress(Surface& bar, int32_t received, int32_t expected);
};

// The link's state, kept from one download to the next.
class GaugeLink {
  public:
    GaugeLink(Workspace& ws, SerialPort& port, EventPump& pump, Prompter& prompter,
              ProgressDisplay& progress);

    // The device COM1 / COM2 (or a path) stands for; the caller maps names to devices.
    std::string Device;

    int16_t OpenPort(bool& goOn);
    int16_t SendRequest(uint8_t byte);
    int16_t ClosePort();
    int16_t ReadPort();
    void DecodeReceived();
    // The whole download: 1 when nothing failed, otherwise the first failure's code.
    int16_t DownloadFromGauge();
    // The progress window's Cancel: holds the download for ten seconds.
    void CancelClicked();
    // The program is closing: the running download ends at its next poll (within a second),
    // the port is closed and nothing received is decoded, so the record stays as it is.
    void Abort();

    // Receive state.
    std::array<uint8_t, kReadLimit + 11> ReadBuffer{};
    std::array<uint8_t, kRxSlots> RxBuffer{};
    int32_t RxCount = 0;
    int32_t ExpectedBytes = 0;
    // Every byte taken from the line during the last download, header included, in arrival
    // order: kept beside the decoded trace so a bad cable or a gauge fault can be diagnosed.
    std::vector<uint8_t> Raw;
    // Bytes the driver reported as received with a framing or parity error in the last
    // download. They stay in their place in the data (a dropped byte would shift every later
    // value), but the user is told the trace may hold damaged values.
    int32_t LineErrors = 0;
    // The trace being received; it replaces the record only when the download brought one.
    Trace Incoming;
    ProgressBar Bar;
    bool Busy() const { return busy_; }
    // True when the last download brought a trace into the record.
    bool Received() const;

  private:
    Workspace& ws_;
    SerialPort& port_;
    EventPump& pump_;
    Prompter& prompter_;
    ProgressDisplay& progress_;
    // Waits like WaitSeconds, but gives up as soon as an abort is asked for.
    void Wait(double seconds);
    bool busy_ = false;
    bool abort_ = false;
};

}  // namespace ws
