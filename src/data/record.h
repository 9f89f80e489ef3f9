#pragma once
// The one measurement record of the program, its switches, settings and paths, and the
// relief set of the last folder scan. Every window gets the same Workspace by reference.

#include <array>
#include <cstdint>
#include <string>

namespace ws {

// Per-point arrays have 4201 slots (indices 0..4200); a trace uses 0..PointCount-1.
inline constexpr int kPointSlots = 4201;
inline constexpr int kMaxGaugePoints = 4100;  // the gauge sends at most this many
// A .mem file announces at most this many. Older files never held more than 4000, but a full
// download of 4100 points is saved as it came and must read back, or the trace would be lost
// at the next start.
inline constexpr int kMaxFilePoints = kMaxGaugePoints;
inline constexpr int kPointSpacingMm = 2;  // point i lies at 2*i mm along the scan

inline constexpr int16_t kRegimeScan = 255;  // any other regime: single readings

inline constexpr int kReliefMaxFiles = 10;
inline constexpr int kReliefSourcePoints = 10000;

// The trace itself: what a load or a download replaces as a whole.
struct Trace {
    int16_t Regime = 0;
    int32_t PointCount = 0;
    std::array<float, kPointSlots> Thickness{};  // millimetres; < 0.01 means no contact
};

struct Workspace {
    // Measurement record.
    int16_t Regime = 0;
    int32_t PointCount = 0;
    std::array<float, kPointSlots> Thickness{};
    std::array<int16_t, kPointSlots> PointMark{};  // -1 marked, 0 not
    std::string CurrentFileName;                   // UTF-8
    // The survey archive's entry that holds this trace, 0 when none (the archive is off, or
    // the trace came from a file outside it). Every replacement of the trace clears it; the
    // code that files the trace or opens it from the archive sets it afterwards.
    int64_t ArchiveEntryId = 0;

    // Switches.
    bool FilterOn = false;
    bool RangeFromZero = true;

    // The inspected object's thresholds for this session, mm, 0 = not set. They outlive a
    // change of trace: the scans of one survey belong to one object. When the record's trace
    // has an archive entry, its object's values are the ones shown and edited.
    float NominalThickness = 0.0f;
    float MinAllowedThickness = 0.0f;

    // Settings kept in options.sav.
    std::string PortName;
    int32_t BaudRate = 2400;
    int16_t BaudIndex = 1;
    int32_t TableRows = 36;
    int16_t PrintFontSize = 12;
    float RangeOfMeasure = 0.0f;

    // Paths (UTF-8, no trailing separator).
    std::string HomeDir;
    std::string ReliefDir;
    std::string DialogFileName;

    // Folder where the program's own files (templates, samples) are installed.
    std::string ProgramDir;

    // The user's locale, used by every on-screen number and date.
    std::string DecimalSeparator = ".";
    std::string DateSeparator = "/";

    // Relief set, filled by the folder scan.
    int16_t ReliefFileCount = 0;
    std::array<std::string, kReliefMaxFiles + 1> ReliefFileNames{};  // 1..10
    int16_t ReliefMinPoints = 0;
    // Slot 0 is never written; slots 1..10 hold the traces.
    std::array<std::array<float, kPointSlots>, kReliefMaxFiles + 1> ReliefGrid{};
    // The same values, file k at index k - 1.
    std::array<std::array<float, kReliefSourcePoints>, kReliefMaxFiles> ReliefSource{};

    // Copies the trace part of the record out, or replaces it wholesale.
    Trace CurrentTrace() const;
    void StoreTrace(const Trace& trace);
};

}  // namespace ws
