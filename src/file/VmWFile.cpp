#include "file/VmWFile.h"

#include "file/VmErg.h"
#include "model/VmVorg.h"

#include <optional>
#include <sys/stat.h>

namespace vm {

namespace {
// The save format a file type is written in; none for a number that names no type.
std::optional<TSaveFormat> SaveFormatOf(TFileType type) {
    switch (type) {
    case TFileType::Ergebnis:
    case TFileType::Kopie:
        return TSaveFormat::Ergebnis;
    case TFileType::Dbf:
        return TSaveFormat::Dbf;
    case TFileType::Xls:
        return TSaveFormat::Xls;
    case TFileType::Xlsx:
        return TSaveFormat::Xlsx;
    case TFileType::Html:
        return TSaveFormat::Html;
    case TFileType::Pdf:
        return TSaveFormat::Pdf;
    case TFileType::Text:
        return TSaveFormat::Text;
    }
    return std::nullopt;
}
} // namespace

TFileStamp StampOf(const std::string& fileName) {
    TFileStamp s;
    struct stat st {};
    if (::stat(fileName.c_str(), &st) != 0) return s;
    s.exists = true;
    s.device = st.st_dev;
    s.inode = st.st_ino;
    s.size = st.st_size;
    s.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

TVmFile::TVmFile(const std::string& fileName) : fileName_(fileName) {
    if (fileName_.empty()) fileName_ = Unbenannt;
    if (!IsUnnamed()) {
        competition_ = Load(fileName_);
        if (!competition_) fileName_ = Unbenannt;
    }
    if (!competition_) New(8, CurrentYear());
    modified_ = false;
    TakeStamp();
}

void TVmFile::TakeStamp() {
    stamp_ = IsUnnamed() ? TFileStamp{} : StampOf(fileName_);
}

bool TVmFile::ChangedOnDisk() const {
    if (IsUnnamed()) return false;
    const TFileStamp now = StampOf(fileName_);
    // A file that was never there (a recovered document) or has gone is no other
    // program's work to protect.
    if (!now.exists) return false;
    return !stamp_.exists || !(now == stamp_);
}

void TVmFile::SetFileName(const std::string& fileName) {
    fileName_ = fileName.empty() ? Unbenannt : fileName;
    TakeStamp();
}

void TVmFile::New(int type, int year) {
    fileName_ = Unbenannt;
    modified_ = false;
    auto c = NewCompetition();
    ApplyPreset(*c, PresetCodeFor(type, year), year);
    // NewCompetition already holds "-" in the four other texts.
    c->Header.Veranstaltung.Set("neue Meisterschaft " + IntToText(year));
    competition_ = std::move(c);
    stamp_ = {};
    Replaced();
}

bool TVmFile::Open(const std::string& fileName) {
    auto c = Load(fileName);
    if (!c) return false;
    competition_ = std::move(c);
    fileName_ = fileName;
    modified_ = false;
    TakeStamp();
    Replaced();
    return true;
}

bool TVmFile::Save() {
    if (!vm::Save(fileName_, *competition_, TSaveFormat::Ergebnis)) return false;
    modified_ = false;
    TakeStamp();
    return true;
}

bool ExportWouldOverwriteResult(const std::string& fileName, TFileType type) {
    if (type == TFileType::Ergebnis || type == TFileType::Kopie) return false;
    return IsResultFile(fileName);
}

bool TVmFile::SaveAs(const std::string& fileName, TFileType type, const TSaveOptions& options) {
    const std::optional<TSaveFormat> format = SaveFormatOf(type);
    if (!format) {
        ShowMessage("Unbekanntes Dateiformat.");
        return false;
    }
    if (!vm::Save(fileName, *competition_, *format, options)) return false;
    // Only the result file proper becomes the document; a copy or an export does not.
    if (type == TFileType::Ergebnis) {
        fileName_ = fileName;
        modified_ = false;
        TakeStamp();
    }
    return true;
}

} // namespace vm
