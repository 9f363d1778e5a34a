// The dialogs that set up a competition, driven as the user drives them: keys,
// mnemonics and clicks; boxes and nested dialogs are answered through the seam.
#include "file/VmErg.h"
#include "file/VmWFile.h"
#include "model/VmRek.h"
#include "support/TestSupport.h"
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"
#include "ui/BvValEdit.h"
#include "ui/VmAkDlg.h"
#include "ui/VmHinzuDlg.h"
#include "ui/VmRekDlg.h"
#include "ui/VmTimeEdit.h"
#include "ui/VmWkDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

using namespace vm;
using namespace vm::ui;
using vmtest::TSeamScript;

// A widget the dialog must have, by object name or text.
template <class W> W& Get(QWidget& root, const QString& nameOrText) {
    W* w = vmtest::Find<W>(&root, nameOrText);
    if (!w)
        qFatal("no widget '%s' in '%s'", qPrintable(nameOrText), qPrintable(root.windowTitle()));
    return *w;
}

// Clicks near the left edge, where a check box or radio button has its mark and text
// (a button that is wider than its text does not react to a click beside it).
void Click(QAbstractButton& b) {
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(std::min(8, b.width() / 2), b.height() / 2));
}

void Click(QWidget& root, const QString& text) {
    Click(Get<QAbstractButton>(root, text));
}

// Types the text key by key; umlauts too, which keyClicks cannot.
void Keys(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(w, ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key(ch.toUpper().unicode()), QString(ch),
                                Qt::NoModifier);
    }
}

// Replaces the text of an edit as the user does: select everything, type.
void Type(QWidget& w, const QString& text) {
    w.setFocus(Qt::OtherFocusReason);
    QTest::keyClick(&w, Qt::Key_A, Qt::ControlModifier);
    Keys(&w, text);
}

// Alt + the mnemonic. Mnemonics work in the active window, which a closed nested
// dialog hands back to its parent on a desktop but not offscreen. On a button Qt
// animates the click: pressed at once, clicked when the animation ends, which is
// waited for.
void Alt(QWidget& dialog, Qt::Key key) {
    if (QApplication::activeWindow() != dialog.window()) {
        dialog.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), dialog.window());
    }
    QTest::keyClick(&dialog, key, Qt::AltModifier);
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        if (b->isDown()) QTRY_VERIFY(!b->isDown());
}

void DoubleClickRow(QListWidget& list, int row) {
    const QPoint at = list.visualItemRect(list.item(row)).center();
    // The first click of a double click, then the second one.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

std::string Bytes(const TWettkampf& c) {
    TMemoryStream s;
    WriteNative(s, c);
    return s.Data();
}

std::string HeaderBytes(const TWettkampfHeader& h) {
    std::string b(TWettkampfHeader::Size, '\0');
    h.Write(reinterpret_cast<std::uint8_t*>(b.data()));
    return b;
}

TDisziplin Disc(const char* name, std::int32_t base) {
    TDisziplin d;
    d.Bezeichnung.Set(name);
    d.Berechnungsart = baNeu;
    d.V[0] = base;
    return d;
}

std::unique_ptr<TAltersklasse> Klasse(const char* name, int from, int to, bool female) {
    TAltersklasseData d;
    d.Bezeichnung.Set(name);
    d.JahrgangVon = static_cast<std::int16_t>(from);
    d.JahrgangBis = static_cast<std::int16_t>(to);
    d.Eigenschaften = female ? akWeiblich : 0;
    d.Disziplinenanzahl = 2;
    d.Disziplinen[0] = Disc("50m Hindernisschwimmen", 2700);
    d.Disziplinen[1] = Disc("50m Flossenschwimmen", 2100);
    auto ac = NewAgeClass();
    SetAgeClassData(*ac, d);
    return ac;
}

void AddResult(TAltersklasse& ac, const char* name, TZeit t1, TZeit t2) {
    auto p = NewParticipant();
    p->SetName(name);
    p->Altersklasse.Set(ac.Name());
    p->SetFlag(tnWeiblich, IsFemale(ac));
    p->Zeit[0] = t1;
    p->Zeit[1] = t2;
    ac.InsertParticipant(std::move(p));
}

// Three age classes in list order: "AK 13/14w" (two results), "AK 13/14m" (one),
// and an empty open class whose name leaves no room for " - neu".
std::unique_ptr<TWettkampf> Championship() {
    auto c = NewCompetition();
    c->Header.Optionen = 1;
    auto w = Klasse("AK 13/14w", 1990, 1991, true);
    AddResult(*w, "Adler", 2900, 2300);
    AddResult(*w, "Brandt", 2800, 2400);
    w->Data.Rekorde[0].VorjahrZeit = 2650;
    w->Data.RekordGesamtpunkte = 123456;
    auto m = Klasse("AK 13/14m", 1990, 1991, false);
    AddResult(*m, "Claus", 2700, 2200);
    c->InsertAgeClass(std::move(w));
    c->InsertAgeClass(std::move(m));
    c->InsertAgeClass(Klasse("Offene Altersklasse Damen A", 1970, 1989, true));
    return c;
}

std::unique_ptr<TVmFile> Document(std::unique_ptr<TWettkampf> c) {
    auto doc = std::make_unique<TVmFile>();
    doc->SetCompetition(std::move(c));
    doc->SetModified(false);
    return doc;
}

QStringList Items(const QListWidget& list) {
    QStringList out;
    for (int i = 0; i < list.count(); ++i)
        out << list.item(i)->text();
    return out;
}

// What the main window does with a list dialog's confirmed copy: the document takes it.
template <class Open> bool Confirm(TVmFile& doc, Open open) {
    std::unique_ptr<TWettkampf> copy = open(doc.Competition());
    if (!copy) return false;
    doc.SetCompetition(std::move(copy));
    return true;
}

} // namespace

class TDataDialogsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void competitionDataUnchangedKeepsHeader_data();
    void competitionDataUnchangedKeepsHeader();
    void competitionDataStoresChanges();
    void newChampionshipPresetCode_data();
    void newChampionshipPresetCode();
    void newChampionshipYearAndSeniors();
    void ageClassListNewAndChange();
    void ageClassListDeleteAndCancel();
    void ageClassListShiftsYears();
    void ageClassDataPropertiesAndDisciplines();
    void disciplineCaption_data();
    void disciplineCaption();
    void recordsClearAndTakeOver();
    void recordDataStoresPreviousYears();
    void mergeOptions();
    void screenshots();
};

void TDataDialogsTest::competitionDataUnchangedKeepsHeader_data() {
    QTest::addColumn<bool>("hundredths");
    QTest::newRow("with hundredths") << true;
    QTest::newRow("without hundredths") << false;
}

void TDataDialogsTest::competitionDataUnchangedKeepsHeader() {
    QFETCH(bool, hundredths);
    auto c = NewCompetition();
    TWettkampfHeader& h = c->Header;
    h.Veranstaltung.Set("Landesmeisterschaft im Rettungsschwimmen");
    h.Veranstalter.Set("Velbund Landesverband S\x81"
                       "d");
    h.Ausrichter.Set("Ortsgruppe M\x81hlheim");
    h.Datum.Set("12. - 13.05.2024");
    h.Veranstaltungsstaette.Set("Hallenbad am Stadtpark");
    h.Art = wkMannschaft;
    h.Startplaetze = 5;
    h.Beckenlaenge = 1;
    h.HLWStationen = 0;
    h.Optionen = hundredths ? 1 : 0;
    const std::string before = HeaderBytes(h);

    TSeamScript script;
    script.OnDialog([&](QDialog& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Wettkampfdaten"));
        QCOMPARE(d.toolTip(), QStringLiteral("Allgemeine Wettkampfeinstellungen festlegen"));
        QCOMPARE(Get<QCheckBox>(d, "HundertstelCB").isChecked(), !hundredths);
        QCOMPARE(Get<QLineEdit>(d, "Edit2").text(), QStringLiteral("Velbund Landesverband Süd"));
        Click(d, "OK");
    });
    QVERIFY(TWettkampfDatenDlg::Open(nullptr, *c, c->Header));
    QCOMPARE(HeaderBytes(h), before);
    QCOMPARE(script.unexpected, 0);
}

void TDataDialogsTest::competitionDataStoresChanges() {
    auto c = NewCompetition();
    c->Header.Optionen = 1;
    const QString longTitle =
        QStringLiteral("Bezirksmeisterschaft Süd ") + QString(60, QLatin1Char('A'));
    TSeamScript script;
    script.OnDialog([&](QDialog& d) {
        Alt(d, Qt::Key_M); // Mannschaftswettbewerbe
        Alt(d, Qt::Key_7); // 7 lanes
        Alt(d, Qt::Key_0); // 50 m
        Click(*Get<TRadioGroup>(d, "RadioGroup4").Button(7));
        Click(d, "Zeiten ohne Hundertstel eingeben");
        Alt(d, Qt::Key_V);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        Keys(QApplication::focusWidget(), longTitle);
        Alt(d, Qt::Key_S);
        QCOMPARE(QApplication::focusWidget(), &Get<QLineEdit>(d, "Edit2"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        Keys(QApplication::focusWidget(), QStringLiteral("Velbund Bezirk Süd"));
        Click(d, "OK");
    });
    QVERIFY(TWettkampfDatenDlg::Open(nullptr, *c, c->Header));
    const TWettkampfHeader& h = c->Header;
    QCOMPARE(h.Art, std::int16_t(wkMannschaft));
    QCOMPARE(LaneCount(*c), 7);
    QCOMPARE(h.Beckenlaenge, std::int16_t(1));
    QCOMPARE(StationCount(*c), 10);
    QVERIFY(!WithHundredths(*c));
    QCOMPARE(h.Veranstaltung.Get(), ToOem(longTitle.left(80)));
    QCOMPARE(h.Veranstalter.Get(), std::string("Velbund Bezirk S\x81"
                                               "d"));

    // Abbrechen after changes leaves everything as it was.
    const std::string before = HeaderBytes(h);
    script.OnDialog([&](QDialog& d) {
        Alt(d, Qt::Key_E);
        Click(d, "Zeiten ohne Hundertstel eingeben");
        Type(Get<QLineEdit>(d, "Edit5"), "anderswo");
        Click(d, "Abbrechen");
    });
    QVERIFY(!TWettkampfDatenDlg::Open(nullptr, *c, c->Header));
    QCOMPARE(HeaderBytes(h), before);
    QCOMPARE(script.unexpected, 0);
}

void TDataDialogsTest::newChampionshipPresetCode_data() {
    QTest::addColumn<QString>("art");
    QTest::addColumn<QString>("range");
    QTest::addColumn<bool>("split");
    QTest::addColumn<int>("code");
    QTest::newRow("individual youth split") << "Einzelmeisterschaft"
                                            << "nur Jugend" << true << 8;
    QTest::newRow("team youth") << "Mannschaftsmeisterschaft"
                                << "nur Jugend" << false << 1;
    QTest::newRow("team seniors") << "Mannschaftsmeisterschaft"
                                  << "nur Senioren" << false << 3;
    QTest::newRow("individual both") << "Einzelmeisterschaft"
                                     << "Jugend und Senioren" << false << 4;
    QTest::newRow("team both split") << "Mannschaftsmeisterschaft"
                                     << "Jugend und Senioren" << true << 13;
}

void TDataDialogsTest::newChampionshipPresetCode() {
    QFETCH(QString, art);
    QFETCH(QString, range);
    QFETCH(bool, split);
    QFETCH(int, code);
    TSeamScript script;
    script.OnDialog([&](QDialog& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Neue Meisterschaft anlegen"));
        Click(d, art);
        Click(d, range);
        auto& box = Get<QCheckBox>(d, "(saarländische) Unterteilung der Altersklasse 12");
        if (box.isEnabled() && box.isChecked() != split) Click(box);
        Click(d, "OK");
    });
    int year = 2004;
    int preset = -1;
    QVERIFY(TFileNewDlg::Open(nullptr, year, preset));
    QCOMPARE(preset, code);
    QCOMPARE(year, 2004);
}

void TDataDialogsTest::newChampionshipYearAndSeniors() {
    TSeamScript script;
    const int last = CurrentYear() + 5;
    script.AnswerBox(QMessageBox::Ok);
    script.OnDialog([&](QDialog& d) {
        auto& box = Get<QCheckBox>(d, "(saarländische) Unterteilung der Altersklasse 12");
        QVERIFY(box.isChecked());
        Click(d, "nur Senioren");
        QVERIFY(!box.isEnabled());
        QVERIFY(!box.isChecked());
        Click(d, "Jugend und Senioren");
        QVERIFY(box.isEnabled());
        QVERIFY(!box.isChecked());

        auto& year = Get<TSpinEdit>(d, "YearEdit");
        QCOMPARE(year.value(), CurrentYear());
        Type(year, "1994");
        Click(d, "OK");
        QVERIFY(d.isVisible());
        QCOMPARE(
            script.LastBoxText(),
            QStringLiteral("Der eingegebene Wert liegt nicht zwischen 1995 und %1.").arg(last));
        QCOMPARE(QApplication::focusWidget(), &year);
        Type(year, QString::number(last));
        QTest::keyClick(&year, Qt::Key_Return);
    });
    int year = CurrentYear();
    int preset = -1;
    QVERIFY(TFileNewDlg::Open(nullptr, year, preset));
    QCOMPARE(year, last);
    QCOMPARE(preset, 4);
    QCOMPARE(script.unexpected, 0);
}

void TDataDialogsTest::ageClassListNewAndChange() {
    auto doc = Document(Championship());
    TSeamScript script;
    script.OnDialog([&](QDialog& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Altersklassen eingeben"));
        QCOMPARE(d.toolTip(), QStringLiteral("Altersklassen des Wettkampfs festlegen"));
        auto& list = Get<QListWidget>(d, "AkList");
        QCOMPARE(list.currentRow(), 2);

        // "&Neu": the selected class's data with " - neu", the name held to 30.
        script.OnDialog([&](QDialog& n) {
            QCOMPARE(n.windowTitle(), QStringLiteral("Altersklassendaten eingeben"));
            QCOMPARE(Get<QComboBox>(n, "ComboBox1").currentText(),
                     QStringLiteral("Offene Altersklasse Damen A - "));
            Type(Get<TSpinEdit>(n, "SpinEdit1"), "1960");
            Type(Get<TSpinEdit>(n, "SpinEdit2"), "1969");
            Click(n, "OK");
        });
        Alt(d, Qt::Key_N);
        QCOMPARE(list.count(), 4);
        QCOMPARE(list.currentRow(), 3);
        QCOMPARE(list.currentItem()->text(), QStringLiteral("Offene Altersklasse Damen A - "));

        // "Än&dern": stored, re-sorted and selected again.
        list.setCurrentRow(0);
        script.OnDialog([&](QDialog& n) {
            QCOMPARE(n.windowTitle(), QStringLiteral("Altersklassendaten ändern"));
            Type(Get<TSpinEdit>(n, "SpinEdit1"), "1985");
            Type(Get<TSpinEdit>(n, "SpinEdit2"), "1986");
            Click(n, "OK");
        });
        Alt(d, Qt::Key_D);
        QCOMPARE(Items(list), QStringList({"AK 13/14m", "AK 13/14w", "Offene Altersklasse Damen A",
                                           "Offene Altersklasse Damen A - "}));
        QCOMPARE(list.currentRow(), 1);

        // A change that would make two equal classes is refused.
        script.AnswerBox(QMessageBox::Ok);
        script.OnDialog([&](QDialog& n) {
            Type(Get<TSpinEdit>(n, "SpinEdit1"), "1990");
            Type(Get<TSpinEdit>(n, "SpinEdit2"), "1991");
            Get<QComboBox>(n, "ComboBox1").setEditText("AK 13/14m");
            Click(n, "&weibliche Altersklasse");
            Click(n, "OK");
        });
        DoubleClickRow(list, 1);
        QCOMPARE(script.boxes.back().kind, TBoxKind::Error);
        QCOMPARE(Items(list).size(), 4);
        QCOMPARE(list.item(1)->text(), QStringLiteral("AK 13/14w"));
        Click(d, "OK");
    });
    int current = 2;
    QVERIFY(Confirm(*doc, [&](const TWettkampf& w) { return TAltersklassenDlg::Open(nullptr, w, current); }));
    QCOMPARE(current, 1);
    QVERIFY(doc->Modified());
    const TWettkampf& c = doc->Competition();
    QCOMPARE(c.Count(), 4);
    const TAltersklasse& changed = *c.At(1);
    QCOMPARE(changed.Name(), std::string("AK 13/14w"));
    QCOMPARE(changed.Data.JahrgangVon, std::int16_t(1985));
    QCOMPARE(changed.Data.JahrgangBis, std::int16_t(1986));
    QCOMPARE(changed.Count(), 2);
    QCOMPARE(changed.At(0)->Platz, std::int16_t(1));
    const TAltersklasse& added = *c.At(3);
    QCOMPARE(added.Data.JahrgangVon, std::int16_t(1960));
    QCOMPARE(added.Count(), 0);
    QCOMPARE(added.Data.Disziplinenanzahl, std::int16_t(2));
    QCOMPARE(script.unexpected, 0);
}

void TDataDialogsTest::ageClassListDeleteAndCancel() {
    auto doc = Document(Championship());
    const std::string before = Bytes(doc->Competition());
    const QString refused = QStringLiteral(
        "Ein Wettkampf muß mindestens aus einer Altersklasse bestehen. Sie können die letzte "
        "Altersklasse nicht löschen.");
    TSeamScript script;
    script.OnDialog([&](QDialog& d) {
        auto& list = Get<QListWidget>(d, "AkList");
        list.setCurrentRow(1);
        script.AnswerBox(QMessageBox::No);
        Alt(d, Qt::Key_L);
        QCOMPARE(script.boxes.back().kind, TBoxKind::Warning);
        QCOMPARE(script.boxes.back().buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(script.LastBoxText(),
                 QStringLiteral("Die Altersklasse 'AK 13/14m' ist nicht leer. Altersklasse mit "
                                "allen enthaltenen Teilnehmern löschen?"));
        QCOMPARE(list.count(), 3);

        script.AnswerBox(QMessageBox::Yes);
        Alt(d, Qt::Key_L);
        QCOMPARE(Items(list), QStringList({"AK 13/14w", "Offene Altersklasse Damen A"}));
        QCOMPARE(list.currentRow(), 1); // the same index

        script.AnswerBox(QMessageBox::Yes);
        Alt(d, Qt::Key_L);
        QCOMPARE(
            script.LastBoxText(),
            QStringLiteral("Möchten Sie die Altersklasse 'Offene Altersklasse Damen A' löschen?"));
        QCOMPARE(Items(list), QStringList({"AK 13/14w"}));
        QCOMPARE(list.currentRow(), 0); // the last one

        Alt(d, Qt::Key_L);
        QCOMPARE(script.boxes.back().kind, TBoxKind::Error);
        QCOMPARE(script.LastBoxText(), refused);
        QCOMPARE(list.count(), 1);
        Click(d, "Abbrechen");
    });
    int current = 0;
    QVERIFY(!Confirm(*doc, [&](const TWettkampf& w) { return TAltersklassenDlg::Open(nullptr, w, current); }));
    QCOMPARE(script.boxes.size(), std::size_t(4));
    QCOMPARE(Bytes(doc->Competition()), before);
    QVERIFY(!doc->Modified());
    QCOMPARE(current, 0);

    // OK hands the shortened list to the document.
    script.OnDialog([&](QDialog& d) {
        script.AnswerBox(QMessageBox::Yes);
        Click(d, "&Löschen");
        Click(d, "OK");
    });
    QVERIFY(Confirm(*doc, [&](const TWettkampf& w) { return TAltersklassenDlg::Open(nullptr, w, current); }));
    QCOMPARE(doc->Competition().Count(), 2);
    QVERIFY(doc->Competition().FindAgeClass("AK 13/14w", true) == nullptr);
    QVERIFY(doc->Modified());
    QCOMPARE(script.unexpected, 0);
}

void TDataDialogsTest::ageClassListShiftsYears() {
    auto doc = Document(Championship());
    TSeamScript script;
    script.OnDialog([&](QDialog& d) {
        script.OnDialog([&](QDialog& j) {
            QCOMPARE(j.windowTitle(), QStringLiteral("Wettkampfjahr ändern"));
            auto& delta = Get<TSpinEdit>(j, "DeltaEdit");
            QCOMPARE(delta.value(), 0);
            QCOMPARE(delta.minimum(), -100);
            QCOMPARE(delta.maximum(), 100);
            Type(delta, "-1");
            Click(j, "OK");
        });
        Alt(d, Qt::Key_J);
        Click(d, "OK");
    });
    int current = 0;
    QVERIFY(Confirm(*doc, [&](const TWettkampf& w) { return TAltersklassenDlg::Open(nullptr, w, current); }));
    const TWettkampf& c = doc->Competition();
    QCOMPARE(c.Count(), 3);
    QCOMPARE(c.At(0)->Data.JahrgangVon, std::int16_t(1989));
    QCOMPARE(c.At(0)->Data.JahrgangBis, std::int16_t(1990));
    QCOMPARE(c.At(1)->Data.JahrgangVon, std::int16_t(1989));
    QCOMPARE(c.At(1)->Data.JahrgangBis, std::int16_t(1990));
    QCOMPARE(c.At(2)->Data.JahrgangVon, std::int16_t(1969));
    QCOMPARE(c.At(2)->Data.JahrgangBis, std::int16_t(1988));
    QCOMPARE(script.unexpected, 0);
}

void TDataDialogsTest::ageClassDataPropertiesAndDisciplines() {
    auto c = NewCompetition();
    c->Header.Art = wkMannschaft;
    TAltersklasseData data = Klasse("AK 15/16m", 1988, 1989, false)->Data;
    data.Eigenschaften = akHLW | 0x40; // a bit this dialog does not know survives
    const TAltersklasseData original = data;

    // Discipline edits inside a cancelled age class dialog are dropped with it.
    TSeamScript script;
    script.OnDialog([&](QDialog& d) {
        script.OnDialog([&](QDialog& n) {
            Type(Get<QLineEdit>(n, "Edit1"), "verworfen");
            Click(n, "OK");
        });
        DoubleClickRow(Get<QListWidget>(d, "ListBox1"), 0);
        QCOMPARE(Get<QListWidget>(d, "ListBox1").item(0)->text(), QStringLiteral("1. verworfen"));
        Click(d, "Abbrechen");
    });
    QVERIFY(!TAltersklassenDatenDlg::Open(nullptr, *c, data, "Altersklassendaten ändern"));
    QCOMPARE(data.Disziplinen[0].Bezeichnung.Get(), original.Disziplinen[0].Bezeichnung.Get());

    script.AnswerBox(QMessageBox::Ok);
    script.OnDialog([&](QDialog& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Altersklassendaten ändern"));
        QCOMPARE(d.toolTip(), QStringLiteral("Einstellungen der Altersklasse festlegen"));
        auto& list = Get<QListWidget>(d, "ListBox1");
        QCOMPARE(Items(list), QStringList({"1. 50m Hindernisschwimmen", "2. 50m Flossenschwimmen",
                                           "3. ", "4. ", "5. "}));
        Alt(d, Qt::Key_W); // weiblich on
        Alt(d, Qt::Key_H); // HLW off
        Alt(d, Qt::Key_Q); // direkt qualifiziert on
        Alt(d, Qt::Key_A); // alphabetisch on
        Alt(d, Qt::Key_D);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
        QCOMPARE(Get<TRadioGroup>(d, "RadioGroup1").ItemIndex(), 4);

        script.OnDialog([&](QDialog& n) {
            QCOMPARE(n.windowTitle(),
                     QStringLiteral("Disziplin einstellen (Mannschaft, weiblich)"));
            QCOMPARE(Get<TBvFloatEdit>(n, "Variable1").text(), QStringLiteral("21,00"));
            Alt(n, Qt::Key_B);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(QApplication::focusWidget(), "100m Retten");
            Click(n, "lineare Berechnung (Meisterschaften 1988-1998)");
            Type(Get<TBvFloatEdit>(n, "Variable2"), "12,5");
            Type(Get<TBvFloatEdit>(n, "Variable3"), "10000");
            Click(n, "OK");
            QVERIFY(n.isVisible());
            QCOMPARE(
                script.LastBoxText(),
                QStringLiteral("Der eingegebene Wert liegt nicht zwischen 0,00 und 9.999,00."));
            Type(Get<TBvFloatEdit>(n, "Variable3"), "0,07");
            Type(Get<QLineEdit>(n, "Edit2"), "T*2");
            Click(n, "OK");
        });
        list.setFocus();
        list.setCurrentRow(1);
        QTest::keyClick(&list, Qt::Key_Return);
        QVERIFY(d.isVisible());
        QCOMPARE(list.item(1)->text(), QStringLiteral("2. 100m Retten"));
        Click(d, "OK");
    });
    QVERIFY(TAltersklassenDatenDlg::Open(nullptr, *c, data, "Altersklassendaten ändern"));
    QCOMPARE(data.Eigenschaften,
             std::int16_t(akWeiblich | akDirektQualifiziert | akAlphabetisch | 0x40));
    QCOMPARE(data.Disziplinenanzahl, std::int16_t(4));
    QCOMPARE(data.Bezeichnung.Get(), std::string("AK 15/16m"));
    const TDisziplin& d = data.Disziplinen[1];
    QCOMPARE(d.Bezeichnung.Get(), std::string("100m Retten"));
    QCOMPARE(d.Berechnungsart, std::int16_t(baLinear));
    QCOMPARE(d.V[0], 2100);
    QCOMPARE(d.V[1], 1250);
    QCOMPARE(d.V[2], 7);
    QCOMPARE(d.Formel.Get(), std::string("T*2"));
    QCOMPARE(script.unexpected, 0);
}

void TDataDialogsTest::disciplineCaption_data() {
    QTest::addColumn<bool>("team");
    QTest::addColumn<bool>("female");
    QTest::addColumn<QString>("caption");
    QTest::newRow("individual male") << false << false << "Disziplin einstellen (Einzel, männlich)";
    QTest::newRow("individual female")
        << false << true << "Disziplin einstellen (Einzel, weiblich)";
    QTest::newRow("team male") << true << false << "Disziplin einstellen (Mannschaft, männlich)";
}

void TDataDialogsTest::disciplineCaption() {
    QFETCH(bool, team);
    QFETCH(bool, female);
    QFETCH(QString, caption);
    TDisziplin d = Disc("50m Retten", 3970);
    TSeamScript script;
    script.OnDialog([&](QDialog& n) {
        QCOMPARE(n.windowTitle(), caption);
        Click(n, "Abbrechen");
    });
    QVERIFY(!TDisziplinDatenDlg::Open(nullptr, d, team, female));
    QCOMPARE(script.dialogTitles.size(), std::size_t(1));
}

void TDataDialogsTest::recordsClearAndTakeOver() {
    vmtest::TempDir dir;
    // Last year's file: AK 13/14w with better results; no AK 13/14m; the open class under
    // the other sex does not count.
    auto lastYear = NewCompetition();
    lastYear->Header.Optionen = 1;
    auto w = Klasse("AK 13/14w", 1989, 1990, true);
    AddResult(*w, "Vorjahr", 2600, 2000);
    lastYear->InsertAgeClass(std::move(w));
    lastYear->InsertAgeClass(Klasse("Offene Altersklasse Damen A", 1969, 1988, false));
    const std::string file = dir.File("vorjahr.ERG");
    QVERIFY(Save(file, *lastYear, TSaveFormat::Ergebnis));

    auto doc = Document(Championship());
    TMessageCapture messages;
    TSeamScript script;
    script.OnDialog([&](QDialog& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Rekordverwaltung"));
        QCOMPARE(d.toolTip(), QStringLiteral("Rekorde verwalten"));
        auto& list = Get<QListWidget>(d, "RekordList");
        QCOMPARE(Items(list),
                 QStringList({"AK 13/14w", "AK 13/14m", "Offene Altersklasse Damen A"}));
        list.setCurrentRow(0);
        const TAltersklasseData& inCopy = qobject_cast<TRekordeDlg*>(&d)->Copy().At(0)->Data;
        script.AnswerBox(QMessageBox::No);
        script.AnswerBox(QMessageBox::Yes);
        Alt(d, Qt::Key_L);
        QCOMPARE(script.boxes.back().kind, TBoxKind::Warning);
        QCOMPARE(script.LastBoxText(),
                 QStringLiteral("Wollen Sie die gespeicherten Rekorddaten "
                                "der Altersklasse AK 13/14w wirklich löschen?"));
        QCOMPARE(inCopy.Rekorde[0].VorjahrZeit, 2650);
        Alt(d, Qt::Key_L);
        QCOMPARE(script.boxes.size(), std::size_t(2));
        QCOMPARE(inCopy.Rekorde[0].VorjahrZeit, 0);
        QCOMPARE(inCopy.RekordGesamtpunkte, 0);
        QCOMPARE(inCopy.Rekorde[0].BestZeit, 2800);

        script.AnswerFile(QString::fromStdString(file));
        Click(d, "Übernehmen...");
        Click(d, "OK");
    });
    QVERIFY(Confirm(*doc, [&](const TWettkampf& w) { return TRekordeDlg::Open(nullptr, w); }));
    QVERIFY(doc->Modified());
    QCOMPARE(script.fileRequests.size(), std::size_t(1));
    QVERIFY(!script.fileRequests[0].save);
    QVERIFY(script.fileRequests[0].mustExist);

    const TWettkampf& c = doc->Competition();
    const TAltersklasse& a = *c.FindAgeClass("AK 13/14w", true);
    // Cleared, then last year's bests became the records; this year's bests stand.
    QCOMPARE(a.Data.Rekorde[0].VorjahrZeit, 2600);
    QCOMPARE(a.Data.Rekorde[1].VorjahrZeit, 2000);
    QCOMPARE(a.Data.Rekorde[0].BestZeit, 2800);
    QCOMPARE(a.Data.RekordGesamtpunkte, lastYear->At(0)->Data.BestGesamtpunkte);
    std::vector<std::string> expected = {
        "Zur Altersklasse AK 13/14m, wurde keine passende Altersklasse gefunden.",
        "Zur Altersklasse Offene Altersklasse Damen A, wurde keine passende Altersklasse "
        "gefunden."};
    QCOMPARE(messages.Messages(), expected);
    QCOMPARE(script.unexpected, 0);
}

void TDataDialogsTest::recordDataStoresPreviousYears() {
    TAltersklasseData data = Klasse("AK 13/14w", 1990, 1991, true)->Data;
    data.Rekorde[0].VorjahrZeit = 8307;
    data.Rekorde[0].BestZeit = 8100;
    data.Rekorde[1].VorjahrAbzug = 5;
    data.Rekorde[2].VorjahrZeit = 4444; // beyond the discipline count: shown, not editable
    data.BestGesamtpunkte = 98765;
    TSeamScript script;
    script.AnswerBox(QMessageBox::Ok);
    script.OnDialog([&](QDialog& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Vorjahresrekorde eingeben oder ändern"));
        QCOMPARE(d.findChild<QGroupBox*>()->title(),
                 QStringLiteral("Bestleistungen der Ak AK 13/14w"));
        QCOMPARE(Get<QLabel>(d, "BestZeit1").text(), QStringLiteral("1:21,0"));
        QCOMPARE(Get<QLabel>(d, "BestGesamtpunkte").text(), QStringLiteral("987,65"));
        QCOMPARE(Get<TTimeEdit>(d, "Zeit1").text(), QStringLiteral("1:23,0"));
        QVERIFY(!Get<TTimeEdit>(d, "Zeit3").isEnabled());
        Alt(d, Qt::Key_2);
        QCOMPARE(QApplication::focusWidget(), &Get<TTimeEdit>(d, "Zeit2"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        QTest::keyClicks(QApplication::focusWidget(), "1234");
        Type(Get<TBvNumEdit>(d, "Abzug2"), "-4");
        Alt(d, Qt::Key_G);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), "-12,34");
        Click(d, "OK");
        QVERIFY(d.isVisible());
        QCOMPARE(script.LastBoxText(),
                 QStringLiteral("Der eingegebene Wert liegt nicht zwischen -3 und 9999."));
        Type(Get<TBvNumEdit>(d, "Abzug2"), "2");
        Click(d, "OK");
    });
    QVERIFY(TRekordDatenDlg::Open(nullptr, data, false));
    QCOMPARE(data.Rekorde[0].VorjahrZeit, 8307); // untouched: its hundredths stay
    QCOMPARE(data.Rekorde[1].VorjahrZeit, 8340);
    QCOMPARE(data.Rekorde[1].VorjahrAbzug, std::int16_t(2));
    QCOMPARE(data.Rekorde[2].VorjahrZeit, 4444);
    QCOMPARE(data.RekordGesamtpunkte, -1234);
    QCOMPARE(script.unexpected, 0);
}

void TDataDialogsTest::mergeOptions() {
    TSeamScript script;
    script.OnDialog([&](QDialog& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Wettkampf hinzufügen"));
        QCOMPARE(d.toolTip(), QStringLiteral("Einstellungen für das Hinzufügen eines Wettkampfs"));
        auto& combo = Get<QComboBox>(d, "GliederungCombo");
        auto& count = Get<TSpinEdit>(d, "QualifyEdit");
        QVERIFY(combo.isEnabled());
        QCOMPARE(combo.currentText(), QString());
        QCOMPARE(combo.count(), 25);
        QVERIFY(count.isEnabled());
        Type(*combo.lineEdit(), "HH");
        Click(d, "Gliederung ändern in:");
        QVERIFY(!combo.isEnabled());
        QCOMPARE(combo.currentText(), QString());
        Click(d, "Gliederung ändern in:");
        QVERIFY(combo.isEnabled());
        Type(*combo.lineEdit(), "WÜ");
        Click(d, "fehlende Altersklassen hinzufügen");
        Click(d, "incl. Teilnehmer außer Konkurrenz");
        Click(d, "incl. nicht angetretene Teilnehmer");
        Type(count, "3");
        Click(d, "OK");
    });
    TMergeSettings s;
    QVERIFY(THinzufuegenDlg::Open(nullptr, s));
    QCOMPARE(s.options, moTeilnehmer | moAusserKonkurrenz | moNichtAngetreten);
    QCOMPARE(s.gliederung, std::string("W\x9A"));
    QCOMPARE(s.qualify, 3);

    script.OnDialog([&](QDialog& d) {
        auto& count = Get<TSpinEdit>(d, "QualifyEdit");
        QCOMPARE(count.value(), 3);
        Click(d, "die Eigenschaft 'Qualifiziert' für die");
        QVERIFY(!count.isEnabled());
        QCOMPARE(count.value(), 0);
        Click(d, "die Eigenschaft 'Qualifiziert' für die");
        QVERIFY(count.isEnabled());
        Click(d, "Gliederung ändern in:");
        Click(d, "incl. nicht meldende Teilnehmer");
        Click(d, "OK");
    });
    QVERIFY(THinzufuegenDlg::Open(nullptr, s));
    QCOMPARE(s.options, moTeilnehmer | moAusserKonkurrenz | moNichtMeldend | moNichtAngetreten);
    QCOMPARE(s.gliederung, std::string());
    QCOMPARE(s.qualify, 0);
    QCOMPARE(script.unexpected, 0);
}

// With VELMORA_SHOTS naming a folder, every dialog is saved there as it opens on a
// generated competition, for a look at its layout.
void TDataDialogsTest::screenshots() {
    const QString folder = qEnvironmentVariable("VELMORA_SHOTS");
    if (folder.isEmpty()) QSKIP("VELMORA_SHOTS is not set");
    vmtest::TempDir dir;
    const std::string file = dir.File("demo.ERG");
    const auto run = vmtest::RunCli({"generate", file, "--participants", "300", "--seed", "7"});
    QCOMPARE(run.status, 0);
    TVmFile doc(file);
    TWettkampf& c = doc.Competition();
    TSeamScript script;
    auto shoot = [&](const QString& name) {
        script.OnDialog([&, name](QDialog& d) {
            d.adjustSize();
            QCoreApplication::processEvents();
            QVERIFY(d.grab().save(folder + "/" + name + ".png"));
            d.reject();
        });
    };
    shoot("wettkampfdaten");
    TWettkampfDatenDlg::Open(nullptr, c, c.Header);
    shoot("neue-meisterschaft");
    int year = CurrentYear(), code = 0;
    TFileNewDlg::Open(nullptr, year, code);
    shoot("altersklassen");
    int current = 1;
    TAltersklassenDlg::Open(nullptr, c, current);
    TAltersklasse& ac = *c.At(1);
    shoot("altersklassendaten");
    TAltersklassenDatenDlg::Open(nullptr, c, ac.Data, "Altersklassendaten ändern");
    shoot("disziplin");
    TDisziplinDatenDlg::Open(nullptr, ac.Data.Disziplinen[0], false, IsFemale(ac));
    shoot("jahrgaenge");
    int delta = 0;
    TJahrgaengeDlg::Open(nullptr, delta);
    shoot("rekorde");
    TRekordeDlg::Open(nullptr, c);
    ac.Data.Rekorde[0].VorjahrZeit = 3012;
    ac.Data.RekordGesamtpunkte = 150000;
    shoot("rekorddaten");
    TRekordDatenDlg::Open(nullptr, ac.Data, WithHundredths(c));
    shoot("hinzufuegen");
    TMergeSettings s;
    THinzufuegenDlg::Open(nullptr, s);
    QCOMPARE(script.unexpected, 0);
}

VM_UI_TEST_MAIN(TDataDialogsTest)
#include "DataDialogsTest.moc"
