#include "model/VmGlied.h"

namespace vm {

void TGliederungStat::Read(const std::uint8_t* p) {
    Kurz.Read(p + 0);
    Name.Read(p + 6);
    TN = GetI16(p + 37);
    Go = GetI16(p + 39);
    Si = GetI16(p + 41);
    Br = GetI16(p + 43);
    Platz = GetI16(p + 45);
    KRW = GetI16(p + 47);
    Pending = GetI16(p + 49);
    PlatzSumme = GetI16(p + 51);
    Punkte = GetI32(p + 53);
    AbzugSumme = GetI32(p + 57);
    std::memcpy(reserved.data(), p + 61, reserved.size());
}

void TGliederungStat::Write(std::uint8_t* p) const {
    Kurz.Write(p + 0);
    Name.Write(p + 6);
    PutI16(p + 37, TN);
    PutI16(p + 39, Go);
    PutI16(p + 41, Si);
    PutI16(p + 43, Br);
    PutI16(p + 45, Platz);
    PutI16(p + 47, KRW);
    PutI16(p + 49, Pending);
    PutI16(p + 51, PlatzSumme);
    PutI32(p + 53, Punkte);
    PutI32(p + 57, AbzugSumme);
    std::memcpy(p + 61, reserved.data(), reserved.size());
}

namespace {
int Desc(long long a, long long b) { return a > b ? -1 : a < b ? 1 : 0; }
} // namespace

int TGliederungStatList::Compare(const TGliederungStat& a, const TGliederungStat& b) const {
    switch (Mode) {
    case 1:
        if (int c = Desc(a.Go, b.Go)) return c;
        if (int c = Desc(a.Si, b.Si)) return c;
        return Desc(a.Br, b.Br);
    case 2: return Desc(a.TN, b.TN);
    case 3: return Desc(a.Punkte, b.Punkte);
    case 4: return Desc(a.KRW, b.KRW);
    default: return CompareBytes(a.Kurz.View(), b.Kurz.View());
    }
}

TGliederungStat* TGliederungStatList::Find(std::string_view kurz) const {
    if (Mode == 0) {
        TGliederungStat key;
        key.Kurz.Set(kurz);
        int i = 0;
        if (Search(key, i)) return At(i);
        return nullptr;
    }
    return FirstThat([&](const TGliederungStat& g) { return g.Kurz.View() == kurz; });
}

} // namespace vm
