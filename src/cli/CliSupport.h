// Shared pieces of the velmora-cli commands: argument parsing, messages, loading
// and saving result files.
#pragma once

#include "base/BvBase.h"
#include "file/VmWFile.h"
#include "model/VmWettk.h"
#include "operations/VmSummary.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vm::cli {

struct TArgs {
    std::string command; // "qualify": the first word of the command's usage
    std::vector<std::string> positional;
    std::map<std::string, std::string> values; // "--quota" -> "3"
    std::set<std::string> flags;               // "--reverse"
    bool help = false;

    bool Has(const std::string& name) const { return values.count(name) || flags.count(name); }
    std::string Get(const std::string& name, const std::string& fallback = "") const;
};

struct TCommandSpec {
    std::string usage;                  // "qualify FILE --quota Q [--mode 0|1|2]"
    std::string description;            // a few lines of help
    std::set<std::string> valueOptions; // options that take a value ("-o" included)
    std::set<std::string> flagOptions;  // options without a value
    std::size_t minPositional = 0;
    std::size_t maxPositional = 0;
};

// Parses args by the cmd; on a usage error prints it with the usage text and
// returns false with status 2 in `status`. "--help" prints the help, status 0.
bool ParseArgs(const std::vector<std::string>& args, const TCommandSpec& cmd, TArgs& out,
               int& status);
int UsageError(const TCommandSpec& cmd, const std::string& message);
void PrintHelp(const TCommandSpec& cmd);

// Integer option with range check; on error prints a usage error and returns false.
bool GetInt(const TArgs& a, const TCommandSpec& cmd, const std::string& name, long long fallback,
            long long min, long long max, long long& out, int& status);

// Messages of the model go to standard error, one UTF-8 line each (line breaks
// inside a message become " / ").
void InstallMessageHook();

// Loads a result file; nullptr after the model's messages when it fails. The state as
// loaded is kept for the change journal of SaveCompetition.
std::unique_ptr<TWettkampf> LoadCompetition(const std::string& file);
// The same for a command that only reads the competition and never saves it: no state
// is kept for a journal (for a large file that copy costs as much as the load).
std::unique_ptr<TWettkampf> LoadCompetitionToRead(const std::string& file);
// Writes the changed competition back to FILE (with backup) or to "-o OUT";
// returns the exit status (0 or 1). A competition that came from LoadCompetition
// also gets a block in the change journal beside the file written: the command's
// label (JournalLabel), "velmora-cli COMMAND" and what changed since it was loaded.
// A journal that cannot be written is reported on standard error and does not
// change the exit status.
int SaveCompetition(TWettkampf& c, const std::string& file, const TArgs& a);
// The name the user knows a command by ("Qualifikation" for qualify); the command's
// own name for one that has none yet.
std::string JournalLabel(const std::string& command);

// After a failed load or save: one line naming the file and why, the system's own text
// when the operating system refused, else `otherwise`.
void ReportFileFailure(const std::string& file, const std::string& otherwise);
// Runs the load or save `op` of `file`; when it fails, adds the line of ReportFileFailure.
template <class F> bool ReportingFailure(const std::string& file, const char* otherwise, F&& op) {
    ResetSystemError();
    if (op()) return true;
    ReportFileFailure(file, otherwise);
    return false;
}

// The document's Open and SaveAs, with the line of ReportFileFailure when they fail.
bool OpenDocument(TVmFile& doc, const std::string& file);
bool SaveDocumentAs(TVmFile& doc, const std::string& file, TFileType type,
                    const TSaveOptions& options = {});

// The closing line of a command that changed the competition, on standard error (UTF-8).
void Summary(const std::string& line);
// The counting words of the summaries, shared with the desktop program's status line.
using vm::CountText;
using vm::EntrantCount;
using vm::EntrantsText;

// Converts for output on a terminal.
std::string ToUtf8(const std::string& oem);

} // namespace vm::cli
