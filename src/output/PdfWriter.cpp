#include "output/PdfWriter.h"

#include "model/VmBasis.h"

#include <algorithm>
#include <cmath>

namespace vm {

namespace {

constexpr std::size_t MaxShortString = 255;

const char* const kFontNames[14] = {
    "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
    "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic",
    "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
    "Symbol",      "ZapfDingbats",
};

std::string Cut(std::string_view text) {
    return std::string(text.substr(0, MaxShortString));
}

// Escapes one pass over the text onto the end of `out`; a piece that would cross the
// short-string limit is left out whole, so the result never ends in a lone backslash
// that would swallow the closing parenthesis of the PDF string.
template <class Map> void EscapeOnto(std::string& out, std::string_view text, Map map) {
    const std::size_t start = out.size();
    // The usual text has nothing to escape and fits: it goes over as a whole.
    if (text.size() <= MaxShortString &&
        std::none_of(text.begin(), text.end(),
                     [](char c) { return c == '\\' || c == '(' || c == ')'; })) {
        out.append(text);
        for (std::size_t i = start; i < out.size(); ++i)
            out[i] = map(out[i]);
        return;
    }
    for (char c : text) {
        char piece[2];
        std::size_t n = 1;
        if (c == '\\' || c == '(' || c == ')') {
            piece[0] = '\\';
            piece[1] = c;
            n = 2;
        } else {
            piece[0] = map(c);
        }
        if (out.size() - start + n > MaxShortString) break;
        out.append(piece, n);
    }
}

template <class Map> std::string Escape(std::string_view text, Map map) {
    std::string out;
    out.reserve(text.size() + 8);
    EscapeOnto(out, text, map);
    return out;
}

} // namespace

char OemUmlautToAnsi(char c) {
    switch (static_cast<unsigned char>(c)) {
    case 0x84:
        return static_cast<char>(0xE4); // ä
    case 0x94:
        return static_cast<char>(0xF6); // ö
    case 0x81:
        return static_cast<char>(0xFC); // ü
    case 0x8E:
        return static_cast<char>(0xC4); // Ä
    case 0x99:
        return static_cast<char>(0xD6); // Ö
    case 0x9A:
        return static_cast<char>(0xDC); // Ü
    case 0xE1:
        return static_cast<char>(0xDF); // ß
    default:
        return c;
    }
}

std::string EscapeText(std::string_view text) {
    return Escape(text, OemUmlautToAnsi);
}

std::string EscapeAnsiText(std::string_view text) {
    return Escape(text, [](char c) { return c; });
}

void AppendEscapedText(std::string& out, std::string_view text) {
    EscapeOnto(out, text, OemUmlautToAnsi);
}

void AppendEscapedAnsiText(std::string& out, std::string_view text) {
    EscapeOnto(out, text, [](char c) { return c; });
}

std::int32_t TenthMmToPt(std::int32_t tenths) {
    return static_cast<std::int32_t>(std::lround(tenths / 25.4 * 72.0 / 10.0));
}

// ---- TPdfDocWriter ---------------------------------------------------------------

TPdfDocWriter::TPdfDocWriter(const TPdfInfo* info, std::int32_t pageWidth, std::int32_t pageHeight)
    : pageWidth_(pageWidth), pageHeight_(pageHeight), pageWidthPt_(TenthMmToPt(pageWidth)),
      pageHeightPt_(TenthMmToPt(pageHeight)) {
    if (info) {
        info_ = *info;
        for (std::string* s : {&info_.Title, &info_.Subject, &info_.Author, &info_.Keywords,
                               &info_.Creator, &info_.CreationDate, &info_.Producer})
            *s = Cut(*s);
    }
}

std::uint64_t TPdfDocWriter::ObjectOffset(int number) const {
    if (number < 0 || static_cast<std::size_t>(number) >= objectOffsets_.size()) return 0;
    return objectOffsets_[static_cast<std::size_t>(number)];
}

void TPdfDocWriter::WriteRaw(std::string_view text) {
    if (stream_) stream_->WriteText(text);
    bytesWritten_ += text.size();
}

void TPdfDocWriter::WriteLine(std::string_view text) {
    WriteRaw(text);
    WriteRaw("\n");
}

void TPdfDocWriter::BeginObject(int number) {
    if (number >= 0) {
        auto n = static_cast<std::size_t>(number);
        if (n >= objectOffsets_.size()) objectOffsets_.resize(n + 1, 0);
        objectOffsets_[n] = bytesWritten_;
    }
    WriteRaw(IntToText(number) + " 0 obj");
}

void TPdfDocWriter::EndObject() {
    WriteLine("endobj");
    ++nextObject_;
}

void TPdfDocWriter::WriteObject(int number, std::string_view body) {
    BeginObject(number);
    WriteRaw(body);
    EndObject();
}

void TPdfDocWriter::BeginStream() {
    WriteLine("stream");
    streamStart_ = bytesWritten_;
}

void TPdfDocWriter::EndStream() {
    streamLength_ = bytesWritten_ - streamStart_;
    WriteLine("endstream");
}

void TPdfDocWriter::WriteTextShow(std::string_view text) {
    WriteLine("T* (" + EscapeText(text) + ") Tj");
}

void TPdfDocWriter::WriteAnsiTextShow(std::string_view text) {
    WriteLine("T* (" + EscapeAnsiText(text) + ") Tj");
}

void TPdfDocWriter::WriteHeader() {
    WriteLine("%PDF-1.2");
    WriteLine("%\xE2\xE3\xCF\xD3");
}

void TPdfDocWriter::WriteFixedObjects() {
    // The information values go out as stored: the options dialog is where they are
    // typed, and files written so far carry them the same way.
    WriteObject(ObjInfo, "<</Producer(" + info_.Producer + ")" + "/CreationDate(" +
                             info_.CreationDate + ")" + "/Title(" + info_.Title + ")" + "/Author(" +
                             info_.Author + ")" + "/Creator(" + info_.Creator + ")" + "/Keywords(" +
                             info_.Keywords + ")" + "/Subject(" + info_.Subject + ")>>");
    WriteObject(ObjCatalog, "<</Type /Catalog/Pages 4 0 R/PageMode/UseNone/Outlines 3 0 R>>");
    WriteObject(ObjOutlines, "<</Type /Outlines/Count 0>>");
    WriteObject(ObjProcSet, "[/PDF/Text]");
    WriteObject(ObjEncoding, "<</Type/Encoding/BaseEncoding/WinAnsiEncoding>>");

    std::string resources = "<</Font <<";
    for (int i = 1; i <= 14; ++i)
        resources += "/F" + IntToText(i) + " " + IntToText(ObjFirstFont - 1 + i) + " 0 R";
    resources += ">>/ProcSet 5 0 R>>";
    WriteObject(ObjResources, resources);

    for (int i = 0; i < 14; ++i) {
        std::string body = std::string("<</Type/Font/Subtype/Type1/BaseFont/") + kFontNames[i];
        if (i < 12) body += "/Encoding 6 0 R";
        body += ">>";
        WriteObject(ObjFirstFont + i, body);
    }
    firstPageObject_ = nextObject_ + 1;
}

void TPdfDocWriter::BeginPage() {
    int p = firstPageObject_ + 3 * PageCount();
    pageObjects_.push_back(p);
    WriteObject(p, "<</Type/Page/Parent 4 0 R/Contents " + IntToText(p + 1) + " 0 R>>");
    BeginObject(p + 1);
    WriteRaw("<</Length " + IntToText(p + 2) + " 0 R>>");
    BeginStream();
}

void TPdfDocWriter::EndPage() {
    int p = pageObjects_.empty() ? firstPageObject_ : pageObjects_.back();
    EndStream();
    EndObject();
    BeginObject(p + 2);
    WriteLine("");
    WriteLine(IntToText(static_cast<long long>(streamLength_)));
    EndObject();
}

void TPdfDocWriter::WritePages() {
    std::string body = "<</Type /Pages/MediaBox [0 0 " + IntToText(pageWidthPt_) + " " +
                       IntToText(pageHeightPt_) + "]/Resources 7 0 R/Count " +
                       IntToText(PageCount()) + "/Kids [";
    for (std::size_t i = 0; i < pageObjects_.size(); ++i) {
        if (i > 0) body += " ";
        body += IntToText(pageObjects_[i]) + " 0 R";
    }
    body += "]>>";
    WriteObject(ObjPages, body);
}

void TPdfDocWriter::WriteXref() {
    xrefOffset_ = bytesWritten_;
    WriteLine("xref");
    WriteLine("0 " + IntToText(nextObject_) + " ");
    WriteLine("0000000000 65535 f ");
    for (int n = 1; n < nextObject_; ++n) {
        std::string offset = IntToText(static_cast<long long>(ObjectOffset(n)));
        if (offset.size() < 10) offset.insert(0, 10 - offset.size(), '0');
        WriteLine(offset + " 00000 n ");
    }
}

void TPdfDocWriter::WriteTrailer() {
    WriteLine("trailer");
    WriteLine("<</Size " + IntToText(nextObject_) + "/Root 2 0 R/Info 1 0 R>>");
    WriteLine("startxref");
    WriteLine(IntToText(static_cast<long long>(xrefOffset_)));
    WriteLine("%%EOF");
}

} // namespace vm
