// The PDF output device: turns every drawing item of a print document into content
// stream operators and hands them, page by page, to the PDF document writer.
#pragma once

#include "output/OutputDevice.h"
#include "output/PdfWriter.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vm {

// PDF font number (/F1 .. /F14) of a font index and style: Courier, Times and
// Helvetica have bold, italic and bold-italic variants; Symbol and Dingbats have
// none; index 0 and out-of-range indices are plain Courier.
int PdfFontNumber(int fontIndex, std::uint8_t style);
// Width of the text in tenths of a millimetre at that font height (condensed: 60 %).
double PdfTextWidth(int fontNumber, std::string_view text, int fontHeight, std::uint8_t style);
// Ascender plus descender at that font height, in tenths of a millimetre.
double PdfTextHeight(int fontNumber, int fontHeight);
// The size operand of "Tf": the font height in points, scaled so that the capitals
// and descenders fill the height the layout gave the line.
double PdfFontSize(int fontNumber, int fontHeight);
// "r g b" operand of a colour index (anything unknown is black).
std::string PdfColour(std::uint8_t colour);

class TPdfDevice : public TOutputDevice {
public:
    // Creates the file (an existing one is replaced); the device owns and closes it.
    static std::unique_ptr<TPdfDevice> CreateForFile(const TBvDocument* document,
                                                     const std::string& fileName,
                                                     std::int32_t pageWidth,
                                                     std::int32_t pageHeight, const TPdfInfo* info);
    // Writes to the caller's open stream, which stays open.
    static std::unique_ptr<TPdfDevice> CreateForStream(const TBvDocument* document,
                                                       std::int32_t pageWidth,
                                                       std::int32_t pageHeight,
                                                       const TPdfInfo* info, TStream& stream);
    ~TPdfDevice() override;

    // Closes the device's own file. False when the file could not be created or any
    // write to the file (or to the caller's stream) failed.
    bool Finish();

    void DrawItem(const TBvItem& item) override;
    void StartOutput() override;
    void BeginPage(int pageNumber) override;
    void EndPage(int pageNumber) override;
    void EndDocument() override;

    const std::string& FileName() const { return fileName_; }
    TPdfDocWriter& Writer() { return *writer_; }

private:
    TPdfDevice(const TBvDocument* document, std::int32_t pageWidth, std::int32_t pageHeight,
               const TPdfInfo* info);
    void DrawText(const TBvTextItem& item);
    std::int32_t PdfY(std::int32_t y) const { return writer_->PageHeightPt() - TenthMmToPt(y); }

    std::string fileName_;
    std::unique_ptr<TBufStream> ownStream_;
    TStream* stream_ = nullptr;
    std::unique_ptr<TPdfDocWriter> writer_;
    bool finished_ = false;
    bool finishResult_ = false;
    // Kept between texts: the shown text, the operators of one text, and the font
    // operator of the last font and height.
    std::string shown_;
    std::string out_;
    int tfFont_ = -1;
    int tfHeight_ = 0;
    std::string tf_;
};

// Writes pages 1..last of the document as a PDF file. The file appears only when it
// was written completely: a failed export leaves whatever stood under that name and
// shows "Fehler beim Speichern der Datei.".
bool ExportDocumentToPdf(const TBvDocument& document, const std::string& fileName,
                         std::int32_t pageWidth, std::int32_t pageHeight, const TPdfInfo& info);

} // namespace vm
