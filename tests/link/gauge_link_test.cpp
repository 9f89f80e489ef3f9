// The download against a fake line and a fake clock: no real waiting.

#include "link/gauge_link.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <random>
#include <utility>

#include "support/fake_prompter.h"
#include "support/mem_text.h"
#include "support/recording_surface.h"

namespace ws {
namespace {

using test::FakePrompter;
using test::Primitive;
using test::RecordingSurface;

// Bytes arrive at scheduled times; the queue grows as the fake clock passes them.
class FakeLine : public SerialPort, public EventPump {
  public:
    bool Open(const std::string& device) override {
        opened = device;
        if (failOpen)
            return false;
        open = true;
        return true;
    }
    bool IsOpen() const override { return open; }
    bool SetQueueSizes(int in, int out) override {
        return !failQueues && in == 8000 && out == 8000;
    }
    bool ReadSettings() override { return !failRead; }
    bool WriteSettings(int32_t baud) override {
        baudSet = baud;
        return !failWrite;
    }
    bool WatchTransmitEmpty() override { return !failMask; }
    void SetRts(bool on) override { rts = on; }
    bool Write(const uint8_t* data, size_t n) override {
        for (size_t k = 0; k < n; ++k)
            written.push_back({data[k], rts});
        if (requestAt < 0)
            requestAt = now;
        return true;
    }
    int32_t BytesWaiting() override {
        Deliver();
        ++polls;
        return static_cast<int32_t>(queue.size());
    }
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
        ++eventRuns;
        now += std::min(seconds, 0.25);
        // An action may wait itself (Cancel does), running later actions from inside this loop.
        while (!actions.empty() && actions.begin()->first <= now) {
            auto act = actions.begin()->second;
            actions.erase(actions.begin());
            act();
        }
    }

    // Schedules bytes `delay` seconds after the request.
    void Answer(double delay, std::vector<uint8_t> bytes) {
        answers.push_back({delay, std::move(bytes)});
    }

    std::string opened;
    bool open = false, rts = false;
    bool failOpen = false, failQueues = false, failRead = false, failWrite = false,
         failMask = false;
    int32_t baudSet = 0;
    int32_t lineErrors = 0;                         // reported by the driver at the next read
    std::vector<std::pair<uint8_t, bool>> written;  // byte and RTS while it was written
    std::vector<uint8_t> queue;
    double now = 1000.0;
    int polls = 0, closes = 0, eventRuns = 0;
    double requestAt = -1;
    std::vector<std::pair<double, std::vector<uint8_t>>> answers;
    std::multimap<double, std::function<void()>> actions;

  private:
    void Deliver() {
        if (requestAt < 0)
            return;
        for (auto& [delay, bytes] : answers) {
            if (!bytes.empty() && requestAt + delay <= now) {
                queue.insert(queue.end(), bytes.begin(), bytes.end());
                bytes.clear();
            }
        }
    }
};

class FakeProgress : public ProgressDisplay {
  public:
    void Open() override {
        ++opens;
        visible = true;
    }
    void Close() override { visible = false; }
    Surface& Bar() override { return bar; }
    void SetText(const std::string& t) override { texts.push_back(t); }
    RecordingSurface bar{4800, 420, 15};
    int opens = 0;
    bool visible = false;
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
    void SetUp() override {
        ws = test::WorkspaceWith({9.0f, 9.5f});
        ws->BaudIndex = 3;
        ws->CurrentFileName = "kept.mem";
        link = std::make_unique<GaugeLink>(*ws, line, line, prompter, progress);
        link->Device = "/dev/ttyS0";
    }
    // A fresh record, line and link for the next case of a table.
    void Restart() {
        SetUp();
        line = FakeLine();
        prompter.shown.clear();
        link = std::make_unique<GaugeLink>(*ws, line, line, prompter, progress);
    }
    void ExpectRecordKept() {
        EXPECT_EQ(ws->PointCount, 2);
        EXPECT_FLOAT_EQ(ws->Thickness[1], 9.5f);
    }
    FakeLine line;
    FakeProgress progress;
    FakePrompter prompter;
    std::unique_ptr<Workspace> ws;
    std::unique_ptr<GaugeLink> link;
};

TEST_F(LinkTest, TheDocumentedAnswerDecodesAndFillsTheGap) {
    const std::vector<uint8_t> answer{0x06, 0x00, 0xFF, 0x10, 0x27, 0x00, 0x00, 0x20, 0x4E};
    line.Answer(0.3, answer);
    EXPECT_EQ(link->DownloadFromGauge(), 1);
    EXPECT_TRUE(link->Received());
    EXPECT_EQ(ws->PointCount, 3);
    EXPECT_EQ(ws->Regime, 255);
    EXPECT_FLOAT_EQ(ws->Thickness[0], 100.0f);
    EXPECT_FLOAT_EQ(ws->Thickness[1], 150.0f);
    EXPECT_FLOAT_EQ(ws->Thickness[2], 200.0f);
    EXPECT_EQ(ws->CurrentFileName, "kept.mem");  // a download does not name a file
    EXPECT_TRUE(prompter.shown.empty());
    EXPECT_EQ(line.opened, "/dev/ttyS0");
    EXPECT_EQ(line.baudSet, 57600);
    EXPECT_EQ(line.closes, 1);
    EXPECT_EQ(progress.opens, 1);
    EXPECT_FALSE(progress.visible);
    EXPECT_TRUE(progress.texts.empty());  // 6 data bytes: no bar
    EXPECT_EQ(link->Raw, answer);         // kept as it came, header included
}

TEST_F(LinkTest, RequestIsOneByteWithRtsRaisedThenLowered) {
    link->DownloadFromGauge();
    ASSERT_EQ(line.written.size(), 1u);
    EXPECT_EQ(line.written[0].first, 0xCC);
    EXPECT_TRUE(line.written[0].second);
    EXPECT_FALSE(line.rts);
}

// Answers in one or two chunks (the second 0.6 s after the first) and what the record holds
// afterwards. A download that brought nothing leaves the record as it was: 2 points, 9.5 mm.
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
    } cases[] = {
        // clang-format off
        // Odd lengths round half to even.
        {"5 bytes are 2 points", {0x05, 0x00, 0xFF, 0x10, 0x27, 0x20, 0x4E, 0x99}, {},
         false, true, 255, 2, 1, 200.0f, nullptr},
        {"7 bytes are 4 points; the last one's high byte never came: no reading, no old byte",
         {0x07, 0x00, 0xFF, 0x10, 0x27, 0x20, 0x4E, 0x10, 0x27, 0x20}, {},
         false, true, 255, 4, 3, 0.0f, nullptr},
        // A header with less than one whole value is silence; one whole value is a trace.
        {"a header and one byte", {0x06, 0x00, 0xFF, 0x10}, {},
         false, false, 255, 2, 1, 9.5f, nullptr},
        {"one whole value of three announced", {0x06, 0x00, 0xFF, 0x10}, {0x27},
         false, true, 255, 3, 0, 100.0f, "2 байта из 6"},
        {"one whole value of one", {0x02, 0x00, 0xFF, 0x10}, {0x27},
         false, true, 255, 1, 0, 100.0f, nullptr},
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
        if (!c.second.empty())
            line.Answer(0.9, c.second);
        EXPECT_EQ(link->DownloadFromGauge(), 1) << c.why;
        EXPECT_EQ(link->Received(), c.received) << c.why;
        EXPECT_EQ(ws->Regime, c.regime) << c.why;
        EXPECT_EQ(ws->PointCount, c.points) << c.why;
        EXPECT_FLOAT_EQ(ws->Thickness[static_cast<size_t>(c.index)], c.value) << c.why;
        if (!c.message) {
            EXPECT_TRUE(prompter.shown.empty()) << c.why;
        } else {
            ASSERT_EQ(prompter.shown.size(), 1u) << c.why;
            EXPECT_NE(prompter.shown[0].text.find(c.message), std::string::npos)
                << c.why << ": " << prompter.shown[0].text;
        }
    }
}

TEST_F(LinkTest, NoAnswerLeavesTheRecord) {
    EXPECT_EQ(link->DownloadFromGauge(), 1);
    EXPECT_FALSE(link->Received());
    ExpectRecordKept();
    EXPECT_EQ(line.polls, 1);
    EXPECT_GE(line.now - 1000.0, 1.0);
}

TEST_F(LinkTest, AFirstChunkOfOneToThreeBytesIsNoHeader) {
    for (int n = 1; n <= 3; ++n) {
        Restart();
        line.Answer(0.5, std::vector<uint8_t>(static_cast<size_t>(n), 0x10));
        line.Answer(1.5, {0x10, 0x27, 0x10, 0x27});
        link->DownloadFromGauge();
        EXPECT_FALSE(link->Received()) << n;
        ExpectRecordKept();
    }
}

TEST_F(LinkTest, APauseLongerThanAPollEndsTheTransferWithWhatCame) {
    std::vector<uint16_t> values(200, 800);
    auto frame = Frame(400, 255, values);
    line.Answer(0.4, std::vector<uint8_t>(frame.begin(), frame.begin() + 203));  // 100 points
    line.Answer(2.5, std::vector<uint8_t>(frame.begin() + 203, frame.end()));
    link->DownloadFromGauge();
    EXPECT_TRUE(link->Received());
    EXPECT_EQ(ws->PointCount, 200);
    EXPECT_FLOAT_EQ(ws->Thickness[99], 8.0f);
    EXPECT_EQ(ws->Thickness[150], 0.0f);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].text.find("200 байт из 400"), std::string::npos);
}

// A byte with a framing error stays in its place (the values after it are not shifted), and the
// user is told after the download how many bytes came damaged.
TEST_F(LinkTest, LineErrorsKeepTheBytesInPlaceAndAreReported) {
    std::vector<uint16_t> values(300, 700);
    values[10] = 0;  // what a damaged byte pair arrives as
    const auto frame = Frame(600, 255, values);
    line.Answer(0.3, frame);
    line.actions.emplace(1000.9, [this] { line.lineErrors = 3; });
    link->DownloadFromGauge();
    ASSERT_TRUE(link->Received());
    EXPECT_EQ(link->LineErrors, 3);
    EXPECT_FLOAT_EQ(ws->Thickness[299], 7.0f);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_NE(prompter.shown[0].text.find("3 байта приняты с ошибками линии"), std::string::npos)
        << prompter.shown[0].text;
}

// Closing the program during a download: it ends at the next poll, the port is closed, nothing
// that came is decoded and the record stays; a held Cancel is cut short too.
TEST_F(LinkTest, AbortEndsTheDownloadAtOnceAndKeepsTheRecord) {
    for (const bool cancelFirst : {false, true}) {
        Restart();
        const auto frame = Frame(8000, 255, std::vector<uint16_t>(4000, 640));
        for (int k = 0; k < 8; ++k)
            line.Answer(0.5 + k, std::vector<uint8_t>(frame.begin() + k * 1000,
                                                      frame.begin() + (k + 1) * 1000));
        if (cancelFirst)
            line.actions.emplace(1001.2, [this] { link->CancelClicked(); });
        line.actions.emplace(1002.3, [this] { link->Abort(); });
        const double start = line.now;
        link->DownloadFromGauge();
        EXPECT_LT(line.now - start, 3.0) << cancelFirst;
        EXPECT_FALSE(link->Received());
        ExpectRecordKept();
        EXPECT_EQ(line.closes, 1);
        EXPECT_FALSE(progress.visible);
        EXPECT_TRUE(prompter.shown.empty());
    }
}

TEST_F(LinkTest, ChunksSplitAnywhereGiveTheSameTrace) {
    std::vector<uint16_t> values;
    for (int i = 0; i < 4100; ++i)
        values.push_back(static_cast<uint16_t>(500 + (i * 7) % 900));
    const auto frame = Frame(8200, 255, values);
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        Restart();
        // Split into pieces arriving every 0.3 s; the first piece always holds the header.
        size_t at = 0;
        double t = 0.1;
        while (at < frame.size()) {
            size_t len = 4 + rng() % 1500;
            len = std::min(len, frame.size() - at);
            line.Answer(t, std::vector<uint8_t>(frame.begin() + static_cast<long>(at),
                                                frame.begin() + static_cast<long>(at + len)));
            at += len;
            t += 0.3;
        }
        link->DownloadFromGauge();
        ASSERT_EQ(ws->PointCount, 4100);
        for (int i = 0; i < 4100; ++i)
            ASSERT_FLOAT_EQ(ws->Thickness[static_cast<size_t>(i)],
                            values[static_cast<size_t>(i)] / 100.0f);
    }
    EXPECT_TRUE(prompter.shown.empty());
}

TEST_F(LinkTest, OpenFailuresAndTheirCodes) {
    ws->BaudIndex = 0;
    EXPECT_EQ(link->DownloadFromGauge(), -1);
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Ошибка построения DCB 0"});
    EXPECT_EQ(progress.opens, 0);
    prompter.shown.clear();
    ws->BaudIndex = 2;
    line.failOpen = true;
    EXPECT_EQ(link->DownloadFromGauge(), -2);
    EXPECT_EQ(prompter.Texts(), std::vector<std::string>{"Ошибка открытия порта"});
    EXPECT_EQ(progress.opens, 0);
    EXPECT_EQ(ws->BaudRate, 9600);
    prompter.shown.clear();
    line.failOpen = false;
    line.failQueues = true;
    EXPECT_EQ(link->DownloadFromGauge(), -3);
    line.failRead = true;
    EXPECT_EQ(link->DownloadFromGauge(), -4);  // the later failure's code wins
    line.failQueues = line.failRead = false;
    line.failWrite = line.failMask = true;
    prompter.shown.clear();
    EXPECT_EQ(link->DownloadFromGauge(), 1);
    EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{"Ошибка статуса 0", "Ошибка маски 0"}));
    EXPECT_EQ(line.closes, 3);  // every download that opened the port closed it
}

TEST_F(LinkTest, ProgressBarBoxesAndPercentages) {
    ProgressBar bar;
    RecordingSurface s(4800, 420, 15);
    bar.Activate(s);
    EXPECT_EQ(bar.ShowProgress(s, 500, 2000), "Передано 25%");
    EXPECT_EQ(bar.BarStepsDrawn, 5);
    auto boxes = s.Of(Primitive::Box);
    ASSERT_EQ(boxes.size(), 6u);  // boxes 0..5; box 0 lies left of the visible area
    EXPECT_DOUBLE_EQ(boxes[1].x1, (4800 - 10) * 0 / 20.0 + 30);
    EXPECT_DOUBLE_EQ(boxes[1].x2, (4800 - 10) * 1 / 20.0 - 30);
    EXPECT_DOUBLE_EQ(boxes[1].y2, 410);
    EXPECT_EQ(boxes[1].color, (Rgb{0, 0, 128}));
    EXPECT_EQ(bar.ShowProgress(s, 510, 2000), "");  // no new box: nothing changes
    EXPECT_EQ(bar.ShowProgress(s, 2006, 2000), "Передано 100%");
    EXPECT_EQ(bar.BarStepsDrawn, 20);
    EXPECT_EQ(bar.ShowProgress(s, 130, 0), "");
}

TEST_F(LinkTest, ProgressShowsForLongTransfers) {
    std::vector<uint16_t> values(1000, 700);
    const auto frame = Frame(2000, 255, values);
    line.Answer(0.5, std::vector<uint8_t>(frame.begin(), frame.begin() + 1000));
    line.Answer(1.5, std::vector<uint8_t>(frame.begin() + 1000, frame.end()));
    link->DownloadFromGauge();
    ASSERT_EQ(progress.texts.size(), 2u);
    EXPECT_EQ(progress.texts[0], "Передано 50%");
    EXPECT_EQ(progress.texts[1], "Передано 100%");
}

TEST_F(LinkTest, CancelHoldsTheDownloadTenSecondsAndItCompletes) {
    std::vector<uint16_t> values(3000, 640);
    const auto frame = Frame(6000, 255, values);
    line.Answer(0.5, std::vector<uint8_t>(frame.begin(), frame.begin() + 3000));
    line.Answer(1.5, std::vector<uint8_t>(frame.begin() + 3000, frame.end()));
    line.actions.emplace(1001.2, [this] { link->CancelClicked(); });
    const double start = line.now;
    link->DownloadFromGauge();
    EXPECT_GE(line.now - start, 10.0);
    EXPECT_EQ(ws->PointCount, 3000);
    EXPECT_FLOAT_EQ(ws->Thickness[2999], 6.4f);
}

TEST_F(LinkTest, ASecondDownloadWhileOneRunsIsRefused) {
    line.Answer(0.3, {0x02, 0x00, 0xFF, 0x10, 0x27});
    int16_t inner = 0;
    line.actions.emplace(1000.5, [&] { inner = link->DownloadFromGauge(); });
    link->DownloadFromGauge();
    EXPECT_EQ(inner, -1);
    EXPECT_EQ(line.written.size(), 1u);
}

TEST(WaitSeconds, MeasuresElapsedTimeAndRunsEvents) {
    FakeLine clock;
    clock.now = 86399.5;  // half a second before midnight: a monotonic clock does not care
    WaitSeconds(clock, 1.0);
    EXPECT_GE(clock.now, 86400.5);
    EXPECT_LT(clock.now, 86400.8);
    EXPECT_GE(clock.eventRuns, 4);
}

}  // namespace
}  // namespace ws
