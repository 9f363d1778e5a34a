// The result file (".ERG"): reading and writing the native layout, the signatures of
// the older layouts, the backup copy, and Load/Save with their formats.
#pragma once

#include "base/BvBase.h"
#include "file/VmSaveOptions.h"
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
// True when the file begins with the signature of a result file of any layout this
// program reads; false for a missing or unreadable file.
bool IsResultFile(const std::string& fileName);

// Native layout, on any stream. ReadNative fills `into`, which must be a fresh
// competition; false when the data is damaged (the caller discards `into`).
// `exact` keeps the statistics flag of the Gliederung list as stored (a snapshot of the
// undo history); a file read from disk clears it, as every list read from a file.
bool ReadNative(TStream& s, TWettkampf& into, bool exact = false);
void WriteNative(TStream& s, const TWettkampf& c);
// The three pieces WriteNative writes one after the other: signature, header and the
// head of the age-class list; one age class with its participants; the rest (the
// Gliederung and organisation lists). Snapshots keep them apart so that unchanged age
// classes can be shared.
void WriteNativeHead(TStream& s, const TWettkampf& c);
void WriteNativeAgeClass(TStream& s, const TAltersklasse& ac);
void WriteNativeTail(TStream& s, const TWettkampf& c);

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
// The same without the message, for writers that report in their own way or run away
// from the thread that shows messages (the recovery copy); the reason is in
// LastSystemError() of the calling thread.
bool WriteFileAtomically(const std::string& fileName, const std::function<bool(TStream&)>& write,
                         bool backup = true);

// The formats of the result file's load. The numbers are the ones other callers and
// stored settings exchange; LoadFormatFromCode turns such a number into a format.
enum class TLoadFormat : int {
    Ergebnis = 1,              // a result file, by its signature
    ErgebnisAktuellesJahr = 2, // a result file, its years shifted to the current year
    TeilnehmerBinaer = 3,      // participant records of the older program (an import)
    Leer4 = 4,                 // nothing is read
    TeilnehmerText = 5,        // the participant text import
    Leer6 = 6,                 // nothing is read
    Leer7 = 7,                 // nothing is read
    ErgebnisAlias = 99,        // read as Ergebnis
};
// Any number, known or not: an unknown one stays unknown and the load says so.
TLoadFormat LoadFormatFromCode(int code);

// The formats of the result file's save; the empty ones leave an empty file.
enum class TSaveFormat : int {
    Leer0 = 0,
    Ergebnis = 1,            // the result file
    ErgebnisJahrNeutral = 2, // the result file with its years shifted to 1990
    Leer3 = 3,
    Leer4 = 4,
    Text = 5, // delimited text
    Dbf = 6,
    Html = 7,
    Leer8 = 8,
    Xls = 9,
    Leer10 = 10,
    Leer11 = 11,
    Pdf = 12,  // the result list
    Xlsx = 13, // Excel workbook
};
// Any number, known or not: an unknown one writes an empty file, as the empty ones do.
TSaveFormat SaveFormatFromCode(int code);

// Loads a result file as a new competition; only Ergebnis (or its alias) is accepted.
// On failure the messages are shown and nullptr is returned.
std::unique_ptr<TWettkampf> Load(const std::string& fileName,
                                 TLoadFormat format = TLoadFormat::Ergebnis);
// Loads into an existing competition: a result file (replacing the content; shifted
// to the current year with ErgebnisAktuellesJahr) or a participant import (added to
// `into`); the Leer formats read nothing. On failure `into` is left exactly as it was.
bool LoadInto(const std::string& fileName, TWettkampf& into, TLoadFormat format);

// Saves in one format; an export writer takes its part of `options`.
bool Save(const std::string& fileName, TWettkampf& c, TSaveFormat format,
          const TSaveOptions& options = {});

// Readers and writers of the other layers plug in here; each is installed once by
// the front end at start-up.
// Older result files, by kind; false when the data is damaged.
using TOldResultReader = std::function<bool(TResultKind, TStream&, TWettkampf&)>;
// A participant import (TeilnehmerBinaer, TeilnehmerText) into an existing competition.
using TImporter = std::function<bool(const std::string& fileName, TWettkampf&)>;
// An export writer (Text, Dbf, Html, Xls, Pdf, Xlsx) on the open stream with the
// options of the save; false when the export could not be completed (the file is then
// not written).
using TExportWriter = std::function<bool(TStream&, TWettkampf&, const TSaveOptions&)>;

void SetOldResultReader(TOldResultReader reader);
void SetImporter(TLoadFormat format, TImporter importer);
void SetExportWriter(TSaveFormat format, TExportWriter writer);

} // namespace vm
