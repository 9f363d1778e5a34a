#include "ui/VmAutosave.h"

#include <QMetaObject>

namespace vm::ui {

TAutosave::TAutosave(QObject* parent, std::string folder)
    : QObject(parent), copies_(std::move(folder)) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &TAutosave::Start);
    pool_.setMaxThreadCount(1);
}

TAutosave::~TAutosave() {
    timer_.stop();
    pool_.waitForDone();
}

void TAutosave::SetDelay(int milliseconds) {
    delay_ = milliseconds;
}

void TAutosave::Schedule(const TSnapshot& state, const std::string& document, bool now) {
    pending_ = state;
    document_ = document;
    havePending_ = true;
    if (running_) return; // taken up when the copy being written is done
    if (now)
        timer_.start(0);
    else if (!timer_.isActive())
        timer_.start(delay_);
}

void TAutosave::Discard() {
    timer_.stop();
    havePending_ = false;
    pending_ = {};
    ++generation_;
    copies_.Remove();
}

void TAutosave::Start() {
    if (!havePending_ || running_) return;
    running_ = true;
    havePending_ = false;
    // The worker gets values of its own: the snapshot's blocks never change, and the
    // names are a copy, so that a Discard meanwhile cannot pull them from under it.
    writing_ = pending_;
    pending_ = {};
    TSnapshot state = writing_;
    const std::string document = document_;
    TRecoveryCopies target = copies_;
    const unsigned generation = generation_;
    pool_.start([this, state = std::move(state), document, target, generation]() mutable {
        std::string error;
        const bool ok = target.Write(state.Bytes(), document, error);
        const QString reason = QString::fromStdString(error);
        QMetaObject::invokeMethod(
            this, [this, generation, target, ok, reason] { Finished(generation, target, ok, reason); },
            Qt::QueuedConnection);
    });
}

void TAutosave::Finished(unsigned generation, TRecoveryCopies used, bool ok, const QString& reason) {
    running_ = false;
    Q_EMIT attempted(ok);
    TSnapshot written = std::move(writing_);
    writing_ = {};
    if (generation != generation_) {
        // Saved or replaced while the copy was written: it is no longer wanted.
        used.Remove();
    } else if (ok) {
        failing_ = false;
        Q_EMIT this->written(QDateTime::currentDateTime());
    } else {
        if (!failing_) Q_EMIT failed(reason);
        failing_ = true;
        // Tried again later, with whatever the document is by then.
        if (!havePending_) {
            pending_ = std::move(written);
            havePending_ = true;
        }
        timer_.start(delay_);
        return;
    }
    if (havePending_) timer_.start(0);
}

} // namespace vm::ui
