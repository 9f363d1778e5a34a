#include "cli/CmdCertificates.h"

#include "cli/CliSupport.h"
#include "model/VmBasis.h"
#include "output/PdfDevice.h"
#include "output/VmPdfExport.h"
#include "print/VmReport.h"
#include "print/VmUrkunde.h"

#include <iostream>

namespace vm::cli {

namespace {

const TCommandSpec& CertificatesSpec() {
    static const TCommandSpec cmd{
        "print FILE OUT.pdf --list certificates [--places N] [--age-class NAME]... [options]",
        "Writes certificates (Urkunden) as a PDF file: one page for each of the first N\n"
        "places of every chosen age class (ties included; never for participants\n"
        "\"au\xC3\x9F"
        "er Konkurrenz\" or without points).\n"
        "\n"
        "  --places N           places 1 to N (default 3)\n"
        "  --age-class NAME     this age class; repeat for more (default: every age class)\n"
        "  --layout L           klassisch (default), modern or vorgedruckt; also classic,\n"
        "                       modern, preprinted\n"
        "  --template FILE.urk  the fields of a certificate template instead of a layout\n"
        "  --preprinted         without total points and place (pre-printed paper)",
        {"--list", "--places", "--age-class", "--layout", "--template"},
        {"--preprinted"},
        2,
        2};
    return cmd;
}

// Every value of a repeatable option, in order ("--age-class A --age-class=B").
std::vector<std::string> AllValues(const std::vector<std::string>& args, const std::string& name) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name && i + 1 < args.size())
            out.push_back(args[++i]);
        else if (args[i].rfind(name + "=", 0) == 0)
            out.push_back(args[i].substr(name.size() + 1));
    }
    return out;
}

} // namespace

bool IsCertificatesList(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--list" && i + 1 < args.size() && args[i + 1] == "certificates")
            return true;
        if (args[i] == "--list=certificates") return true;
    }
    return false;
}

int CmdCertificates(const std::vector<std::string>& args) {
    const TCommandSpec& cmd = CertificatesSpec();
    TArgs a;
    int status = 0;
    if (!ParseArgs(args, cmd, a, status)) return status;

    long long places = 3;
    if (!GetInt(a, cmd, "--places", 3, 1, 999, places, status)) return status;
    TUrkOptions u;
    if (a.Has("--layout") && !ParseUrkLayout(a.Get("--layout"), u.layout))
        return UsageError(cmd, "--layout must be klassisch, modern or vorgedruckt");
    u.ohnePlatzUndPunkte = a.Has("--preprinted");
    u.measure = [](std::int16_t face, std::uint8_t style, std::int16_t height,
                   std::string_view text) {
        return PdfTextWidth(PdfFontNumber(face, style), OemToAnsi(text), height, style);
    };

    // A faulty template prints nothing: it is read before anything else is done.
    TUrkVorlage vorlage;
    if (a.Has("--template")) {
        TUrkFehler error;
        if (!LoadUrkVorlage(a.Get("--template"), vorlage, error)) {
            std::cerr << "velmora-cli: " << a.Get("--template") << ": " << error.Text() << "\n";
            return 1;
        }
        u.vorlage = &vorlage;
    }

    auto c = LoadCompetition(a.positional[0]);
    if (!c) return 1;

    TUrkAuswahl auswahl;
    auswahl.places = static_cast<int>(places);
    for (const std::string& name : AllValues(args, "--age-class")) {
        const std::string oem = Utf8ToOem(name);
        int found = -1;
        for (int i = 0; i < c->Count(); ++i)
            if (c->At(i)->Name() == oem) {
                found = i;
                break;
            }
        if (found < 0) {
            std::cerr << "velmora-cli: no age class " << name << " in " << a.positional[0] << "\n";
            return 1;
        }
        auswahl.ageClasses.push_back(found);
    }

    TVmPrintJob job(c.get(), 0);
    TPrintOptions o;
    const TVmReport& report = job.BuildCertificates(o, auswahl, u);

    TPdfInfo info = TPdfInfo::Defaults();
    FillPdfInfo(info, *c);
    return ReportingFailure(a.positional[1], "nicht geschrieben",
                            [&] {
                                return ExportDocumentToPdf(report, a.positional[1],
                                                           report.PageWidth, report.PageHeight,
                                                           info);
                            })
               ? 0
               : 1;
}

} // namespace vm::cli
