// The live results in the desktop program: the publish dialog answered through the
// seam, publishing after a save, the server started from its action and read over
// loopback, and a folder or port that cannot be used.
#include "support/UiTestMain.h"
#include "support/UiTestSeam.h"
#include "support/UiWindow.h"

#include "file/VmErg.h"
#include "live/VmServer.h"
#include "support/Builders.h"
#include "ui/BvPrev.h"
#include "ui/VmLive.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <arpa/inet.h>
#include <filesystem>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

using namespace vm;
using namespace vm::ui;
using namespace vmtest;

namespace {

// GET of `path` from 127.0.0.1:port; the status and body.
std::pair<int, std::string> Fetch(int port, const std::string& path) {
    HttpReply r = HttpGet(port, path);
    return {r.status, std::move(r.body)};
}

struct TLiveSetup {
    TempDir dir;
    std::string file = SmallCompetitionFile(dir, "Tag1.ERG", false);
    std::unique_ptr<TWettkampf> c = vm::Load(file);
    QWidget window;
    TLiveResults live{&window, [this] {
                          return std::pair<const TWettkampf*, QString>(c.get(),
                                                                       QString::fromStdString(file));
                      }};
};

} // namespace

class LiveTest : public QObject {
    Q_OBJECT

    QTemporaryDir config_;

private Q_SLOTS:
    void initTestCase() {
        // The remembered folders go into a settings file of this run only.
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
    }

    void publishesThroughTheDialogAndAfterEverySave() {
        TLiveSetup s;
        TSeamScript seam;
        QSignalSpy status(&s.live, &TLiveResults::statusMessage);
        const std::string out = s.dir.File("www/live");
        seam.OnDialog([&](QDialog& d) {
            QCOMPARE(d.windowTitle(), QString("Ergebnisse veröffentlichen"));
            QCOMPARE(Find<QLabel>(&d, "lastPublished")->text(), QString("Noch nicht veröffentlicht."));
            Type(d.findChild<QLineEdit*>("folder"), QString::fromStdString(out));
            Click(d.findChild<QPushButton*>("publish"));
        });
        s.live.PublishAction()->trigger();
        QCOMPARE(seam.unexpected, 0);
        QCOMPARE(seam.boxes.size(), std::size_t(0));
        QVERIFY(std::filesystem::exists(out + "/index.html"));
        QVERIFY(std::filesystem::exists(out + "/ak-1.html"));
        QVERIFY(std::filesystem::exists(out + "/ergebnisse.xlsx"));
        QCOMPARE(TLiveResults::PublishFolder(QString::fromStdString(s.file)),
                 QString::fromStdString(out));
        QVERIFY(!status.isEmpty());
        QVERIFY(status.last().at(0).toString().startsWith("Live-Ergebnisse veröffentlicht: "));

        // Every save renews the folder, in the background with the competition as it
        // was saved; the dialog shows when it last published.
        s.c->At(0)->At(0)->SetName("Neuname");
        s.live.DocumentSaved();
        s.c->At(0)->At(0)->SetName("Spaeter");
        s.live.WaitForPublishing();
        QVERIFY(ReadFileBytes(out + "/ak-1.html").find("Neuname") != std::string::npos);
        QVERIFY(ReadFileBytes(out + "/ak-1.html").find("Spaeter") == std::string::npos);
        QVERIFY(status.last().at(0).toString().startsWith("Live-Ergebnisse veröffentlicht: "));
        seam.OnDialog([&](QDialog& d) {
            QVERIFY(Find<QLabel>(&d, "lastPublished")->text().startsWith("Zuletzt veröffentlicht: "));
            QCOMPARE(d.findChild<QLineEdit*>("folder")->text(), QString::fromStdString(out));
            d.reject();
        });
        s.live.PublishAction()->trigger();
        QCOMPARE(seam.unexpected, 0);
    }

    void aFolderThatCannotBeWrittenGivesOneMessage() {
        TLiveSetup s;
        TSeamScript seam;
        const std::string before = ReadFileBytes(s.file);
        WriteFileBytes(s.dir.File("blocker"), "x");
        TLiveResults::SetPublishFolder(QString::fromStdString(s.file),
                                       QString::fromStdString(s.dir.File("blocker") + "/live"));
        seam.AnswerBox(QMessageBox::Ok);
        s.live.DocumentSaved();
        s.live.WaitForPublishing();
        QCOMPARE(seam.boxes.size(), std::size_t(1));
        QCOMPARE(seam.boxes[0].kind, TBoxKind::Warning);
        QVERIFY(seam.boxes[0].text.contains("nicht veröffentlicht"));
        QCOMPARE(ReadFileBytes(s.file), before);

        // Typed into the dialog, such a folder is not remembered.
        TLiveResults::SetPublishFolder(QString::fromStdString(s.file), QString());
        seam.OnDialog([&](QDialog& d) {
            Type(d.findChild<QLineEdit*>("folder"),
                 QString::fromStdString(s.dir.File("blocker") + "/x"));
            Click(d.findChild<QPushButton*>("publish"));
        });
        seam.AnswerBox(QMessageBox::Ok);
        s.live.PublishAction()->trigger();
        QCOMPARE(seam.boxes.size(), std::size_t(2));
        QVERIFY(TLiveResults::PublishFolder(QString::fromStdString(s.file)).isEmpty());
    }

    void thePosterButtonShowsTheNoticeInThePreview() {
        TLiveSetup s;
        TSeamScript seam;
        seam.OnDialog([&](QDialog& d) {
            Type(d.findChild<QLineEdit*>("url"), "http://192.168.1.20:8080/");
            Click(d.findChild<QPushButton*>("poster"));
            d.reject();
        });
        int pages = 0;
        seam.OnDialog([&](QDialog& d) {
            auto* preview = dynamic_cast<TPreviewForm*>(&d);
            QVERIFY(preview);
            pages = preview->PageCount();
            d.reject();
        });
        s.live.PublishAction()->trigger();
        QCOMPARE(seam.unexpected, 0);
        QCOMPARE(pages, 1);
    }

    void servesTheSiteAndRenewsItOnEveryChange() {
        TLiveSetup s;
        TSeamScript seam;
        QSignalSpy status(&s.live, &TLiveResults::statusMessage);
        QSignalSpy renewed(&s.live, &TLiveResults::siteRenewed);
        s.live.SetPort(0);
        QAction* serve = s.live.ServeAction();
        QVERIFY(serve->isCheckable());
        serve->setChecked(true);
        QVERIFY(s.live.Serving());
        QVERIFY(renewed.wait(10000));
        const int port = s.live.ServingPort();
        QVERIFY(status.last().at(0).toString().startsWith("Live-Ergebnisse im Netzwerk: http://"));
        QVERIFY(status.last().at(0).toString().endsWith(QString(":%1/").arg(port)));

        auto [code, body] = Fetch(port, "/ak-1.html");
        QCOMPARE(code, 200);
        QVERIFY(body.find("Zander") != std::string::npos);

        // A change through the gate renews the served page without a save.
        s.c->At(0)->At(0)->SetName("Geaendert");
        s.live.DocumentChanged();
        QVERIFY(renewed.wait(10000));
        std::tie(code, body) = Fetch(port, "/ak-1.html");
        QCOMPARE(code, 200);
        QVERIFY(body.find("Geaendert") != std::string::npos);

        // A second program on the same port: one message, the item unchecked.
        TLiveResults other(&s.window, [&] {
            return std::pair<const TWettkampf*, QString>(s.c.get(), QString());
        });
        other.SetPort(port);
        seam.AnswerBox(QMessageBox::Ok);
        other.ServeAction()->setChecked(true);
        QCOMPARE(seam.boxes.size(), std::size_t(1));
        QVERIFY(seam.boxes[0].text.contains("belegt"));
        QVERIFY(!other.ServeAction()->isChecked());
        QVERIFY(!other.Serving());

        serve->setChecked(false);
        QVERIFY(!s.live.Serving());
        QCOMPARE(Fetch(port, "/").first, 0);
    }
};

VM_UI_TEST_MAIN(LiveTest)
#include "LiveTest.moc"
