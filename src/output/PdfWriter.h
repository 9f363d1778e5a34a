// The PDF document writer: a complete, uncompressed PDF 1.2 file whose text uses the
// fourteen standard Type 1 fonts with WinAnsiEncoding. It owns the file skeleton and
// keeps the offset of everything it writes so that the cross-reference table is
// exact; the PDF device writes the content lines of each page through it.
#pragma once

#include "base/BvBase.h"
#include "file/VmSaveOptions.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// A stored (code page 850) umlaut or sharp s as its WinAnsi byte; any other byte as is.
char OemUmlautToAnsi(char c);
// Text for a PDF string: backslash and parentheses escaped, the stored umlauts turned
// into WinAnsi. At most 255 bytes, never ending in half an escape.
std::string EscapeText(std::string_view text);
// The same for text that is WinAnsi already: only the string syntax is escaped.
std::string EscapeAnsiText(std::string_view text);
// The same two, appended to `out` (the limit counts what is appended).
void AppendEscapedText(std::string& out, std::string_view text);
void AppendEscapedAnsiText(std::string& out, std::string_view text);

// Tenths of a millimetre to whole PDF points.
std::int32_t TenthMmToPt(std::int32_t tenths);

class TPdfDocWriter {
public:
    // Fixed object numbers.
    static constexpr int ObjInfo = 1;
    static constexpr int ObjCatalog = 2;
    static constexpr int ObjOutlines = 3;
    static constexpr int ObjPages = 4;
    static constexpr int ObjProcSet = 5;
    static constexpr int ObjEncoding = 6;
    static constexpr int ObjResources = 7;
    static constexpr int ObjFirstFont = 8; // /F1 .. /F14 are objects 8 .. 21

    // info may be null (then the record stays empty).
    TPdfDocWriter(const TPdfInfo* info, std::int32_t pageWidth, std::int32_t pageHeight);

    // The stream is not owned and never closed here.
    void Attach(TStream& stream) { stream_ = &stream; }

    void WriteHeader();
    void WriteFixedObjects();
    void BeginPage();
    void EndPage();
    void WritePages();
    void WriteXref();
    void WriteTrailer();

    void WriteRaw(std::string_view text);
    // The text and one line feed.
    void WriteLine(std::string_view text);
    void BeginObject(int number);
    void EndObject();
    void WriteObject(int number, std::string_view body);
    void BeginStream();
    void EndStream();
    // "T* (" text ") Tj" with the text escaped by EscapeText.
    void WriteTextShow(std::string_view text);
    // The same for WinAnsi text (EscapeAnsiText).
    void WriteAnsiTextShow(std::string_view text);

    const TPdfInfo& Info() const { return info_; }
    std::int32_t PageWidth() const { return pageWidth_; }
    std::int32_t PageHeight() const { return pageHeight_; }
    std::int32_t PageWidthPt() const { return pageWidthPt_; }
    std::int32_t PageHeightPt() const { return pageHeightPt_; }
    int PageCount() const { return static_cast<int>(pageObjects_.size()); }
    int NextObject() const { return nextObject_; }
    int FirstPageObject() const { return firstPageObject_; }
    std::uint64_t BytesWritten() const { return bytesWritten_; }
    std::uint64_t StreamLength() const { return streamLength_; }
    std::uint64_t XrefOffset() const { return xrefOffset_; }
    // Offset of object n, 0 when it was not written.
    std::uint64_t ObjectOffset(int number) const;

private:
    TStream* stream_ = nullptr;
    TPdfInfo info_;
    std::int32_t pageWidth_;
    std::int32_t pageHeight_;
    std::int32_t pageWidthPt_;
    std::int32_t pageHeightPt_;
    // Index = object number; grows as objects are begun, so there is no object cap.
    std::vector<std::uint64_t> objectOffsets_;
    int nextObject_ = 1;
    std::uint64_t xrefOffset_ = 0;
    std::vector<int> pageObjects_;
    std::uint64_t bytesWritten_ = 0;
    std::uint64_t streamStart_ = 0;
    std::uint64_t streamLength_ = 0;
    int firstPageObject_ = 0;
};

} // namespace vm
