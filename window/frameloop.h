#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>

#include "core/pace.h"

class QSocketNotifier;

/// The window's frame loop: it asks for one frame at a time from Qt's event
/// loop, so that the user's events are delivered between every two frames,
/// one at a time.
///
/// Without a pace, the next frame follows as soon as the event loop has
/// delivered what is pending: no interval, no clock. In slow motion the pace
/// decides, on the monotonic clock, when each frame is due; the loop sleeps
/// until then, delivering events as they come. The window makes up no late
/// frame: the pace it is given has no grace.
class FrameLoop : public QObject {
    Q_OBJECT

public:
    /// pace: slow motion's, which the loop asks and tells on the monotonic
    /// clock and which outlives it; null for frames without limit.
    explicit FrameLoop(Pace* pace, QObject* parent = nullptr);
    ~FrameLoop() override;

    /// Starts the frames, the first at once. Where the system has no timer to
    /// give, or cannot set it, failed() tells why and no frame follows.
    void start();
    /// No frame is asked for any more.
    void stop();

signals:
    /// Time for a frame.
    void frame();
    /// Slow motion's timer could not be made or set: the system's reason.
    void failed(const QString& reason);

private:
    /// The paced frame whose time has come: runs it, then waits for the next.
    void onDue();
    /// Wakes the loop at the given time on the monotonic clock (nanoseconds).
    void wakeAt(std::int64_t time);
    /// Stops, and tells what failed with the system's reason for errno.
    void fail(const char* what);

    /// Slow motion's clock and its decisions, where a pace was asked for.
    Pace* const m_pace;
    bool m_active = false;
    /// Without a pace: a timer of no interval.
    QTimer m_unpaced;
#ifdef Q_OS_LINUX
    /// A timer file that becomes readable when the frame is due, to the
    /// nanosecond, and the notifier that watches it.
    int m_timerFile = -1;
    QSocketNotifier* m_due = nullptr;
#else
    /// A precise timer, to the millisecond.
    QTimer m_paced;
#endif
};
