// Returned entry forms: any bytes as a workbook (or CSV) through the reader and the row
// checks into an individual and a team competition. The first byte chooses what the
// rest is: 0 the whole file; 1, 2, 3 the sheet, the shared strings or the workbook part
// of a small workbook that is zipped here, so that the XML readers get mutated XML
// instead of archives whose checksums no longer match.
#include "base/BvBase.h"
#include "io/VmMeldebogen.h"
#include "model/VmVorg.h"
#include "model/VmWettk.h"

#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

const char* const kWorkbook =
    "<workbook xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<sheets><sheet name=\"Hinweise\" sheetId=\"1\" r:id=\"rId1\"/>"
    "<sheet name=\"Meldungen\" sheetId=\"2\" r:id=\"rId2\"/></sheets></workbook>";
const char* const kRels =
    "<Relationships><Relationship Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Target=\"worksheets/sheet2.xml\"/>"
    "<Relationship Id=\"rId3\" Target=\"sharedStrings.xml\"/>"
    "<Relationship Id=\"rId4\" Target=\"styles.xml\"/></Relationships>";
const char* const kShared = "<sst><si><t>Name</t></si><si><t>Jahrgang</t></si>"
                            "<si><t>Altersklasse</t></si><si><r><t>Mei</t></r><r><t>er</t></r>"
                            "</si></sst>";
const char* const kStyles = "<styleSheet><numFmts><numFmt numFmtId=\"164\" "
                            "formatCode=\"dd/mm/yyyy\"/></numFmts><cellXfs><xf numFmtId=\"0\"/>"
                            "<xf numFmtId=\"164\"/><xf numFmtId=\"14\"/></cellXfs></styleSheet>";
const char* const kSheet =
    "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\">"
    "<v>1</v></c><c r=\"C1\" t=\"s\"><v>2</v></c></row><row r=\"2\"><c r=\"A2\" t=\"s\"><v>3</v>"
    "</c><c r=\"B2\" s=\"1\"><v>41398</v></c></row></sheetData></worksheet>";

// A stored (uncompressed) workbook of the parts, zipped in memory by libzip.
std::string Book(const std::string& workbook, const std::string& shared, const std::string& sheet) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* mem = zip_source_buffer_create(nullptr, 0, 0, &error);
    std::string out;
    if (!mem) return out;
    zip_source_keep(mem);
    zip_t* z = zip_open_from_source(mem, ZIP_TRUNCATE, &error);
    if (z) {
        const std::pair<const char*, const std::string*> parts[] = {
            {"xl/workbook.xml", &workbook}, {"xl/sharedStrings.xml", &shared},
            {"xl/worksheets/sheet2.xml", &sheet}};
        const std::string rels = kRels, styles = kStyles;
        for (const auto& [name, data] : parts) {
            zip_source_t* s = zip_source_buffer(z, data->data(), data->size(), 0);
            const zip_int64_t i = zip_file_add(z, name, s, ZIP_FL_OVERWRITE);
            if (i < 0) zip_source_free(s);
            else zip_set_file_compression(z, static_cast<zip_uint64_t>(i), ZIP_CM_STORE, 0);
        }
        for (const auto& [name, data] : {std::pair{"xl/_rels/workbook.xml.rels", &rels},
                                         std::pair{"xl/styles.xml", &styles}}) {
            zip_source_t* s = zip_source_buffer(z, data->data(), data->size(), 0);
            if (zip_file_add(z, name, s, ZIP_FL_OVERWRITE) < 0) zip_source_free(s);
        }
        if (zip_close(z) != 0) zip_discard(z);
        if (zip_source_open(mem) == 0) {
            char buf[4096];
            zip_int64_t n;
            while ((n = zip_source_read(mem, buf, sizeof buf)) > 0)
                out.append(buf, static_cast<std::size_t>(n));
            zip_source_close(mem);
        }
    }
    zip_source_free(mem);
    zip_error_fini(&error);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool quiet = [] {
        vm::SetMessageHook([](const std::string&) {});
        return true;
    }();
    (void)quiet;
    if (size == 0) return 0;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string bytes;
    switch (data[0] % 4) {
    case 0:
        bytes = rest;
        break;
    case 1:
        bytes = Book(kWorkbook, kShared, rest);
        break;
    case 2:
        bytes = Book(kWorkbook, rest, kSheet);
        break;
    default:
        bytes = Book(rest, kShared, kSheet);
        break;
    }
    vm::TEntrySheet sheet;
    std::string failure;
    if (!vm::ReadEntryBytes(bytes, sheet, failure)) return 0;
    for (int preset : {1001, 1002}) {
        auto c = vm::NewCompetition();
        vm::ApplyPreset(*c, preset, 2004);
        vm::ImportEntries(*c, sheet, true);
    }
    return 0;
}
