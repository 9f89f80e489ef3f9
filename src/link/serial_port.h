#pragma once
// The serial line as the download sees it, and the clock and event pump it waits with. The
// program uses QSerialPort and Qt's event loop; tests use a fake port and a fake clock.

#include <cstddef>
#include <cstdint>
#include <string>

namespace ws {

class SerialPort {
  public:
    virtual ~SerialPort() = default;
    // Opens an existing device for reading and writing, exclusively.
    virtual bool Open(const std::string& device) = 0;
    virtual bool IsOpen() const = 0;
    // Input and output queue sizes in bytes.
    virtual bool SetQueueSizes(int input, int output) = 0;
    // Reads the line's current settings (the first step of changing them).
    virtual bool ReadSettings() = 0;
    // Speed, 8 data bits, no parity, one stop bit, no flow control of any kind, DTR on.
    // Devices without modem-control lines accept this without DTR.
    virtual bool WriteSettings(int32_t baudRate) = 0;
    // Asks to be told when the transmit queue runs empty.
    virtual bool WatchTransmitEmpty() = 0;
    // Raises or lowers RTS where the device has the line.
    virtual void SetRts(bool on) = 0;
    // Queues bytes for sending; does not wait for them to leave.
    virtual bool Write(const uint8_t* data, size_t count) = 0;
    // Bytes received and waiting in the input queue.
    virtual int32_t BytesWaiting() = 0;
    // Takes up to `count` waiting bytes; returns how many were copied.
    virtual int32_t Read(uint8_t* buffer, int32_t count) = 0;
    virtual void Close() = 0;
    // Bytes received with a framing or parity error since the last call (they are delivered in
    // sequence like any other byte); 0 where the device cannot tell.
    virtual int32_t TakeLineErrors() { return 0; }
};

class EventPump {
  public:
    virtual ~EventPump() = default;
    // Seconds of a monotonic clock (never jumps at midnight or with the wall clock).
    virtual double Now() = 0;
    // Lets pending window events run; with a positive time, keeps doing so for about that
    // long (less when there is nothing to wait for is fine: callers loop on Now()).
    virtual void RunEvents(double seconds) = 0;
};

// Waits that many seconds of elapsed time, letting window events run all the while.
void WaitSeconds(EventPump& pump, double seconds);

}  // namespace ws
