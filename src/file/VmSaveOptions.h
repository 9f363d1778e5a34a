// The options of the exports behind "Speichern unter...": what the text, HTML and PDF
// option dialogs edit. Plain data, so that the result file's save can hand them to the
// export writers of the layers above without knowing them.
#pragma once

#include <cstdint>
#include <string>

namespace vm {

// The options of the text export dialog ("Textexport - Optionen"), with its defaults.
struct TTextExportOptions {
    enum : std::uint8_t { csDos = 0, csWindows = 1, csUtf8 = 2 };
    // csDos: as stored (code page 850); csWindows: 1252; csUtf8: UTF-8 after a byte-order mark
    std::uint8_t Charset = csWindows;
    bool QuoteFields = true;
    bool WithDisciplines = true;
    bool WithNonStarters = false;
    char Separator = ';';
    char QuoteChar = '"';
    bool WithHeader = true;
};

// The options of the HTML dialog ("HTML Optionen"), with its defaults.
struct THtmlExportOptions {
    bool TableForm = true;       // "Tabellenform"; off: "Textform"
    bool AgeClassLinks = true;   // "Sprungziele für Altersklassen"
    bool WithDisciplines = true; // "incl. Ergebnisse der Disziplinen"
    bool WithHeatLane = false;   // not in the dialog
    // The chosen entry of the "Farbe" list as it reads there (UTF-8, one of
    // HtmlColourEntries()); empty when none was chosen.
    std::string BackgroundColour;
    // The picture's file name as typed or chosen (UTF-8); empty for none.
    std::string BackgroundPicture;
};

// The document information of a PDF file.
struct TPdfInfo {
    std::string Title;
    std::string Subject;
    std::string Author;
    std::string Keywords;
    std::string Creator;
    std::string CreationDate;
    std::string Producer;
    // Shown in the options dialog, never acted on: streams are always uncompressed.
    bool Compress = false;

    // The values the options dialog starts with (creation date: today, 12:00:00).
    static TPdfInfo Defaults();
};

// Year, two-digit month and day, then the fixed time "120000".
std::string DateString(int year, int month, int day);
std::string DateString(); // today
// "D:" followed by DateString.
std::string PdfDate(int year, int month, int day);
std::string PdfDate(); // today

// Everything one save may need: each export writer reads its own part. A record
// built by default holds the dialogs' defaults.
struct TSaveOptions {
    TTextExportOptions Text;
    THtmlExportOptions Html;
    // The PDF export writes it as it stands; the front end runs the options step
    // (FillPdfInfo) before, as its dialog or command has it.
    TPdfInfo Pdf = TPdfInfo::Defaults();
};

} // namespace vm
