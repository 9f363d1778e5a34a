#include "operations/VmHLW.h"

#include "model/VmGlied.h"
#include "operations/VmAuswahl.h"

#include "model/VmBytes.h"

namespace vm {

namespace {

// The selection only reads the competition; the run owns it and writes the slots.
void PackSelection(TWettkampf& c, const TSelection& s, THLWRun& run) {
    for (const TListEntry& e : s.entries) {
        VM_ASSERT(PointsInto(c, e));
        PackParticipant(const_cast<TTeilnehmer&>(*e.participant), run);
    }
}
} // namespace

THLWSettings DefaultHLWSettings(const TWettkampf& c) {
    THLWSettings s;
    if (!IsSingleCompetition(c)) s.measures = 4;
    return s;
}

int HLWTimeFromText(std::string_view text) {
    auto digit = [&](std::size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
    if (text.size() != 5 || !digit(0) || !digit(1) || text[2] != ':' || !digit(3) || !digit(4))
        return -1;
    const int h = (text[0] - '0') * 10 + (text[1] - '0');
    const int m = (text[3] - '0') * 10 + (text[4] - '0');
    if (h > 23 || m > 59) return -1;
    return h * 100 + m;
}

void PackParticipant(TTeilnehmer& p, THLWRun& run) {
    int h = run.time / 100, m = run.time % 100;
    p.Startzeit = ClampI16(h * 100 + m);
    p.HLWBahn = ClampI16(run.station);
    p.HLWLauf = ClampI16(run.sequence);
    for (int k = 0; k < run.measures; ++k) {
        ++run.sequence;
        if (++run.station > run.stations) {
            // The pass is full: the next one starts `duration` minutes later.
            run.station = 1;
            m += run.duration;
            while (m >= 60) {
                m -= 60;
                if (++h >= 24) {
                    ShowMessage("HLW dauert bis über Mitternacht hinaus!"_oem);
                    h = 0;
                }
            }
        }
    }
    run.time = h * 100 + m;
}

void AssignHLW(TWettkampf& c, const THLWSettings& s) {
    ProgressStart("HLW Laufeinteilung wird erstellt...");
    c.Header.HLWDauer = ClampI16(s.duration);
    c.Header.HLWMassnahmen = ClampI16(s.measures);

    THLWRun run;
    run.stations = StationCount(c);
    run.time = s.startTime;
    run.station = s.firstStation;
    run.duration = s.duration;
    run.measures = s.measures;
    run.sequence = 1;

    if (!s.block) {
        for (TAltersklasse& ac : c)
            if (HasHLW(ac))
                for (TTeilnehmer& p : ac)
                    PackParticipant(p, run);
    } else {
        ComputeStatistics(c, smKurz);
        TSelection block;
        SetSelectionOrder(block, soName);
        MarkHLWAgeClasses(block, c);
        for (const TGliederungStat& g : c.Gliederungen) {
            ClearSelection(block);
            SelectGliederung(block, c, g.Kurz.View());
            PackSelection(c, block, run);
        }
        // Participants without a Gliederung have no row; they follow as a last block
        // so that nobody is left without a start time and station.
        ClearSelection(block);
        SelectGliederung(block, c, "");
        PackSelection(c, block, run);
    }
    ProgressStart("");
}

} // namespace vm
