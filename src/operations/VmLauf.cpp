#include "operations/VmLauf.h"

#include "model/VmBytes.h"

namespace vm {

int LaneOrder(int lanes, int position) {
    if (lanes < 1 || lanes > 10 || position < 1 || position > lanes) return position;
    const int middle = (lanes + 1) / 2;
    if (position == 1) return middle;
    const int step = position / 2;
    const bool right = (position % 2 == 0) == (lanes % 2 == 0);
    return right ? middle + step : middle - step;
}

void AssignAgeClassHeats(TAltersklasse& ac, THeatBlock& block) {
    const int n = block.lanes < 1 ? 1 : block.lanes;
    const int count = ac.Count();
    int position = block.nextPosition;
    if (position > n || position < 1) position = 1;

    const int taken = count + position - 1;
    const int heats = taken / n + (taken % n != 0 ? 1 : 0);
    const int first = block.nextHeat;
    const int last = first + heats - 1;
    const bool upwards = (block.options & lbUmgekehrt) != 0;
    int heat = upwards ? first : last;

    ac.SortBy((block.options & lbAlphabetisch) ? TParticipantOrder::Alphabetical()
                                               : TParticipantOrder::Ranking());

    const int d = block.discipline;
    // A discipline the age class does not have is left alone; its heats stay reserved.
    if (d >= 1 && d <= 5 && (d == 1 || ac.Data.DisciplineCount() >= d)) {
        const auto i = static_cast<std::size_t>(d - 1);
        for (TTeilnehmer& p : ac) {
            p.Lauf[i] = ClampI16(heat);
            p.Bahn[i] = ClampI16(LaneOrder(n, position));
            if (++position > n) {
                position = 1;
                heat += upwards ? 1 : -1;
            }
        }
        if (d == 1)
            for (TTeilnehmer& p : ac)
                for (std::size_t k = 1; k < 5; ++k)
                    p.Lauf[k] = p.Bahn[k] = 0;
    }

    ac.Sort();

    block.nextHeat = ClampI16(static_cast<long long>(last) + 1);
    block.nextPosition = 1;
}

void AssignHeats(TWettkampf& c, const THeatSettings& s) {
    ProgressStart("Die Laufbesetzung wird erstellt...");
    THeatBlock block;
    block.discipline = 1;
    block.nextHeat = ClampI16(s.startHeat);
    block.nextPosition = ClampI16(s.startPosition < 1 ? 1 : s.startPosition);
    block.lanes = static_cast<std::int16_t>(LaneCount(c));
    block.options = ClampI16(s.options);
    for (TAltersklasse& ac : c)
        AssignAgeClassHeats(ac, block);
    if (s.options & lbFortlaufend)
        for (std::int16_t d = 2; d <= 5; ++d) {
            block.discipline = d;
            for (TAltersklasse& ac : c)
                AssignAgeClassHeats(ac, block);
        }
    ProgressStart("");
}

} // namespace vm
