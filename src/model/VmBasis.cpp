#include "model/VmBasis.h"

#include "base/BvBase.h"

#include <cstdio>
#include <ctime>
#include <utility>

namespace vm {

namespace {
std::string Cut(std::string s, std::size_t n) {
    if (s.size() > n) s.resize(n);
    return s;
}

TMessageHook& MessageHook() {
    static TMessageHook hook;
    return hook;
}

TProgress& ProgressHook() {
    static TProgress hook;
    return hook;
}
} // namespace

std::string IntToText(long long n) {
    return std::to_string(n);
}

long long TextToInt(std::string_view text) {
    if (text.empty()) return 0;
    std::size_t i = 0;
    bool neg = false;
    if (text[0] == '-' || text[0] == '+') {
        neg = text[0] == '-';
        i = 1;
    }
    if (i >= text.size()) return 0;
    long long v = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return 0;
        v = v * 10 + (c - '0');
        if (v > 2147483647LL) return 0; // out of range does not parse
    }
    return neg ? -v : v;
}

std::string TimeToText(TZeit t, bool withHundredths) {
    // Under ten minutes no step is cut: the text is written at once (lists of thousands
    // of times go through here).
    if (t >= 0 && t < 60000) {
        const int m = t / 6000;
        const int sec = (t - m * 6000) / 100;
        const int r = t % 100;
        char buf[7] = {static_cast<char>('0' + m),       ':',
                       static_cast<char>('0' + sec / 10), static_cast<char>('0' + sec % 10),
                       ',',                              static_cast<char>('0' + r / 10),
                       static_cast<char>('0' + r % 10)};
        return std::string(buf, withHundredths ? 7 : 6);
    }
    // Integer arithmetic on the stored value, each step cut to 7 characters: a time of
    // ten minutes or more loses its last digit.
    long long m = t / 6000;
    long long s = (t - m * 6000) / 100;
    long long r = t - m * 6000 - s * 100;
    long long tenths = r / 10;
    long long hund = r % 10;
    std::string text = Cut(IntToText(m), 7);
    text = Cut(text + ":", 7);
    if (s < 10) text = Cut(text + "0", 7);
    text = Cut(text + IntToText(s), 7);
    text = Cut(text + ",", 7);
    text = Cut(text + IntToText(tenths), 7);
    if (withHundredths) text = Cut(text + IntToText(hund), 7);
    return text;
}

TZeit TextToTime(std::string_view text) {
    if (text.size() > 7) text = text.substr(0, 7);
    if (text.size() < 6) return 0;
    auto c = [&](std::size_t pos) {
        return static_cast<int>(static_cast<unsigned char>(text[pos - 1])) - '0';
    };
    TZeit v = (c(1) * 600 + c(3) * 100 + c(4) * 10 + c(6)) * 10;
    if (text.size() == 7) v += c(7);
    return v;
}

std::string PointsToText(TPunkte p, int d) {
    std::string ip = IntToText(p / 100);
    std::string fr = IntToText(p % 100);
    if (fr.size() < 2) fr = "0" + fr;
    if (d <= 0) return ip;
    if (d == 1) return ip + "," + fr.substr(0, 1);
    return ip + "," + fr;
}

std::string StatusMark(int code) {
    switch (code) {
    case PenaltyCode(TStatus::Disq):
        return "disq.";
    case PenaltyCode(TStatus::NichtAngetretenOW):
    case PenaltyCode(TStatus::NichtAngetreten):
        return "n.a.";
    case PenaltyCode(TStatus::NichtErreicht):
        return "n.er.";
    default:
        return "";
    }
}

std::string PointsOrStatusToText(TPunkte p, int d) {
    if (p < 0) return StatusMark(p / 100);
    return PointsToText(p, d);
}

std::string PenaltyToText(int x) {
    if (x < 0) return StatusMark(x);
    return IntToText(x);
}

std::string ClockToText(int v) {
    int h = v / 100;
    int m = v % 100;
    std::string hs = IntToText(h), ms = IntToText(m);
    if (h >= 0 && h < 10) hs = "0" + hs;
    if (m >= 0 && m < 10) ms = "0" + ms;
    return hs + ":" + ms;
}

int TextToClock(std::string_view text) {
    auto part = [&](std::size_t from) -> long long {
        if (from >= text.size()) return 0;
        return TextToInt(text.substr(from, 2));
    };
    return static_cast<int>(part(0) * 100 + part(3));
}

std::string UpperText(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string UpperCode(std::string_view text) {
    std::string out = UpperText(text);
    for (char& c : out) {
        switch (static_cast<std::uint8_t>(c)) {
        case 0x84:
            c = '\x8E';
            break;
        case 0x94:
            c = '\x99';
            break;
        case 0x81:
            c = '\x9A';
            break;
        default:
            break;
        }
    }
    return out;
}

std::string PadRight(std::string_view text, int n) {
    if (n < 0) n = 0;
    auto un = static_cast<std::size_t>(n);
    if (text.size() >= un) return std::string(text.substr(0, un));
    return std::string(text) + std::string(un - text.size(), ' ');
}

static std::string PadLeftWith(std::string_view text, int n, char fill) {
    if (n < 0) n = 0;
    auto un = static_cast<std::size_t>(n);
    if (text.size() >= un) return std::string(text.substr(text.size() - un));
    return std::string(un - text.size(), fill) + std::string(text);
}

std::string PadLeft(std::string_view text, int n) {
    return PadLeftWith(text, n, ' ');
}
std::string PadLeftZero(std::string_view text, int n) {
    return PadLeftWith(text, n, '0');
}

int CurrentYear() {
    std::time_t now = std::time(nullptr);
    std::tm tmv{};
    localtime_r(&now, &tmv);
    return tmv.tm_year + 1900;
}

std::string CurrentDateText() {
    std::time_t now = std::time(nullptr);
    std::tm tmv{};
    localtime_r(&now, &tmv);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", tmv.tm_mday, tmv.tm_mon + 1,
                  tmv.tm_year + 1900);
    return buf;
}

void SetMessageHook(TMessageHook hook) {
    MessageHook() = std::move(hook);
}

void ShowMessage(const std::string& textOem) {
    if (MessageHook()) MessageHook()(textOem);
}

namespace {
// A caller error of a collection reaches the user through the message routine.
[[maybe_unused]] const bool collectionErrorsShown = (SetCollectionErrorHook(&ShowMessage), true);
} // namespace

void SetProgressHook(TProgress hook) {
    ProgressHook() = std::move(hook);
}

void ProgressStart(const std::string& text, long min, long max, long step) {
    if (ProgressHook().start) ProgressHook().start(text, min, max, step);
}

void ProgressPosition(long position) {
    if (ProgressHook().position) ProgressHook().position(position);
}

void SetBusy(bool busy) {
    if (ProgressHook().busy) ProgressHook().busy(busy);
}

TMessageCapture::TMessageCapture() : previous_(MessageHook()) {
    MessageHook() = [this](const std::string& t) { messages_.push_back(t); };
}

TMessageCapture::~TMessageCapture() {
    MessageHook() = std::move(previous_);
}

} // namespace vm
