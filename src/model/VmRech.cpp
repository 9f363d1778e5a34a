#include "model/VmRech.h"

#include "model/BvMath.h"
#include "model/VmAk.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vm {

namespace {
// A computed value as stored points: clamped to the 32-bit range (a hostile base
// time or formula must not overflow the conversion).
std::int64_t ToPoints(long double v) {
    if (std::isnan(v)) return 0;
    constexpr long double lo = std::numeric_limits<std::int32_t>::min();
    constexpr long double hi = std::numeric_limits<std::int32_t>::max();
    if (v < lo) return static_cast<std::int64_t>(lo);
    if (v > hi) return static_cast<std::int64_t>(hi);
    return static_cast<std::int64_t>(v);
}

std::int64_t NewMethod(std::int64_t t, const TDisziplin& d) {
    const std::int64_t v1 = d.V[0];
    long double p = 0;
    if (v1 == 0) {
        p = 0; // no base time: every time lies beyond the curve
    } else if (t < 2 * v1) {
        const long double x = static_cast<long double>(t) / static_cast<long double>(v1);
        p = 467.0L * x * x - 2001.0L * x + 2534.0L;
    } else if (t < 5 * v1) {
        const long double x = static_cast<long double>(t) / static_cast<long double>(v1);
        p = 2000.0L / 3.0L - (400.0L / 3.0L) * x;
    }
    // The points are kept as a double, then scaled and rounded half to even in
    // extended precision.
    const double stored = static_cast<double>(p);
    const long double scaled = static_cast<long double>(stored) * 100.0L;
    // Under the usual rounding mode rintl rounds exactly like nearbyintl (it only may
    // raise the inexact flag, which nobody reads) and avoids switching the mode of
    // both floating-point units for every performance: ranking a large class
    // computes points tens of thousands of times.
    const int mode = std::fegetround();
    if (mode == FE_TONEAREST) return ToPoints(std::rintl(scaled));
    std::fesetround(FE_TONEAREST);
    const long double rounded = std::nearbyintl(scaled);
    std::fesetround(mode);
    return ToPoints(rounded);
}

std::int64_t LinearMethod(std::int64_t t, const TDisziplin& d) {
    const std::int64_t v2 = d.V[1];
    if (v2 != 0) {
        // A step below a tenth of a second (V2 1..9) would be 0: the time stays uncut.
        const std::int64_t q = v2 / 10;
        if (q != 0) t -= t % q;
    }
    return static_cast<std::int64_t>(d.V[0]) - 10 * t;
}

std::int64_t FormulaMethod(std::int64_t t, int pen, const TDisziplin& d) {
    long double v[5];
    for (int i = 0; i < 5; ++i)
        v[i] = static_cast<long double>(d.V[static_cast<std::size_t>(i)]);
    bool valid = false;
    long double r = EvaluateFormula(d.Formel.View(), static_cast<long double>(t),
                                    static_cast<long double>(pen), v, valid, false);
    if (!valid) return 0;
    return ToPoints(std::trunc(r));
}
} // namespace

TPunkte CalcPoints(TZeit time, int penalty, const TDisziplin& d) {
    if (time == 0) return 0;
    std::int64_t t = time;
    std::int64_t result = 0;
    switch (d.Berechnungsart) {
    case baNeu:
        result = NewMethod(t, d) - 100LL * penalty;
        break;
    case baLinear:
        result = LinearMethod(t, d) - 100LL * penalty;
        break;
    case baFormel:
        result = FormulaMethod(t, penalty, d);
        break;
    default:
        result = 0;
        break;
    }
    if (result < 0) result = 0;
    if (penalty < 0) result = 0;
    if (result > std::numeric_limits<std::int32_t>::max())
        result = std::numeric_limits<std::int32_t>::max();
    return static_cast<TPunkte>(result);
}

void ReportFormulaFaults(const TAltersklasse& ac) {
    for (std::size_t k = 0; k < ac.Data.Disziplinen.size(); ++k) {
        const TDisziplin& d = ac.Data.Disziplinen[k];
        if (d.Berechnungsart != baFormel) continue;
        bool scored = false;
        for (const TTeilnehmer& p : ac)
            scored = scored || p.Zeit[k] != 0;
        if (!scored) continue;
        const TFormulaFault fault = CheckFormula(d.Formel.View());
        if (!fault) continue;
        ShowMessage("Altersklasse " + std::string(ac.Data.Bezeichnung.View()) + ", Disziplin " +
                    std::to_string(k + 1) + " (" + std::string(d.Bezeichnung.View()) + "):\r\n" +
                    fault.message);
    }
}

} // namespace vm
