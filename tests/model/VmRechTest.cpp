#include "model/VmRech.h"
#include "model/VmAk.h"
#include "model/VmWettk.h"
#include "support/Builders.h"

#include <gtest/gtest.h>

#include <cfenv>

namespace vm {
namespace {

TDisziplin Discipline(std::int16_t method, std::int32_t v1, std::int32_t v2 = 0,
                      const char* formula = "") {
    TDisziplin d;
    d.Bezeichnung.Set("50m Hindernisschwimmen");
    d.Berechnungsart = method;
    d.V[0] = v1;
    d.V[1] = v2;
    d.Formel.Set(formula);
    return d;
}

std::unique_ptr<TAltersklasse> AgeClass(int disciplines = 1, std::int16_t props = 0) {
    auto ac = NewAgeClass();
    TAltersklasseData data;
    data.Bezeichnung.Set("AK 13/14w");
    data.JahrgangVon = 1990;
    data.JahrgangBis = 1991;
    data.Eigenschaften = static_cast<std::int16_t>(props | akWeiblich);
    data.Disziplinenanzahl = static_cast<std::int16_t>(disciplines);
    for (int i = 0; i < disciplines; ++i)
        data.Disziplinen[static_cast<std::size_t>(i)] = Discipline(baNeu, 2700);
    SetAgeClassData(*ac, data);
    return ac;
}

// An entry whose total is exactly `total` (HLW points only, no disciplines).
std::unique_ptr<TTeilnehmer> Entry(const char* name, std::int32_t total, std::int16_t flags = 0) {
    auto p = NewParticipant();
    p->SetName(name);
    p->HLWPunkte = total;
    p->SetFlag(flags, true);
    return p;
}

using vmtest::Names;

} // namespace

TEST(Scoring, PointsOfEveryMethod) {
    struct Case {
        TDisziplin d;
        TZeit t;
        int pen;
        TPunkte points;
    } cases[] = {
        {Discipline(baNeu, 2700), 2700, 0, 100000},
        {Discipline(baNeu, 2700), 5400, 0, 40000},
        {Discipline(baNeu, 2700), 5400, 5, 39500},
        {Discipline(baNeu, 2700), 13500, 0, 0},
        {Discipline(baNeu, 2700), 10800, 0, 13333}, // x = 4 on the line: 133,333...
        {Discipline(baNeu, 2700), 0, 0, 0},         // no time: not 2534 points
        {Discipline(baNeu, 2700), 2700, -1, 0},
        {Discipline(baNeu, 0), 2700, 0, 0},
        {Discipline(baLinear, 135000, 100), 3456, 0, 100500},
        {Discipline(baLinear, 135000, 100), 3456, 2, 100300},
        {Discipline(baLinear, 135000, 0), 3456, 0, 100440}, // no step: time uncut
        {Discipline(baLinear, 135000, 5), 3456, 0, 100440}, // a step below 1/10 s: uncut
        {Discipline(baLinear, 135000, 100), 20000, 0, 0},   // would be negative
        {Discipline(baFormel, 140000, 0, "V1 - T*10"), 6000, 0, 80000},
        {Discipline(baFormel, 0, 0, "100000 - 10*T - 100*SP"), 1000, 3, 89700},
        {Discipline(baFormel, 0, 0, "1/0"), 1000, 0, 0},
        {Discipline(baFormel, 0, 0, "T/3"), 1000, 0, 333}, // truncated toward zero
        {Discipline(baFormel, 0, 0, "0-T"), 1000, 0, 0},   // negative becomes 0
    };
    for (const auto& c : cases)
        EXPECT_EQ(CalcPoints(c.t, c.pen, c.d), c.points)
            << c.d.Formel.Get() << " method " << c.d.Berechnungsart << " t " << c.t << " pen "
            << c.pen;
}

// The points are rounded to the nearest hundredth whatever rounding mode the caller
// has set, and the caller's mode is left as it was.
TEST(Scoring, PointsDoNotDependOnTheRoundingMode) {
    const TDisziplin d = Discipline(baNeu, 2700);
    const int saved = std::fegetround();
    for (int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        ASSERT_EQ(std::fesetround(mode), 0);
        EXPECT_EQ(CalcPoints(10800, 0, d), 13333) << "mode " << mode; // 13333.33...
        EXPECT_EQ(CalcPoints(2701, 0, d), 99960) << "mode " << mode;  // 99960.49...
        EXPECT_EQ(std::fegetround(), mode);
    }
    std::fesetround(saved);
}

TEST(Scoring, StatusCodesAndTotals) {
    auto ac = AgeClass(3);
    TTeilnehmer p;
    p.Zeit = {2700, 2700, 2700, 0, 0};
    RecalcParticipant(*ac, p);
    EXPECT_EQ(p.Gesamtpunkte, 300000);
    EXPECT_EQ(p.Altersklasse.Get(), "AK 13/14w");
    EXPECT_TRUE(p.Has(tnWeiblich));

    p.Abzug[1] = -1; // disqualified: that discipline scores 0, the rest counts
    RecalcParticipant(*ac, p);
    EXPECT_EQ(p.Punkte[1], 0);
    EXPECT_EQ(p.Gesamtpunkte, 200000);
    EXPECT_EQ(FieldText(p, "PUNKTE2", true), "0,00");
    p.Punkte[1] = 4711; // stored points of a status code are not shown either
    EXPECT_EQ(FieldText(p, "PUNKTE2", true), "0,00");

    p.Abzug[1] = -3;
    RecalcParticipant(*ac, p);
    EXPECT_EQ(p.Gesamtpunkte, 200000);
    p.Abzug[1] = -2; // "n.a. (ohne Wertung)" voids the whole total
    RecalcParticipant(*ac, p);
    EXPECT_EQ(p.Gesamtpunkte, 0);

    p.Abzug[1] = 0;
    p.HLWPunkte = 25000;
    RecalcParticipant(*ac, p);
    EXPECT_EQ(p.Gesamtpunkte, 325000);
    p.HLWPunkte = -200;
    RecalcParticipant(*ac, p);
    EXPECT_EQ(p.Gesamtpunkte, 0);
    p.HLWPunkte = -300;
    RecalcParticipant(*ac, p);
    EXPECT_EQ(p.Gesamtpunkte, 300000);
}

// A class of many with a typo in a formula: one message per faulty discipline that has
// times to score, naming class and discipline, and the performances score 0.
TEST(Scoring, AFaultyFormulaIsReportedOncePerDiscipline) {
    auto ac = AgeClass(3);
    TAltersklasseData data = ac->Data;
    data.Disziplinen[0] = Discipline(baFormel, 0, 0, "(T");
    data.Disziplinen[0].Bezeichnung.Set("50m Retten");
    data.Disziplinen[1] = Discipline(baFormel, 0, 0, "100000 - T!");
    data.Disziplinen[2] = Discipline(baFormel, 0, 0, "1 +"); // nobody has a time in it
    SetAgeClassData(*ac, data);
    for (int i = 0; i < 40; ++i) {
        auto p = Entry(("N" + std::to_string(i)).c_str(), 0);
        p->Zeit = {3000 + i, 4000 + i, 0, 0, 0};
        ac->InsertParticipant(std::move(p));
    }
    TMessageCapture capture;
    RecalcAgeClass(*ac);
    ASSERT_EQ(capture.Messages().size(), 2u);
    EXPECT_EQ(capture.Messages()[0],
              "Altersklasse AK 13/14w, Disziplin 1 (50m Retten):\r\n"
              "Operator oder schließende Klammer erwartet.\r\nPosition: 3\r\n(T"_oem);
    EXPECT_EQ(capture.Messages()[1], "Altersklasse AK 13/14w, Disziplin 2 (50m "
                                     "Hindernisschwimmen):\r\nFehler in der Formel");
    for (const TTeilnehmer& p : *ac)
        EXPECT_EQ(p.Gesamtpunkte, 0);
    // Scoring one performance on its own says nothing; the recalculation has said it.
    capture.Clear();
    EXPECT_EQ(CalcPoints(3000, 0, ac->Data.Disziplinen[0]), 0);
    EXPECT_TRUE(capture.Messages().empty());
}

TEST(Ranking, SharedPlacesAndEntriesOutsideTheCompetition) {
    auto ac = AgeClass();
    ac->InsertParticipant(Entry("D", 30000));
    ac->InsertParticipant(Entry("B", 40000));
    ac->InsertParticipant(Entry("A", 50000));
    ac->InsertParticipant(Entry("C", 40000));
    std::vector<int> places;
    for (const TTeilnehmer& p : *ac)
        places.push_back(p.Platz);
    EXPECT_EQ(places, (std::vector<int>{1, 2, 2, 4}));
    EXPECT_EQ(Names(*ac), (std::vector<std::string>{"A", "B", "C", "D"}));

    ac->InsertParticipant(Entry("X", 45000, tnAusserKonkurrenz));
    places.clear();
    for (const TTeilnehmer& p : *ac)
        places.push_back(p.Platz);
    EXPECT_EQ(Names(*ac), (std::vector<std::string>{"A", "X", "B", "C", "D"}));
    EXPECT_EQ(places, (std::vector<int>{1, 2, 2, 2, 4}));
    EXPECT_EQ(FieldText(*ac->At(1), "PLATZ", true), "AK");
    EXPECT_EQ(FieldText(*ac->At(2), "PLATZ", true), "2.");
}

TEST(Ranking, NonStartersLastAndAlphabeticalDisplay) {
    auto ac = AgeClass();
    auto absent = Entry("Aaron", 0);
    MarkAbsent(*absent);
    ac->InsertParticipant(std::move(absent));
    ac->InsertParticipant(Entry("Zoe", 0)); // no result yet, but not absent
    ac->InsertParticipant(Entry("Mia", 20000));
    EXPECT_EQ(Names(*ac), (std::vector<std::string>{"Mia", "Zoe", "Aaron"}));
    EXPECT_EQ(ac->At(2)->Gesamtpunkte, 0);
    EXPECT_EQ(FieldText(*ac->At(1), "PLATZ", true), ""); // total 0: no place printed
    EXPECT_EQ(ac->At(1)->Platz, 2);

    ac->Data.Eigenschaften |= akAlphabetisch;
    RankAgeClass(*ac);
    EXPECT_EQ(Names(*ac), (std::vector<std::string>{"Aaron", "Mia", "Zoe"}));
    EXPECT_EQ(ac->At(1)->Platz, 1); // places still follow the points
}

TEST(Ranking, DirectlyQualifiedFirstWhenTheClassSaysSo) {
    auto ac = AgeClass(1, akDirektQualifiziert);
    ac->InsertParticipant(Entry("A", 50000));
    ac->InsertParticipant(Entry("B", 10000, tnDirektQualifiziert));
    EXPECT_EQ(Names(*ac), (std::vector<std::string>{"B", "A"}));
    EXPECT_EQ(ac->At(1)->Platz, 1);
    EXPECT_EQ(ac->At(0)->Platz, 2);
}

// Sorting by an explicit order changes the list only: the properties stay, and the
// class's own order is the one its properties name. Entries equal under every order
// (the two "Tee") keep their relative order through every sort.
TEST(Ranking, ExplicitOrdersLeaveThePropertiesAndKeepEqualEntriesInPlace) {
    const std::int16_t props = akDirektQualifiziert | akAlphabetisch;
    auto ac = AgeClass(1, props);
    ac->InsertParticipant(Entry("B", 40000));
    ac->InsertParticipant(Entry("A", 50000));
    ac->InsertParticipant(Entry("C", 40000, tnDirektQualifiziert));
    auto absent = Entry("Abs", 0);
    MarkAbsent(*absent);
    ac->InsertParticipant(std::move(absent));
    ac->InsertParticipant(Entry("Zed", 0));
    for (const char* first : {"eins", "zwei"}) {
        auto twin = Entry("Tee", 30000);
        twin->SetVorname(first);
        ac->InsertParticipant(std::move(twin));
    }
    auto twins = [&] {
        std::string order;
        for (const TTeilnehmer& p : *ac)
            if (p.Name() == "Tee") order += std::string(p.Vorname()) + " ";
        return order;
    };
    const std::string twinOrder = twins();

    const struct {
        TParticipantOrder order;
        std::vector<std::string> names;
    } cases[] = {
        {TParticipantOrder::Ranking(), {"A", "B", "C", "Tee", "Tee", "Zed", "Abs"}},
        {TParticipantOrder::DirectQualifiedFirst(), {"C", "A", "B", "Tee", "Tee", "Zed", "Abs"}},
        {TParticipantOrder::Alphabetical(), {"A", "Abs", "B", "C", "Tee", "Tee", "Zed"}},
        // Both properties at once: the alphabetical order wins.
        {DisplayOrder(ac->Data), {"A", "Abs", "B", "C", "Tee", "Tee", "Zed"}},
    };
    for (const auto& k : cases) {
        ac->SortBy(k.order);
        EXPECT_EQ(Names(*ac), k.names);
        EXPECT_EQ(ac->Data.Eigenschaften, props | akWeiblich);
        EXPECT_EQ(twins(), twinOrder);
    }
    ac->SortBy(TParticipantOrder::Ranking());
    ac->Sort();
    EXPECT_EQ(Names(*ac), cases[3].names);
    // Places follow the ranking whatever order the list shows.
    EXPECT_EQ(ac->At(0)->Platz, 1);
    EXPECT_EQ(ac->At(2)->Platz, 2);
    EXPECT_EQ(ac->At(3)->Platz, 2);
}

TEST(Ranking, BestsIgnoreEntriesOutsideTheCompetition) {
    auto ac = AgeClass(1);
    auto p = NewParticipant();
    p->SetName("Gast");
    p->Zeit[0] = 2700;
    p->SetFlag(tnAusserKonkurrenz, true);
    ac->InsertParticipant(std::move(p));
    EXPECT_EQ(ac->Data.Rekorde[0].BestZeit, 0);
    EXPECT_EQ(ac->Data.BestGesamtpunkte, 0);

    for (const char* name : {"A", "B"}) {
        auto q = NewParticipant();
        q->SetName(name);
        q->Zeit[0] = 3000;
        q->HLWPunkte = name[0] == 'A' ? 100 : 0; // A ranks first, B second
        ac->InsertParticipant(std::move(q));
    }
    // Equal points: the entry later in display order becomes the best.
    EXPECT_EQ(ac->Data.Rekorde[0].BestZeit, 3000);
    ASSERT_EQ(std::string(ac->At(1)->Name()), "A");
    EXPECT_EQ(ac->Data.BestGesamtpunkte, ac->At(1)->Gesamtpunkte);
}

TEST(Model, FieldTexts) {
    TTeilnehmer p;
    p.SetName("Schmidt");
    p.SetVorname("Anna");
    p.Gliederung.Set("BY");
    p.Platz = 1;
    EXPECT_EQ(FieldText(p, "PLATZ", true), ""); // total 0
    p.Gesamtpunkte = 12345;
    EXPECT_EQ(FieldText(p, "PLATZ", true), "1.");
    EXPECT_EQ(FieldText(p, "GESAMTPKT", true), "123,45");
    EXPECT_EQ(FieldText(p, "GLIEDERUNG", true), "BY");
    for (auto [date, year] : std::initializer_list<std::pair<const char*, const char*>>{
             {"12.03.1989", "89"}, {"1989", "89"}, {"12.03.19x9", ""}, {"9", ""}, {"", ""}}) {
        p.SetGeburtsdatum(date);
        EXPECT_EQ(FieldText(p, "JAHRGANG", true), year) << date;
    }
    p.Zeit[2] = 8307;
    p.Abzug[2] = -4;
    p.Lauf[2] = 3;
    p.Bahn[2] = 5;
    EXPECT_EQ(FieldText(p, "ZEIT3", true), "1:23,07");
    EXPECT_EQ(FieldText(p, "ZEIT3", false), "1:23,0");
    EXPECT_EQ(FieldText(p, "STRAFPKT3", true), "n.er.");
    EXPECT_EQ(FieldText(p, "LAUF3", true), "3");
    EXPECT_EQ(FieldText(p, "BAHN3", true), "5");
    EXPECT_EQ(FieldText(p, "ZEIT6", true), "");
    EXPECT_EQ(FieldText(p, "UNBEKANNT", true), "");
    EXPECT_EQ(FieldCaption("STRAFPKT3"), "Abz3");
    EXPECT_EQ(FieldCaption("PLATZ"), "Pl.");
    EXPECT_EQ(ParticipantDisplayName(p, true), "Anna Schmidt");
    EXPECT_EQ(BirthYear(p), 0);

    auto ac = AgeClass();
    ac->InsertParticipant(CopyParticipant(p));
    EXPECT_EQ(FieldCell(*ac, 0, "NAME", true), "Name");
    EXPECT_EQ(FieldCell(*ac, 1, "NAME", true), "Schmidt");
    EXPECT_EQ(FieldCell(*ac, 2, "NAME", true), "");
}

TEST(Model, MatchParticipantOptions) {
    TTeilnehmer p;
    p.SetName("Schmidt");
    p.SetVorname("Anna");
    p.Gliederung.Set("BY");
    EXPECT_TRUE(MatchParticipant(p, "schm", mpIndividualFields));
    EXPECT_FALSE(MatchParticipant(p, "schm", mpIndividualFields | mpCaseSensitive));
    EXPECT_FALSE(MatchParticipant(p, "schm", mpIndividualFields | mpWholeField));
    EXPECT_TRUE(MatchParticipant(p, "anna", mpIndividualFields | mpWholeField));
    EXPECT_TRUE(MatchParticipant(p, "by", 0)); // the Gliederung is always searched
    TTeilnehmer team;
    team.SetMannschaft("SG Kiel 1");
    team.SetZusatz("Jugend");
    EXPECT_TRUE(MatchParticipant(team, "jugend", 0));
    EXPECT_FALSE(MatchParticipant(team, "jugend", mpIndividualFields));
}

TEST(Model, NewCompetitionAndAgeClassOrder) {
    auto c = NewCompetition();
    EXPECT_EQ(c->Header.Veranstalter.Get(), "-");
    EXPECT_EQ(c->Header.Art, wkEinzel);
    EXPECT_EQ(LaneCount(*c), 5);
    EXPECT_EQ(StationCount(*c), 5);
    EXPECT_FALSE(WithHundredths(*c));

    auto make = [](const char* name, int from, int to, bool female) {
        return vmtest::AgeClass(name, from, to, female ? akWeiblich : 0);
    };
    c->InsertAgeClass(make("Offen m", 1960, 1980, false));
    c->InsertAgeClass(make("Jung m", 1990, 1991, false));
    c->InsertAgeClass(make("Jung w", 1990, 1991, true));
    TMessageCapture cap;
    EXPECT_FALSE(c->InsertAgeClass(make("Jung w", 1990, 1991, true)));
    ASSERT_EQ(cap.Messages().size(), 1u);
    EXPECT_EQ(cap.Messages()[0],
              "Die Altersklasse Jung w konnte nicht eingefügt werden (sie existiert bereits)."_oem);
    ASSERT_EQ(c->Count(), 3);
    EXPECT_EQ(c->At(0)->Name(), "Jung w");
    EXPECT_EQ(c->At(1)->Name(), "Jung m");
    EXPECT_EQ(c->At(2)->Name(), "Offen m");

    ShiftYears(*c, 14);
    EXPECT_EQ(c->At(0)->Data.JahrgangVon, 2004);
    EXPECT_EQ(AgeClassTitle(*c->At(0), true), "Altersklasse Jung w (2004 - 2005)");

    auto copy = CopyCompetition(*c);
    EXPECT_EQ(copy->Count(), 3);
    EXPECT_NE(copy->At(0), c->At(0));
}

TEST(Model, AddParticipantFindsTheAgeClassOrSaysWhy) {
    auto c = NewCompetition();
    c->InsertAgeClass(vmtest::AgeClass("AK 13/14w", 1990, 1991, akWeiblich));

    TMessageCapture cap;
    for (const char* date : {"01.02.1991", "01.02.91"}) {
        auto p = NewParticipant();
        p->SetName("Meyer");
        p->SetVorname("Lena");
        p->SetFlag(tnWeiblich, true);
        p->SetGeburtsdatum(date);
        EXPECT_TRUE(AddParticipant(*c, std::move(p))) << date;
    }
    EXPECT_EQ(c->At(0)->Count(), 2);
    EXPECT_TRUE(cap.Messages().empty());

    auto old = NewParticipant();
    old->SetName("Ein sehr langer Nachname"); // kept as its first 20 characters
    old->SetVorname("Max");
    old->SetGeburtsdatum("03.04.1950");
    EXPECT_FALSE(AddParticipant(*c, std::move(old)));
    ASSERT_EQ(cap.Messages().size(), 1u);
    EXPECT_EQ(cap.Messages()[0],
              "Ein sehr langer Nach, Max (Altersklasse ?) konnte nicht eingefügt werden."_oem);

    // A full age class cannot take the entry: the caller must not count it as filed.
    TAltersklasse& full = *c->At(0);
    while (full.Count() < MaxCollectionSize)
        full.Append(CopyParticipant(*full.At(0)));
    cap.Clear();
    auto late = NewParticipant();
    late->SetName("Spät"_oem);
    late->SetFlag(tnWeiblich, true);
    late->SetGeburtsdatum("1990");
    EXPECT_FALSE(AddParticipant(*c, std::move(late)));
    EXPECT_EQ(full.Count(), MaxCollectionSize);
    EXPECT_FALSE(cap.Messages().empty()); // the list reports that it is full
}

TEST(Model, AbsenceAndNoStart) {
    TTeilnehmer p;
    EXPECT_TRUE(IsPresent(p));
    EXPECT_TRUE(HasNoTimes(p));
    EXPECT_FALSE(HasNoStart(p));
    MarkAbsent(p);
    EXPECT_FALSE(IsPresent(p));
    EXPECT_TRUE(HasNoStart(p));
    EXPECT_EQ(p.HLWPunkte, -300);
}

} // namespace vm
