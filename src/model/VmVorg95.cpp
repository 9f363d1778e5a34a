// Presets of the rule set 1995 (codes 6..11); years counted for 1990.
#include "model/VmVorg.h"

#include <iterator>

namespace vm {

namespace {

constexpr std::int16_t W = akWeiblich;
constexpr std::int16_t M = 0;
constexpr std::int16_t WH = akWeiblich | akHLW;
constexpr std::int16_t MH = akHLW;

// clang-format off
// 6: youth, individual events
const TAltersklasseVorgabe kPreset6[] = {
    {"Schülerinnen"_oem, 1978, 1981, W, {44, 42, 41}},
    {"Schüler"_oem, 1978, 1981, M, {44, 42, 41}},
    {"Jugend (weiblich)", 1976, 1977, WH, {43, 48, 46}},
    {"Jugend (männlich)"_oem, 1976, 1977, MH, {43, 48, 46}},
    {"Juniorinnen", 1974, 1975, WH, {45, 48, 47}},
    {"Junioren", 1974, 1975, MH, {45, 48, 47}},
    {"Damen", 1969, 1973, WH, {45, 48, 47}},
    {"Herren", 1969, 1973, MH, {45, 48, 47}},
};

// 7: youth, team events
const TAltersklasseVorgabe kPreset7[] = {
    {"Schülerinnen"_oem, 1978, 1981, W, {54, 56, 57, 53}},
    {"Schüler"_oem, 1978, 1981, M, {54, 56, 57, 53}},
    {"Jugend (weiblich)", 1976, 1977, WH, {55, 58, 60, 61}},
    {"Jugend (männlich)"_oem, 1976, 1977, MH, {55, 58, 60, 61}},
    {"Juniorinnen", 1974, 1975, WH, {55, 59, 60, 62}},
    {"Junioren", 1974, 1975, MH, {55, 59, 60, 62}},
    {"Damen", 1969, 1973, WH, {55, 59, 60, 62}},
    {"Herren", 1969, 1973, MH, {55, 59, 60, 62}},
};

// 8: seniors, individual events
const TAltersklasseVorgabe kPreset8[] = {
    {"Seniorinnen (SE 20)", 1966, 1970, W, {50, 52, 51}},
    {"Senioren (SE 20)", 1966, 1970, M, {50, 52, 51}},
    {"Seniorinnen (SE 25)", 1961, 1965, W, {50, 52, 51}},
    {"Senioren (SE 25)", 1961, 1965, M, {50, 52, 51}},
    {"Seniorinnen (SE 30)", 1956, 1960, W, {50, 52, 51}},
    {"Senioren (SE 30)", 1956, 1960, M, {50, 52, 51}},
    {"Seniorinnen (SE 35)", 1951, 1955, W, {50, 52, 51}},
    {"Senioren (SE 35)", 1951, 1955, M, {50, 52, 51}},
    {"Seniorinnen (SE 40)", 1946, 1950, W, {50, 52, 51}},
    {"Senioren (SE 40)", 1946, 1950, M, {50, 52, 51}},
    {"Seniorinnen (SE 45)", 1941, 1945, W, {50, 52, 51}},
    {"Senioren (SE 45)", 1941, 1945, M, {50, 52, 51}},
    {"Seniorinnen (SE 50)", 1936, 1940, W, {49, 52, 51}},
    {"Senioren (SE 50)", 1936, 1940, M, {49, 52, 51}},
    {"Seniorinnen (SE 55)", 1931, 1935, W, {49, 52, 51}},
    {"Senioren (SE 55)", 1931, 1935, M, {49, 52, 51}},
    {"Seniorinnen (SE 60)", 1926, 1930, W, {49, 52, 51}},
    {"Senioren (SE 60)", 1926, 1930, M, {49, 52, 51}},
    {"Seniorinnen (SE 65)", 1921, 1925, W, {49, 52, 51}},
    {"Senioren (SE 65)", 1921, 1925, M, {49, 52, 51}},
    {"Seniorinnen (SE 70)", 1916, 1920, W, {49, 52, 51}},
    {"Senioren (SE 70)", 1916, 1920, M, {49, 52, 51}},
    {"Seniorinnen (SE 75)", 1911, 1915, W, {49, 52, 51}},
    {"Senioren (SE 75)", 1911, 1915, M, {49, 52, 51}},
    {"Seniorinnen (SE 80)", 1906, 1910, W, {49, 52, 51}},
    {"Senioren (SE 80)", 1906, 1910, M, {49, 52, 51}},
};

// 9: seniors, team events
const TAltersklasseVorgabe kPreset9[] = {
    {"Seniorinnen (SM 20)", 1966, 1970, W, {65, 64, 66, 68}},
    {"Senioren (SM 20)", 1966, 1970, M, {65, 64, 66, 68}},
    {"Seniorinnen (SM 25)", 1961, 1965, W, {65, 64, 66, 68}},
    {"Senioren (SM 25)", 1961, 1965, M, {65, 64, 66, 68}},
    {"Seniorinnen (SM 30)", 1956, 1960, W, {65, 64, 66, 68}},
    {"Senioren (SM 30)", 1956, 1960, M, {65, 64, 66, 68}},
    {"Seniorinnen (SM 35)", 1951, 1955, W, {65, 64, 66, 68}},
    {"Senioren (SM 35)", 1951, 1955, M, {65, 64, 66, 68}},
    {"Seniorinnen (SM 40)", 1941, 1950, W, {66, 67, 63}},
    {"Senioren (SM 40)", 1941, 1950, M, {66, 67, 63}},
    {"Seniorinnen (SM 50)", 1931, 1940, W, {66, 67, 63}},
    {"Senioren (SM 50)", 1931, 1940, M, {66, 67, 63}},
    {"Seniorinnen (SM 60)", 1921, 1930, W, {66, 67, 63}},
    {"Senioren (SM 60)", 1921, 1930, M, {66, 67, 63}},
};

// 10: youth, individual events, Schüler split into two classes
const TAltersklasseVorgabe kPreset10[] = {
    {"Schülerinnen 1"_oem, 1980, 1981, W, {44, 42, 41}},
    {"Schüler 1"_oem, 1980, 1981, M, {44, 42, 41}},
    {"Schülerinnen 2"_oem, 1978, 1979, W, {44, 42, 41}},
    {"Schüler 2"_oem, 1978, 1979, M, {44, 42, 41}},
    {"Jugend (weiblich)", 1976, 1977, WH, {43, 48, 46}},
    {"Jugend (männlich)"_oem, 1976, 1977, MH, {43, 48, 46}},
    {"Juniorinnen", 1974, 1975, WH, {45, 48, 47}},
    {"Junioren", 1974, 1975, MH, {45, 48, 47}},
    {"Damen", 1969, 1973, WH, {45, 48, 47}},
    {"Herren", 1969, 1973, MH, {45, 48, 47}},
};

// 11: youth, team events, Schüler split into two classes
const TAltersklasseVorgabe kPreset11[] = {
    {"Schülerinnen 1"_oem, 1980, 1981, W, {54, 56, 57, 53}},
    {"Schüler 1"_oem, 1980, 1981, M, {54, 56, 57, 53}},
    {"Schülerinnen 2"_oem, 1978, 1979, W, {54, 56, 57, 53}},
    {"Schüler 2"_oem, 1978, 1979, M, {54, 56, 57, 53}},
    {"Jugend (weiblich)", 1976, 1977, WH, {55, 58, 60, 61}},
    {"Jugend (männlich)"_oem, 1976, 1977, MH, {55, 58, 60, 61}},
    {"Juniorinnen", 1974, 1975, WH, {55, 59, 60, 62}},
    {"Junioren", 1974, 1975, MH, {55, 59, 60, 62}},
    {"Damen", 1969, 1973, WH, {55, 59, 60, 62}},
    {"Herren", 1969, 1973, MH, {55, 59, 60, 62}},
};
// clang-format on

constexpr std::int16_t kRuleCode = 7; // championship discipline, rule set 1995

const TVorgabe kPresets[] = {
    {wkEinzel, kRuleCode, kPreset6, static_cast<int>(std::size(kPreset6))},
    {wkMannschaft, kRuleCode, kPreset7, static_cast<int>(std::size(kPreset7))},
    {wkEinzel, kRuleCode, kPreset8, static_cast<int>(std::size(kPreset8))},
    {wkMannschaft, kRuleCode, kPreset9, static_cast<int>(std::size(kPreset9))},
    {wkEinzel, kRuleCode, kPreset10, static_cast<int>(std::size(kPreset10))},
    {wkMannschaft, kRuleCode, kPreset11, static_cast<int>(std::size(kPreset11))},
};

} // namespace

const TVorgabe* Preset1995(int code) {
    if (code < 6 || code >= 6 + static_cast<int>(std::size(kPresets))) return nullptr;
    return &kPresets[code - 6];
}

} // namespace vm
