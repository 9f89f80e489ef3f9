// The download against a fake line and a fake clock: no real waiting.

#include "link/gauge_link.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

#include "support/fake_prompter.h"
#include "support/mem_text.h"
#include "support/recording_surface.h"

namespace ws {
namespace {

using test::FakePrompter;
using test::Primitive;
using test::RecordingSurface;

// Bytes arrive at scheduled times of a fake clock; the steps of opening named in `fail` fail.
class FakeLine : public SerialPort, public EventPump {
  public:
    bool Open(const std::string&) override {
        open = !Fails("open");
        return open;
    }
    bool IsOpen() const override { return open; }
    bool SetQueueSizes(int in, int out) override {
        return !Fails("queues") && in == 8000 && out == 8000;
    }
    bool ReadSettings() override { return !Fails("read"); }
    bool WriteSettings(int32_t) override { return !Fails("write"); }
    bool WatchTransmitEmpty() override { return !Fails("mask"); }
    void SetRts(bool on) override { rts = on; }
    bool Write(const uint8_t* data, size_t n) override {
        for (size_t k = 0; k < n; ++k)
            written.push_back({data[k], rts});
        return true;
    }
    int32_t BytesWaiting() override { return static_cast<int32_t>(queue.size()); }
    int32_t Read(uint8_t* buf, int32_t n) override {
        const int32_t take = std::min<int32_t>(n, static_cast<int32_t>(queue.size()));
        std::copy(queue.begin(), queue.begin() + take, buf);
        queue.erase(queue.begin(), queue.begin() + take);
        return take;
    }
    void Close() override {
        open = false;
        ++closes;
    }
    int32_t TakeLineErrors() override { return std::exchange(lineErrors, 0); }

    double Now() override { return now; }
    void RunEvents(double seconds) override {
        now += std::min(seconds, 0.25);
        // An action may wait itself (Cancel does), running later actions from inside this loop.
        while (!actions.empty() && actions.begin()->first <= now) {
            auto act = actions.begin()->second;
            actions.erase(actions.begin());
            act();
        }
    }
    // Bytes arriving `delay` seconds from now (the request goes out before the clock moves).
    void Answer(double delay, std::vector<uint8_t> bytes) {
        actions.emplace(now + delay,
                        [this, bytes] { queue.insert(queue.end(), bytes.begin(), bytes.end()); });
    }
    bool Fails(const char* step) const { return fail.find(step) != std::string::npos; }

    std::string fail;
    bool open = false, rts = false;
    int32_t lineErrors = 0;                         // reported by the driver at the next read
    std::vector<std::pair<uint8_t, bool>> written;  // byte and RTS while it was written
    std::vector<uint8_t> queue;
    double now = 1000.0;
    int closes = 0;
    std::multimap<double, std::function<void()>> actions;
};

class FakeProgress : public ProgressDisplay {
  public:
    void Open() override {}
    void Close() override {}
    Surface& Bar() override { return bar; }
    void SetText(const std::string& t) override { texts.push_back(t); }
    RecordingSurface bar{4800, 420, 15};
    std::vector<std::string> texts;
};

std::vector<uint8_t> Frame(uint16_t length, uint8_t regime, const std::vector<uint16_t>& values) {
    std::vector<uint8_t> b{static_cast<uint8_t>(length & 0xFF), static_cast<uint8_t>(length >> 8),
                           regime};
    for (uint16_t v : values) {
        b.push_back(static_cast<uint8_t>(v & 0xFF));
        b.push_back(static_cast<uint8_t>(v >> 8));
    }
    return b;
}

class LinkTest : public ::testing::Test {
  protected:
    void SetUp() override { Restart(); }
    // A fresh record, line and link, also for the next case of a table.
    void Restart() {
        line = FakeLine();
        prompter.shown.clear();
        ws = test::WorkspaceWith({9.0f, 9.5f});
        ws->BaudIndex = 3;
        link = std::make_unique<GaugeLink>(*ws, line, line, prompter, progress);
        link->Device = "/dev/ttyS0";
    }
    FakeLine line;
    FakeProgress progress;
    FakePrompter prompter;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<GaugeLink> link;
};

// The request is one byte, sent with RTS raised, which is lowered afterwards; the answer is
// kept for diagnosis as it came, header included. What it decodes to is the table's below.
TEST_F(LinkTest, TheRequestAndTheRawAnswer) {
    const std::vector<uint8_t> answer{0x06, 0x00, 0xFF, 0x10, 0x27, 0x00, 0x00, 0x20, 0x4E};
    line.Answer(0.3, answer);
    link->DownloadFromGauge();
    EXPECT_EQ(line.written, (std::vector<std::pair<uint8_t, bool>>{{0xCC, true}}));
    EXPECT_FALSE(line.rts);
    EXPECT_EQ(link->Raw, answer);
}

// Answers in one or two chunks (the second `gap` seconds after the first) and what the record
// holds afterwards. A download that brought nothing leaves the record as it was: 2 points,
// 9.5 mm.
TEST_F(LinkTest, AnswersAndTheRecordTheyLeave) {
    std::vector<uint8_t> flood = Frame(8200, 255, std::vector<uint16_t>(4100, 555));
    flood.resize(30000, 0x77);  // more than the buffer holds: no overrun
    const struct {
        const char* why;
        std::vector<uint8_t> first, second;
        bool filter, received;
        int regime, points, index;
        float value;
        const char* message;  // nullptr: none; else a part of the one message
        double gap = 0.6;
    } cases[] = {
        // clang-format off
        {"no answer", {}, {}, false, false, 255, 2, 1, 9.5f, nullptr},
        // Odd lengths round half to even.
        {"5 bytes are 2 points", {0x05, 0x00, 0xFF, 0x10, 0x27, 0x20, 0x4E, 0x99}, {},
         false, true, 255, 2, 1, 200.0f, nullptr},
        {"7 bytes are 4 points; the last one's high byte never came: no reading, no old byte",
         {0x07, 0x00, 0xFF, 0x10, 0x27, 0x20, 0x4E, 0x10, 0x27, 0x20}, {},
         false, true, 255, 4, 3, 0.0f, nullptr},
        // A header with less than one whole value is silence; one whole value is a trace, and a
        // poll that brings nothing more ends it: what came is kept, the rest is no reading.
        {"a header and one byte", {0x06, 0x00, 0xFF, 0x10}, {},
         false, false, 255, 2, 1, 9.5f, nullptr},
        {"one whole value of three announced", {0x06, 0x00, 0xFF, 0x10}, {0x27},
         false, true, 255, 3, 0, 100.0f, "2 байта из 6"},
        // Fewer than four bytes cannot hold a header and a value: data without a header.
        {"a first chunk of three bytes is no header", {0x10, 0x10, 0x10}, {0x02, 0x00, 0xFF, 0x10, 0x27},
         false, false, 255, 2, 1, 9.5f, nullptr, 1.0},
        {"an impossible length is refused", {0xFF, 0xFF, 0xFF, 0x10, 0x27, 0x10, 0x27}, {},
         false, false, 255, 2, 1, 9.5f, "65535"},
        {"more bytes than the buffer holds", flood, {},
         false, true, 255, 4100, 4099, 5.55f, nullptr},
        {"the filter takes a received scan's spike", Frame(10, 255, {1000, 1000, 1200, 1000, 1000}), {},
         true, true, 255, 5, 2, 10.0f, nullptr},
        {"single readings are never filtered; their regime is kept as sent",
         Frame(10, 17, {1000, 1000, 1200, 1000, 1000}), {},
         true, true, 17, 5, 2, 12.0f, nullptr},
        // clang-format on
    };
    for (const auto& c : cases) {
        Restart();
        ws->FilterOn = c.filter;
        line.Answer(0.3, c.first);
        line.Answer(0.3 + c.gap, c.second);
        EXPECT_EQ(link->DownloadFromGauge(), 1) << c.why;
        EXPECT_EQ(link->Received(), c.received) << c.why;
        EXPECT_EQ(ws->Regime, c.regime) << c.why;
        EXPECT_EQ(ws->PointCount, c.points) << c.why;
        EXPECT_FLOAT_EQ(ws->Thickness[static_cast<size_t>(c.index)], c.value) << c.why;
        EXPECT_EQ(prompter.Texts().size(), c.message ? 1u : 0u) << c.why;
        if (c.message) {
            EXPECT_NE(prompter.Texts().at(0).find(c.message), std::string::npos)
                << c.why << ": " << prompter.Texts().at(0);
        }
    }
}

// A byte with a framing error stays in its place (the values after it are not shifted), and the
// user is told after the download how many bytes came damaged, over every poll.
TEST_F(LinkTest, LineErrorsKeepTheBytesInPlaceAndAreReported) {
    std::vector<uint16_t> values(300, 700);
    values[10] = 0;  // what a damaged byte pair arrives as
    const auto frame = Frame(600, 255, values);
    line.Answer(0.3, {frame.begin(), frame.begin() + 300});
    line.Answer(1.3, {frame.begin() + 300, frame.end()});
    line.actions.emplace(1000.9, [this] { line.lineErrors = 1; });
    line.actions.emplace(1001.9, [this] { line.lineErrors = 2; });
    link->DownloadFromGauge();
    EXPECT_FLOAT_EQ(ws->Thickness[299], 7.0f);
    ASSERT_EQ(prompter.Texts().size(), 1u);
    EXPECT_NE(prompter.Texts()[0].find("3 байта приняты с ошибками линии"), std::string::npos)
        << prompter.Texts()[0];
}

// Closing the program during a download, here while Cancel holds it: the held wait and the
// poll both end at once, the port is closed, nothing that came is decoded and the record stays.
TEST_F(LinkTest, AbortEndsTheDownloadAtOnceAndKeepsTheRecord) {
    const auto frame = Frame(8000, 255, std::vector<uint16_t>(4000, 640));
    for (int k = 0; k < 8; ++k)
        line.Answer(0.5 + k, {frame.begin() + k * 1000, frame.begin() + (k + 1) * 1000});
    line.actions.emplace(1001.2, [this] { link->CancelClicked(); });
    line.actions.emplace(1002.3, [this] { link->Abort(); });
    link->DownloadFromGauge();
    EXPECT_LT(line.now, 1003.0);
    EXPECT_EQ(ws->PointCount, 2);  // the record as it was
    EXPECT_EQ(line.closes, 1);
}

// Each step of opening the port that can fail: the code returned (a later failure's code wins),
// the messages, and the speed for the baud index. Whatever happens, the port is left closed.
TEST_F(LinkTest, OpenFailuresAndTheirCodes) {
    const struct {
        int16_t baudIndex;
        const char* fail;
        int16_t code;
        std::vector<std::string> messages;
        int32_t rate;  // 0: not set
    } cases[] = {
        {0, "", -1, {"Ошибка построения DCB 0"}, 0},
        {2, "open", -2, {"Ошибка открытия порта"}, 9600},
        {1, "queues", -3, {"Ошибка установки порта 0"}, 2400},
        {3, "queues read", -4, {"Ошибка установки порта 0", "Ошибка статуса 0"}, 57600},
        {3, "write mask", 1, {"Ошибка статуса 0", "Ошибка маски 0"}, 57600},
    };
    for (const auto& c : cases) {
        Restart();
        ws->BaudIndex = c.baudIndex;
        ws->BaudRate = 0;
        line.fail = c.fail;
        EXPECT_EQ(link->DownloadFromGauge(), c.code) << c.fail;
        EXPECT_EQ(prompter.Texts(), c.messages) << c.fail;
        EXPECT_EQ(ws->BaudRate, c.rate) << c.fail;
        EXPECT_FALSE(line.open) << c.fail;
    }
}

// Cancel holds the download ten seconds; the transfer then completes. A transfer this long
// shows its progress after every poll, in 20 boxes across the bar (box 0 lies left of the
// visible area).
TEST_F(LinkTest, CancelHoldsTheDownloadTenSecondsAndItCompletes) {
    const auto frame = Frame(6000, 255, std::vector<uint16_t>(3000, 640));
    line.Answer(0.5, {frame.begin(), frame.begin() + 3003});
    line.Answer(1.5, {frame.begin() + 3003, frame.end()});
    line.actions.emplace(1001.2, [this] { link->CancelClicked(); });
    link->DownloadFromGauge();
    EXPECT_GE(line.now, 1010.0);
    EXPECT_EQ(ws->PointCount, 3000);
    EXPECT_EQ(progress.texts, (std::vector<std::string>{"Передано 50%", "Передано 100%"}));
    EXPECT_EQ(progress.bar.Of(Primitive::Box).size(), 21u);
}

TEST_F(LinkTest, ASecondDownloadWhileOneRunsIsRefused) {
    line.Answer(0.3, {0x02, 0x00, 0xFF, 0x10, 0x27});
    int16_t inner = 0;
    line.actions.emplace(1000.5, [&] { inner = link->DownloadFromGauge(); });
    link->DownloadFromGauge();
    EXPECT_EQ(inner, -1);
    EXPECT_EQ(line.written.size(), 1u);
}

}  // namespace
}  // namespace ws
