// wallscan-gauge-sim: a stand-in for the scanning thickness gauge on a serial line.
//
// It makes a pseudo-terminal pair and prints the device the program should open (or opens a
// given serial device, for a null-modem cable), waits for the request byte 0xCC and answers as
// the gauge does: two bytes of data length (little-endian), the regime byte, then one 16-bit
// little-endian thickness in hundredths of a millimetre per point, paced at the line rate
// (10 bits a byte). Options make it misbehave the ways real lines and gauges do.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "data/record.h"
#include "data/trace_file.h"

namespace {

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) {
    g_stop = 1;
}

const char* kUsage =
    "Usage: wallscan-gauge-sim [options]\n\n"
    "Answers the request byte 0xCC like the gauge. Prints the device to open on the first line\n"
    "of standard output (a pseudo-terminal unless --device is given).\n\n"
    "What it sends:\n"
    "  --file F.mem       the trace of a measurement file (its regime too)\n"
    "  --points N         a generated pipe wall of N points (default 4100)\n"
    "  --regime R         the regime byte (default 255, or the file's)\n"
    "  --announce N       announce N data bytes whatever is sent (a wrong length)\n"
    "Line and timing:\n"
    "  --device PATH      open this serial device instead of making a pseudo-terminal\n"
    "  --baud B           pacing in bit/s, 10 bits a byte (default 57600)\n"
    "  --start-delay S    wait S seconds before answering\n"
    "  --pause-after N --pause S   stop sending for S seconds after N bytes\n"
    "  --stop-after N     send only the first N bytes (a short answer)\n"
    "  --silent           never answer\n"
    "  --noise P          flip one bit of a byte with probability P (0..1)\n"
    "  --seed N           seed of the noise and of the generated wall\n"
    "Lifetime:\n"
    "  --once             exit after one answer (and --linger seconds, default 3)\n"
    "  --quiet            no log on standard error\n";

struct Options {
    std::string file, device;
    int points = 4100;
    int regime = -1;
    long announce = -1;
    long baud = 57600;
    double startDelay = 0, pause = 0, linger = 3;
    long pauseAfter = -1, stopAfter = -1;
    bool silent = false, once = false, quiet = false;
    double noise = 0;
    unsigned seed = 1;
};

bool ParseArgs(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto next = [&](const char* what) -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "wallscan-gauge-sim: %s needs a value\n", what);
                std::exit(2);
            }
            return argv[++i];
        };
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (a == "--file")
            o.file = next("--file");
        else if (a == "--device")
            o.device = next("--device");
        else if (a == "--points")
            o.points = std::atoi(next("--points"));
        else if (a == "--regime")
            o.regime = std::atoi(next("--regime"));
        else if (a == "--announce")
            o.announce = std::atol(next("--announce"));
        else if (a == "--baud")
            o.baud = std::atol(next("--baud"));
        else if (a == "--start-delay")
            o.startDelay = std::atof(next("--start-delay"));
        else if (a == "--pause-after")
            o.pauseAfter = std::atol(next("--pause-after"));
        else if (a == "--pause")
            o.pause = std::atof(next("--pause"));
        else if (a == "--stop-after" || a == "--send-only")
            o.stopAfter = std::atol(next("--stop-after"));
        else if (a == "--silent")
            o.silent = true;
        else if (a == "--noise")
            o.noise = std::atof(next("--noise"));
        else if (a == "--seed")
            o.seed = static_cast<unsigned>(std::atol(next("--seed")));
        else if (a == "--once")
            o.once = true;
        else if (a == "--linger")
            o.linger = std::atof(next("--linger"));
        else if (a == "--quiet")
            o.quiet = true;
        else {
            std::fprintf(stderr, "wallscan-gauge-sim: unknown option %s\n%s", a.c_str(), kUsage);
            return false;
        }
    }
    if (o.points < 0 || o.points > 32767 || o.baud < 50 || o.noise < 0 || o.noise > 1) {
        std::fprintf(stderr, "wallscan-gauge-sim: a value is out of range\n");
        return false;
    }
    return true;
}

std::vector<uint8_t> Payload(const Options& o) {
    std::vector<uint16_t> values;
    int regime = 255;
    if (!o.file.empty()) {
        auto base = std::make_unique<ws::Trace>();
        const ws::TraceReadResult r = ws::ReadTraceFile(o.file, *base, false);
        if (r.status != ws::TraceReadStatus::Ok) {
            std::fprintf(stderr, "wallscan-gauge-sim: cannot read %s\n", o.file.c_str());
            std::exit(1);
        }
        regime = r.trace.Regime;
        for (int i = 0; i < r.trace.PointCount; ++i)
            values.push_back(static_cast<uint16_t>(std::lround(
                std::clamp(r.trace.Thickness[static_cast<size_t>(i)] * 100.0, 0.0, 65535.0))));
    } else {
        std::mt19937 rng(o.seed);
        std::normal_distribution<double> jitter(0.0, 1.5);
        for (int i = 0; i < o.points; ++i) {
            const double x = 2.0 * i;
            double t = 800.0 + 4.0 * std::sin(x / 37.0) + jitter(rng);
            t -= 250.0 * std::exp(-std::pow((x - 0.4 * 2 * o.points) / 30.0, 2));
            values.push_back(static_cast<uint16_t>(i % 997 == 500 ? 0 : std::lround(t)));
        }
    }
    if (o.regime >= 0)
        regime = o.regime & 0xFF;
    const long length = o.announce >= 0 ? o.announce : static_cast<long>(values.size() * 2);
    std::vector<uint8_t> bytes{static_cast<uint8_t>(length & 0xFF),
                               static_cast<uint8_t>((length >> 8) & 0xFF),
                               static_cast<uint8_t>(regime)};
    for (uint16_t v : values) {
        bytes.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
    return bytes;
}

void MakeRaw(int fd, long baud) {
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return;
    cfmakeraw(&t);
    const speed_t speed = baud >= 57600 ? B57600 : baud >= 9600 ? B9600 : B2400;
    cfsetispeed(&t, speed);
    cfsetospeed(&t, speed);
    t.c_cflag |= CLOCAL | CREAD;
    tcsetattr(fd, TCSANOW, &t);
}

void Sleep(double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!g_stop && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

bool WriteAll(int fd, const uint8_t* data, size_t n) {
    while (n > 0 && !g_stop) {
        const ssize_t w = write(fd, data, n);
        if (w < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            return false;
        }
        data += w;
        n -= static_cast<size_t>(w);
    }
    return true;
}

void Answer(int fd, const Options& o, std::vector<uint8_t> bytes, std::mt19937& rng) {
    if (o.stopAfter >= 0 && static_cast<size_t>(o.stopAfter) < bytes.size())
        bytes.resize(static_cast<size_t>(o.stopAfter));
    if (o.noise > 0) {
        std::uniform_real_distribution<double> u(0, 1);
        for (uint8_t& b : bytes)
            if (u(rng) < o.noise)
                b ^= static_cast<uint8_t>(1u << (rng() % 8));
    }
    Sleep(o.startDelay);
    // Paced in 10 ms slices at the line rate: a byte is 10 bits on the wire.
    const double bytesPerSecond = static_cast<double>(o.baud) / 10.0;
    const auto start = std::chrono::steady_clock::now();
    double pausedFor = 0;
    size_t sent = 0;
    bool paused = false;
    while (sent < bytes.size() && !g_stop) {
        if (!paused && o.pauseAfter >= 0 && sent >= static_cast<size_t>(o.pauseAfter)) {
            paused = true;
            Sleep(o.pause);
            pausedFor += o.pause;
        }
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() -
            pausedFor;
        size_t due = static_cast<size_t>(elapsed * bytesPerSecond) + 1;
        due = std::min(due, bytes.size());
        if (!paused && o.pauseAfter >= 0)
            due = std::min(due, static_cast<size_t>(o.pauseAfter));
        if (due > sent) {
            if (!WriteAll(fd, bytes.data() + sent, due - sent))
                return;
            sent = due;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    if (!o.quiet)
        std::fprintf(stderr, "wallscan-gauge-sim: sent %zu bytes\n", sent);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseArgs(argc, argv, o))
        return 2;
    signal(SIGTERM, OnSignal);
    signal(SIGINT, OnSignal);
    signal(SIGPIPE, SIG_IGN);
    const std::vector<uint8_t> payload = Payload(o);

    int fd = -1, keepSlave = -1;
    std::string device;
    if (!o.device.empty()) {
        fd = open(o.device.c_str(), O_RDWR | O_NOCTTY);
        if (fd < 0) {
            std::fprintf(stderr, "wallscan-gauge-sim: cannot open %s: %s\n", o.device.c_str(),
                         std::strerror(errno));
            return 1;
        }
        MakeRaw(fd, o.baud);
        device = o.device;
    } else {
        fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (fd < 0 || grantpt(fd) != 0 || unlockpt(fd) != 0) {
            std::fprintf(stderr, "wallscan-gauge-sim: no pseudo-terminal: %s\n",
                         std::strerror(errno));
            return 1;
        }
        device = ptsname(fd);
        // Holding the other end open keeps the line up between the program's downloads, and
        // raw mode keeps 0xCC and every data byte exactly as sent (no echo, no translation).
        keepSlave = open(device.c_str(), O_RDWR | O_NOCTTY);
        if (keepSlave >= 0)
            MakeRaw(keepSlave, o.baud);
    }
    std::printf("%s\n", device.c_str());
    std::fflush(stdout);

    std::mt19937 rng(o.seed);
    while (!g_stop) {
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, 100);
        if (ready <= 0)
            continue;
        uint8_t buf[256];
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        bool request = false;
        for (ssize_t k = 0; k < n; ++k)
            request = request || buf[k] == 0xCC;
        if (!request)
            continue;
        if (!o.quiet)
            std::fprintf(stderr, "wallscan-gauge-sim: request received\n");
        // Bytes of an earlier answer that nobody read would come before this one.
        if (keepSlave >= 0)
            tcflush(keepSlave, TCIFLUSH);
        if (!o.silent)
            Answer(fd, o, payload, rng);
        if (o.once) {
            Sleep(o.linger);
            break;
        }
    }
    if (keepSlave >= 0)
        close(keepSlave);
    close(fd);
    return 0;
}
