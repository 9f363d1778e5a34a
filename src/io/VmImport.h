// Participant import: semicolon-separated text files and the 96-byte participant
// records of the older program generation. Both add their entries to an open
// competition through AddParticipant; whether a line or record is an individual or a
// team is decided by the competition's kind.
#pragma once

#include "base/BvBase.h"
#include "model/VmWettk.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

inline constexpr std::size_t ImportRecordSize = 96;
inline constexpr int ImportMaxFields = 30;

// Splits a line at every ";" into at most ImportMaxFields fields (further fields are
// dropped); an empty line gives one empty field.
std::vector<std::string> SplitImportLine(std::string_view line);
// "N-AN" -> -2, "DISQ" -> -1 (exact, case-sensitive), anything else as an integer.
std::int16_t ImportPenalty(std::string_view text);
// Legacy penalty codes: -4 -> 0, -3 -> -2, -2 -> -1, every other value unchanged.
std::int16_t LegacyPenalty(std::int16_t code);
// Legacy age-class codes 1..10; empty for any other code.
std::string LegacyAgeClassName(int code);

// The text import from a stream: the first line is a header, empty lines are skipped.
// The file's encoding is the one given, or else the one DetectTextEncoding finds (a
// UTF-8 byte-order mark means UTF-8 and is skipped); lines with characters that could
// not be read are imported with '?' in their place and one message names the first.
// Returns the number of entries filed into an age class.
int ImportText(TStream& s, TWettkampf& c, std::optional<TTextEncoding> encoding = std::nullopt);
// The binary import from a stream: every complete 96-byte record.
int ImportBinary(TStream& s, TWettkampf& c);

// File entry points for the load dispatch; false (with "Fehler beim Laden der
// Datei.") only when the file cannot be read at all.
bool ImportTextFile(const std::string& fileName, TWettkampf& c,
                    std::optional<TTextEncoding> encoding = std::nullopt);
bool ImportBinaryFile(const std::string& fileName, TWettkampf& c);

// Installs the participant imports (TeilnehmerBinaer, TeilnehmerText) and the readers of the
// older result files into the result-file load. Called once by each front end.
void InstallImporters();

} // namespace vm
