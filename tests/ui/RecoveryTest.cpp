// Autosave and recovery as a crash leaves them: the program runs as a child process,
// changes a participant, writes its recovery copy and is killed; the next start offers
// the copy. Also: the copy goes with a save, a failing copy is said once, and F2 asks
// before it writes over a file that another program changed.
#include "support/Builders.h"
#include "support/UiTestSeam.h"
#include "support/UiWindow.h"

#include "file/VmErg.h"
#include "file/VmRecovery.h"
#include "ui/VmApp.h"
#include "ui/VmAutosave.h"
#include "ui/VmMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <iostream>

using namespace vm;
using namespace vm::ui;
using vmtest::TSeamScript;
using Window = vmtest::TMainWindow;

namespace {

void EditFirstName(Window& w, TSeamScript& seam, const QString& name) {
    seam.OnDialog([name](QDialog& d) {
        QApplication::setActiveWindow(&d);
        vmtest::Type(d.findChild<QLineEdit*>("NameEdit"), name);
        QTest::mouseClick(vmtest::Find<QPushButton>(&d, "OK"), Qt::LeftButton);
    });
    w.Key(Qt::Key_Return, Qt::NoModifier);
}

// ---- the child processes ---------------------------------------------------------------

// Opens FILE, renames the first participant, says "gesichert" once the recovery copy
// is written and then runs until it is killed.
int ChildEdit(const QString& file) {
    TSeamScript seam;
    Window w(file);
    w.form.SetAutosaveDelay(50);
    QObject::connect(w.form.Autosave(), &TAutosave::written, [] {
        std::cout << "gesichert" << std::endl;
    });
    EditFirstName(w, seam, "Gerettet");
    return QApplication::exec();
}

// Starts without a file, answers the recovery question with ANSWER and, when it took
// the copy, saves under the document's name.
int ChildRecover(bool yes) {
    TSeamScript seam;
    Window w;
    seam.AnswerBox(yes ? QMessageBox::Yes : QMessageBox::No);
    const bool taken = w.form.OfferRecovery();
    std::cout << "frage=" << (seam.boxes.empty() ? "" : seam.boxes[0].text.toStdString()) << "\n";
    std::cout << "genommen=" << taken << "\n";
    if (taken) {
        std::cout << "titel=" << w.form.windowTitle().toStdString() << "\n";
        std::cout << "geaendert=" << w.Modified() << "\n";
        w.Key(Qt::Key_F2, Qt::NoModifier);
        std::cout << "gespeichert=" << !w.Modified() << "\n";
    }
    std::cout << "unerwartet=" << seam.unexpected << std::endl;
    return 0;
}

struct TChild {
    QProcess process;
    explicit TChild(const QString& stateDir) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_STATE_HOME", stateDir);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.setProgram(QCoreApplication::applicationFilePath());
    }
    void Start(const QStringList& args) {
        process.setArguments(args);
        process.start();
        QVERIFY(process.waitForStarted(20000));
    }
    QString Output() { return QString::fromUtf8(process.readAllStandardOutput()); }
};

std::vector<std::filesystem::path> FilesIn(const std::string& folder, const std::string& ending) {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = e.path().filename().string();
        if (name.size() >= ending.size() && name.compare(name.size() - ending.size(), ending.size(), ending) == 0)
            found.push_back(e.path());
    }
    return found;
}

} // namespace

class RecoveryTest : public QObject {
    Q_OBJECT
    vmtest::TempDir dir;

    std::string Fresh(const std::string& name) {
        const std::string file = dir.File(name);
        if (vmtest::RunCli({"generate", file, "--participants", "40", "--seed", "6"}).status != 0)
            return {};
        return file;
    }

    // Runs the editing child until its copy is written, kills it, and answers where the
    // copy lies.
    std::string CrashAfterAutosave(const std::string& file, const QString& state) {
        TChild child(state);
        child.Start({"--kind-edit", QString::fromStdString(file)});
        QString out;
        for (int i = 0; i < 200 && !out.contains("gesichert"); ++i) {
            child.process.waitForReadyRead(100);
            out += child.Output();
        }
        if (!out.contains("gesichert")) return {};
        // Running, its copy is its own: nobody else may take it.
        if (!OrphanedCopies((std::filesystem::path(state.toStdString()) / "velmora").string()).empty())
            return {};
        child.process.kill(); // SIGKILL: no destructor, no clean-up
        child.process.waitForFinished(10000);
        const auto copies = FilesIn((std::filesystem::path(state.toStdString()) / "velmora").string(), ".ERG");
        return copies.size() == 1 ? copies[0].string() : std::string();
    }

private Q_SLOTS:
    void killedProgramIsRecoveredOnYes() {
        const std::string file = Fresh("Tag1.ERG");
        QVERIFY(!file.empty());
        const std::string original = vmtest::ReadFileBytes(file);
        const QString state = QString::fromStdString(dir.File("state-ja"));
        const std::string copy = CrashAfterAutosave(file, state);
        QVERIFY(!copy.empty());
        const std::string copyBytes = vmtest::ReadFileBytes(copy);
        QVERIFY(copyBytes != original);
        QCOMPARE(vmtest::ReadFileBytes(file), original); // nothing was saved before the crash

        TChild again(state);
        again.Start({"--kind-recover", "ja"});
        QVERIFY(again.process.waitForFinished(30000));
        const QString out = again.Output();
        QVERIFY2(out.contains("frage=Velmora wurde nicht ordnungsgemäß beendet. Sollen die nicht "
                              "gespeicherten Änderungen an ´" +
                              QString::fromStdString(file) + "´ wiederhergestellt werden?"),
                 qPrintable(out));
        QVERIFY2(out.contains("genommen=1"), qPrintable(out));
        QVERIFY(out.contains("titel=Velmora - " + QString::fromStdString(file)));
        QVERIFY(out.contains("geaendert=1"));
        QVERIFY(out.contains("gespeichert=1"));
        QVERIFY(out.contains("unerwartet=0"));
        // The change is in the file, byte for byte as the copy held it.
        QCOMPARE(vmtest::ReadFileBytes(file), copyBytes);
        auto c = Load(file, TLoadFormat::Ergebnis);
        QVERIFY(c);
        bool found = false;
        for (const TAltersklasse& ac : *c)
            for (const TTeilnehmer& p : ac)
                found = found || p.Name() == "Gerettet";
        QVERIFY(found);
        // The copy went once it was taken and saved.
        const std::string folder = (std::filesystem::path(state.toStdString()) / "velmora").string();
        QVERIFY(FilesIn(folder, ".ERG").empty());
        QVERIFY(OrphanedCopies(folder).empty());
    }

    void noLeavesTheFileAndSetsTheCopyAside() {
        const std::string file = Fresh("Tag2.ERG");
        QVERIFY(!file.empty());
        const std::string original = vmtest::ReadFileBytes(file);
        const QString state = QString::fromStdString(dir.File("state-nein"));
        QVERIFY(!CrashAfterAutosave(file, state).empty());

        TChild again(state);
        again.Start({"--kind-recover", "nein"});
        QVERIFY(again.process.waitForFinished(30000));
        const QString out = again.Output();
        QVERIFY2(out.contains("genommen=0"), qPrintable(out));
        QVERIFY(out.contains("unerwartet=0"));
        QCOMPARE(vmtest::ReadFileBytes(file), original);
        const std::string folder = (std::filesystem::path(state.toStdString()) / "velmora").string();
        QVERIFY(FilesIn(folder, ".ERG").empty());
        QCOMPARE(FilesIn(folder, ".verworfen").size(), std::size_t(2)); // copy and sidecar
        QVERIFY(OrphanedCopies(folder).empty());
    }

    void saveRemovesTheCopyAndAFailingCopyIsSaidOnce() {
        const std::string file = Fresh("Tag3.ERG");
        QVERIFY(!file.empty());
        const QByteArray home = qgetenv("XDG_STATE_HOME");
        const QString state = QString::fromStdString(dir.File("state-eigen"));
        qputenv("XDG_STATE_HOME", state.toUtf8());
        {
            TSeamScript seam;
            Window w(file);
            w.form.SetAutosaveDelay(20);
            QSignalSpy written(w.form.Autosave(), &TAutosave::written);
            EditFirstName(w, seam, "Zwischenstand");
            QVERIFY(written.wait(10000));
            QVERIFY(std::filesystem::exists(w.form.Autosave()->CopyFile()));
            QVERIFY(w.form.findChild<QLabel*>("AutosaveIndicator")->text().startsWith("Gesichert "));
            w.Key(Qt::Key_F2, Qt::NoModifier);
            QVERIFY(!w.Modified());
            QVERIFY(!std::filesystem::exists(w.form.Autosave()->CopyFile()));
            QCOMPARE(seam.unexpected, 0);
        }
        // A state folder that cannot be made: one line on the status bar, however often
        // it is tried, and the document stays as it was.
        const std::string blocked = dir.File("blockiert");
        vmtest::WriteFileBytes(blocked, "kein Ordner");
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(blocked));
        {
            TSeamScript seam;
            Window w(file);
            w.form.SetAutosaveDelay(20);
            QSignalSpy failed(w.form.Autosave(), &TAutosave::failed);
            QSignalSpy attempts(w.form.Autosave(), &TAutosave::attempted);
            EditFirstName(w, seam, "Erster");
            QVERIFY(failed.wait(10000));
            QVERIFY(w.form.StatusText().startsWith("Sicherungskopie konnte nicht geschrieben werden"));
            EditFirstName(w, seam, "Zweiter");
            // It keeps trying, silently.
            QTRY_VERIFY_WITH_TIMEOUT(attempts.count() >= 3, 10000);
            QCOMPARE(failed.count(), 1);
            QVERIFY(seam.boxes.empty());
            QVERIFY(w.Modified());
        }
        qputenv("XDG_STATE_HOME", home);
    }

    void saveAsksBeforeOverwritingAChangeFromOutside() {
        const std::string file = Fresh("Tag4.ERG");
        QVERIFY(!file.empty());
        TSeamScript seam;
        Window w(file);
        EditFirstName(w, seam, "Schreibtisch");
        // Meanwhile a script assigns the heats in the file.
        QCOMPARE(vmtest::RunCli({"heats", file}).status, 0);
        const std::string theirs = vmtest::ReadFileBytes(file);
        seam.AnswerBox(QMessageBox::No);
        w.Key(Qt::Key_F2, Qt::NoModifier);
        QCOMPARE(seam.LastBoxText(),
                 "Die Datei ´" + QString::fromStdString(file) +
                     "´ wurde außerhalb von Velmora geändert. Trotzdem überschreiben?");
        QCOMPARE(vmtest::ReadFileBytes(file), theirs);
        QVERIFY(w.Modified());
        seam.AnswerBox(QMessageBox::Yes);
        w.Key(Qt::Key_F2, Qt::NoModifier);
        QVERIFY(!w.Modified());
        QVERIFY(vmtest::ReadFileBytes(file) != theirs);
        // Saved by us: the next F2 asks nothing.
        EditFirstName(w, seam, "Nochmal");
        const std::size_t asked = seam.boxes.size();
        w.Key(Qt::Key_F2, Qt::NoModifier);
        QCOMPARE(seam.boxes.size(), asked);
        QCOMPARE(seam.unexpected, 0);
    }
};

int main(int argc, char** argv) {
    vm::ui::TVelmoraApp app(argc, argv);
    if (argc >= 3 && std::string(argv[1]) == "--kind-edit") return ChildEdit(QString::fromLocal8Bit(argv[2]));
    if (argc >= 3 && std::string(argv[1]) == "--kind-recover")
        return ChildRecover(std::string(argv[2]) == "ja");
    vmtest::TempDir stateHome;
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(stateHome.Path().string()));
    RecoveryTest tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "RecoveryTest.moc"
