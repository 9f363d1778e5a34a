// The participant dialog driven with the keyboard and the mouse as a user drives it;
// the results are read back from the participant record.
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"

#include "file/VmWFile.h"
#include "ui/BvValEdit.h"
#include "ui/VmTeilnDlg.h"
#include "ui/VmTimeEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>

using namespace vm;
using namespace vm::ui;
using vmtest::TSeamScript;

namespace {

struct Competition {
    Competition(bool team, bool hundredths) {
        doc.New(team ? 9 : 8, 2026);
        doc.Competition().Header.Optionen = hundredths ? 1 : 0;
    }
    TWettkampf& c() { return doc.Competition(); }
    TVmFile doc;
};

// A participant with every field of the dialog set, in code page 850.
TTeilnehmer Sample(const TWettkampf& c) {
    TTeilnehmer p;
    if (IsSingleCompetition(c)) {
        p.SetName("Kr\x81ger"); // Krüger
        p.SetVorname("Ida");
        p.SetGeburtsdatum("12.03.2012");
    } else {
        p.SetMannschaft("Seest\x84"
                        "dter SC 1"); // Seestädter
        p.SetZusatz("Staffel A");
    }
    p.Gliederung.Set("W\x9a"); // WÜ
    p.Altersklasse.Set(c.At(1)->Name());
    p.Eigenschaften = tnWeiblich | tnMeldet | tnStartberechtigt;
    p.Zeit = {8307, 4512, 0, 12345, 59999};
    p.Abzug = {0, 2, -1, -3, 9999};
    p.Lauf = {1, 2, 3, 999, 0};
    p.Bahn = {5, 4, 3, 2, 1};
    p.HLWPunkte = 1250;
    p.Startzeit = 905;
    p.HLWBahn = 3;
    p.HLWLauf = 7;
    return p;
}

std::array<std::uint8_t, TTeilnehmer::Size> Bytes(const TTeilnehmer& p) {
    std::array<std::uint8_t, TTeilnehmer::Size> b{};
    p.Write(b.data());
    return b;
}

template <class W = QWidget> W* Get(QDialog& d, const QString& name) {
    W* w = vmtest::Find<W>(&d, name);
    if (!w) qFatal("no control %s", qPrintable(name));
    return w;
}

QString Text(QDialog& d, const QString& name) {
    return Get<QLineEdit>(d, name)->text();
}

QWidget* Focus() {
    return QApplication::focusWidget();
}

// The name of the control that has the focus (a combo box for its edit line).
QString FocusName() {
    QWidget* w = Focus();
    if (!w) return QString();
    if (auto* combo = qobject_cast<QComboBox*>(w->parentWidget())) return combo->objectName();
    return w->objectName().isEmpty() ? w->property("text").toString() : w->objectName();
}

void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(Focus(), key, mods);
}

// Like QTest::keyClicks, with umlauts too.
void Type(const QString& text) {
    for (QChar ch : text) {
        if (ch.unicode() < 0x80)
            QTest::keyClick(Focus(), ch.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, Focus(), static_cast<Qt::Key>(ch.toUpper().unicode()),
                                QString(ch), Qt::NoModifier);
    }
}

// Alt + the key: the mnemonic of a label moves the focus to its field.
void Alt(Qt::Key key) {
    Key(key, Qt::AltModifier);
}

void Click(QDialog& d, const QString& buttonText) {
    QTest::mouseClick(Get<QPushButton>(d, buttonText), Qt::LeftButton);
}

// Opens the dialog on p and hands it, shown and active, to the script.
bool Run(TSeamScript& seam, const TWettkampf& c, TTeilnehmer& p, std::function<void(QDialog&)> f) {
    seam.OnDialog([f = std::move(f)](QDialog& d) {
        QApplication::setActiveWindow(&d);
        QCoreApplication::processEvents();
        f(d);
    });
    return TTeilnehmerDlg::Open(nullptr, c, p);
}

} // namespace

class TeilnehmerDlgTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void showsTheControlsOfTheCompetitionKind_data() {
        QTest::addColumn<bool>("team");
        QTest::newRow("Einzel") << false;
        QTest::newRow("Mannschaft") << true;
    }
    void showsTheControlsOfTheCompetitionKind() {
        QFETCH(bool, team);
        Competition comp(team, true);
        TTeilnehmer p = Sample(comp.c());
        TTeilnehmerDlg d(comp.c(), p);
        d.show();
        QCOMPARE(d.windowTitle(), QString("Teilnehmerdaten eingeben"));
        for (const char* name : {"NameEdit", "VornameEdit"})
            QCOMPARE(Get(d, name)->isVisible(), !team);
        for (const char* label : {"&Name:", "&Vorname:", "&Geburtsdatum:"})
            QCOMPARE(Get<QLabel>(d, label)->isVisible(), !team);
        QCOMPARE(Get(d, "MannschaftEdit")->isVisible(), team);
        QCOMPARE(Get(d, "MannschaftEdit")->isEnabled(), team);
        for (const char* label : {"&Mannschaft:", "&Zusatz:"}) {
            QCOMPARE(Get<QLabel>(d, label)->isVisible(), team);
            QCOMPARE(Get<QLabel>(d, label)->isEnabled(), team);
        }
        QCOMPARE(Get<QLineEdit>(d, "ZusatzEdit")->maxLength(), team ? 21 : 10);
        if (team) {
            QCOMPARE(Text(d, "MannschaftEdit"), QString("Seestädter SC 1"));
            QCOMPARE(Text(d, "ZusatzEdit"), QString("Staffel A"));
        } else {
            QCOMPARE(Text(d, "NameEdit"), QString("Krüger"));
            QCOMPARE(Text(d, "ZusatzEdit"), QString("12.03.2012"));
        }

        auto* ak = Get<QComboBox>(d, "ComboBox1");
        QVERIFY(!ak->isEnabled());
        QCOMPARE(ak->count(), comp.c().Count());
        QCOMPARE(ak->itemText(2), QString::fromStdString(comp.c().At(2)->Name()));
        QCOMPARE(ak->currentText(), QString::fromStdString(comp.c().At(1)->Name()));
        auto* gld = Get<QComboBox>(d, "ComboBox2");
        QVERIFY(gld->isEditable());
        QCOMPARE(gld->count(), 25);
        QCOMPARE(gld->itemText(0), QString("BA"));
        QCOMPARE(gld->itemText(17), QString("WÜ"));
        QCOMPARE(gld->itemText(24), QString("UFR"));
        QCOMPARE(gld->maxVisibleItems(), 19);
        QCOMPARE(gld->lineEdit()->maxLength(), 5);
        QCOMPARE(gld->currentText(), QString("WÜ"));

        // What a row shows: time, penalty or status, heat, lane; then the HLW row.
        QCOMPARE(Text(d, "MaskEdit1"), QString("1:23,07"));
        QCOMPARE(Text(d, "MaskEdit5"), QString("9:59,99"));
        QCOMPARE(Get<QLineEdit>(d, "MaskEdit1")->inputMask(), QString("9:99,99;_"));
        QCOMPARE(Text(d, "SpinEdit3"), QString("-1"));
        QCOMPARE(Text(d, "SpinEdit5"), QString("9999"));
        QCOMPARE(Text(d, "SpinEdit9"), QString("999"));
        QCOMPARE(Text(d, "SpinEdit11"), QString("5"));
        QCOMPARE(Text(d, "HLWZeitEdit"), QString("09:05"));
        QCOMPARE(Text(d, "HLWBahnEdit"), QString("3"));
        QCOMPARE(Text(d, "HLWPunkteEdit"), QString("12,50"));
        QCOMPARE(Get(d, "SpinEdit1")->toolTip(),
                 QString("-1 = disqualifiziert\n-2 = nicht angetreten (ohne Wertung)\n"
                         "-3 = nicht angetreten"));
        QCOMPARE(Get(d, "HLWPunkteEdit")->statusTip(),
                 QString("negative Werte siehe eingeblendeter Hilfehinweis"));
        QCOMPARE(Get<QPushButton>(d, "&TN abwesend")->toolTip(),
                 QString("setzt \"nicht angetreten\" in allen Disziplinen"));
        QVERIFY(Get<QCheckBox>(d, "&weiblich")->isChecked());
        QVERIFY(!Get<QCheckBox>(d, "&außer Konkurrenz")->isChecked());
        QVERIFY(!Get<QCheckBox>(d, "direkt &qualifiziert")->isChecked());
        QVERIFY(Get<QCheckBox>(d, "&meldet")->isChecked());
        QVERIFY(Get<QCheckBox>(d, "&startberechtigt")->isChecked());
    }

    void tabGoesTopToBottomLeftToRight() {
        TSeamScript seam;
        Competition comp(false, true);
        TTeilnehmer p = Sample(comp.c());
        QStringList expected = {"NameEdit", "VornameEdit", "ZusatzEdit", "ComboBox2"};
        for (int k = 1; k <= 5; ++k)
            expected << QString("MaskEdit%1").arg(k) << QString("SpinEdit%1").arg(k)
                     << QString("SpinEdit%1").arg(k + 5) << QString("SpinEdit%1").arg(k + 10);
        expected << "HLWZeitEdit"
                 << "HLWPunkteEdit"
                 << "HLWBahnEdit"
                 << "Flag1"
                 << "Flag2"
                 << "Flag4"
                 << "Flag8"
                 << "Flag16"
                 << "AbwesendButton"
                 << "OK"
                 << "Abbrechen"
                 << "NameEdit";
        QStringList seen;
        Run(seam, comp.c(), p, [&](QDialog&) {
            for (int k = 0; k < expected.size(); ++k) {
                seen << FocusName();
                Key(Qt::Key_Tab);
            }
        });
        QCOMPARE(seen, expected);
        QVERIFY(seam.boxes.empty());
    }

    void okUnchangedKeepsEveryByte_data() {
        QTest::addColumn<bool>("team");
        QTest::newRow("Einzel") << false;
        QTest::newRow("Mannschaft") << true;
    }
    void okUnchangedKeepsEveryByte() {
        QFETCH(bool, team);
        TSeamScript seam;
        Competition comp(team, true);
        TTeilnehmer p = Sample(comp.c());
        const auto before = Bytes(p);
        QVERIFY(Run(seam, comp.c(), p, [](QDialog&) { Key(Qt::Key_Return); }));
        QCOMPARE(p.HLWPunkte, 1250);
        QVERIFY(Bytes(p) == before);
        QVERIFY(seam.boxes.empty());
    }

    void everyFieldTypedIsStored() {
        TSeamScript seam;
        Competition comp(false, true);
        TTeilnehmer p = Sample(comp.c());
        p.Eigenschaften |= 0x4000; // a bit the dialog does not show
        QVERIFY(Run(seam, comp.c(), p, [](QDialog& d) {
            QCOMPARE(FocusName(), QString("NameEdit"));
            Key(Qt::Key_A, Qt::ControlModifier);
            Type("Müllermann-Schmidtberg"); // 22 characters for 20 places
            Key(Qt::Key_Tab);
            Type("Anna");
            Key(Qt::Key_Tab);
            Type("2013");
            Key(Qt::Key_Tab);
            Key(Qt::Key_A, Qt::ControlModifier);
            Type("XY12Z9");
            Key(Qt::Key_Tab);
            // A time field is selected as a whole when the user comes to it.
            QCOMPARE(FocusName(), QString("MaskEdit1"));
            QCOMPARE(Get<QLineEdit>(d, "MaskEdit1")->selectedText(), QString("1:23,07"));
            Type("12345");
            for (const char* v : {"7", "12", "4"}) {
                Key(Qt::Key_Tab);
                Type(v);
            }
            Alt(Qt::Key_4);
            QCOMPARE(FocusName(), QString("MaskEdit4"));
            Type("34");
            for (const char* v : {"-2", "0", "10"}) {
                Key(Qt::Key_Tab);
                Type(v);
            }
            Alt(Qt::Key_H);
            QCOMPARE(FocusName(), QString("HLWZeitEdit"));
            Type("1430");
            Key(Qt::Key_Tab);
            Type("0,29");
            Key(Qt::Key_Tab);
            Type("6");
            // weiblich off, außer Konkurrenz and direkt qualifiziert on.
            Key(Qt::Key_Tab);
            Key(Qt::Key_Space);
            Key(Qt::Key_Tab);
            Key(Qt::Key_Space);
            Key(Qt::Key_Tab);
            Key(Qt::Key_Space);
            Click(d, "OK");
        }));
        QVERIFY(seam.boxes.empty());
        QCOMPARE(std::string(p.Name()), std::string("M\x81llermann-Schmidtbe"));
        QCOMPARE(std::string(p.Vorname()), std::string("Anna"));
        QCOMPARE(std::string(p.Geburtsdatum()), std::string("2013"));
        QCOMPARE(p.Gliederung.Get(), std::string("XY12Z"));
        QCOMPARE(p.Altersklasse.Get(), comp.c().At(1)->Name());
        QCOMPARE(p.Zeit[0], 8345);
        QCOMPARE(p.Abzug[0], std::int16_t(7));
        QCOMPARE(p.Lauf[0], std::int16_t(12));
        QCOMPARE(p.Bahn[0], std::int16_t(4));
        // "34" typed over the selected 2:03,45 leaves the other places blank: 3:40,00.
        QCOMPARE(p.Zeit[3], 3 * 6000 + 40 * 100);
        QCOMPARE(p.Abzug[3], std::int16_t(-2));
        QCOMPARE(p.Lauf[3], std::int16_t(0));
        QCOMPARE(p.Bahn[3], std::int16_t(10));
        QCOMPARE(p.Zeit[1], 4512); // untouched rows keep their values
        QCOMPARE(p.Abzug[4], std::int16_t(9999));
        QCOMPARE(p.Startzeit, std::int16_t(1430));
        QCOMPARE(p.HLWPunkte, 29); // 0,29 × 100 rounded, not cut to 28
        QCOMPARE(p.HLWBahn, std::int16_t(6));
        QCOMPARE(p.HLWLauf, std::int16_t(7));
        QCOMPARE(p.Eigenschaften, std::int16_t(tnAusserKonkurrenz | tnDirektQualifiziert |
                                               tnMeldet | tnStartberechtigt));
    }

    void teamNamesAreStoredInTheTeamFields() {
        TSeamScript seam;
        Competition comp(true, true);
        TTeilnehmer p = Sample(comp.c());
        QVERIFY(Run(seam, comp.c(), p, [](QDialog&) {
            QCOMPARE(FocusName(), QString("MannschaftEdit"));
            Key(Qt::Key_A, Qt::ControlModifier);
            Type("Rettungsschwimmer Nordküste 2");
            Alt(Qt::Key_Z);
            Key(Qt::Key_A, Qt::ControlModifier);
            Type("Jugendstaffel der Ortsgruppe"); // 28 characters for 21 places
            Key(Qt::Key_Return);
        }));
        QCOMPARE(std::string(p.Mannschaft()), std::string("Rettungsschwimmer Nordk\x81ste 2"));
        QCOMPARE(std::string(p.Zusatz()), std::string("Jugendstaffel der Ort"));
    }

    void timesWithoutHundredths() {
        TSeamScript seam;
        Competition comp(false, false);
        TTeilnehmer p = Sample(comp.c());
        QVERIFY(Run(seam, comp.c(), p, [](QDialog& d) {
            QCOMPARE(Get<QLineEdit>(d, "MaskEdit1")->inputMask(), QString("9:99,9;_"));
            QCOMPARE(Text(d, "MaskEdit1"), QString("1:23,0"));
            QCOMPARE(Text(d, "MaskEdit5"), QString("9:59,9"));
            Alt(Qt::Key_1);
            Type("1234");
            QCOMPARE(Text(d, "MaskEdit1"), QString("1:23,4"));
            Key(Qt::Key_Return);
        }));
        QCOMPARE(p.Zeit[0], 8340);
        QCOMPARE(p.Zeit[1], 4510); // kept to tenths, as the competition records them
    }

    void absentKeepsEnteredValues_data() {
        QTest::addColumn<int>("hlw");
        QTest::addColumn<QString>("hlwShown");
        QTest::addColumn<int>("hlwStored");
        QTest::newRow("HLW 0") << 0 << "-3,00" << -300;
        QTest::newRow("HLW 12,50") << 1250 << "12,50" << 1250;
    }
    void absentKeepsEnteredValues() {
        QFETCH(int, hlw);
        QFETCH(QString, hlwShown);
        QFETCH(int, hlwStored);
        TSeamScript seam;
        Competition comp(false, true);
        TTeilnehmer p = Sample(comp.c());
        p.Abzug = {0, 0, 0, -1, 5};
        p.HLWPunkte = hlw;
        QVERIFY(Run(seam, comp.c(), p, [&](QDialog& d) {
            Alt(Qt::Key_2);
            Key(Qt::Key_Tab);
            Type("2");
            Alt(Qt::Key_T);
            // The button's shortcut clicks it the way a key click looks.
            QTRY_COMPARE(Text(d, "SpinEdit1"), QString("-3"));
            QCOMPARE(Text(d, "SpinEdit2"), QString("2"));
            QCOMPARE(Text(d, "SpinEdit3"), QString("-3"));
            QCOMPARE(Text(d, "SpinEdit4"), QString("-1"));
            QCOMPARE(Text(d, "SpinEdit5"), QString("5"));
            QCOMPARE(Text(d, "HLWPunkteEdit"), hlwShown);
            Key(Qt::Key_Return);
        }));
        QCOMPARE(p.Abzug, (std::array<std::int16_t, 5>{-3, 2, -3, -1, 5}));
        QCOMPARE(p.HLWPunkte, hlwStored);
        QVERIFY(seam.boxes.empty());
    }

    void cancelWithAnInvalidValueSaysNothing() {
        TSeamScript seam;
        Competition comp(false, true);
        TTeilnehmer p = Sample(comp.c());
        const auto before = Bytes(p);
        QVERIFY(!Run(seam, comp.c(), p, [](QDialog& d) {
            Type("Neu");
            Alt(Qt::Key_3);
            Key(Qt::Key_Tab);
            Type("-9");
            auto* cancel = Get<QPushButton>(d, "Abbrechen");
            QTest::mousePress(cancel, Qt::LeftButton);
            QCOMPARE(Focus(), static_cast<QWidget*>(cancel));
            QCoreApplication::processEvents();
            QTest::mouseRelease(cancel, Qt::LeftButton);
            QVERIFY(!d.isVisible());
        }));
        QCoreApplication::processEvents();
        QVERIFY(seam.boxes.empty());
        QVERIFY(Bytes(p) == before);
    }

    void okWithAnInvalidValueStaysOpen() {
        TSeamScript seam;
        Competition comp(false, true);
        TTeilnehmer p = Sample(comp.c());
        const auto before = Bytes(p);
        QVERIFY(Run(seam, comp.c(), p, [&](QDialog& d) {
            Alt(Qt::Key_3);
            Key(Qt::Key_Tab);
            Type("-9");
            Click(d, "OK");
            QCoreApplication::processEvents();
            QVERIFY(d.isVisible());
            QCOMPARE(seam.boxes.size(), std::size_t(1));
            QCOMPARE(seam.boxes[0].caption, QString("Eingabeprüfung"));
            QCOMPARE(seam.boxes[0].text,
                     QString("Der eingegebene Wert liegt nicht zwischen -3 und 9999."));
            QVERIFY(Bytes(p) == before);
            // The field has the focus again, selected, and takes the correction.
            QCOMPARE(FocusName(), QString("SpinEdit3"));
            Type("4");
            Key(Qt::Key_Return);
        }));
        QCOMPARE(seam.boxes.size(), std::size_t(1));
        QCOMPARE(p.Abzug[2], std::int16_t(4));
    }

    // Pictures of both kinds of the dialog for a look at the layout, when asked for.
    void screenshots() {
        const QString dir = qEnvironmentVariable("VELMORA_SHOTS");
        if (dir.isEmpty()) QSKIP("VELMORA_SHOTS names no folder");
        QDir().mkpath(dir);
        for (bool team : {false, true}) {
            Competition comp(team, true);
            TTeilnehmer p = Sample(comp.c());
            TTeilnehmerDlg d(comp.c(), p);
            d.show();
            QCoreApplication::processEvents();
            QVERIFY(d.grab().save(dir + (team ? "/teilnehmer-mannschaft.png" : "/teilnehmer.png")));
        }
    }
};

VM_UI_TEST_MAIN(TeilnehmerDlgTest)
#include "TeilnehmerDlgTest.moc"
