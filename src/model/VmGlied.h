// The statistics rows of the Gliederungen (one per short code, 99 stored bytes) and
// their list, which the competition stores with the file.
#pragma once

#include "base/BvBase.h"
#include "model/VmBytes.h"

#include <array>
#include <cstdint>
#include <memory>

namespace vm {

class TWettkampf;
class TAltersklasse;

// Stored layout of a row (99 bytes; numbers little-endian):
//   offset size field
//        0    6 Kurz         string[5]
//        6   31 Name         string[30]
//       37    2 TN
//       39    6 Go, Si, Br
//       45    2 Platz
//       47    2 KRW
//       49    2 Pending
//       51    2 PlatzSumme
//       53    4 Punkte       int32
//       57    4 AbzugSumme   int32
//       61   38 reserved
struct TGliederungStat : TStoredRecord<TGliederungStat> {
    static constexpr std::size_t Size = 99;

    TShortStr<5> Kurz;   // short code (key)
    TShortStr<30> Name;  // name; a computed row gets its short code here
    std::int16_t TN = 0; // participants counted
    std::int16_t Go = 0, Si = 0, Br = 0;
    std::int16_t Platz = 0;
    std::int16_t KRW = 0;        // trophy points
    std::int16_t Pending = 0;    // 1 while not yet scored in the age class at hand
    std::int16_t PlatzSumme = 0; // places of the counted participants added up
    std::int32_t Punkte = 0;     // whole points
    std::int32_t AbzugSumme = 0; // positive discipline penalties added up
    std::array<std::uint8_t, 38> reserved{};

    template <class Self, class IO> static void Fields(Self& g, IO& io) {
        io.Str(0, g.Kurz).Str(6, g.Name).I16(37, g.TN);
        io.I16(39, g.Go).I16(41, g.Si).I16(43, g.Br).I16(45, g.Platz).I16(47, g.KRW);
        io.I16(49, g.Pending).I16(51, g.PlatzSumme).I32(53, g.Punkte).I32(57, g.AbzugSumme);
        io.Raw(61, g.reserved);
    }
};

// Sort modes of the list: 0 short code, 1 medals, 2 participants, 3 points, 4 KRW.
class TGliederungStatList : public TSortedCollection<TGliederungStat> {
public:
    TGliederungStatList() : TSortedCollection<TGliederungStat>(10, 10) {}
    int Mode = 0;
    // Stored after the rows: 1 for a list made with a new competition, 0 once read.
    std::uint8_t Flag = 1;

    int Compare(const TGliederungStat& a, const TGliederungStat& b) const override;
    void SetMode(int mode) {
        Mode = mode;
        Sort();
    }
    TGliederungStat* Find(std::string_view kurz) const;
};

class TAltersklasse;
class TWettkampf;

// Sort modes of the rows (the list's Mode).
enum : int {
    smKurz = 0,      // short code: overview "Statistik: Gliederungen"
    smMedaillen = 1, // gold, silver, bronze: "Statistik: Medaillenspiegel"
    smTN = 2,        // participants (no list)
    smPunkte = 3,    // total points: "Statistik: punktbeste Gliederung"
    smKRW = 4,       // trophy points: "Statistik: Kranz-Wertung"
};

// Trophy points of the n-th Gliederung (1-based) to score in an age class:
// 30, 28, 26, then 25 down to 1 for the 28th, 0 from the 29th on.
int TrophyPoints(int rank);

// One age class's contribution to the rows (the list must be in mode 0).
void AccumulateStatistics(TGliederungStatList& rows, const TAltersklasse& ac);
// Recomputes every row from the competition's participants (names and short codes
// stay; a short code without a row gets one named by the code), drops rows without
// participants, sorts by `mode` and gives places (equal rows share one: 1, 2, 2, 4).
void ComputeStatistics(TWettkampf& c, int mode);

} // namespace vm
