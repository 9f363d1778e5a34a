// Any bytes as a timing console's file, read and matched to the heats of a small
// competition, then applied: lanes are taken or reported, nothing else.
#include "base/BvBase.h"
#include "model/VmVorg.h"
#include "model/VmWettk.h"
#include "timing/VmZeitmessung.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool quiet = [] {
        vm::SetMessageHook([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    const std::string text(reinterpret_cast<const char*>(data), size);
    vm::TZeitmessungDatei file;
    std::string error;
    if (!vm::ReadTimingText(text, file, error)) return 0;
    auto c = vm::NewCompetition();
    vm::ApplyPreset(*c, 1001, 2004);
    // Two heats of discipline 1 in the first age class, lanes 1 to 4.
    vm::TAltersklasse* ac = c->At(0);
    for (int i = 0; i < 8; ++i) {
        auto p = vm::NewParticipant();
        p->SetName("Name" + std::to_string(i));
        p->Lauf[0] = static_cast<std::int16_t>(1 + i / 4);
        p->Bahn[0] = static_cast<std::int16_t>(1 + i % 4);
        ac->InsertParticipant(std::move(p));
    }
    for (bool hundredths : {true, false}) {
        c->Header.Optionen = hundredths ? 1 : 0;
        const vm::TZeitmessungAbgleich m = vm::MatchTiming(*c, 1, file);
        vm::ApplyHeatResults(m.results);
        (void)vm::TimingSummary(m);
    }
    return 0;
}
