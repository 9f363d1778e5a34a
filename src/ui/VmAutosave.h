// The recovery copy of the open document: written on a worker thread from a snapshot
// that the gate took, so that writing it never holds up typing.
#pragma once

#include "file/VmRecovery.h"
#include "file/VmUndo.h"

#include <QDateTime>
#include <QObject>
#include <QThreadPool>
#include <QTimer>

#include <string>

namespace vm::ui {

class TAutosave : public QObject {
    Q_OBJECT
public:
    explicit TAutosave(QObject* parent = nullptr, std::string folder = RecoveryFolder());
    ~TAutosave() override;

    void SetDelay(int milliseconds);
    int Delay() const { return delay_; }
    // The document changed: its state is copied within the delay, or at once.
    void Schedule(const TSnapshot& state, const std::string& document, bool now);
    // The document was saved, replaced or closed: its copy goes, and a pending one is
    // not written.
    void Discard();
    // Whether a copy is waiting or being written.
    bool Busy() const { return timer_.isActive() || running_; }
    // The copy file of the current document (which may not exist yet).
    std::string CopyFile() const { return copies_.CopyFile(); }
    const std::string& Folder() const { return copies_.Folder(); }

Q_SIGNALS:
    void written(const QDateTime& when);
    // Sent once per run of failures; the next success ends the run.
    void failed(const QString& reason);
    // After every attempt, written or not.
    void attempted(bool ok);

private:
    void Start();
    void Finished(unsigned generation, TRecoveryCopies used, bool ok, const QString& reason);

    TRecoveryCopies copies_;
    QTimer timer_;
    QThreadPool pool_;
    TSnapshot pending_;
    TSnapshot writing_;
    std::string document_;
    bool havePending_ = false;
    bool running_ = false;
    bool failing_ = false;
    unsigned generation_ = 0;
    int delay_ = 30000;
};

} // namespace vm::ui
