// The live results in the desktop program: publishing the results site into a folder
// after every save, serving it on the venue's network while the program runs, and the
// notice with the QR code. The main window owns one TLiveResults, puts its two actions
// into "&Datei" and calls DocumentChanged and DocumentSaved from its command gate and
// its save.
#pragma once

#include "model/VmWettk.h"

#include <QObject>
#include <QString>

#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

class QAction;
class QWidget;

namespace vm {
class TLiveServer;
class TSite;
} // namespace vm

namespace vm::ui {

class TLiveWorker;

class TLiveResults : public QObject {
    Q_OBJECT
public:
    // The open competition (only read, never kept past the call) and its file name
    // (empty or not on disk while the competition has not been saved).
    using TDocumentFn = std::function<std::pair<const TWettkampf*, QString>()>;
    // The time of each age class's last change, by its stored name (may be empty).
    using TLastChangeFn = std::function<std::map<std::string, std::time_t>()>;

    TLiveResults(QWidget* mainWindow, TDocumentFn document);
    ~TLiveResults() override;

    // "Ergebnisse &veröffentlichen…": the publish dialog.
    QAction* PublishAction();
    // "Live-Ergebnisse im Netzwerk" (checkable): starts and stops the built-in server.
    QAction* ServeAction();

    // After every change that passed the gate: renews the served site in the
    // background (the competition is copied here, rendered on a worker thread).
    void DocumentChanged();
    // After every save: renews the published folder of this result file, if it has one,
    // on a worker thread. A folder that cannot be written gives one message (when the
    // worker is done); the save stays done.
    void DocumentSaved();
    // Returns when the publishing after the last save is done and its outcome shown.
    void WaitForPublishing();

    void SetLastChangeSource(TLastChangeFn fn) { lastChange_ = std::move(fn); }

    // The port the server binds (default 8080; 0 takes any free port).
    void SetPort(int port) { port_ = port; }
    bool Serving() const;
    int ServingPort() const;
    // The folder the result file publishes into; empty when none was chosen.
    static QString PublishFolder(const QString& resultFile);
    static void SetPublishFolder(const QString& resultFile, const QString& folder);

    // Runs the publish dialog (what the action does).
    void OpenPublishDialog();

Q_SIGNALS:
    void statusMessage(const QString& text);
    // The served site has been renewed (emitted on the GUI thread).
    void siteRenewed();

private:
    void SetServing(bool on);
    std::unique_ptr<TWettkampf> Snapshot() const;
    // Publishes now; false after its one message.
    bool Publish(const QString& resultFile, const QString& folder);
    // The outcome of a publishing: the message, or the time and the status line.
    void Published(const QString& resultFile, bool ok, const QString& message);
    void PrintPoster(QWidget* parent, const QString& url);
    QString ServedUrl() const;

    QWidget* window_;
    TDocumentFn document_;
    TLastChangeFn lastChange_;
    QAction* publish_ = nullptr;
    QAction* serve_ = nullptr;
    int port_;
    std::unique_ptr<TLiveServer> server_;
    std::unique_ptr<TLiveWorker> renewer_;   // the served site
    std::unique_ptr<TLiveWorker> publisher_; // the folder, after saving
};

} // namespace vm::ui
