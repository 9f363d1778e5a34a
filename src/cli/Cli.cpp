#include "cli/Cli.h"

#include "cli/CliSupport.h"
#include "cli/CmdCheck.h"
#include "cli/CmdCore.h"
#include "cli/CmdEntries.h"
#include "cli/CmdGenerate.h"
#include "cli/CmdImport.h"
#include "cli/CmdLog.h"
#include "cli/CmdLive.h"
#include "cli/CmdOps.h"
#include "cli/CmdPrint.h"
#include "cli/CmdTiming.h"

#include "io/VmExport.h"
#include "io/VmImport.h"
#include "output/VmPdfExport.h"

#include <exception>
#include <functional>
#include <iostream>
#include <map>

namespace vm::cli {

namespace {

struct TCommand {
    std::function<int(const std::vector<std::string>&)> run;
    const char* summary;
};

const std::map<std::string, TCommand>& Commands() {
    static const std::map<std::string, TCommand> commands = {
        {"new", {CmdNew, "a new competition from the rule-set presets"}},
        {"generate", {CmdGenerate, "a realistic, reproducible competition with results"}},
        {"info", {CmdInfo, "header, age classes, disciplines and the evaluated grid"}},
        {"save-as", {CmdSaveAs, "saves under another name or file type"}},
        {"records", {CmdRecords, "takes records over from another result file"}},
        {"qualify", {CmdQualify, "qualification: start permissions per age class by a quota"}},
        {"heats", {CmdHeats, "heat and lane assignment"}},
        {"hlw", {CmdHlw, "HLW heat assignment: start times and stations"}},
        {"reset", {CmdReset, "sets chosen entries of every participant back to 0"}},
        {"strike", {CmdStrike, "marks or deletes participants who were not present"}},
        {"merge", {CmdMerge, "merges another result file into the competition"}},
        {"print", {CmdPrint, "builds a printed list and writes it as a PDF file"}},
        {"stats", {CmdStats, "the statistics lines of the Gliederungen"}},
        {"import", {CmdImport, "imports participants from text or legacy binary files"}},
        {"entry-form", {CmdEntryForm, "writes the clubs' entry form (a workbook) for the competition"}},
        {"check", {CmdCheck, "the data checks: one line per finding, exit 1 when there is any"}},
        {"log", {CmdLog, "prints the change journal of a result file"}},
        {"timing", {CmdTiming, "takes the times of a timing console's file into a discipline"}},
        {"startlist", {CmdStartlist, "writes the heats of a discipline as a console's start list"}},
        {"publish", {CmdPublish, "writes the live results site into a folder"}},
        {"serve", {CmdServe, "serves the live results site on the network"}},
        {"poster", {CmdPoster, "the notice with the results' address and its QR code (PDF)"}},
    };
    return commands;
}

void PrintUsage(std::ostream& out) {
    out << "usage: velmora-cli COMMAND [ARGS]\n\n"
           "Velmora evaluates lifesaving-sport championships. Commands:\n";
    for (const auto& [name, cmd] : Commands())
        out << "  " << name << std::string(10 - std::min<std::size_t>(name.size(), 9), ' ')
            << cmd.summary << "\n";
    out << "\n'velmora-cli COMMAND --help' describes a command.\n"
           "Exit status: 0 done, 1 the operation failed, 2 usage error.\n";
}

} // namespace

int Run(const std::vector<std::string>& args) {
    if (args.empty()) {
        PrintUsage(std::cerr);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintUsage(std::cout);
        return 0;
    }
    if (args[0] == "--version") {
        std::cout << "velmora-cli " << VELMORA_VERSION << "\n";
        return 0;
    }
    auto it = Commands().find(args[0]);
    if (it == Commands().end()) {
        std::cerr << "velmora-cli: unknown command " << args[0] << "\n";
        PrintUsage(std::cerr);
        return 2;
    }
    InstallMessageHook();
    InstallImporters();
    InstallExportWriters();
    InstallPdfExport();
    try {
        return it->second.run(std::vector<std::string>(args.begin() + 1, args.end()));
    } catch (const std::exception& e) {
        std::cerr << "Interner Programmfehler aufgetreten: " << e.what() << "\n";
        return 1;
    }
}

} // namespace vm::cli
