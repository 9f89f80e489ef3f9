#include "history/corrosion_rate.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "data/numbers.h"
#include "data/record.h"
#include "data/statistics.h"
#include "survey/survey_text.h"

namespace ws {
namespace {

// Mean absolute differences closer than this (mm) are the same: sums of the same hundredths
// taken in another order differ in the last bits, and that must not decide a tie.
constexpr double kTieMm = 1e-9;

// No trace holds more points than the record, whatever a caller passes.
int64_t Points(ScanView s) {
    return s.thickness ? std::clamp<int64_t>(s.count, 0, kPointSlots) : 0;
}

bool Reading(float t) {
    return t >= kReadingLimit;
}

int64_t Readings(ScanView s) {
    const int64_t n = Points(s);
    int64_t r = 0;
    for (int64_t i = 0; i < n; ++i)
        r += Reading(s.thickness[i]);
    return r;
}

// Earlier points i whose later partner i + shift exists.
void PairRange(int64_t ne, int64_t nl, int shift, int64_t& from, int64_t& to) {
    from = std::max<int64_t>(0, -static_cast<int64_t>(shift));
    to = std::min<int64_t>(ne, nl - shift);
}

std::string Json(const std::optional<double>& v, int decimals) {
    if (!v || !std::isfinite(*v))
        return "null";
    return FixedPoint(*v, decimals);
}

std::string Mask(const std::optional<double>& v, const char* mask, const std::string& sep) {
    return v && std::isfinite(*v) ? FormatMask(*v, mask, sep) : std::string();
}

}  // namespace

Alignment AtShift(ScanView earlier, ScanView later, int shift) {
    Alignment a;
    a.shift = shift;
    int64_t from = 0, to = 0;
    PairRange(Points(earlier), Points(later), shift, from, to);
    double sum = 0;
    for (int64_t i = from; i < to; ++i) {
        const float e = earlier.thickness[i], l = later.thickness[i + shift];
        if (!Reading(e) || !Reading(l))
            continue;
        sum += std::fabs(DecimalValue(e) - DecimalValue(l));
        ++a.overlap;
    }
    a.meanAbsDiff = a.overlap > 0 ? sum / static_cast<double>(a.overlap) : 0.0;
    return a;
}

std::optional<Alignment> BestShift(ScanView earlier, ScanView later, int maxShift) {
    const int64_t ne = Points(earlier), nl = Points(later);
    const int s = std::clamp(maxShift, 0, kPointSlots);
    // The shorter scan by points; of two equally long ones the one with fewer readings.
    int64_t shorterReadings = 0;
    if (ne != nl)
        shorterReadings = ne < nl ? Readings(earlier) : Readings(later);
    else
        shorterReadings = std::min(Readings(earlier), Readings(later));
    std::optional<Alignment> best;
    for (int shift = -s; shift <= s; ++shift) {
        const Alignment a = AtShift(earlier, later, shift);
        if (a.overlap < 1 || 2 * a.overlap < shorterReadings)
            continue;
        if (!best) {
            best = a;
            continue;
        }
        const double d = a.meanAbsDiff - best->meanAbsDiff;
        const bool better =
            d < -kTieMm ||
            (std::fabs(d) <= kTieMm && (std::abs(shift) < std::abs(best->shift) ||
                                        (std::abs(shift) == std::abs(best->shift) && shift > 0)));
        if (better)
            best = a;
    }
    return best;
}

CompareResult CompareScans(ScanView earlier, ScanView later, const CompareOptions& options) {
    CompareResult r;
    const int64_t ne = Points(earlier), nl = Points(later);
    if (ne < 1 || nl < 1) {
        r.error = "В одном из замеров нет точек";
        return r;
    }
    Alignment a;
    if (options.shift) {
        // Beyond the longer scan nothing can overlap; the bound keeps the index arithmetic sane.
        if (std::abs(*options.shift) > kPointSlots) {
            r.error = "Сдвиг больше длины замеров";
            return r;
        }
        a = AtShift(earlier, later, *options.shift);
        if (a.overlap < 1) {
            r.error = "При сдвиге " + std::to_string(*options.shift) +
                      " точек у замеров нет общих измерений";
            return r;
        }
    } else {
        const auto best = BestShift(earlier, later, options.maxShift);
        if (!best) {
            r.error = "Замеры не совмещаются: ни при одном сдвиге до " +
                      std::to_string(std::clamp(options.maxShift, 0, kPointSlots)) +
                      " точек общие измерения не покрывают половины более короткого замера";
            return r;
        }
        a = *best;
    }

    Comparison& c = r.comparison;
    c.shift = a.shift;
    c.overlap = a.overlap;
    c.lossAtLater.assign(static_cast<size_t>(nl), std::nullopt);
    int64_t from = 0, to = 0;
    PairRange(ne, nl, a.shift, from, to);
    double sum = 0;
    for (int64_t i = from; i < to; ++i) {
        const int64_t j = i + a.shift;
        const float e = earlier.thickness[i], l = later.thickness[j];
        if (!Reading(e) || !Reading(l))
            continue;
        // Hundredths as read, so 8.00 - 7.70 is 0.30 and not 0.2999999.
        const double loss = DecimalValue(e) - DecimalValue(l);
        c.lossAtLater[static_cast<size_t>(j)] = static_cast<float>(loss);
        sum += loss;
        if (!c.maxLoss || loss > *c.maxLoss) {
            c.maxLoss = loss;
            c.maxLossAtMm = static_cast<double>(j * kPointSpacingMm);
        }
        if (!c.minNow || DecimalValue(l) < *c.minNow)
            c.minNow = DecimalValue(l);
    }
    c.meanLoss = sum / static_cast<double>(a.overlap);
    c.years = options.years;
    // A rate needs time between the inspections; dates in the wrong order give none.
    if (c.years && *c.years > 0) {
        c.rateMean = *c.meanLoss / *c.years;
        c.rateMax = *c.maxLoss / *c.years;
    }
    if (options.tmin && *options.tmin > 0) {
        c.tmin = options.tmin;
        if (*c.minNow < *c.tmin)
            c.remainingLifeYears = 0.0;
        else if (c.rateMax && *c.rateMax > 0)
            c.remainingLifeYears = (*c.minNow - *c.tmin) / *c.rateMax;
    }
    r.ok = true;
    return r;
}

std::optional<double> YearsBetween(std::string_view earlierIso, std::string_view laterIso) {
    const auto a = UtcOfDate(earlierIso), b = UtcOfDate(laterIso);
    if (!a || !b)
        return std::nullopt;
    const double days = static_cast<double>(*b - *a) / 86400.0;
    return days / 365.25;
}

std::string ComparisonJson(const Comparison& c) {
    std::string out = "{";
    out += "\"shift_points\": " + std::to_string(c.shift);
    out += ", \"overlap_points\": " + std::to_string(c.overlap);
    out += ", \"mean_loss\": " + Json(c.meanLoss, 3);
    out += ", \"max_loss\": " + Json(c.maxLoss, 3);
    out += ", \"max_loss_at_mm\": " + Json(c.maxLossAtMm, 0);
    out += ", \"years\": " + Json(c.years, 2);
    out += ", \"rate_mean\": " + Json(c.rateMean, 3);
    out += ", \"rate_max\": " + Json(c.rateMax, 3);
    out += ", \"min_now\": " + Json(c.minNow, 3);
    out += ", \"remaining_life_years\": " + Json(c.remainingLifeYears, 2);
    out += "}";
    return out;
}

std::vector<ComparisonLine> ComparisonLines(const Comparison& c, const std::string& sep) {
    std::vector<ComparisonLine> lines = {
        {"shift_points", "Сдвиг позднего замера, точек", std::to_string(c.shift)},
        {"overlap_points", "Общих измерений", std::to_string(c.overlap)},
        {"mean_loss", "Средняя потеря, мм", Mask(c.meanLoss, "##0.000", sep)},
        {"max_loss", "Наибольшая потеря, мм", Mask(c.maxLoss, "##0.000", sep)},
        {"max_loss_at_mm", "Координата наибольшей потери, мм", Mask(c.maxLossAtMm, "###0", sep)},
        {"years", "Между замерами, лет", Mask(c.years, "##0.00", sep)},
        {"rate_mean", "Средняя скорость, мм/год", Mask(c.rateMean, "##0.000", sep)},
        {"rate_max", "Наибольшая скорость, мм/год", Mask(c.rateMax, "##0.000", sep)},
        {"min_now", "Минимум сейчас, мм", Mask(c.minNow, "##0.00", sep)},
    };
    if (c.tmin) {
        lines.push_back({"tmin", "Минимально допустимая, мм", Mask(c.tmin, "##0.00", sep)});
        lines.push_back({"remaining_life_years", "Остаточный ресурс, лет",
                         Mask(c.remainingLifeYears, "##0.0", sep)});
    }
    return lines;
}

}  // namespace ws
