#include "model/VmBasis.h"

#include <gtest/gtest.h>

namespace vm {

TEST(Values, TimeTexts) {
    struct Case {
        TZeit t;
        bool hundredths;
        const char* text;
    } cases[] = {
        {0, true, "0:00,00"},     {0, false, "0:00,0"},      {5999, true, "0:59,99"},
        {6000, false, "1:00,0"},  {8307, true, "1:23,07"},   {8300, false, "1:23,0"},
        {60000, true, "10:00,0"}, {359999, true, "59:59,9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TimeToText(c.t, c.hundredths), c.text) << c.t;

    EXPECT_EQ(TextToTime("1:23,4"), 8340);
    EXPECT_EQ(TextToTime("1:23,45"), 8345);
    EXPECT_EQ(TextToTime("0:59"), 0);
    EXPECT_EQ(TextToTime("9:59,99"), 59999);
    EXPECT_EQ(TextToTime(TimeToText(8307, true)), 8307);
}

TEST(Values, PointsPenaltiesAndStatusMarks) {
    EXPECT_EQ(PointsToText(12345, 2), "123,45");
    EXPECT_EQ(PointsToText(1205, 2), "12,05");
    EXPECT_EQ(PointsToText(0, 2), "0,00");
    EXPECT_EQ(PointsToText(5, 2), "0,05");
    EXPECT_EQ(PointsToText(5, 1), "0,0");
    EXPECT_EQ(PointsToText(12345, 0), "123");
    EXPECT_EQ(PointsOrStatusToText(-300, 2), "n.a.");
    EXPECT_EQ(PointsOrStatusToText(-100, 2), "disq.");
    EXPECT_EQ(PointsOrStatusToText(25000, 2), "250,00");
    EXPECT_EQ(PenaltyToText(-4), "n.er.");
    EXPECT_EQ(PenaltyToText(-2), "n.a.");
    EXPECT_EQ(PenaltyToText(15), "15");
    EXPECT_EQ(StatusMark(-5), "");
    EXPECT_EQ(StatusMark(0), "");
}

TEST(Values, ClockAndHelpers) {
    EXPECT_EQ(ClockToText(905), "09:05");
    EXPECT_EQ(ClockToText(1430), "14:30");
    EXPECT_EQ(TextToClock("14:30"), 1430);
    EXPECT_EQ(TextToClock("08:05"), 805);
    EXPECT_EQ(PadLeft("12345", 3), "345");
    EXPECT_EQ(PadLeft("7", 3), "  7");
    EXPECT_EQ(PadRight("ab", 4), "ab  ");
    EXPECT_EQ(PadRight("abcdef", 4), "abcd");
    EXPECT_EQ(PadLeftZero("7", 3), "007");
    EXPECT_EQ(TextToInt("123"), 123);
    EXPECT_EQ(TextToInt("-12"), -12);
    EXPECT_EQ(TextToInt("12a"), 0);
    EXPECT_EQ(TextToInt(""), 0);
    EXPECT_EQ(UpperText("m\x84nner abc"), "M\x84NNER ABC"); // umlauts stay
    // Gliederung codes: ä ö ü too, other letters with accents stay.
    EXPECT_EQ(UpperCode("w\x81 \x84\x94 \x9A\x82"), "W\x9A \x8E\x99 \x9A\x82");
}

TEST(CodePages, GermanLettersSurviveEveryConversion) {
    // ä ö ü Ä Ö Ü ß in code page 850, 1252 and UTF-8.
    const std::string oem = "\x84\x94\x81\x8E\x99\x9A\xE1";
    const std::string ansi = "\xE4\xF6\xFC\xC4\xD6\xDC\xDF";
    EXPECT_EQ(OemToAnsi(oem), ansi);
    EXPECT_EQ(AnsiToOem(ansi), oem);
    EXPECT_EQ(OemToUtf8(oem), "äöüÄÖÜß");
    EXPECT_EQ(Utf8ToOem("äöüÄÖÜß"), oem);
    // Every byte of 850 comes back from UTF-8 unchanged.
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToOem(OemToUtf8(all)), all);
    // Box drawing has no Windows counterpart: a visual stand-in, never a control byte.
    EXPECT_EQ(OemToAnsi("\xC4\xB3\xC5"), "-|+");
    // Broken UTF-8 becomes "?" instead of being dropped or read past the end.
    EXPECT_EQ(Utf8ToOem("a\xC3"), "a?");
    EXPECT_EQ(Utf8ToOem("\xFF"
                        "b"),
              "?b");
}

// Letters the result file lacks are written as the close letter of the page, never as
// "?"; what has no close letter is "?" and reported as replaced.
TEST(CodePages, MissingLettersBecomeTheirCloseLetters) {
    struct Case {
        const char* utf8;
        std::string oem;
        bool replaced;
    };
    const Case cases[] = {
        {"Łukasiewicz", "Lukasiewicz", false},
        {"Šimůnek", "Simunek", false},
        {"Erdős Pál", "Erd\x94s P\xA0l", false}, // ő: ö, á is in the page
        {"Dvořák", "Dvor\xA0k", false},
        {"Ţepeş-Ștefănescu", "Tepes-Stefanescu", false},
        {"Œuvre „Ärger“ – ſ", "OEuvre \"\x8Erger\" - s", false},
        {"Ωmega €", "?mega ?", true},   // neither has a close letter
        {"Müller", "M\x81ller", false}, // the page's own letters stay
    };
    for (const Case& k : cases) {
        bool replaced = !k.replaced;
        EXPECT_EQ(DecodeToOem(k.utf8, TTextEncoding::Utf8, &replaced), k.oem) << k.utf8;
        EXPECT_EQ(replaced, k.replaced) << k.utf8;
        EXPECT_EQ(Utf8ToOem(k.utf8), k.oem) << k.utf8;
    }
    // One character at a time, as the edits ask while the user types.
    std::string out;
    EXPECT_TRUE(CharToOem(0x141, out));  // Ł
    EXPECT_TRUE(CharToOem(0xE4, out));   // ä
    EXPECT_FALSE(CharToOem(0x3A9, out)); // Ω
    EXPECT_FALSE(CharToOem(0x1F600, out));
    EXPECT_EQ(out, "L\x84");
}

TEST(CodePages, SourceTextIsConvertedToCodePage850) {
    EXPECT_STREQ("äöüÄÖÜßé"_oem, "\x84\x94\x81\x8E\x99\x9A\xE1\x82");
    EXPECT_STREQ("Überhang in der Altersklasse "_oem, "\x9A"
                                                      "berhang in der Altersklasse ");
    // Box drawing and signs of the upper half, and text without them, unchanged.
    EXPECT_STREQ("─│┼ ±²"_oem, "\xC4\xB3\xC5 \xF1\xFD");
    EXPECT_STREQ("Zeit 1"_oem, "Zeit 1");
    EXPECT_STREQ(""_oem, "");
    // The same text as the run-time conversion gives.
    EXPECT_EQ(std::string("Rückenlage-Beinschlag, Schülerinnen, schließende"_oem),
              Utf8ToOem("Rückenlage-Beinschlag, Schülerinnen, schließende"));
}

TEST(Values, StatusCodesInBothForms) {
    struct Case {
        TStatus status;
        TAbzug penalty;
        TPunkte hlw;
        const char* mark;
        bool notStarted;
    } cases[] = {
        {TStatus::Disq, -1, -100, "disq.", false},
        {TStatus::NichtAngetretenOW, -2, -200, "n.a.", true},
        {TStatus::NichtAngetreten, -3, -300, "n.a.", true},
        {TStatus::NichtErreicht, -4, -400, "n.er.", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PenaltyCode(c.status), c.penalty);
        EXPECT_EQ(HlwCode(c.status), c.hlw);
        EXPECT_TRUE(IsStatus(c.penalty, c.status));
        EXPECT_TRUE(IsHlwStatus(c.hlw, c.status));
        EXPECT_FALSE(IsHlwStatus(c.penalty, c.status));
        EXPECT_EQ(StatusMark(c.penalty), c.mark);
        EXPECT_EQ(IsNotStarted(c.penalty), c.notStarted) << c.penalty;
        EXPECT_EQ(IsHlwNotStarted(c.hlw), c.notStarted) << c.hlw;
    }
    EXPECT_FALSE(IsNotStarted(0));
    EXPECT_FALSE(IsHlwNotStarted(-3));
}

} // namespace vm
