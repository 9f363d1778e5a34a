#include "file/VmWFile.h"

#include "file/VmErg.h"
#include "model/VmVorg.h"

namespace vm {

TVmFile::TVmFile(const std::string& fileName) : fileName_(fileName) {
    if (fileName_.empty()) fileName_ = Unbenannt;
    if (!IsUnnamed()) {
        competition_ = Load(fileName_);
        if (!competition_) fileName_ = Unbenannt;
    }
    if (!competition_) New(8, CurrentYear());
    modified_ = false;
}

void TVmFile::New(int type, int year) {
    fileName_ = Unbenannt;
    modified_ = false;
    auto c = NewCompetition();
    ApplyPreset(*c, PresetCodeFor(type, year), year);
    // NewCompetition already holds "-" in the four other texts.
    c->Header.Veranstaltung.Set("neue Meisterschaft " + IntToText(year));
    competition_ = std::move(c);
}

bool TVmFile::Open(const std::string& fileName) {
    auto c = Load(fileName);
    if (!c) return false;
    competition_ = std::move(c);
    fileName_ = fileName;
    modified_ = false;
    return true;
}

bool TVmFile::Save() {
    if (!vm::Save(fileName_, *competition_, 1)) return false;
    modified_ = false;
    return true;
}

bool TVmFile::SaveAs(const std::string& fileName, int fileType) {
    switch (fileType) {
    case ftErgebnis:
        if (!vm::Save(fileName, *competition_, 1)) return false;
        fileName_ = fileName;
        modified_ = false;
        return true;
    case ftKopie:
        return vm::Save(fileName, *competition_, 1);
    case ftDbf:
        return vm::Save(fileName, *competition_, 6);
    case ftXls:
        return vm::Save(fileName, *competition_, 9);
    case ftXlsx:
        return vm::Save(fileName, *competition_, 13);
    case ftHtml:
        return vm::Save(fileName, *competition_, 7);
    case ftPdf:
        return vm::Save(fileName, *competition_, 12);
    case ftText:
        return vm::Save(fileName, *competition_, 5);
    default:
        ShowMessage("Unbekanntes Dateiformat.");
        return false;
    }
}

} // namespace vm
