// The open document: one competition with its file name and modified flag.
#pragma once

#include "file/VmErg.h"
#include "model/VmWettk.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vm {

inline constexpr const char* Unbenannt = "<unbenannt>";

// File types of "Speichern unter..."; each front end maps its own choice onto them
// (the save dialog's filter entry, the command line's --type) in one place.
enum class TFileType : int {
    Ergebnis = 1, // result file; the document takes the name
    Dbf = 2,
    Xls = 3,
    Html = 4,
    Pdf = 5,
    Text = 6,
    Kopie = 7, // result file written as a copy
    Xlsx = 8,  // Excel workbook
};

// What identifies the content of a file on disk without reading it: enough to notice
// that another program wrote it since.
struct TFileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const TFileStamp&) const = default;
};
TFileStamp StampOf(const std::string& fileName);

// An export (any type but the result file and its copy) to fileName would write over a
// result file. Both front ends refuse such a save before anything is written: a
// result file lost to an export cannot be rebuilt from it.
bool ExportWouldOverwriteResult(const std::string& fileName, TFileType type);

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
    // Saves or exports under another name; the export takes its part of `options`.
    bool SaveAs(const std::string& fileName, TFileType type, const TSaveOptions& options = {});

    const std::string& FileName() const { return fileName_; }
    bool IsUnnamed() const { return fileName_ == Unbenannt; }
    bool Modified() const { return modified_; }
    void SetModified(bool m = true) { modified_ = m; }

    TWettkampf& Competition() { return *competition_; }
    const TWettkampf& Competition() const { return *competition_; }
    // Replaces the competition (the editing dialogs' confirmed copy, a state of the
    // undo history).
    void SetCompetition(std::unique_ptr<TWettkampf> c) {
        competition_ = std::move(c);
        modified_ = true;
        Replaced();
    }
    // Called whenever the competition object was replaced by another: whoever points
    // into the old one lets go here, before anything else can run.
    void SetReplacedHook(std::function<void()> hook) { replaced_ = std::move(hook); }

    // True when the result file on disk is no longer what this document opened or
    // last saved (another program wrote it). An unnamed document never is.
    bool ChangedOnDisk() const;
    // The file name of a recovered document, which has not been saved yet; the file on
    // disk as it is now counts as what the document started from.
    void SetFileName(const std::string& fileName);

private:
    void Replaced() {
        if (replaced_) replaced_();
    }
    void TakeStamp();

    std::string fileName_;
    bool modified_ = false;
    std::unique_ptr<TWettkampf> competition_;
    std::function<void()> replaced_;
    TFileStamp stamp_;
};

} // namespace vm
