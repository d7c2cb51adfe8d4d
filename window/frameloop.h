#pragma once

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <optional>

#include "core/pace.h"

class QSocketNotifier;

/// The window's frame loop: it asks for one frame at a time from Qt's event
/// loop, so that the user's events are delivered between every two frames,
/// one at a time.
///
/// Without a pace, the next frame follows as soon as the event loop has
/// delivered what is pending: no interval, no clock. At a pace of N frames a
/// second (slow motion), frame k is due at start + k/N seconds on the
/// monotonic clock, so the pace does not drift. The loop sleeps until then,
/// delivering events as they come; a frame that comes late runs at once, and
/// the frames due meanwhile are not made up: the next is the first one due
/// after it.
class FrameLoop : public QObject {
    Q_OBJECT

public:
    /// stepsPerSecond: 0 for frames without limit, or at most that many
    /// frames a second; it must not be negative.
    explicit FrameLoop(int stepsPerSecond, QObject* parent = nullptr);
    ~FrameLoop() override;

    /// Starts the frames, the first at once. Throws std::system_error where
    /// the system has no timer to give.
    void start();
    /// No frame is asked for any more.
    void stop();
    bool isActive() const { return m_active; }

signals:
    /// Time for a frame.
    void frame();

private:
    /// The paced frame whose time has come: runs it, then waits for the next.
    void onDue();
    /// Wakes the loop at the given time on the monotonic clock (nanoseconds).
    void wakeAt(std::int64_t time);

    /// Slow motion's clock and its decisions, where a pace was asked for.
    std::optional<Pace> m_pace;
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
