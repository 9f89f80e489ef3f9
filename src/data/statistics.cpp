#include "data/statistics.h"

#include <algorithm>
#include <cmath>

#include "data/numbers.h"
#include "data/record.h"

namespace ws {

StatsAccumulator::StatsAccumulator(Thresholds thresholds) : th_(thresholds) {
    if (th_.minAllowed > 0.0f)
        s_.tmin = th_.minAllowed;
    if (th_.nominal > 0.0f)
        s_.tnom = th_.nominal;
}

void StatsAccumulator::Add(float thickness, int64_t index, int64_t tag) {
    ++s_.points;
    // NaN compares false: it counts as no contact, like a zero.
    if (!(thickness >= kReadingLimit)) {
        ++s_.noContact;
        run_ = 0;
        return;
    }
    const double t = thickness;
    if (s_.readings == 0) {
        shift_ = t;
        s_.min = s_.max = t;
        s_.minIndex = s_.maxIndex = index;
        s_.minTag = s_.maxTag = tag;
    } else {
        // Strict comparisons: the first smallest and the first largest point win ties.
        if (t < *s_.min) {
            s_.min = t;
            s_.minIndex = index;
            s_.minTag = tag;
        }
        if (t > *s_.max) {
            s_.max = t;
            s_.maxIndex = index;
            s_.maxTag = tag;
        }
    }
    ++s_.readings;
    // Sums of the distance from the first reading: the walls are all close to each other, so
    // the squares stay small and the variance does not cancel away.
    sum_ += t - shift_;
    sumSq_ += (t - shift_) * (t - shift_);
    if (th_.minAllowed > 0.0f && thickness < th_.minAllowed) {
        ++s_.belowTmin;
        ++run_;
        s_.longestBelowMm = std::max(s_.longestBelowMm, run_ * kPointSpacingMm);
    } else {
        run_ = 0;
    }
}

void StatsAccumulator::BreakRun() {
    run_ = 0;
}

Stats StatsAccumulator::Finish() const {
    Stats s = s_;
    s.belowTminMm = s.belowTmin * kPointSpacingMm;
    if (s.readings == 0)
        return s;
    const double n = static_cast<double>(s.readings);
    s.mean = shift_ + sum_ / n;
    if (s.readings < 2) {
        s.sd = 0.0;
    } else {
        const double var = (sumSq_ - sum_ * sum_ / n) / (n - 1.0);
        s.sd = std::sqrt(std::max(0.0, var));
    }
    s.minAtMm = static_cast<double>(s.minIndex * kPointSpacingMm);
    s.maxAtMm = static_cast<double>(s.maxIndex * kPointSpacingMm);
    if (s.tmin)
        s.belowTminPercent = 100.0 * static_cast<double>(s.belowTmin) / n;
    if (s.tnom) {
        s.meanLossPercent = (*s.tnom - *s.mean) / *s.tnom * 100.0;
        s.maxLossPercent = (*s.tnom - *s.min) / *s.tnom * 100.0;
    }
    return s;
}

Stats StatsOfTrace(const float* thickness, int64_t count, Thresholds thresholds) {
    StatsAccumulator acc(thresholds);
    for (int64_t i = 0; i < count; ++i)
        acc.Add(thickness[i], i);
    return acc.Finish();
}

Stats StatsOfPart(const float* thickness, int64_t count, const std::vector<bool>& include,
                  Thresholds thresholds) {
    StatsAccumulator acc(thresholds);
    const int64_t n = std::min<int64_t>(count, static_cast<int64_t>(include.size()));
    for (int64_t i = 0; i < n; ++i) {
        if (include[static_cast<size_t>(i)])
            acc.Add(thickness[i], i);
        else
            acc.BreakRun();
    }
    return acc.Finish();
}

Stats StatsOfRecord(const Workspace& ws, bool markedOnly, Thresholds thresholds) {
    const int64_t n = std::clamp<int64_t>(ws.PointCount, 0, kPointSlots);
    if (!markedOnly)
        return StatsOfTrace(ws.Thickness.data(), n, thresholds);
    std::vector<bool> include(static_cast<size_t>(n));
    for (int64_t i = 0; i < n; ++i)
        include[static_cast<size_t>(i)] = ws.PointMark[static_cast<size_t>(i)] != 0;
    return StatsOfPart(ws.Thickness.data(), n, include, thresholds);
}

int64_t Histogram::Peak() const {
    int64_t peak = 0;
    for (int64_t c : counts)
        peak = std::max(peak, c);
    return peak;
}

Histogram MakeHistogram(const float* thickness, int64_t count, const std::vector<bool>* include,
                        double binWidth) {
    Histogram h;
    h.binWidth = binWidth > 0 && std::isfinite(binWidth) ? binWidth : 0.1;
    auto taken = [&](int64_t i) {
        if (include &&
            (i >= static_cast<int64_t>(include->size()) || !(*include)[static_cast<size_t>(i)]))
            return false;
        return thickness[i] >= kReadingLimit && std::isfinite(thickness[i]);
    };
    double lo = 0, hi = 0;
    bool any = false;
    for (int64_t i = 0; i < count; ++i) {
        if (!taken(i))
            continue;
        lo = any ? std::min<double>(lo, thickness[i]) : thickness[i];
        hi = any ? std::max<double>(hi, thickness[i]) : thickness[i];
        any = true;
    }
    if (!any)
        return h;
    // A hand-edited file can hold 1e30 beside 8 mm: the bins widen (by tens) rather than
    // asking for billions of them.
    constexpr double kMaxBins = 2000;
    while ((hi - lo) / h.binWidth > kMaxBins)
        h.binWidth *= 10.0;
    // Values are kept to hundredths: binning the rounded hundredths puts 7.30 (a float a hair
    // below 7.3) into the bin that starts at 7.3, where the operator reads it.
    const double hundredths = std::round(h.binWidth * 100.0);
    auto binOf = [&](double t) {
        return hundredths >= 1 ? std::floor(std::round(t * 100.0) / hundredths)
                               : std::floor(t / h.binWidth);
    };
    const double first = binOf(lo);
    h.origin = hundredths >= 1 ? first * hundredths / 100.0 : first * h.binWidth;
    h.counts.assign(static_cast<size_t>(binOf(hi) - first) + 1, 0);
    for (int64_t i = 0; i < count; ++i) {
        if (!taken(i))
            continue;
        const double b = binOf(thickness[i]) - first;
        const size_t k = static_cast<size_t>(std::clamp(b, 0.0, double(h.counts.size() - 1)));
        ++h.counts[k];
    }
    return h;
}

namespace {

std::string Mask(const std::optional<double>& v, const char* mask, const std::string& sep) {
    return v ? FormatMask(*v, mask, sep) : std::string();
}

std::string Json(const std::optional<double>& v, int decimals) {
    if (!v || !std::isfinite(*v))
        return "null";
    return FixedPoint(*v, decimals);
}

}  // namespace

std::vector<StatsLine> StatsLines(const Stats& s, const std::string& sep) {
    std::vector<StatsLine> lines = {
        {"points", "Точек", std::to_string(s.points)},
        {"readings", "Измерений", std::to_string(s.readings)},
        {"no_contact", "Нет контакта", std::to_string(s.noContact)},
        {"min", "Минимум, мм", Mask(s.min, "##0.00", sep)},
        {"min_at_mm", "Координата минимума, мм", Mask(s.minAtMm, "###0", sep)},
        {"max", "Максимум, мм", Mask(s.max, "##0.00", sep)},
        {"max_at_mm", "Координата максимума, мм", Mask(s.maxAtMm, "###0", sep)},
        {"mean", "Среднее, мм", Mask(s.mean, "##0.000", sep)},
        {"sd", "Ср. кв. отклонение, мм", Mask(s.sd, "##0.000", sep)},
    };
    if (s.tmin) {
        lines.push_back({"tmin", "Мин. допустимая, мм", Mask(s.tmin, "##0.00", sep)});
        lines.push_back({"below_tmin", "Ниже допустимой, точек", std::to_string(s.belowTmin)});
        lines.push_back({"below_tmin_mm", "Ниже допустимой, мм", std::to_string(s.belowTminMm)});
        lines.push_back(
            {"below_tmin_percent", "Ниже допустимой, %", Mask(s.belowTminPercent, "##0.00", sep)});
        lines.push_back(
            {"longest_below_mm", "Наибольший участок ниже, мм", std::to_string(s.longestBelowMm)});
    }
    if (s.tnom) {
        lines.push_back({"tnom", "Номинальная, мм", Mask(s.tnom, "##0.00", sep)});
        lines.push_back(
            {"mean_loss_percent", "Средняя потеря, %", Mask(s.meanLossPercent, "##0.00", sep)});
        lines.push_back(
            {"max_loss_percent", "Наибольшая потеря, %", Mask(s.maxLossPercent, "##0.00", sep)});
    }
    return lines;
}

std::string StatsJson(const Stats& s) {
    std::string out = "{";
    auto add = [&](const char* key, const std::string& value) {
        if (out.size() > 1)
            out += ", ";
        out += "\"";
        out += key;
        out += "\": ";
        out += value;
    };
    add("points", std::to_string(s.points));
    add("readings", std::to_string(s.readings));
    add("no_contact", std::to_string(s.noContact));
    add("min", Json(s.min, 3));
    add("min_at_mm", Json(s.minAtMm, 0));
    add("max", Json(s.max, 3));
    add("max_at_mm", Json(s.maxAtMm, 0));
    add("mean", Json(s.mean, 3));
    add("sd", Json(s.sd, 3));
    if (s.tmin) {
        add("tmin", Json(s.tmin, 3));
        add("below_tmin", std::to_string(s.belowTmin));
        add("below_tmin_mm", std::to_string(s.belowTminMm));
        add("below_tmin_percent", Json(s.belowTminPercent, 2));
        add("longest_below_mm", std::to_string(s.longestBelowMm));
    }
    if (s.tnom) {
        add("tnom", Json(s.tnom, 3));
        add("mean_loss_percent", Json(s.meanLossPercent, 2));
        add("max_loss_percent", Json(s.maxLossPercent, 2));
    }
    out += "}";
    return out;
}

}  // namespace ws
