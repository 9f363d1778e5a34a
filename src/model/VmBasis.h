// Values of a competition (times, penalties, points, status marks), their texts,
// small text helpers, code-page conversion and the two program-wide hooks through
// which the model talks to whatever front end runs it.
#pragma once

#include "model/VmOemText.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

// Stored units: a time is hundredths of a second, a penalty whole points (negative
// values are status codes), points are hundredths of a point, a start time hh*100+mm.
using TZeit = std::int32_t;
using TAbzug = std::int16_t;
using TPunkte = std::int32_t;

// Status codes: a discipline's penalty field holds them as they are, the HLW points
// field the same codes times 100 (-100 disq. ... -400 n.er.).
enum class TStatus : std::int16_t {
    Disq = -1,              // "disq."
    NichtAngetretenOW = -2, // "n.a." without rating: the whole total becomes 0
    NichtAngetreten = -3,   // "n.a.": absent or struck
    NichtErreicht = -4,     // "n.er."
};
constexpr TAbzug PenaltyCode(TStatus s) {
    return static_cast<TAbzug>(s);
}
constexpr TPunkte HlwCode(TStatus s) {
    return static_cast<TPunkte>(s) * 100;
}
constexpr bool IsStatus(TAbzug penalty, TStatus s) {
    return penalty == PenaltyCode(s);
}
constexpr bool IsHlwStatus(TPunkte hlw, TStatus s) {
    return hlw == HlwCode(s);
}
// "n.a." in either form: the participant did not start in the discipline.
constexpr bool IsNotStarted(TAbzug penalty) {
    return IsStatus(penalty, TStatus::NichtAngetretenOW) ||
           IsStatus(penalty, TStatus::NichtAngetreten);
}
constexpr bool IsHlwNotStarted(TPunkte hlw) {
    return IsHlwStatus(hlw, TStatus::NichtAngetretenOW) ||
           IsHlwStatus(hlw, TStatus::NichtAngetreten);
}

std::string TimeToText(TZeit time, bool withHundredths);
TZeit TextToTime(std::string_view text);
std::string PointsToText(TPunkte points, int decimals);
std::string PointsOrStatusToText(TPunkte points, int decimals);
std::string PenaltyToText(int penalty);
std::string StatusMark(int code);
std::string ClockToText(int hhmm);
int TextToClock(std::string_view text);

std::string IntToText(long long n);
// Decimal with an optional sign; anything that does not parse completely gives 0.
long long TextToInt(std::string_view text);
// a..z to A..Z; every other byte (umlauts included) stays.
std::string UpperText(std::string_view text);
// A Gliederung code in upper case: a..z and the umlauts ä ö ü (code page 850), so that
// "w\x81" and "W\x9A" are one code.
std::string UpperCode(std::string_view text);
std::string PadRight(std::string_view text, int n);
std::string PadLeft(std::string_view text, int n);
std::string PadLeftZero(std::string_view text, int n);
inline long long Max(long long a, long long b) {
    return a > b ? a : b;
}

// Code page 850 (stored text) against Windows 1252 and UTF-8.
std::string OemToAnsi(std::string_view text);
std::string AnsiToOem(std::string_view text);
std::string OemToUtf8(std::string_view text);
std::string Utf8ToOem(std::string_view text);

// Appends the code page 850 form of one Unicode character: the character itself, or the
// close letters that stand in for one the page lacks (Ł: L, Š: S, ő: ö, Œ: OE, and
// typographic quotes and dashes as plain ones). False, appending nothing, when there
// is none: such a character cannot be stored.
bool CharToOem(std::uint32_t cp, std::string& out);

// The encodings of text files from elsewhere.
enum class TTextEncoding { Dos, Windows, Utf8 };
// The text in code page 850, characters the page lacks written as CharToOem does.
// Invalid bytes and characters without a stand-in become '?'; *replaced (when given)
// tells whether any did.
std::string DecodeToOem(std::string_view text, TTextEncoding encoding, bool* replaced);
// Complete, shortest-form UTF-8 sequences only (plain ASCII included).
bool IsUtf8(std::string_view text);
// UTF-8 when the text has bytes above 0x7F and is valid UTF-8; otherwise Windows 1252
// when more of its high bytes are 1252's German letters (ä ö ü Ä Ö Ü ß é) than code
// page 850's; otherwise code page 850.
TTextEncoding DetectTextEncoding(std::string_view text);

int CurrentYear();
// "TT.MM.JJJJ" of today.
std::string CurrentDateText();

// ---- program-wide hooks -------------------------------------------------------

// The message routine: one text in code page 850, shown as an information box by
// the desktop program and as a line on standard error by velmora-cli.
using TMessageHook = std::function<void(const std::string& textOem)>;
void SetMessageHook(TMessageHook hook);
void ShowMessage(const std::string& textOem);

// Progress of long operations (text, range, step, position) and the busy state of
// the document. Nothing needs to be installed; the default does nothing.
struct TProgress {
    std::function<void(const std::string& text, long min, long max, long step)> start;
    std::function<void(long position)> position;
    std::function<void(bool busy)> busy;
};
void SetProgressHook(TProgress hook);
void ProgressStart(const std::string& text, long min = 0, long max = 0, long step = 0);
void ProgressPosition(long position);
void SetBusy(bool busy);

// Collects the messages shown while it lives (tests, batch runs); restores the
// previous hook when it goes.
class TMessageCapture {
public:
    TMessageCapture();
    ~TMessageCapture();
    TMessageCapture(const TMessageCapture&) = delete;
    TMessageCapture& operator=(const TMessageCapture&) = delete;
    const std::vector<std::string>& Messages() const { return messages_; }
    void Clear() { messages_.clear(); }

private:
    std::vector<std::string> messages_;
    TMessageHook previous_;
};

} // namespace vm
