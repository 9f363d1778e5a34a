// The value edits on a small form: the keys they refuse, the check when the user leaves
// one, how they read their text in the German locale, their range texts and the check
// a form runs before it accepts.
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"

#include "ui/BvValEdit.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

using namespace vm::ui;
using vmtest::TSeamScript;

namespace {

// A form with the edit under test, a plain edit after it and OK / Abbrechen.
struct Form {
    explicit Form(TBvValEdit* e) : edit(e) {
        auto* layout = new QVBoxLayout(&dialog);
        edit->setParent(&dialog);
        layout->addWidget(edit);
        other = new QLineEdit(&dialog);
        layout->addWidget(other);
        buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
        layout->addWidget(buttons);
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        edit->setFocus();
        QCoreApplication::processEvents();
    }
    QPushButton* Cancel() const { return buttons->button(QDialogButtonBox::Cancel); }
    QDialog dialog;
    TBvValEdit* edit;
    QLineEdit* other;
    QDialogButtonBox* buttons;
};

// Types into the emptied edit and lets a check that the exit queued run.
void Retype(TBvValEdit* e, const QString& text) {
    e->clear();
    QTest::keyClicks(e, text);
}

void Leave(Form& f) {
    QTest::keyClick(f.edit, Qt::Key_Tab);
    QCoreApplication::processEvents();
}

} // namespace

class ValEditTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void refusedKeysBeepAndNeverReachTheText_data() {
        QTest::addColumn<bool>("isFloat");
        QTest::addColumn<bool>("checkBefore");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("beeps");
        // What the edit's own key handling saw (keyPressed) before a refusal or after.
        QTest::addColumn<QString>("handled");
        QTest::newRow("letter") << false << true << "1a2"
                                << "12" << 1 << "12";
        QTest::newRow("letter, checked after") << false << false << "1a2"
                                               << "12" << 1 << "1a2";
        QTest::newRow("signs and blank") << false << true << "-5+ x"
                                         << "-5+" << 2 << "-5+";
        QTest::newRow("backspace") << false << true << "12\b3"
                                   << "13" << 0 << "12\b3";
        QTest::newRow("decimal comma") << true << true << "1,5"
                                       << "1,5" << 0 << "1,5";
        QTest::newRow("full stop") << true << true << "1.5"
                                   << "15" << 1 << "15";
        QTest::newRow("full stop, checked after") << true << false << "1.5"
                                                  << "15" << 1 << "1.5";
    }
    void refusedKeysBeepAndNeverReachTheText() {
        QFETCH(bool, isFloat);
        QFETCH(bool, checkBefore);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(int, beeps);
        QFETCH(QString, handled);
        TSeamScript seam;
        TBvValEdit* e = isFloat ? static_cast<TBvValEdit*>(new TBvFloatEdit(0, 100, 8, 2))
                                : new TBvNumEdit(0, 30);
        e->CheckBeforeInsert = checkBefore;
        Form f(e);
        QString seen;
        QObject::connect(e, &TBvValEdit::keyPressed, [&](QKeyEvent* k) { seen += k->text(); });
        Retype(e, typed);
        QCOMPARE(e->text(), text);
        QCOMPARE(seam.beeps, beeps);
        QCOMPARE(seen, handled);
    }

    void leavingOutOfRangeSaysSoAndComesBack() {
        TSeamScript seam;
        auto* e = new TBvNumEdit(0, 30);
        Form f(e);
        Retype(e, "45");
        Leave(f);
        QCOMPARE(seam.boxes.size(), std::size_t(1));
        QCOMPARE(seam.boxes[0].kind, TBoxKind::Warning);
        QCOMPARE(seam.boxes[0].caption, QString("Eingabeprüfung"));
        QCOMPARE(seam.boxes[0].text,
                 QString("Der eingegebene Wert liegt nicht zwischen 0 und 30."));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(e));
        QCOMPARE(e->selectedText(), QString("45"));
        // A text that is no number is just as wrong; a value in range passes.
        Retype(e, "-");
        Leave(f);
        QCOMPARE(seam.boxes.size(), std::size_t(2));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(e));
        Retype(e, "30");
        Leave(f);
        QCOMPARE(seam.boxes.size(), std::size_t(2));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.other));
        // Without the check on exit the value may be left as it is.
        e->ValidateOnExit = false;
        e->setFocus();
        Retype(e, "45");
        Leave(f);
        QCOMPARE(seam.boxes.size(), std::size_t(2));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.other));
    }

    void leavingTowardsCancelSaysNothing() {
        TSeamScript seam;
        auto* e = new TBvNumEdit(0, 30);
        Form f(e);
        Retype(e, "45");
        QTest::mouseClick(f.Cancel(), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Cancel()));
        QCoreApplication::processEvents();
        QVERIFY(seam.boxes.empty());
        // OK is no way out: the check runs.
        e->setFocus();
        QTest::mouseClick(f.buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        QCoreApplication::processEvents();
        QCOMPARE(seam.boxes.size(), std::size_t(1));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(e));
    }

    void readsTheTextInTheGermanLocale_data() {
        QTest::addColumn<bool>("isFloat");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("valid");
        // Integers in -3 … 9999, decimals in -300 … 9999; a text that does not parse
        // reads as the minimum and is never valid.
        QTest::newRow("int") << false << "17" << 17.0 << true;
        QTest::newRow("int plus") << false << "+17" << 17.0 << true;
        QTest::newRow("int status") << false << "-3" << -3.0 << true;
        QTest::newRow("int below") << false << "-4" << -4.0 << false;
        QTest::newRow("int empty") << false << "" << -3.0 << false;
        QTest::newRow("int sign only") << false << "-" << -3.0 << false;
        QTest::newRow("int group separator") << false << "1.000" << -3.0 << false;
        QTest::newRow("int beyond 32 bits") << false << "2147483648" << -3.0 << false;
        QTest::newRow("int leading blank") << false << " 5" << -3.0 << false;
        QTest::newRow("float comma") << true << "1,5" << 1.5 << true;
        QTest::newRow("float full stop") << true << "1.5" << -300.0 << false;
        QTest::newRow("float status") << true << "-3,00" << -3.0 << true;
        QTest::newRow("float above") << true << "9999,01" << 9999.01 << false;
        QTest::newRow("float exponent") << true << "1e3" << -300.0 << false;
        QTest::newRow("float empty") << true << "" << -300.0 << false;
    }
    void readsTheTextInTheGermanLocale() {
        QFETCH(bool, isFloat);
        QFETCH(QString, text);
        QFETCH(double, value);
        QFETCH(bool, valid);
        TBvFloatEdit fe(-300.0, 9999.0, 8, 2);
        TBvNumEdit ne(-3, 9999);
        TBvValEdit& e = isFloat ? static_cast<TBvValEdit&>(fe) : ne;
        e.setText(text);
        QCOMPARE(isFloat ? fe.Value() : double(ne.Value()), value);
        QCOMPARE(e.IsValid(), valid);
    }

    void rangeTextsAndShownValues() {
        QCOMPARE(TBvNumEdit(0, 30).RangeErrorText(),
                 QString("Der eingegebene Wert liegt nicht zwischen 0 und 30."));
        // Whole numbers are written plainly; decimals with the locale's group separator.
        QCOMPARE(TBvNumEdit(-3, 9999).RangeErrorText(),
                 QString("Der eingegebene Wert liegt nicht zwischen -3 und 9999."));
        TBvFloatEdit points(-300.0, 9999.0, 8, 2);
        QCOMPARE(points.RangeErrorText(),
                 QString("Der eingegebene Wert liegt nicht zwischen -300,00 und 9.999,00."));
        QCOMPARE(TBvFloatEdit(0.0, 1000.0, 8, 1).RangeErrorText(),
                 QString("Der eingegebene Wert liegt nicht zwischen 0,0 und 1.000,0."));
        // A value written into the edit reads back the same: no group separator.
        points.SetValue(1234.5);
        QCOMPARE(points.text(), QString("1234,50"));
        QCOMPARE(points.Value(), 1234.5);
        points.SetValue(-3);
        QCOMPARE(points.text(), QString("-3,00"));
        QCOMPARE(TBvNumEdit().text(), QString("0"));
        QCOMPARE(TBvFloatEdit().text(), QString("0"));
    }

    void formCheckReportsTheActiveEditThenTheFirstInOrder() {
        TSeamScript seam;
        QDialog form;
        auto* layout = new QVBoxLayout(&form);
        auto* a = new TBvNumEdit(0, 10, &form);
        auto* b = new TBvNumEdit(0, 20, &form);
        auto* c = new TBvFloatEdit(100.0, 200.0, 8, 1, &form);
        auto* button = new QPushButton(QStringLiteral("OK"), &form);
        for (TBvValEdit* e : std::initializer_list<TBvValEdit*>{a, b, c}) {
            e->ValidateOnExit = false; // the form check does not depend on it
            layout->addWidget(e);
        }
        layout->addWidget(button);
        form.show();
        QApplication::setActiveWindow(&form);
        a->setText("5");
        b->setText("21");
        c->setText("5");
        button->setFocus();
        QVERIFY(!FormCheck(&form));
        QCOMPARE(seam.LastBoxText(),
                 QString("Der eingegebene Wert liegt nicht zwischen 0 und 20."));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(b));
        QCOMPARE(b->selectedText(), QString("21"));
        c->setFocus();
        QVERIFY(!FormCheck(&form));
        QCOMPARE(seam.LastBoxText(),
                 QString("Der eingegebene Wert liegt nicht zwischen 100,0 und 200,0."));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(c));
        b->setText("20");
        c->setText("150,5");
        QVERIFY(FormCheck(&form));
        QCOMPARE(seam.boxes.size(), std::size_t(2));
    }
};

VM_UI_TEST_MAIN(ValEditTest)
#include "ValEditTest.moc"
