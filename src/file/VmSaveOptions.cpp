#include "file/VmSaveOptions.h"

#include "model/VmBasis.h"

#include <ctime>

namespace vm {

namespace {

// Names this program in the document information.
const char* const kCreator = "Velmora - Auswertung von Rettungssport-Wettkaempfen";

std::string Digits2(int v) {
    std::string s = IntToText(v);
    return s.size() < 2 ? "0" + s : s;
}

std::tm Today() {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return tm;
}

} // namespace

TPdfInfo TPdfInfo::Defaults() {
    TPdfInfo info;
    info.Title = "Velbund Rettungssport";
    info.Subject = "Veranstaltung";
    info.Author = "Veranstalter";
    info.Keywords = "Velbund, Rettungssport, Ergebnis";
    info.Creator = kCreator;
    info.CreationDate = PdfDate();
    info.Producer = kCreator;
    info.Compress = false;
    return info;
}

std::string DateString(int year, int month, int day) {
    return IntToText(year) + Digits2(month) + Digits2(day) + "120000";
}

std::string DateString() {
    std::tm tm = Today();
    return DateString(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

std::string PdfDate(int year, int month, int day) {
    return "D:" + DateString(year, month, day);
}

std::string PdfDate() {
    return "D:" + DateString();
}

} // namespace vm
