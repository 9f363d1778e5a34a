// The result file (".ERG"): reading and writing the native layout, the signatures of
// the older layouts, the backup copy, and Load/Save with their formats.
#pragma once

#include "base/BvBase.h"
#include "model/VmWettk.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vm {

inline constexpr std::size_t SignatureSize = 38;
// The 38 bytes each signature occupies at the start of a file (the last one 0x1A).
inline constexpr std::string_view SignatureV21{"Ergebnisdatei von Vm.EXE Version 2.1 \x1A", 38};
inline constexpr std::string_view SignatureV15{"Ergebnisdatei von Vm.EXE Version 1.5 \x1A", 38};
inline constexpr std::string_view SignatureV10{"Ergebnisdatei von Vm.EXE Version 1.0 \x1A", 38};
inline constexpr std::string_view SignatureTPN{"Ergebnisdatei von TPN.EXE Version 3.0\x1A", 38};

enum class TResultKind { Unknown, V21, V15, V10, TPN };
TResultKind DetectSignature(std::string_view first38);

// Native layout, on any stream. ReadNative fills `into`, which must be a fresh
// competition; false when the data is damaged (the caller discards `into`).
bool ReadNative(TStream& s, TWettkampf& into);
void WriteNative(TStream& s, const TWettkampf& c);

// Reads a result file of any known signature from a stream into a fresh competition.
// Shows "Unbekanntes Ergebnisdateiformat." for an unknown signature.
bool ReadResultStream(TStream& s, TWettkampf& into);

// "WK2004.ERG" -> "WK2004.BAK"; the first "." of the file name itself counts.
std::string BackupName(const std::string& fileName);

// Writes a file so that nothing is lost on failure: the content goes to a temporary
// file in the same folder; only when every write and the close succeeded is the old
// file renamed to the backup name (when `backup`) and the new one put in its place.
// Shows "Fehler beim Speichern der Datei." and returns false on any failure.
// `write` returns false to abandon the file (an export that could not be completed).
bool WriteFileSafely(const std::string& fileName, const std::function<bool(TStream&)>& write,
                     bool backup = true);

// Loads a result file as a new competition; only format 1 (or 99) is accepted.
// On failure the messages are shown and nullptr is returned.
std::unique_ptr<TWettkampf> Load(const std::string& fileName, int format = 1);
// Loads into an existing competition. Formats: 1 (99) result file, 2 result file
// shifted to the current year, 3 and 5 participant imports (added to `into`),
// 4/6/7 nothing. On failure `into` is left exactly as it was.
bool LoadInto(const std::string& fileName, TWettkampf& into, int format);

// Save formats: 1 result file, 2 year-neutral result file, 5 text, 6 dBase, 7 HTML,
// 9 Excel, 12 PDF, 13 Excel workbook; 0/3/4/8/10/11 write an empty file.
bool Save(const std::string& fileName, TWettkampf& c, int format);

// Readers and writers of the other layers plug in here; each is installed once by
// the front end at start-up (or by the command that needs it, with its options).
// Older result files, by kind; false when the data is damaged.
using TOldResultReader = std::function<bool(TResultKind, TStream&, TWettkampf&)>;
// A participant import (load formats 3 and 5) into an existing competition.
using TImporter = std::function<bool(const std::string& fileName, TWettkampf&)>;
// An export writer (save formats 5, 6, 7, 9, 12, 13) on the open stream; false when the
// export could not be completed (the file is then not written).
using TExportWriter = std::function<bool(TStream&, TWettkampf&)>;

void SetOldResultReader(TOldResultReader reader);
void SetImporter(int loadFormat, TImporter importer);
void SetExportWriter(int saveFormat, TExportWriter writer);

} // namespace vm
