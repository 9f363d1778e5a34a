// Presets of the rule set 1999 (codes 0..5); years counted for 1990.
#include "model/VmVorg.h"

#include <iterator>

namespace vm {

namespace {

constexpr std::int16_t W = akWeiblich;
constexpr std::int16_t M = 0;
constexpr std::int16_t WH = akWeiblich | akHLW;
constexpr std::int16_t MH = akHLW;

// clang-format off
// 0: youth, individual events
const TAltersklasseVorgabe kPreset0[] = {
    {"AK 12w", 1978, 1981, W, {1, 6, 9}},
    {"AK 12m", 1978, 1981, M, {12, 17, 20}},
    {"AK 13/14w", 1976, 1977, WH, {1, 5, 7}},
    {"AK 13/14m", 1976, 1977, MH, {12, 16, 18}},
    {"AK 15/16w", 1974, 1975, WH, {2, 5, 8}},
    {"AK 15/16m", 1974, 1975, MH, {13, 16, 19}},
    {"AK 17/18w", 1972, 1973, WH, {3, 5, 8}},
    {"AK 17/18m", 1972, 1973, MH, {14, 16, 19}},
    {"Offene Altersklasse (w)", 1964, 1971, WH, {3, 5, 8, 11}},
    {"Offene Altersklasse (m)", 1964, 1971, MH, {14, 16, 19, 22}},
};

// 1: youth, team events
const TAltersklasseVorgabe kPreset1[] = {
    {"AK 12w", 1978, 1981, W, {23, 25, 28, 31}},
    {"AK 12m", 1978, 1981, M, {32, 34, 37, 40}},
    {"AK 13/14w", 1976, 1977, WH, {24, 26, 29, 30}},
    {"AK 15/16w", 1974, 1975, WH, {24, 26, 29, 30}},
    {"AK 13/14m", 1976, 1977, MH, {33, 35, 38, 39}},
    {"AK 15/16m", 1974, 1975, MH, {33, 35, 38, 39}},
    {"AK 17/18w", 1972, 1973, WH, {24, 27, 29, 30}},
    {"Offene Altersklasse (w)", 1964, 1971, WH, {24, 27, 29, 30}},
    {"AK 17/18m", 1972, 1973, MH, {33, 36, 38, 39}},
    {"Offene Altersklasse (m)", 1964, 1971, MH, {33, 36, 38, 39}},
};

// 2: seniors, individual events
const TAltersklasseVorgabe kPreset2[] = {
    {"AK 25w", 1961, 1965, W, {2, 5, 8}},    {"AK 30w", 1956, 1960, W, {2, 5, 8}},
    {"AK 25m", 1961, 1965, M, {13, 16, 19}}, {"AK 30m", 1956, 1960, M, {13, 16, 19}},
    {"AK 35w", 1951, 1955, W, {2, 5, 7}},    {"AK 35m", 1951, 1955, M, {13, 16, 18}},
    {"AK 40w", 1946, 1950, W, {1, 5, 7}},    {"AK 45w", 1941, 1945, W, {1, 5, 7}},
    {"AK 40m", 1946, 1950, M, {12, 16, 18}}, {"AK 45m", 1941, 1945, M, {12, 16, 18}},
    {"AK 50w", 1936, 1940, W, {4, 6, 10}},   {"AK 55w", 1931, 1935, W, {4, 6, 10}},
    {"AK 60w", 1926, 1930, W, {4, 6, 10}},   {"AK 65w", 1921, 1925, W, {4, 6, 10}},
    {"AK 70w", 1916, 1920, W, {4, 6, 10}},   {"AK 75w", 1911, 1915, W, {4, 6, 10}},
    {"AK 80+w", 1890, 1910, W, {4, 6, 10}},  {"AK 50m", 1936, 1940, M, {15, 17, 21}},
    {"AK 55m", 1931, 1935, M, {15, 17, 21}}, {"AK 60m", 1926, 1930, M, {15, 17, 21}},
    {"AK 65m", 1921, 1925, M, {15, 17, 21}}, {"AK 70m", 1916, 1920, M, {15, 17, 21}},
    {"AK 75m", 1911, 1915, M, {15, 17, 21}}, {"AK 80+m", 1890, 1910, M, {15, 17, 21}},
};

// 3: seniors, team events
const TAltersklasseVorgabe kPreset3[] = {
    {"AK 100w", 1961, 1965, W, {24, 26, 29, 30}}, {"AK 120w", 1956, 1960, W, {24, 26, 29, 30}},
    {"AK 140w", 1949, 1955, W, {24, 26, 29, 30}}, {"AK 170w", 1941, 1948, W, {24, 26, 29, 30}},
    {"AK 100m", 1961, 1965, M, {33, 35, 38, 39}}, {"AK 120m", 1956, 1960, M, {33, 35, 38, 39}},
    {"AK 140m", 1949, 1955, M, {33, 35, 38, 39}}, {"AK 170m", 1941, 1948, M, {33, 35, 38, 39}},
    {"AK 200w", 1931, 1940, W, {24, 26, 29}},     {"AK 240+w", 1890, 1930, W, {24, 26, 29}},
    {"AK 200m", 1931, 1940, M, {33, 35, 38}},     {"AK 240+m", 1890, 1930, M, {33, 35, 38}},
};

// 4: youth, individual events, age class 12 split into AK 10 and AK 12
const TAltersklasseVorgabe kPreset4[] = {
    {"AK 10w", 1980, 1981, W, {1, 6, 9}},
    {"AK 12w", 1978, 1979, W, {1, 6, 9}},
    {"AK 10m", 1980, 1981, M, {12, 17, 20}},
    {"AK 12m", 1978, 1979, M, {12, 17, 20}},
    {"AK 13/14w", 1976, 1977, WH, {1, 5, 7}},
    {"AK 13/14m", 1976, 1977, MH, {12, 16, 18}},
    {"AK 15/16w", 1974, 1975, WH, {2, 5, 8}},
    {"AK 15/16m", 1974, 1975, MH, {13, 16, 19}},
    {"AK 17/18w", 1972, 1973, WH, {3, 5, 8}},
    {"AK 17/18m", 1972, 1973, MH, {14, 16, 19}},
    {"Offene Altersklasse (w)", 1964, 1971, WH, {3, 5, 8, 11}},
    {"Offene Altersklasse (m)", 1964, 1971, MH, {14, 16, 19, 22}},
};

// 5: youth, team events, age class 12 split into AK 10 and AK 12
const TAltersklasseVorgabe kPreset5[] = {
    {"AK 10w", 1980, 1981, W, {23, 25, 28, 31}},
    {"AK 12w", 1978, 1979, W, {23, 25, 28, 31}},
    {"AK 10m", 1980, 1981, M, {32, 34, 37, 40}},
    {"AK 12m", 1978, 1979, M, {32, 34, 37, 40}},
    {"AK 13/14w", 1976, 1977, WH, {24, 26, 29, 30}},
    {"AK 15/16w", 1974, 1975, WH, {24, 26, 29, 30}},
    {"AK 13/14m", 1976, 1977, MH, {33, 35, 38, 39}},
    {"AK 15/16m", 1974, 1975, MH, {33, 35, 38, 39}},
    {"AK 17/18w", 1972, 1973, WH, {24, 27, 29, 30}},
    {"Offene Altersklasse (w)", 1964, 1971, WH, {24, 27, 29, 30}},
    {"AK 17/18m", 1972, 1973, MH, {33, 36, 38, 39}},
    {"Offene Altersklasse (m)", 1964, 1971, MH, {33, 36, 38, 39}},
};
// clang-format on

constexpr std::int16_t kRuleCode = 9; // championship discipline, rule set 1999

const TVorgabe kPresets[] = {
    {wkEinzel, kRuleCode, kPreset0, static_cast<int>(std::size(kPreset0))},
    {wkMannschaft, kRuleCode, kPreset1, static_cast<int>(std::size(kPreset1))},
    {wkEinzel, kRuleCode, kPreset2, static_cast<int>(std::size(kPreset2))},
    {wkMannschaft, kRuleCode, kPreset3, static_cast<int>(std::size(kPreset3))},
    {wkEinzel, kRuleCode, kPreset4, static_cast<int>(std::size(kPreset4))},
    {wkMannschaft, kRuleCode, kPreset5, static_cast<int>(std::size(kPreset5))},
};

} // namespace

const TVorgabe* Preset1999(int code) {
    if (code < 0 || code >= static_cast<int>(std::size(kPresets))) return nullptr;
    return &kPresets[code];
}

} // namespace vm
