// Shared pieces of the velmora-cli commands: argument parsing, messages, loading
// and saving result files.
#pragma once

#include "model/VmWettk.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vm::cli {

struct TArgs {
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

// Loads a result file; nullptr after the model's messages when it fails.
std::unique_ptr<TWettkampf> LoadCompetition(const std::string& file);
// Writes the changed competition back to FILE (with backup) or to "-o OUT";
// returns the exit status (0 or 1).
int SaveCompetition(TWettkampf& c, const std::string& file, const TArgs& a);

// Converts for output on a terminal.
std::string ToUtf8(const std::string& oem);

} // namespace vm::cli
