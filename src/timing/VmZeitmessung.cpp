#include "timing/VmZeitmessung.h"

#include "operations/VmPruefung.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <set>

namespace vm {

namespace {

std::vector<TZeit> Counted(std::span<const TZeit> watches) {
    std::vector<TZeit> t;
    for (TZeit w : watches)
        if (w > 0) t.push_back(w);
    std::sort(t.begin(), t.end());
    return t;
}

// Up to the next tenth: the slower time.
TZeit SlowerTenth(TZeit t) {
    return (t + 9) / 10 * 10;
}

// "0,42"
std::string SecondsText(TZeit t) {
    const TZeit s = t / 100, h = t % 100;
    return IntToText(s) + "," + (h < 10 ? "0" : "") + IntToText(h);
}

std::string LineRef(int line) {
    return "Zeile " + IntToText(line) + ": ";
}

// Column names as the header has them, in either language, spaces and case aside.
enum class TField { Heat, Lane, Time1, Time2, Time3, Status, Other };

TField FieldOf(std::string_view name) {
    std::string n;
    for (char ch : name) {
        if (ch == ' ' || ch == '_' || ch == '-' || ch == '.' || ch == '"') continue;
        n += (ch >= 'A' && ch <= 'Z') ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
    static const std::map<std::string, TField> names = {
        {"lauf", TField::Heat},     {"heat", TField::Heat},   {"bahn", TField::Lane},
        {"lane", TField::Lane},     {"zeit", TField::Time1},  {"time", TField::Time1},
        {"zeit1", TField::Time1},   {"time1", TField::Time1}, {"zeit2", TField::Time2},
        {"backup1", TField::Time2}, {"zeit3", TField::Time3}, {"backup2", TField::Time3},
        {"status", TField::Status},
    };
    const auto it = names.find(n);
    return it == names.end() ? TField::Other : it->second;
}

// The fields of one line; a field in double quotes may hold the separator, and a
// doubled quote inside it is one quote.
std::vector<std::string> SplitFields(std::string_view line, char sep) {
    std::vector<std::string> fields;
    std::string f;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (quoted) {
            if (ch == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                f += '"';
                ++i;
            } else if (ch == '"') {
                quoted = false;
            } else {
                f += ch;
            }
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == sep) {
            fields.push_back(std::string(TrimBlanks(f)));
            f.clear();
        } else {
            f += ch;
        }
    }
    fields.push_back(std::string(TrimBlanks(f)));
    return fields;
}

bool ReadNumber(std::string_view s, int max, int& v) {
    if (s.empty() || s.size() > 5) return false;
    v = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + (ch - '0');
    }
    return v >= 1 && v <= max;
}

// A console writes times with a separator; plain digits would read as a stopwatch
// entry and are not a console's time.
bool ReadTime(std::string_view s, TZeit& t) {
    t = 0;
    if (s.empty()) return true;
    if (s.find_first_of(":,.") == std::string_view::npos) return false;
    return ParseTimeEntry(s, true, t);
}

bool ReadStatus(std::string_view s, std::optional<TAbzug>& status) {
    status.reset();
    const std::string u = UpperText(s);
    if (u.empty() || u == "OK") return true;
    if (u == "DQ" || u == "DSQ") {
        status = PenaltyCode(TStatus::Disq);
        return true;
    }
    if (u == "DNS") {
        status = PenaltyCode(TStatus::NichtAngetreten);
        return true;
    }
    if (u == "DNF") {
        status = PenaltyCode(TStatus::NichtErreicht);
        return true;
    }
    // The program's own marks ("disq.", "n.a.", "n.er.", their letters and codes).
    TAbzug code = 0;
    if (!ParsePenaltyEntry(std::string(s), code) || code >= 0) return false;
    status = code;
    return true;
}

} // namespace

TZeit OfficialTime(std::span<const TZeit> watches, bool withHundredths) {
    const std::vector<TZeit> t = Counted(watches);
    TZeit official = 0;
    switch (t.size()) {
    case 0:
        return 0;
    case 1:
        official = t[0];
        break;
    case 2:
        // A mean of two hundredths ends in a half at most; it goes to the slower time.
        official = (t[0] + t[1] + 1) / 2;
        break;
    default:
        official = t[t.size() / 2];
        break;
    }
    return withHundredths ? official : SlowerTenth(official);
}

TZeit WatchSpread(std::span<const TZeit> watches) {
    const std::vector<TZeit> t = Counted(watches);
    return t.size() < 2 ? 0 : t.back() - t.front();
}

bool ReadTimingText(std::string_view text, TZeitmessungDatei& out, std::string& error) {
    out = {};
    error.clear();
    const std::string_view bom = "\xEF\xBB\xBF";
    if (text.substr(0, bom.size()) == bom) text.remove_prefix(bom.size());
    const std::string_view notTiming = "keine Zeitmessungsdatei";
    if (text.find('\0') != std::string_view::npos) {
        error = std::string(notTiming) + " (Binärdaten)";
        return false;
    }
    std::vector<std::string_view> lines;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        pos = end + 1;
    }
    std::size_t headerAt = 0;
    while (headerAt < lines.size() && TrimBlanks(lines[headerAt]).empty())
        ++headerAt;
    if (headerAt == lines.size()) {
        error = std::string(notTiming) + " (die Datei ist leer)";
        return false;
    }
    const std::string_view header = lines[headerAt];
    const char sep = header.find(';') != std::string_view::npos   ? ';'
                     : header.find(',') != std::string_view::npos ? ','
                                                                  : '\0';
    std::map<TField, std::size_t> columns;
    if (sep != '\0') {
        const std::vector<std::string> names = SplitFields(header, sep);
        for (std::size_t i = 0; i < names.size(); ++i) {
            const TField f = FieldOf(names[i]);
            if (f != TField::Other && !columns.count(f)) columns[f] = i;
        }
    }
    if (!columns.count(TField::Heat) || !columns.count(TField::Lane) ||
        !columns.count(TField::Time1)) {
        error = std::string(notTiming) +
                " (die erste Zeile nennt nicht die Spalten Lauf, Bahn und Zeit)";
        return false;
    }
    auto field = [&](const std::vector<std::string>& f, TField which) -> std::string_view {
        const auto it = columns.find(which);
        return it != columns.end() && it->second < f.size() ? std::string_view(f[it->second])
                                                            : std::string_view{};
    };
    for (std::size_t i = headerAt + 1; i < lines.size(); ++i) {
        if (TrimBlanks(lines[i]).empty()) continue;
        const int lineNo = static_cast<int>(i + 1);
        const std::vector<std::string> f = SplitFields(lines[i], sep);
        TZeitmessungZeile row;
        row.line = lineNo;
        const std::string_view heat = field(f, TField::Heat), lane = field(f, TField::Lane);
        if (!ReadNumber(heat, 9999, row.heat)) {
            out.problems.push_back(LineRef(lineNo) + "der Lauf „" + std::string(heat) +
                                   "“ ist keine Laufnummer.");
            continue;
        }
        if (!ReadNumber(lane, 99, row.lane)) {
            out.problems.push_back(LineRef(lineNo) + "die Bahn „" + std::string(lane) +
                                   "“ ist keine Bahnnummer.");
            continue;
        }
        bool ok = true;
        const TField times[] = {TField::Time1, TField::Time2, TField::Time3};
        for (std::size_t w = 0; w < 3 && ok; ++w) {
            const std::string_view t = field(f, times[w]);
            if (!ReadTime(t, row.watches[w])) {
                out.problems.push_back(LineRef(lineNo) + "die Zeit „" + std::string(t) +
                                       "“ ist nicht lesbar (m:ss,hh, m:ss.hh oder ss.hh).");
                ok = false;
            }
        }
        const std::string_view status = field(f, TField::Status);
        if (ok && !ReadStatus(status, row.status)) {
            out.problems.push_back(LineRef(lineNo) + "der Status „" + std::string(status) +
                                   "“ ist unbekannt (DQ, DNS, DNF oder disq., n.a., n.er.).");
            ok = false;
        }
        if (ok) out.rows.push_back(row);
    }
    return true;
}

bool ReadTimingFile(const std::string& fileName, TZeitmessungDatei& out, std::string& error) {
    out = {};
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        error = fileName + ": " + std::strerror(errno);
        return false;
    }
    // A console writes a few lines per heat; anything this large is not such a file.
    constexpr std::streamsize kLimit = 4 << 20;
    std::string text(static_cast<std::size_t>(kLimit) + 1, '\0');
    in.read(text.data(), kLimit + 1);
    if (in.bad()) {
        error = fileName + ": " + std::strerror(errno);
        return false;
    }
    if (in.gcount() > kLimit) {
        error = fileName + ": keine Zeitmessungsdatei (zu groß)";
        return false;
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (!ReadTimingText(text, out, error)) {
        error = fileName + ": " + error;
        return false;
    }
    return true;
}

TZeitmessungAbgleich MatchTiming(const TWettkampf& c, int discipline, const TZeitmessungDatei& file,
                                 TZeit spreadLimit) {
    TZeitmessungAbgleich m;
    m.skipped = file.problems;
    if (discipline < 1 || discipline > 5) return m;
    const auto k = static_cast<std::size_t>(discipline - 1);
    const bool hundredths = WithHundredths(c);
    const std::map<int, TLaufStand> progress = HeatProgress(c, discipline);
    std::map<int, std::vector<TLaufPlatz>> heats;
    std::map<std::pair<int, int>, int> seen; // heat and lane -> line
    std::set<int> taken;
    const std::string wk = "Wettkampf " + IntToText(discipline);
    for (const TZeitmessungZeile& row : file.rows) {
        const std::string at = "Lauf " + IntToText(row.heat) + ", Bahn " + IntToText(row.lane);
        const bool hasData =
            row.status.has_value() ||
            std::any_of(row.watches.begin(), row.watches.end(), [](TZeit t) { return t > 0; });
        const auto p = progress.find(row.heat);
        if (p == progress.end() || p->second.participants == 0) {
            m.skipped.push_back(LineRef(row.line) + "Lauf " + IntToText(row.heat) + " gibt es in " +
                                wk + " nicht.");
            continue;
        }
        auto rows = heats.find(row.heat);
        if (rows == heats.end())
            rows = heats.emplace(row.heat, HeatRows(c, row.heat, discipline)).first;
        std::vector<const TLaufPlatz*> on;
        for (const TLaufPlatz& s : rows->second)
            if (s.lane == row.lane && s.participant) on.push_back(&s);
        if (on.empty()) {
            // Consoles list every lane; an empty line for an empty lane says nothing.
            if (hasData)
                m.skipped.push_back(LineRef(row.line) + "auf " + at.substr(at.find("Bahn")) +
                                    " in Lauf " + IntToText(row.heat) + " schwimmt niemand.");
            continue;
        }
        if (on.size() > 1) {
            m.skipped.push_back(LineRef(row.line) + at + " ist mehrfach besetzt.");
            continue;
        }
        const auto [dup, fresh] = seen.emplace(std::make_pair(row.heat, row.lane), row.line);
        if (!fresh) {
            m.skipped.push_back(LineRef(row.line) + at + " steht schon in Zeile " +
                                IntToText(dup->second) + ".");
            continue;
        }
        if (!hasData) {
            m.skipped.push_back(LineRef(row.line) + at + ": keine Zeit.");
            continue;
        }
        const TLaufPlatz& s = *on.front();
        const TTeilnehmer& who = *s.participant;
        TLaufErgebnis r{s.ageClass, s.participant, discipline, 0, 0, row.watches};
        r.time = OfficialTime(row.watches, hundredths);
        if (row.status)
            r.penalty = *row.status;
        else
            r.penalty = r.time > 0 && IsNotStarted(who.Abzug[k]) ? TAbzug{0} : who.Abzug[k];
        const TZeit spread = WatchSpread(row.watches);
        if (spread > spreadLimit) {
            const std::string name = IsSingleCompetition(c)
                                         ? OemToUtf8(TrimBlanks(who.Name())) + ", " +
                                               OemToUtf8(TrimBlanks(who.Vorname()))
                                         : OemToUtf8(TrimBlanks(who.Mannschaft()));
            m.deviating.push_back(at + " (" + name + "): die Uhren liegen " + SecondsText(spread) +
                                  " s auseinander.");
        }
        m.results.push_back(r);
        taken.insert(row.heat);
    }
    m.heats.assign(taken.begin(), taken.end());
    return m;
}

std::string TimingSummary(const TZeitmessungAbgleich& m) {
    const auto n = static_cast<int>(m.results.size());
    std::string s = "Zeitmessung: ";
    if (n == 0) return s + "keine Zeit übernommen.";
    s += IntToText(n) + (n == 1 ? " Zeit" : " Zeiten");
    if (m.heats.size() == 1) {
        s += " in Lauf " + IntToText(m.heats.front());
    } else {
        s += " in den Läufen ";
        for (std::size_t i = 0; i < m.heats.size(); ++i) {
            if (i > 0) s += i + 1 == m.heats.size() ? " und " : ", ";
            s += IntToText(m.heats[i]);
        }
    }
    s += " übernommen";
    const auto d = static_cast<int>(m.deviating.size());
    if (d > 0)
        s += ", " + IntToText(d) + (d == 1 ? " Bahn" : " Bahnen") + " mit abweichenden Zeiten";
    return s + ".";
}

} // namespace vm
