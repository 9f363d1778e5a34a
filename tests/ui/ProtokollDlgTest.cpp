// The journal viewer: opened on a journal, searched from the keyboard (case ignored,
// the hit marked, on from the top at the end), closed with Escape; a message instead
// of the dialog when there is no journal yet.
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"

#include "journal/VmJournal.h"
#include "support/TestSupport.h"
#include "ui/VmLogDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>

using namespace vm::ui;
using vmtest::TSeamScript;

namespace {

// The line of the text view the current hit is in.
QString HitLine(TProtokollDlg& d) {
    return d.TextView()->textCursor().block().text();
}

} // namespace

class ProtokollDlgTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void SearchesTheJournalFromTheKeyboard();
    void NoJournalGivesAMessage();
};

void ProtokollDlgTest::SearchesTheJournalFromTheKeyboard() {
    vmtest::TempDir dir;
    const std::string erg = dir.File("Tag1.ERG");
    std::string error;
    QVERIFY(vm::AppendJournal(erg,
                              {{1781190000,
                                "Teilnehmerdaten bearbeiten",
                                "Velmora",
                                {"AK 12w | Schmitz, Greta | Zeit1 0:37,23 → 0:37,32"}},
                               {1781190600,
                                "Qualifikation",
                                "velmora-cli qualify",
                                {"AK 12w | Jäger, Ida | gelöscht (Zeit1 0:40,00)",
                                 "AK 13/14w | Schmitz, Greta | startberechtigt nein → ja"}}},
                              error));

    TSeamScript seam;
    QStringList hits;
    QString notFound, wrapped;
    seam.OnDialog([&](QDialog& d) {
        auto& dlg = static_cast<TProtokollDlg&>(d);
        QVERIFY(dlg.TextView()->isReadOnly());
        QVERIFY(dlg.TextView()->toPlainText().contains(QStringLiteral("Jäger, Ida")));
        QLineEdit* search = dlg.SearchEdit();
        QCOMPARE(QApplication::focusWidget(), search);
        // Lower case finds "Schmitz"; Enter is "Weitersuchen".
        QTest::keyClicks(search, QStringLiteral("schmitz"));
        QTest::keyClick(search, Qt::Key_Return);
        QCOMPARE(dlg.TextView()->textCursor().selectedText(), QStringLiteral("Schmitz"));
        hits << HitLine(dlg);
        QTest::keyClick(search, Qt::Key_F3);
        hits << HitLine(dlg);
        QTest::keyClick(search, Qt::Key_Return);
        hits << HitLine(dlg);
        wrapped = dlg.Note()->text();
        QVERIFY(!dlg.TextView()->extraSelections().isEmpty());

        search->clear();
        QTest::keyClicks(search, QStringLiteral("Gibtsnicht"));
        QTest::keyClick(search, Qt::Key_Return);
        notFound = dlg.Note()->text();
        QVERIFY(d.isVisible());
        QTest::keyClick(search, Qt::Key_Escape);
        QVERIFY(!d.isVisible());
    });
    TProtokollDlg::ShowJournal(nullptr, QString::fromStdString(erg));

    QCOMPARE(seam.dialogTitles, (std::vector<QString>{QStringLiteral("Änderungsprotokoll")}));
    QCOMPARE(hits, (QStringList{
                       QStringLiteral("  AK 12w | Schmitz, Greta | Zeit1 0:37,23 → 0:37,32"),
                       QStringLiteral("  AK 13/14w | Schmitz, Greta | startberechtigt nein → ja"),
                       QStringLiteral("  AK 12w | Schmitz, Greta | Zeit1 0:37,23 → 0:37,32")}));
    QCOMPARE(wrapped, QStringLiteral("Suche am Anfang fortgesetzt."));
    QCOMPARE(notFound, QStringLiteral("´Gibtsnicht´ wurde nicht gefunden."));
    QCOMPARE(seam.beeps, 1);
    QCOMPARE(seam.unexpected, 0);
}

void ProtokollDlgTest::NoJournalGivesAMessage() {
    vmtest::TempDir dir;
    const std::string erg = dir.File("Tag2.ERG");
    TSeamScript seam;
    seam.AnswerBox(QMessageBox::Ok);
    TProtokollDlg::ShowJournal(nullptr, QString::fromStdString(erg));
    QVERIFY(seam.dialogTitles.empty());
    QCOMPARE(seam.LastBoxText(),
             QString::fromStdString("Zu ´" + erg + "´ gibt es noch kein Änderungsprotokoll."));

    // An unnamed competition has no file and so no journal.
    seam.AnswerBox(QMessageBox::Ok);
    TProtokollDlg::ShowJournal(nullptr, QString());
    QVERIFY(seam.LastBoxText().contains(QStringLiteral("noch nicht gespeichert")));
    QVERIFY(seam.dialogTitles.empty());
}

VM_UI_TEST_MAIN(ProtokollDlgTest)
#include "ProtokollDlgTest.moc"
