#include "io/VmImport.h"

#include "file/VmErg.h"
#include "io/VmAlt.h"

#include <array>

namespace vm {

namespace {

const char* const kLoadError = "Fehler beim Laden der Datei.";

// A field of the split line, or the empty text when the line has fewer fields.
std::string_view Field(const std::vector<std::string>& fields, int number) {
    const auto i = static_cast<std::size_t>(number - 1);
    return i < fields.size() ? std::string_view(fields[i]) : std::string_view();
}

std::string_view Cut(std::string_view text, std::size_t n) {
    return text.substr(0, std::min(text.size(), n));
}

bool FemaleMark(std::string_view text) {
    return !text.empty() && (text[0] == 'W' || text[0] == 'w');
}

std::int32_t WholePointsText(std::string_view text) {
    // At most 2147483647 comes back; in hundredths that leaves the 32-bit range, where
    // it wraps as the stored field would.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(TextToInt(text) * 100));
}

void FillIndividual(TTeilnehmer& p, const std::vector<std::string>& f) {
    p.SetName(Cut(Field(f, 1), 20));
    p.SetVorname(Cut(Field(f, 2), 20));
    p.Gliederung.Set(Cut(UpperCode(Field(f, 3)), 5));
    p.Altersklasse.Set(Cut(Field(f, 4), 30));
    p.SetFlag(tnWeiblich, FemaleMark(Field(f, 5)));
    for (int d = 0; d < 4; ++d) {
        p.Zeit[static_cast<std::size_t>(d)] = TextToTime(Field(f, 6 + 2 * d));
        p.Abzug[static_cast<std::size_t>(d)] = ImportPenalty(Field(f, 7 + 2 * d));
    }
    p.HLWPunkte = WholePointsText(Field(f, 14));
    p.SetGeburtsdatum(Cut(Field(f, 15), 10));
}

void FillTeam(TTeilnehmer& p, const std::vector<std::string>& f) {
    p.SetMannschaft(Cut(Field(f, 1), 30));
    p.Gliederung.Set(Cut(Field(f, 2), 5));
    p.Altersklasse.Set(Cut(UpperText(Field(f, 3)), 30));
    p.SetFlag(tnWeiblich, FemaleMark(Field(f, 4)));
    for (int d = 0; d < 4; ++d) {
        p.Zeit[static_cast<std::size_t>(d)] = TextToTime(Field(f, 5 + 2 * d));
        p.Abzug[static_cast<std::size_t>(d)] = ImportPenalty(Field(f, 6 + 2 * d));
    }
    p.HLWPunkte = WholePointsText(Field(f, 13));
}

// A fixed-width, blank-padded character field without its trailing blanks.
std::string_view FixedText(const std::uint8_t* rec, std::size_t offset, std::size_t width) {
    std::string_view t(reinterpret_cast<const char*>(rec + offset), width);
    while (!t.empty() && t.back() == ' ')
        t.remove_suffix(1);
    return t;
}

// A time in tenths of a second as hundredths. The old program went through the
// text m:ss,t, which only reads right below ten minutes; longer times are taken
// as they are, and a negative value (no valid time) becomes 0.
std::int32_t LegacyTenths(std::int16_t tenths) {
    return tenths > 0 ? static_cast<std::int32_t>(tenths) * 10 : 0;
}

void SetHeatLane(TTeilnehmer& p, std::size_t d, std::int16_t code) {
    p.Lauf[d] = static_cast<std::int16_t>(code / 20);
    p.Bahn[d] = static_cast<std::int16_t>(code % 20 + 1);
}

void SetLegacyAgeClass(TTeilnehmer& p, std::int16_t code) {
    p.Altersklasse.Set(LegacyAgeClassName(code));
    p.SetFlag(tnWeiblich, code >= 1 && code <= 10 && code % 2 == 0);
}

// One 96-byte record as a participant; nullptr for a record without a name.
std::unique_ptr<TTeilnehmer> FromRecord(const std::uint8_t* rec, bool individual) {
    auto p = NewParticipant();
    const std::int16_t code = GetI16(rec + 32);
    if (individual) {
        std::string_view name = FixedText(rec, 0, 14);
        if (name.empty()) return nullptr;
        p->SetName(Cut(name, 20));
        p->SetVorname(Cut(FixedText(rec, 14, 14), 20));
        p->SetGeburtsdatum(IntToText(GetI16(rec + 62)));
        p->Gliederung.Set(Cut(FixedText(rec, 28, 4), 5));
        SetLegacyAgeClass(*p, code);
        p->SetFlag(tnMeldet, true);
        for (std::size_t d = 0; d < 3; ++d) {
            SetHeatLane(*p, d, GetI16(rec + 36 + 2 * d));
            p->Zeit[d] = LegacyTenths(GetI16(rec + 44 + 2 * d));
            p->Punkte[d] = GetI16(rec + 50 + 2 * d) * 100;
            p->Abzug[d] = LegacyPenalty(GetI16(rec + 56 + 2 * d));
        }
        p->HLWPunkte = GetI16(rec + 64) * 100;
    } else {
        std::string_view name = FixedText(rec, 0, 28);
        if (name.empty()) return nullptr;
        p->SetMannschaft(Cut(name, 30));
        p->Gliederung.Set(Cut(FixedText(rec, 28, 4), 5));
        SetLegacyAgeClass(*p, code);
        p->SetFlag(tnMeldet, false);
        for (std::size_t d = 0; d < 4; ++d) {
            SetHeatLane(*p, d, GetI16(rec + 36 + 2 * d));
            p->Zeit[d] = LegacyTenths(GetI16(rec + 46 + 2 * d));
            p->Punkte[d] = GetI16(rec + 56 + 2 * d) * 100;
            p->Abzug[d] = LegacyPenalty(GetI16(rec + 66 + 2 * d));
        }
        p->HLWPunkte = GetI16(rec + 80) * 100;
    }
    p->Gesamtpunkte = 0;
    p->Platz = 0;
    return p;
}

} // namespace

std::vector<std::string> SplitImportLine(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (fields.size() < static_cast<std::size_t>(ImportMaxFields)) {
        const std::size_t semi = line.find(';', start);
        if (semi == std::string_view::npos) {
            fields.emplace_back(line.substr(start));
            break;
        }
        fields.emplace_back(line.substr(start, semi - start));
        start = semi + 1;
    }
    return fields;
}

std::int16_t ImportPenalty(std::string_view text) {
    if (text == "N-AN") return PenaltyCode(TStatus::NichtAngetretenOW);
    if (text == "DISQ") return PenaltyCode(TStatus::Disq);
    return static_cast<std::int16_t>(TextToInt(text));
}

std::int16_t LegacyPenalty(std::int16_t code) {
    switch (code) {
    case PenaltyCode(TStatus::NichtErreicht):
        return 0;
    case PenaltyCode(TStatus::NichtAngetreten):
        return PenaltyCode(TStatus::NichtAngetretenOW);
    case PenaltyCode(TStatus::NichtAngetretenOW):
        return PenaltyCode(TStatus::Disq);
    default:
        return code;
    }
}

std::string LegacyAgeClassName(int code) {
    static const std::array<const char*, 10> names = {
        "Schüler"_oem,
        "Schülerinnen"_oem,
        "Jugend (männlich)"_oem,
        "Jugend (weiblich)",
        "Junioren",
        "Juniorinnen",
        "Herren",
        "Damen",
        "Jungsenioren",
        "Jungseniorinnen",
    };
    if (code < 1 || code > 10) return {};
    return names[static_cast<std::size_t>(code - 1)];
}

namespace {
constexpr std::size_t kMaxLine = 255;

// The rest of the stream as one text.
std::string ReadRest(TStream& s) {
    const std::int64_t left = s.GetSize() - s.GetPos();
    std::string bytes;
    if (left <= 0) return bytes;
    bytes.resize(static_cast<std::size_t>(left));
    s.Read(bytes.data(), bytes.size());
    if (s.Status() != stOk) bytes.clear();
    return bytes;
}

// The lines of the text without their line ends; carriage returns are dropped.
std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
} // namespace

int ImportText(TStream& s, TWettkampf& c, std::optional<TTextEncoding> encoding) {
    std::string bytes = ReadRest(s);
    std::string_view text = bytes;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
        if (!encoding) encoding = TTextEncoding::Utf8;
    }
    const TTextEncoding from = encoding ? *encoding : DetectTextEncoding(text);
    const auto lines = SplitLines(text);

    const bool individual = IsSingleCompetition(c);
    int filed = 0;
    std::size_t firstBadLine = 0;
    for (std::size_t n = 1; n < lines.size(); ++n) { // line 0 is the header
        std::string raw(lines[n]);
        std::erase(raw, '\r');
        if (raw.empty()) continue;
        bool replaced = false;
        std::string line = DecodeToOem(raw, from, &replaced);
        if (replaced && firstBadLine == 0) firstBadLine = n + 1;
        if (line.size() > kMaxLine) line.resize(kMaxLine);
        const auto fields = SplitImportLine(line);
        auto p = NewParticipant();
        if (individual)
            FillIndividual(*p, fields);
        else
            FillTeam(*p, fields);
        if (AddParticipant(c, std::move(p))) ++filed;
    }
    if (firstBadLine != 0)
        ShowMessage("Zeile " + IntToText(static_cast<long long>(firstBadLine)) +
                    ": Zeichen, die im Zeichensatz der Datei ungültig oder nicht darstellbar "
                    "sind, wurden durch ? ersetzt."_oem);
    return filed;
}

int ImportBinary(TStream& s, TWettkampf& c) {
    const bool individual = IsSingleCompetition(c);
    const std::int64_t size = s.GetSize();
    std::array<std::uint8_t, ImportRecordSize> rec{};
    int filed = 0;
    while (s.Status() == stOk && size - s.GetPos() >= static_cast<std::int64_t>(ImportRecordSize)) {
        s.Read(rec.data(), rec.size());
        if (s.Status() != stOk) break;
        auto p = FromRecord(rec.data(), individual);
        if (p && AddParticipant(c, std::move(p))) ++filed;
    }
    return filed;
}

namespace {
template <class F> bool ImportFile(const std::string& fileName, TWettkampf& c, F&& import) {
    SetBusy(true);
    TBufStream in(fileName, TOpenMode::OpenRead);
    const bool ok = in.OpenResult() == stOk;
    if (ok) import(in, c);
    SetBusy(false);
    if (!ok) ShowMessage(kLoadError);
    return ok;
}
} // namespace

bool ImportTextFile(const std::string& fileName, TWettkampf& c,
                    std::optional<TTextEncoding> encoding) {
    return ImportFile(fileName, c,
                      [encoding](TStream& s, TWettkampf& w) { ImportText(s, w, encoding); });
}

bool ImportBinaryFile(const std::string& fileName, TWettkampf& c) {
    return ImportFile(fileName, c, [](TStream& s, TWettkampf& w) { ImportBinary(s, w); });
}

void InstallImporters() {
    SetImporter(TLoadFormat::TeilnehmerBinaer, ImportBinaryFile);
    SetImporter(TLoadFormat::TeilnehmerText, [](const std::string& fileName, TWettkampf& c) {
        return ImportTextFile(fileName, c);
    });
    SetOldResultReader(ReadOldResult);
}

} // namespace vm
