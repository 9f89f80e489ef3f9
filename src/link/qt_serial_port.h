#pragma once
#include <QSerialPort>

#include "link/port_names.h"
#include "link/serial_port.h"

namespace ws {

// The line over QSerialPort.
class QtSerialPort : public SerialPort {
  public:
    bool Open(const std::string& device) override;
    bool IsOpen() const override { return port_.isOpen(); }
    bool SetQueueSizes(int input, int output) override;
    bool ReadSettings() override;
    bool WriteSettings(int32_t baudRate) override;
    bool WatchTransmitEmpty() override { return port_.isOpen(); }
    void SetRts(bool on) override;
    bool Write(const uint8_t* data, size_t count) override;
    int32_t BytesWaiting() override;
    int32_t Read(uint8_t* buffer, int32_t count) override;
    void Close() override;
    int32_t TakeLineErrors() override;
    // The open device's native handle (a file descriptor on Unix), for checking its settings.
    qintptr NativeHandle() const { return port_.handle(); }

  private:
    void KeepDamagedBytes();
    int64_t LineErrorCounter();
    int64_t lineErrorBase_ = 0;
    // Pseudo-terminals and some USB adapters have no modem lines: that is not a failure.
    void IgnoreMissingModemLines();
    QSerialPort port_;
};

// Qt's event loop and monotonic clock.
class QtEventPump : public EventPump {
  public:
    QtEventPump();
    double Now() override;
    void RunEvents(double seconds) override;

  private:
    qint64 origin_;
};

// The operator's mapping of COM1 and COM2, kept in the per-user settings.
PortMap LoadPortMap();
void SavePortMap(const PortMap& map);

}  // namespace ws
