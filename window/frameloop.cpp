#include "frameloop.h"

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <system_error>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace {

constexpr std::int64_t NanosecondsPerSecond = 1'000'000'000;

/// Nanoseconds on the monotonic clock (CLOCK_MONOTONIC on Linux, the clock
/// the timer file counts on).
std::int64_t monotonicNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

FrameLoop::FrameLoop(Pace* pace, QObject* parent) : QObject(parent), m_pace(pace)
{
    m_unpaced.setInterval(0);
    connect(&m_unpaced, &QTimer::timeout, this, &FrameLoop::frame);
#ifndef Q_OS_LINUX
    m_paced.setSingleShot(true);
    m_paced.setTimerType(Qt::PreciseTimer);
    connect(&m_paced, &QTimer::timeout, this, &FrameLoop::onDue);
#endif
}

FrameLoop::~FrameLoop()
{
#ifdef Q_OS_LINUX
    // The notifier lets go of the file before it is closed.
    delete m_due;
    if (m_timerFile >= 0)
        ::close(m_timerFile);
#endif
}

void FrameLoop::start()
{
    if (m_active)
        return;
    if (!m_pace) {
        m_active = true;
        m_unpaced.start();
        return;
    }
#ifdef Q_OS_LINUX
    if (m_timerFile < 0) {
        const int file = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (file < 0)
            return fail("cannot make the timer of slow motion");
        m_timerFile = file;
        m_due = new QSocketNotifier(file, QSocketNotifier::Read, this);
        connect(m_due, &QSocketNotifier::activated, this, [this] {
            // Readable once the time set has come; reading resets it.
            std::uint64_t expirations = 0;
            if (::read(m_timerFile, &expirations, sizeof expirations) == sizeof expirations)
                onDue();
        });
    }
    m_due->setEnabled(true);
#endif
    m_active = true;
    m_pace->start(monotonicNow());
    wakeAt(m_pace->dueAt());
}

void FrameLoop::stop()
{
    m_active = false;
    m_unpaced.stop();
#ifdef Q_OS_LINUX
    if (m_due != nullptr) {
        m_due->setEnabled(false);
        const itimerspec disarmed{};
        ::timerfd_settime(m_timerFile, 0, &disarmed, nullptr);
    }
#else
    m_paced.stop();
#endif
}

void FrameLoop::onDue()
{
    if (!m_active)
        return;
    emit frame();
    // The frame may have ended the program.
    if (!m_active)
        return;
    // The window makes up no late frame: those that fell due while this one
    // was late are left out.
    m_pace->ran(monotonicNow());
    wakeAt(m_pace->dueAt());
}

void FrameLoop::wakeAt(std::int64_t time)
{
#ifdef Q_OS_LINUX
    itimerspec at{};
    at.it_value.tv_sec = static_cast<time_t>(time / NanosecondsPerSecond);
    at.it_value.tv_nsec = static_cast<long>(time % NanosecondsPerSecond);
    // A time that has passed wakes the loop at once.
    if (::timerfd_settime(m_timerFile, TFD_TIMER_ABSTIME, &at, nullptr) != 0)
        fail("cannot set the timer of slow motion");
#else
    // To the millisecond, rounded up: never early.
    const std::int64_t wait = std::max<std::int64_t>(0, time - monotonicNow());
    m_paced.start(static_cast<int>((wait + 999'999) / 1'000'000));
#endif
}

void FrameLoop::fail(const char* what)
{
    const int error = errno;
    stop();
    emit failed(QString::fromUtf8(what) + QStringLiteral(": ")
                + QString::fromStdString(std::generic_category().message(error)));
}
