#include "cli/CliSupport.h"

#include "file/VmErg.h"
#include "journal/VmJournal.h"

#include <cctype>
#include <cstring>
#include <ctime>
#include <iostream>

namespace vm::cli {

std::string TArgs::Get(const std::string& name, const std::string& fallback) const {
    auto it = values.find(name);
    return it == values.end() ? fallback : it->second;
}

void PrintHelp(const TCommandSpec& cmd) {
    std::cout << "usage: velmora-cli " << cmd.usage << "\n";
    if (!cmd.description.empty()) std::cout << "\n" << cmd.description << "\n";
}

int UsageError(const TCommandSpec& cmd, const std::string& message) {
    std::cerr << "velmora-cli: " << message << "\n";
    std::cerr << "usage: velmora-cli " << cmd.usage << "\n";
    return 2;
}

bool ParseArgs(const std::vector<std::string>& args, const TCommandSpec& cmd, TArgs& out,
               int& status) {
    out = TArgs{};
    out.command = cmd.usage.substr(0, cmd.usage.find(' '));
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            PrintHelp(cmd);
            out.help = true;
            status = 0;
            return false;
        }
        if (a.size() > 1 && a[0] == '-' &&
            !(a.size() > 1 && (std::isdigit(static_cast<unsigned char>(a[1]))))) {
            std::string name = a, value;
            bool inlineValue = false;
            if (auto eq = a.find('='); eq != std::string::npos && a.rfind("--", 0) == 0) {
                name = a.substr(0, eq);
                value = a.substr(eq + 1);
                inlineValue = true;
            }
            if (cmd.valueOptions.count(name)) {
                if (!inlineValue) {
                    if (i + 1 >= args.size()) {
                        status = UsageError(cmd, "option " + name + " needs a value");
                        return false;
                    }
                    value = args[++i];
                }
                out.values[name] = value;
            } else if (cmd.flagOptions.count(name) && !inlineValue) {
                out.flags.insert(name);
            } else {
                status = UsageError(cmd, "unknown option " + a);
                return false;
            }
            continue;
        }
        out.positional.push_back(a);
    }
    if (out.positional.size() < cmd.minPositional) {
        status = UsageError(cmd, "missing arguments");
        return false;
    }
    if (out.positional.size() > cmd.maxPositional) {
        status = UsageError(cmd, "too many arguments");
        return false;
    }
    status = 0;
    return true;
}

bool GetInt(const TArgs& a, const TCommandSpec& cmd, const std::string& name, long long fallback,
            long long min, long long max, long long& out, int& status) {
    out = fallback;
    if (!a.values.count(name)) return true;
    const std::string& text = a.values.at(name);
    std::size_t used = 0;
    long long v = 0;
    try {
        v = std::stoll(text, &used);
    } catch (...) {
        used = 0;
    }
    if (used == 0 || used != text.size() || v < min || v > max) {
        status = UsageError(cmd, "invalid value for " + name + ": " + text + " (" +
                                     std::to_string(min) + ".." + std::to_string(max) + ")");
        return false;
    }
    out = v;
    return true;
}

std::string ToUtf8(const std::string& oem) {
    return OemToUtf8(oem);
}

void InstallMessageHook() {
    SetMessageHook([](const std::string& text) {
        std::string line;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r') continue;
            if (text[i] == '\n') {
                line += " / ";
                continue;
            }
            line += text[i];
        }
        std::cerr << OemToUtf8(line) << std::endl;
    });
}

void ReportFileFailure(const std::string& file, const std::string& otherwise) {
    const int error = LastSystemError();
    std::cerr << file << ": " << (error != 0 ? std::string(std::strerror(error)) : otherwise)
              << std::endl;
}

namespace {
const char* const kNotLoaded = "keine lesbare Ergebnisdatei";
const char* const kNotWritten = "nicht geschrieben";
} // namespace

namespace {
// The competitions of this run as LoadCompetition returned them, by the address of
// the loaded competition, for the journal of their save. A command runs once per
// process; this lives as long as the command.
std::map<const TWettkampf*, std::unique_ptr<TWettkampf>>& LoadedStates() {
    static std::map<const TWettkampf*, std::unique_ptr<TWettkampf>> states;
    return states;
}

void WriteJournal(const TWettkampf& c, const std::string& target, const TArgs& a) {
    auto it = LoadedStates().find(&c);
    if (it == LoadedStates().end() || a.command.empty()) return;
    TJournalEntry entry{std::time(nullptr), JournalLabel(a.command), "velmora-cli " + a.command,
                        DescribeChanges(*it->second, c)};
    std::string error;
    if (!AppendJournal(target, {entry}, error)) std::cerr << error << std::endl;
    // A second save of the same competition journals only what changed after this one.
    it->second = CopyCompetition(c);
}
} // namespace

std::string JournalLabel(const std::string& command) {
    static const std::map<std::string, std::string> labels = {
        {"qualify", "Qualifikation"},  {"heats", "Laufbesetzung"},
        {"hlw", "HLW Laufeinteilung"}, {"reset", "Zurücksetzen"},
        {"strike", "Streichen"},       {"merge", "Zusammenführen"},
        {"import", "Importieren"},     {"records", "Rekorde übernehmen"},
    };
    auto it = labels.find(command);
    return it == labels.end() ? command : it->second;
}

std::unique_ptr<TWettkampf> LoadCompetition(const std::string& file) {
    std::unique_ptr<TWettkampf> c;
    ReportingFailure(file, kNotLoaded, [&] { return (c = Load(file)) != nullptr; });
    if (c) LoadedStates()[c.get()] = CopyCompetition(*c);
    return c;
}

std::unique_ptr<TWettkampf> LoadCompetitionToRead(const std::string& file) {
    std::unique_ptr<TWettkampf> c;
    ReportingFailure(file, kNotLoaded, [&] { return (c = Load(file)) != nullptr; });
    return c;
}

int SaveCompetition(TWettkampf& c, const std::string& file, const TArgs& a) {
    const std::string target = a.Get("-o", file);
    if (!ReportingFailure(target, kNotWritten,
                          [&] { return Save(target, c, TSaveFormat::Ergebnis); }))
        return 1;
    WriteJournal(c, target, a);
    return 0;
}

bool OpenDocument(TVmFile& doc, const std::string& file) {
    return ReportingFailure(file, kNotLoaded, [&] { return doc.Open(file); });
}

bool SaveDocumentAs(TVmFile& doc, const std::string& file, TFileType type,
                    const TSaveOptions& options) {
    return ReportingFailure(file, kNotWritten, [&] { return doc.SaveAs(file, type, options); });
}

void Summary(const std::string& line) {
    std::cerr << line << std::endl;
}

} // namespace vm::cli
