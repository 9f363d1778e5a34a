// Certificates (Urkunden): who gets one, the three built-in layouts, the certificate
// templates (.urk files) an organiser shares, and the certificate report built from them
// into the print document: one page per participant or team.
#pragma once

#include "model/VmWettk.h"
#include "print/VmReport.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// ---- templates ---------------------------------------------------------------------

enum class TUrkLayout { Klassisch, Modern, Vorgedruckt };

// "klassisch", "modern", "vorgedruckt"; also the English "classic", "modern",
// "preprinted". False for anything else.
bool ParseUrkLayout(std::string_view name, TUrkLayout& layout);
const char* UrkLayoutName(TUrkLayout layout);

// The faces a template field may use.
enum class TUrkFont : std::uint8_t { Serif, SansSerif, Fixed };
enum class TUrkAlign : std::uint8_t { Left, Centre, Right };

// One field of a certificate: where its text goes, in which font, and the text with
// its placeholders ({Name}, {Platz}, {Zeit1} ...).
struct TUrkFeld {
    std::int32_t x = 0; // tenths of a millimetre from the left edge of the sheet
    std::int32_t y = 0; // tenths of a millimetre from the top edge to the top of the text
    TUrkFont font = TUrkFont::Serif;
    std::int32_t size = 120; // tenths of a point
    std::uint8_t style = 0;  // fsBold, fsItalic
    TUrkAlign align = TUrkAlign::Left;
    std::int32_t width = 0; // tenths of a millimetre; a longer text shrinks to it (0: never)
    std::string text;       // code page 850

    bool operator==(const TUrkFeld&) const = default;
};

// Paper names of templates.
struct TUrkPapier {
    const char* name;
    std::int32_t width; // portrait, tenths of a millimetre
    std::int32_t height;
};
const std::vector<TUrkPapier>& UrkPapiere();

struct TUrkVorlage {
    std::string paper = "A4"; // a name of UrkPapiere() or "BREITExHÖHE" in millimetres
    bool landscape = false;
    std::vector<TUrkFeld> felder;

    // The sheet in tenths of a millimetre, exchanged for landscape; A4 for an unknown name.
    std::int32_t PageWidth() const;
    std::int32_t PageHeight() const;
    bool operator==(const TUrkVorlage&) const = default;
};

// A fault in a template: its line (1-based; 0 for the file as a whole) and the reason.
struct TUrkFehler {
    int line = 0;
    std::string message; // UTF-8
    // "Zeile 4: ..." (or the reason alone for line 0).
    std::string Text() const;
};

// Reads a template (UTF-8 text). On the first faulty line `error` names it and the
// result stays as it was.
bool ParseUrkVorlage(std::string_view text, TUrkVorlage& vorlage, TUrkFehler& error);
// The template as its file holds it (UTF-8, LF), read back by ParseUrkVorlage unchanged.
std::string FormatUrkVorlage(const TUrkVorlage& vorlage);
bool LoadUrkVorlage(const std::string& fileName, TUrkVorlage& vorlage, TUrkFehler& error);
// Through the safe writer: a failed save leaves what stood under the name.
bool SaveUrkVorlage(const std::string& fileName, const TUrkVorlage& vorlage);

// The variable fields of a built-in layout on that sheet, as a template (the layouts'
// frames, bands and title block are not fields). `team`: the name fields of a team.
TUrkVorlage BuiltInVorlage(TUrkLayout layout, bool team, std::int32_t pageWidth,
                           std::int32_t pageHeight);

// ---- who gets one ------------------------------------------------------------------

struct TUrkAuswahl {
    // The first `places` places of each chosen age class (ties included), without
    // participants "außer Konkurrenz" or without points.
    int places = 3;
    // Age-class indices; empty: every age class.
    std::vector<int> ageClasses;
    // Chosen one by one instead (the current or the marked participants): these rows
    // (0-based, list order) of age class `ageClass`, whatever their place.
    bool einzeln = false;
    int ageClass = 0;
    std::vector<int> rows;
};

struct TUrkEmpfaenger {
    const TAltersklasse* ageClass;
    const TTeilnehmer* entry;
};

std::vector<TUrkEmpfaenger> UrkEmpfaenger(const TWettkampf& c, const TUrkAuswahl& auswahl);

// ---- the report --------------------------------------------------------------------

// Width of a text (code page 850) in tenths of a millimetre in that font; the devices'
// metrics, so that a field shrinks to the width it really has on paper.
using TTextMeasure = std::function<double(std::int16_t fontIndex, std::uint8_t style,
                                          std::int16_t height, std::string_view text)>;

struct TUrkOptions {
    TUrkLayout layout = TUrkLayout::Klassisch;
    // A template instead of the built-in layout (not owned).
    const TUrkVorlage* vorlage = nullptr;
    // "vorgedruckt (ohne Gesamtpunkte und Platz)": fields with {Platz} or {Punkte} stay out.
    bool ohnePlatzUndPunkte = false;
    // Calibration: every item moves by this much (tenths of a millimetre).
    std::int32_t shiftX = 0;
    std::int32_t shiftY = 0;
    // The test print: a millimetre grid under the certificate.
    bool raster = false;
    // At most this many certificates (0: all).
    int limit = 0;
    // Without a measure a field only carries the shrink flag for the devices.
    TTextMeasure measure;
};

// The text of a field for that entry, placeholders replaced (code page 850); the
// unknown ones were refused when the template was read.
std::string UrkFeldText(const TWettkampf& c, const TAltersklasse& ac, const TTeilnehmer& p,
                        std::string_view text);
// Font height in tenths of a millimetre of a size in tenths of a point.
std::int16_t UrkFontHeight(std::int32_t sizeTenthPt);

// One page per recipient onto the report (kind rkUrkunde); the report's page size is
// the sheet.
void PrintCertificates(TVmReport& report, const std::vector<TUrkEmpfaenger>& recipients,
                       const TUrkOptions& options);

} // namespace vm
