// The download decoder on an arbitrary byte stream arriving in arbitrary chunks: it must never
// crash or read past its buffers, a trace it accepts must be sane, and when nothing usable came
// the record must be exactly as before.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "link/gauge_link.h"
#include "support/recording_surface.h"

using namespace ws;

namespace {

// The line hands out the stream in the chunks the input describes, one chunk per poll.
class ChunkedLine : public SerialPort, public EventPump {
  public:
    ChunkedLine(std::vector<uint8_t> stream, std::vector<size_t> chunks)
        : stream_(std::move(stream)), chunks_(std::move(chunks)) {}
    bool Open(const std::string&) override { return open_ = true; }
    bool IsOpen() const override { return open_; }
    bool SetQueueSizes(int, int) override { return true; }
    bool ReadSettings() override { return true; }
    bool WriteSettings(int32_t) override { return true; }
    bool WatchTransmitEmpty() override { return true; }
    void SetRts(bool) override {}
    bool Write(const uint8_t*, size_t) override { return true; }
    int32_t BytesWaiting() override {
        if (next_ < chunks_.size()) {
            const size_t take = std::min(chunks_[next_++], stream_.size() - sent_);
            queue_.insert(queue_.end(), stream_.begin() + static_cast<std::ptrdiff_t>(sent_),
                          stream_.begin() + static_cast<std::ptrdiff_t>(sent_ + take));
            sent_ += take;
        }
        return static_cast<int32_t>(queue_.size());
    }
    int32_t Read(uint8_t* buffer, int32_t count) override {
        fuzz::Check(count >= 0, "reads ask for a positive count");
        const auto take =
            static_cast<size_t>(std::min<int32_t>(count, static_cast<int32_t>(queue_.size())));
        std::copy(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(take), buffer);
        queue_.erase(queue_.begin(), queue_.begin() + static_cast<std::ptrdiff_t>(take));
        return static_cast<int32_t>(take);
    }
    void Close() override { open_ = false; }
    double Now() override { return now_; }
    void RunEvents(double seconds) override { now_ += std::max(seconds, 0.001); }

  private:
    std::vector<uint8_t> stream_;
    std::vector<size_t> chunks_;
    std::vector<uint8_t> queue_;
    size_t next_ = 0, sent_ = 0;
    bool open_ = false;
    double now_ = 0;
};

class NullProgress : public ProgressDisplay {
  public:
    void Open() override {}
    void Close() override {}
    Surface& Bar() override { return bar_; }
    void SetText(const std::string&) override {}

  private:
    test::RecordingSurface bar_{4800, 420, 15};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // First byte: how many chunk sizes follow (each one byte, times 64); then the stream.
    if (size < 1)
        return 0;
    const size_t chunkCount = std::min<size_t>(data[0] % 16, size - 1);
    std::vector<size_t> chunks;
    for (size_t k = 0; k < chunkCount; ++k)
        chunks.push_back(static_cast<size_t>(data[1 + k]) * 64 + 1);
    // Whatever is left after the described chunks comes in one last burst.
    chunks.push_back(size_t{1} << 20);
    const std::vector<uint8_t> stream(data + 1 + chunkCount, data + size);

    auto ws = std::make_unique<Workspace>();
    ws->BaudIndex = 3;
    ws->Regime = kRegimeScan;
    ws->PointCount = 3;
    ws->Thickness[0] = 9.0f;
    ws->Thickness[1] = 9.5f;
    ws->Thickness[2] = 8.25f;
    const auto before = std::make_unique<Trace>(ws->CurrentTrace());

    ChunkedLine line(stream, chunks);
    NullProgress progress;
    fuzz::QuietPrompter prompter;
    GaugeLink link(*ws, line, line, prompter, progress);
    link.Device = "fuzz";
    link.DownloadFromGauge();

    fuzz::Check(link.RxCount >= 0 && link.RxCount <= kRxSlots, "receive count within the buffer");
    if (link.Received()) {
        fuzz::Check(ws->PointCount >= 1 && ws->PointCount <= kMaxGaugePoints, "point count sane");
        for (int32_t i = 0; i < ws->PointCount; ++i) {
            const float t = ws->Thickness[static_cast<size_t>(i)];
            fuzz::Check(std::isfinite(t) && t >= 0.0f && t <= 655.36f, "thickness sane");
        }
    } else {
        const Trace after = ws->CurrentTrace();
        fuzz::Check(after.PointCount == before->PointCount && after.Regime == before->Regime &&
                        after.Thickness == before->Thickness,
                    "no trace leaves the record untouched");
    }
    return 0;
}
