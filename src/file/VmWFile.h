// The open document: one competition with its file name and modified flag.
#pragma once

#include "model/VmWettk.h"

#include <memory>
#include <string>

namespace vm {

inline constexpr const char* Unbenannt = "<unbenannt>";

// File types of "Speichern unter...".
enum : int {
    ftErgebnis = 1, // result file; the document takes the name
    ftDbf = 2,
    ftXls = 3,
    ftHtml = 4,
    ftPdf = 5,
    ftText = 6,
    ftKopie = 7, // result file written as a copy
    ftXlsx = 8,  // Excel workbook
};

class TVmFile {
public:
    // Opens the named result file, or builds a new competition (type 8, current
    // year) when there is no name or the file cannot be loaded.
    explicit TVmFile(const std::string& fileName = Unbenannt);

    // A new competition from the presets: type from the new-championship choice
    // (Art + 2 x range + 8 for the split age class 12), year of the competition.
    void New(int type, int year);
    // Replaces the document by the named result file; unchanged on failure.
    bool Open(const std::string& fileName);
    // Saves under the document's own name.
    bool Save();
    bool SaveAs(const std::string& fileName, int fileType);

    const std::string& FileName() const { return fileName_; }
    bool IsUnnamed() const { return fileName_ == Unbenannt; }
    bool Modified() const { return modified_; }
    void SetModified(bool m = true) { modified_ = m; }

    TWettkampf& Competition() { return *competition_; }
    const TWettkampf& Competition() const { return *competition_; }
    // Replaces the competition (the editing dialogs' confirmed copy).
    void SetCompetition(std::unique_ptr<TWettkampf> c) {
        competition_ = std::move(c);
        modified_ = true;
    }

private:
    std::string fileName_;
    bool modified_ = false;
    std::unique_ptr<TWettkampf> competition_;
};

} // namespace vm
