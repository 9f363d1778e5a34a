#include "io/VmExport.h"

#include "file/VmErg.h"
#include "io/VmDbf.h"
#include "io/VmHtmlExport.h"
#include "io/VmTxtExport.h"
#include "io/VmXls.h"
#include "io/VmXlsx.h"

namespace vm {

namespace {

std::vector<TExportColumn> BuildColumns(bool single) {
    std::vector<TExportColumn> cols;
    cols.reserve(ExportColumnCount);
    auto add = [&](std::string textName, int textWidth, std::string dbfName, char type, int length,
                   int decimals) {
        cols.push_back({std::move(textName), textWidth, dbfName, type, length, decimals, dbfName});
    };
    if (single) {
        add("NAME", 20, "NAME", 'C', 20, 0);
        add("VORNAME", 20, "VORNAME", 'C', 20, 0);
        add("GEBDATUM", 10, "GEBDATUM", 'C', 10, 0);
    } else {
        add("ORTSGRUPPE", 30, "ORTSGRUPPE", 'C', 30, 0);
        add("ZUSATZ", 21, "ZUSATZ", 'C', 21, 0);
        add("TEILN", 5, "TEILN", 'C', 5, 0);
    }
    add("GESAMTPKT", 8, "GESAMTPKT", 'N', 8, 2);
    add("PLATZ", 5, "PLATZ", 'N', 5, 0);
    add("ALTERSKL", 30, "ALTERSKL", 'C', 30, 0);
    add("GLD", 5, "GLIEDERUNG", 'C', 5, 0);
    for (int i = 1; i <= 5; ++i) {
        const std::string d(1, static_cast<char>('0' + i));
        add("ZEIT" + d, 7, "ZEIT" + d, 'C', 7, 0);
        add("ABZ" + d, 5, "ABZUG" + d, 'N', 5, 0);
        add("PUNKTE" + d, 8, "PUNKTE" + d, 'N', 8, 2);
        add("LAUF" + d, 5, "LAUF" + d, 'N', 5, 0);
        add("BAHN" + d, 5, "BAHN" + d, 'N', 5, 0);
    }
    add("HLW", 8, "HLW", 'N', 8, 2);
    add("HLWZEIT", 5, "HLWZEIT", 'C', 5, 0);
    add("HLWBAH", 4, "HLWBAHN", 'N', 4, 0);
    return cols;
}

TExportCell Text(std::string text) {
    return {true, std::move(text), 0};
}
TExportCell Number(std::string text, std::int64_t n) {
    return {true, std::move(text), n};
}

} // namespace

const std::vector<TExportColumn>& ExportColumns(bool single) {
    static const std::vector<TExportColumn> singleCols = BuildColumns(true);
    static const std::vector<TExportColumn> teamCols = BuildColumns(false);
    return single ? singleCols : teamCols;
}

TExportCell ExportCell(const TWettkampf& c, const TTeilnehmer& p, int col) {
    const bool single = IsSingleCompetition(c);
    switch (col) {
    case 0:
        return Text(std::string(single ? p.Name() : p.Mannschaft()));
    case 1:
        return Text(std::string(single ? p.Vorname() : p.Zusatz()));
    case 2:
        // A team has no value here; its bytes belong to Zusatz.
        if (!single) return {};
        return Text(std::string(p.Geburtsdatum()));
    case 3:
        return Number(PointsToText(p.Gesamtpunkte, 2), p.Gesamtpunkte);
    case 4:
        return Number(IntToText(p.Platz), p.Platz);
    case 5:
        return Text(p.Altersklasse.Get());
    case 6:
        return Text(p.Gliederung.Get());
    case 32:
        return Number(PointsOrStatusToText(p.HLWPunkte, 2), p.HLWPunkte);
    case 33:
        return Text(ClockToText(p.Startzeit));
    case 34:
        return Number(IntToText(p.HLWBahn), p.HLWBahn);
    default:
        break;
    }
    if (col < ExportFirstDisciplineColumn || col >= ExportFirstHlwColumn) return {};
    const auto k = static_cast<std::size_t>((col - ExportFirstDisciplineColumn) / 5);
    switch ((col - ExportFirstDisciplineColumn) % 5) {
    case 0:
        return Text(TimeToText(p.Zeit[k], WithHundredths(c)));
    case 1:
        return Number(PenaltyToText(p.Abzug[k]), p.Abzug[k]);
    case 2:
        return Number(PointsToText(p.Punkte[k], 2), p.Punkte[k]);
    case 3:
        return Number(IntToText(p.Lauf[k]), p.Lauf[k]);
    default:
        return Number(IntToText(p.Bahn[k]), p.Bahn[k]);
    }
}

void ForEachExportRow(const TWettkampf& c,
                      const std::function<void(const TAltersklasse&, const TTeilnehmer&)>& fn) {
    for (const TAltersklasse& ac : c)
        for (const TTeilnehmer& p : ac)
            fn(ac, p);
}

std::size_t ExportRowCount(const TWettkampf& c) {
    std::size_t n = 0;
    for (const TAltersklasse& ac : c)
        n += static_cast<std::size_t>(ac.Count());
    return n;
}

void InstallExportWriters() {
    SetExportWriter(TSaveFormat::Text, [](TStream& s, TWettkampf& c, const TSaveOptions& o) {
        return ExportText(c, s, o.Text);
    });
    SetExportWriter(TSaveFormat::Dbf,
                    [](TStream& s, TWettkampf& c, const TSaveOptions&) { return ExportDbf(c, s); });
    SetExportWriter(TSaveFormat::Html, [](TStream& s, TWettkampf& c, const TSaveOptions& o) {
        return ExportHtml(c, s, o.Html);
    });
    SetExportWriter(TSaveFormat::Xls,
                    [](TStream& s, TWettkampf& c, const TSaveOptions&) { return ExportXls(c, s); });
    SetExportWriter(TSaveFormat::Xlsx, [](TStream& s, TWettkampf& c, const TSaveOptions&) {
        return ExportXlsx(c, s);
    });
}

} // namespace vm
