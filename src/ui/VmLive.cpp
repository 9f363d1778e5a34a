#include "ui/VmLive.h"

#include "live/VmPoster.h"
#include "live/VmServer.h"
#include "live/VmSite.h"
#include "ui/BvPrev.h"
#include "ui/BvPrinter.h"
#include "ui/VmUiSeam.h"

#include <QAction>
#include <QCoreApplication>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>
#include <QWidget>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace vm::ui {

// Runs jobs on a thread of its own. Only the newest job handed in is run: jobs that
// come faster than they are done are taken together. A job still waiting when the
// worker is destroyed is done first.
class TLiveWorker {
public:
    TLiveWorker() : thread_([this] { Run(); }) {}
    ~TLiveWorker() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        cv_.notify_all();
        thread_.join();
    }
    TLiveWorker(const TLiveWorker&) = delete;
    TLiveWorker& operator=(const TLiveWorker&) = delete;

    void Post(std::function<void()> job) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            pending_ = std::move(job);
        }
        cv_.notify_all();
    }
    // Returns when no job is waiting or running.
    void WaitIdle() {
        std::unique_lock<std::mutex> lock(mutex_);
        cv_.wait(lock, [this] { return !pending_ && !busy_; });
    }

private:
    void Run() {
        for (;;) {
            std::function<void()> job;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                cv_.wait(lock, [this] { return stop_ || pending_; });
                if (!pending_) return;
                job = std::move(pending_);
                pending_ = nullptr;
                busy_ = true;
            }
            job();
            {
                std::lock_guard<std::mutex> lock(mutex_);
                busy_ = false;
            }
            cv_.notify_all();
        }
    }

    std::mutex mutex_;
    std::condition_variable cv_;
    std::function<void()> pending_;
    bool busy_ = false;
    bool stop_ = false;
    std::thread thread_;
};

namespace {

QString SettingsKey(const char* what, const QString& resultFile) {
    // One entry per result file; the absolute path with its slashes kept out of the
    // key's group syntax.
    QString path = QFileInfo(resultFile).absoluteFilePath();
    path.replace(QLatin1Char('/'), QLatin1Char('|'));
    return QStringLiteral("Live/") + QLatin1String(what) + QLatin1Char('/') + path;
}

bool Saved(const QString& file) {
    return !file.isEmpty() && QFileInfo(file).isFile();
}

QString TimeText(const QDateTime& t) {
    return t.toString(QStringLiteral("dd.MM.yyyy, HH:mm")) + QStringLiteral(" Uhr");
}

// "Ergebnisse veröffentlichen": the folder, when it was last published, the address
// for the notice. It only returns values; publishing happens after it closed.
class TVeroeffentlichenDlg : public QDialog {
public:
    TVeroeffentlichenDlg(QWidget* parent, const QString& folder, const QString& last,
                         const QString& url, std::function<void(QWidget*, const QString&)> poster)
        : QDialog(parent) {
        setWindowTitle(QStringLiteral("Ergebnisse veröffentlichen"));
        auto* layout = new QVBoxLayout(this);
        auto* intro = new QLabel(
            QStringLiteral("Die Live-Ergebnisse (Übersicht, eine Seite je Altersklasse, CSV, "
                           "Excel und JSON) werden in diesen Ordner geschrieben und nach jedem "
                           "Speichern erneuert. Den Ordner kann ein Webserver anbieten."),
            this);
        intro->setWordWrap(true);
        layout->addWidget(intro);

        auto* form = new QFormLayout;
        auto* row = new QHBoxLayout;
        folder_ = new QLineEdit(folder, this);
        folder_->setObjectName(QStringLiteral("folder"));
        folder_->setMinimumWidth(360);
        auto* browse = new QPushButton(QStringLiteral("&Durchsuchen…"), this);
        connect(browse, &QPushButton::clicked, this, [this] {
            const QString dir = QFileDialog::getExistingDirectory(
                this, QStringLiteral("Ordner für die Live-Ergebnisse"), folder_->text());
            if (!dir.isEmpty()) folder_->setText(dir);
        });
        row->addWidget(folder_, 1);
        row->addWidget(browse);
        auto* folderLabel = new QLabel(QStringLiteral("&Ordner:"), this);
        folderLabel->setBuddy(folder_);
        form->addRow(folderLabel, row);

        auto* lastLabel = new QLabel(
            last.isEmpty() ? QStringLiteral("Noch nicht veröffentlicht.")
                           : QStringLiteral("Zuletzt veröffentlicht: ") + last,
            this);
        lastLabel->setObjectName(QStringLiteral("lastPublished"));
        form->addRow(QString(), lastLabel);

        url_ = new QLineEdit(url, this);
        url_->setObjectName(QStringLiteral("url"));
        url_->setPlaceholderText(QStringLiteral("https://…"));
        auto* urlLabel = new QLabel(QStringLiteral("&Adresse für den Aushang:"), this);
        urlLabel->setBuddy(url_);
        form->addRow(urlLabel, url_);
        layout->addLayout(form);

        auto* buttons = new QDialogButtonBox(this);
        auto* posterButton = buttons->addButton(QStringLiteral("Aushang &drucken…"),
                                                QDialogButtonBox::ActionRole);
        posterButton->setObjectName(QStringLiteral("poster"));
        auto* ok = buttons->addButton(QStringLiteral("&Veröffentlichen"),
                                      QDialogButtonBox::AcceptRole);
        ok->setObjectName(QStringLiteral("publish"));
        ok->setDefault(true);
        auto* cancel = buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
        MarkCancelButton(cancel);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(posterButton, &QPushButton::clicked, this,
                [this, poster] { poster(this, url_->text().trimmed()); });
        layout->addWidget(buttons);
    }

    QString Folder() const { return folder_->text().trimmed(); }
    QString Url() const { return url_->text().trimmed(); }

private:
    QLineEdit* folder_;
    QLineEdit* url_;
};

} // namespace

TLiveResults::TLiveResults(QWidget* mainWindow, TDocumentFn document)
    : QObject(mainWindow), window_(mainWindow), document_(std::move(document)),
      port_(LiveDefaultPort), server_(std::make_unique<TLiveServer>()) {}

TLiveResults::~TLiveResults() {
    // A publishing after the last save is finished; the renewer goes before the
    // server it hands sites to.
    publisher_.reset();
    renewer_.reset();
    server_->Stop();
}

QAction* TLiveResults::PublishAction() {
    if (!publish_) {
        publish_ = new QAction(QStringLiteral("Ergebnisse &veröffentlichen…"), this);
        publish_->setObjectName(QStringLiteral("actionPublish"));
        connect(publish_, &QAction::triggered, this, &TLiveResults::OpenPublishDialog);
    }
    return publish_;
}

QAction* TLiveResults::ServeAction() {
    if (!serve_) {
        serve_ = new QAction(QStringLiteral("Live-Ergebnisse im Netzwerk"), this);
        serve_->setObjectName(QStringLiteral("actionServe"));
        serve_->setCheckable(true);
        connect(serve_, &QAction::toggled, this, &TLiveResults::SetServing);
    }
    return serve_;
}

bool TLiveResults::Serving() const {
    return server_->Running();
}

int TLiveResults::ServingPort() const {
    return server_->Port();
}

QString TLiveResults::PublishFolder(const QString& resultFile) {
    return QSettings().value(SettingsKey("Ordner", resultFile)).toString();
}

void TLiveResults::SetPublishFolder(const QString& resultFile, const QString& folder) {
    QSettings settings;
    if (folder.isEmpty())
        settings.remove(SettingsKey("Ordner", resultFile));
    else
        settings.setValue(SettingsKey("Ordner", resultFile), folder);
}

std::unique_ptr<TWettkampf> TLiveResults::Snapshot() const {
    const auto [c, file] = document_();
    if (!c) return nullptr;
    return CopyCompetition(*c);
}

QString TLiveResults::ServedUrl() const {
    QString host = QString::fromStdString(LanAddress());
    if (host.isEmpty()) host = QStringLiteral("127.0.0.1");
    return QStringLiteral("http://%1:%2/").arg(host).arg(server_->Port());
}

void TLiveResults::SetServing(bool on) {
    if (on == server_->Running()) return;
    if (!on) {
        renewer_.reset();
        server_->Stop();
        Q_EMIT statusMessage(QStringLiteral("Live-Ergebnisse im Netzwerk beendet."));
        return;
    }
    std::string message;
    if (!server_->Start("0.0.0.0", port_, message)) {
        if (serve_) {
            const QSignalBlocker block(serve_);
            serve_->setChecked(false);
        }
        ShowBox(window_, TBoxKind::Warning, QString::fromStdString(message));
        return;
    }
    if (serve_ && !serve_->isChecked()) {
        const QSignalBlocker block(serve_);
        serve_->setChecked(true);
    }
    renewer_ = std::make_unique<TLiveWorker>();
    DocumentChanged();
    Q_EMIT statusMessage(QStringLiteral("Live-Ergebnisse im Netzwerk: ") + ServedUrl());
}

void TLiveResults::DocumentChanged() {
    if (!renewer_) return;
    std::shared_ptr<const TWettkampf> copy = Snapshot();
    if (!copy) return;
    TSiteOptions options;
    if (lastChange_) options.LastChange = lastChange_();
    TLiveServer* server = server_.get();
    renewer_->Post([this, server, copy, options] {
        server->Update(RenderSite(*copy, options));
        QMetaObject::invokeMethod(this, [this] { Q_EMIT siteRenewed(); }, Qt::QueuedConnection);
    });
}

bool TLiveResults::Publish(const QString& resultFile, const QString& folder) {
    // Not beside a publishing after a save into the same folder.
    WaitForPublishing();
    const auto [c, file] = document_();
    if (!c) return false;
    TSiteOptions options;
    if (lastChange_) options.LastChange = lastChange_();
    const auto site = RenderSite(*c, options);
    std::string message;
    const bool ok = PublishSite(*site, QFile::encodeName(folder).toStdString(), message);
    Published(resultFile, ok, QString::fromStdString(message));
    return ok;
}

void TLiveResults::Published(const QString& resultFile, bool ok, const QString& message) {
    if (!ok) {
        ShowBox(window_, TBoxKind::Warning,
                QStringLiteral("Die Live-Ergebnisse wurden nicht veröffentlicht.\n") + message);
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    QSettings().setValue(SettingsKey("Zeit", resultFile), now);
    Q_EMIT statusMessage(QStringLiteral("Live-Ergebnisse veröffentlicht: ") + TimeText(now));
}

void TLiveResults::DocumentSaved() {
    const QString file = document_().second;
    if (!Saved(file)) return;
    const QString folder = PublishFolder(file);
    if (!folder.isEmpty()) {
        // Written on a thread of its own, so that saving a large competition does not
        // wait for its site; the outcome comes back to this thread.
        std::shared_ptr<const TWettkampf> copy = Snapshot();
        if (copy) {
            TSiteOptions options;
            if (lastChange_) options.LastChange = lastChange_();
            if (!publisher_) publisher_ = std::make_unique<TLiveWorker>();
            const std::string dir = QFile::encodeName(folder).toStdString();
            publisher_->Post([this, copy, options, dir, file] {
                std::string message;
                const bool ok = PublishSite(*RenderSite(*copy, options), dir, message);
                QMetaObject::invokeMethod(
                    this,
                    [this, file, ok, text = QString::fromStdString(message)] {
                        Published(file, ok, text);
                    },
                    Qt::QueuedConnection);
            });
        }
    }
    DocumentChanged();
}

void TLiveResults::WaitForPublishing() {
    if (!publisher_) return;
    publisher_->WaitIdle();
    // Its outcome, queued for this thread, is taken now.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void TLiveResults::PrintPoster(QWidget* parent, const QString& url) {
    const auto [c, file] = document_();
    if (!c) return;
    if (url.isEmpty()) {
        ShowBox(parent, TBoxKind::Information,
                QStringLiteral("Bitte die Adresse angeben, unter der die Ergebnisse zu "
                               "finden sind."));
        return;
    }
    const auto poster = BuildPoster(*c, url.toStdString());
    if (!poster) {
        ShowBox(parent, TBoxKind::Warning, QStringLiteral("Die Adresse ist zu lang für einen QR-Code."));
        return;
    }
    if (TPreviewForm::ShowPreview(parent, poster.get(), PosterWidth, PosterHeight) ==
        TPreviewForm::PrintResult)
        PrintDocument(parent, *poster, 1, 0, true, 1);
}

void TLiveResults::OpenPublishDialog() {
    const QString file = document_().second;
    if (!Saved(file)) {
        ShowBox(window_, TBoxKind::Information,
                QStringLiteral("Bitte die Ergebnisdatei zuerst speichern: der Ordner wird für "
                               "sie gemerkt."));
        return;
    }
    QSettings settings;
    const QDateTime last = settings.value(SettingsKey("Zeit", file)).toDateTime();
    QString url = settings.value(SettingsKey("Adresse", file)).toString();
    if (url.isEmpty() && server_->Running()) url = ServedUrl();
    TVeroeffentlichenDlg dlg(window_, PublishFolder(file), last.isValid() ? TimeText(last) : QString(),
                             url, [this](QWidget* parent, const QString& u) { PrintPoster(parent, u); });
    if (ExecDialog(dlg) != QDialog::Accepted) return;
    settings.setValue(SettingsKey("Adresse", file), dlg.Url());
    const QString folder = dlg.Folder();
    if (folder.isEmpty()) {
        SetPublishFolder(file, folder);
        Q_EMIT statusMessage(QStringLiteral("Die Live-Ergebnisse werden nicht mehr veröffentlicht."));
        return;
    }
    // Only a folder that could be written is remembered, so that a mistyped one does not
    // bring a message with every save.
    if (Publish(file, folder)) SetPublishFolder(file, folder);
}

} // namespace vm::ui
