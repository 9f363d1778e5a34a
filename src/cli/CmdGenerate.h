// velmora-cli generate: a realistic, reproducible competition with results, for
// demonstrations and benchmarks.
#pragma once

#include "model/VmWettk.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vm::cli {

// The most age classes a generated competition can have: the presets' classes plus
// the generator's own additional classes.
inline constexpr int GenerateMaxAgeClasses = 40;
// From this many participants on, a competition without an explicit class count
// gets GenerateMaxAgeClasses classes (the benchmark workload: 20 000 in 40 classes).
inline constexpr int GenerateManyParticipants = 10000;

struct TGenerateOptions {
    int participants = 200;
    std::uint64_t seed = 1;
    bool team = false;
    int year = 2000;
    int ageClasses = 0; // 0: the presets' classes, or 40 for many participants
};

// The number of age classes the options ask for (resolves ageClasses = 0).
int GenerateAgeClassCount(const TGenerateOptions& o);

// Builds the competition; the same options always give the same competition. The
// caller has checked the limits (at most MaxCollectionSize participants per class,
// 1..GenerateMaxAgeClasses classes, years from 1999 on).
std::unique_ptr<TWettkampf> GenerateCompetition(const TGenerateOptions& o);

int CmdGenerate(const std::vector<std::string>& args);

} // namespace vm::cli
