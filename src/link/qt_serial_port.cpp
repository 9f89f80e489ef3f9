#include "link/qt_serial_port.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSettings>
#include <QThread>
#include <QTimer>

#if defined(Q_OS_LINUX)
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace ws {

bool QtSerialPort::Open(const std::string& device) {
    if (port_.isOpen())
        port_.close();
    port_.setPortName(QString::fromStdString(device));
    if (!port_.open(QIODevice::ReadWrite)) {
        port_.clearError();
        return false;
    }
    IgnoreMissingModemLines();
    return true;
}

void QtSerialPort::IgnoreMissingModemLines() {
    if (port_.error() == QSerialPort::UnsupportedOperationError)
        port_.clearError();
}

bool QtSerialPort::SetQueueSizes(int input, int output) {
    if (!port_.isOpen())
        return false;
    // Qt keeps its own input queue; the limit makes it hold back as the driver's queue would.
    port_.setReadBufferSize(input);
    (void)output;
    return true;
}

bool QtSerialPort::ReadSettings() {
    return port_.isOpen();
}

bool QtSerialPort::WriteSettings(int32_t baudRate) {
    if (!port_.isOpen())
        return false;
    bool ok = port_.setBaudRate(baudRate) && port_.setDataBits(QSerialPort::Data8) &&
              port_.setParity(QSerialPort::NoParity) && port_.setStopBits(QSerialPort::OneStop) &&
              port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!ok && port_.error() == QSerialPort::UnsupportedOperationError) {
        port_.clearError();
        ok = true;
    }
    port_.setDataTerminalReady(true);
    port_.setRequestToSend(false);
    IgnoreMissingModemLines();
    KeepDamagedBytes();
    lineErrorBase_ = LineErrorCounter();
    return ok;
}

void QtSerialPort::KeepDamagedBytes() {
#if defined(Q_OS_UNIX)
    // The toolkit sets IGNPAR for "no parity", and the driver then drops a byte that arrives with
    // a framing or parity error. The gauge's values are byte pairs, so one dropped byte would
    // shift every later thickness. With IGNPAR, INPCK and PARMRK all clear, such a byte is
    // delivered in its place (as 0) and the error is counted by the driver instead.
    const int fd = static_cast<int>(port_.handle());
    termios tio{};
    if (fd < 0 || ::tcgetattr(fd, &tio) != 0)
        return;
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNPAR | INPCK | PARMRK | ISTRIP);
    ::tcsetattr(fd, TCSANOW, &tio);
#endif
}

int64_t QtSerialPort::LineErrorCounter() {
#if defined(Q_OS_LINUX)
    serial_icounter_struct counts{};
    const int fd = static_cast<int>(port_.handle());
    // Pseudo-terminals and some adapters keep no counters: they report no errors.
    if (fd >= 0 && ::ioctl(fd, TIOCGICOUNT, &counts) == 0)
        return int64_t{counts.frame} + counts.parity + counts.brk + counts.overrun +
               counts.buf_overrun;
#endif
    return 0;
}

int32_t QtSerialPort::TakeLineErrors() {
    if (!port_.isOpen())
        return 0;
    const int64_t now = LineErrorCounter();
    const int64_t fresh = now - lineErrorBase_;
    lineErrorBase_ = now;
    return static_cast<int32_t>(std::clamp<int64_t>(fresh, 0, 1 << 30));
}

void QtSerialPort::SetRts(bool on) {
    if (!port_.isOpen())
        return;
    port_.setRequestToSend(on);
    IgnoreMissingModemLines();
}

bool QtSerialPort::Write(const uint8_t* data, size_t count) {
    if (!port_.isOpen())
        return false;
    const qint64 n = port_.write(reinterpret_cast<const char*>(data), static_cast<qint64>(count));
    // Hand the byte to the driver now; the write does not wait for it to leave the line.
    port_.flush();
    return n == static_cast<qint64>(count);
}

int32_t QtSerialPort::BytesWaiting() {
    if (!port_.isOpen())
        return 0;
    // A reported line error must not stop later reads: the bytes around it are still the
    // trace, and the error is counted and reported after the download instead.
    if (port_.error() != QSerialPort::NoError && port_.error() != QSerialPort::ResourceError)
        port_.clearError();
    return static_cast<int32_t>(std::min<qint64>(port_.bytesAvailable(), 1 << 30));
}

int32_t QtSerialPort::Read(uint8_t* buffer, int32_t count) {
    if (!port_.isOpen() || count <= 0)
        return 0;
    const qint64 n = port_.read(reinterpret_cast<char*>(buffer), count);
    return n < 0 ? 0 : static_cast<int32_t>(n);
}

void QtSerialPort::Close() {
    if (port_.isOpen())
        port_.close();
    port_.clearError();
}

namespace {
QElapsedTimer& Monotonic() {
    static QElapsedTimer timer = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return timer;
}
}  // namespace

QtEventPump::QtEventPump() : origin_(Monotonic().nsecsElapsed()) {}

double QtEventPump::Now() {
    return static_cast<double>(Monotonic().nsecsElapsed() - origin_) / 1e9;
}

void QtEventPump::RunEvents(double seconds) {
    if (seconds <= 0) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return;
    }
    // Serial data only reaches the port's queue while the event loop runs, so the wait runs it.
    const qint64 ms = static_cast<qint64>(std::min(seconds, 1.0) * 1000.0) + 1;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(ms), &loop, &QEventLoop::quit);
    loop.exec();
    // Once the application is quitting, an event loop returns at once instead of waiting; the
    // rest of the wait is slept in short naps between event passes, never spun.
    for (qint64 left = ms - clock.elapsed(); left > 0; left = ms - clock.elapsed()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, 20)));
    }
}

PortMap LoadPortMap() {
    QSettings settings;
    PortMap map;
    map.com1 = settings.value(QStringLiteral("ports/COM1"), QString::fromStdString(map.com1))
                   .toString()
                   .toStdString();
    map.com2 = settings.value(QStringLiteral("ports/COM2"), QString::fromStdString(map.com2))
                   .toString()
                   .toStdString();
    return map;
}

void SavePortMap(const PortMap& map) {
    QSettings settings;
    settings.setValue(QStringLiteral("ports/COM1"), QString::fromStdString(map.com1));
    settings.setValue(QStringLiteral("ports/COM2"), QString::fromStdString(map.com2));
}

}  // namespace ws
