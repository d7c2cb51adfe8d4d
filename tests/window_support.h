#pragma once

// Helpers for driving the real window on the offscreen platform.

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

#include "support.h"
#include "window/form1.h"
#include "window/picturebox.h"

/// Runs the event loop until the program ends or the time is up; returns the
/// exit status, or NotEnded. The time limit dies with the call: a run that
/// ends early leaves no timer behind to cut a later run short.
inline constexpr int NotEnded = -100;
inline int runFor(int milliseconds)
{
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, qApp, [] { QCoreApplication::exit(NotEnded); });
    limit.start(milliseconds);
    return QApplication::exec();
}

/// Runs the event loop until the condition holds, the program ends or the
/// time is up, whichever comes first; returns the exit status, or NotEnded.
template <typename Condition>
int runUntil(Condition&& condition, int milliseconds = 20000)
{
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, qApp, [&] {
        if (condition())
            QCoreApplication::exit(NotEnded);
    });
    check.start(1);
    return condition() ? NotEnded : runFor(milliseconds);
}

/// A pointer move over the picture at a position in twips.
inline void movePointer(Form1& form, double x, double y, Qt::MouseButtons buttons)
{
    const QPointF at(x / 15.0, y / 15.0);
    QMouseEvent event(QEvent::MouseMove, at, form.Picture1->mapToGlobal(at), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(form.Picture1, &event);
}

/// Queues a pointer move over the picture at a position in twips, to be
/// delivered with the next batch of events, between two frames.
inline void postPointer(Form1& form, double x, double y, Qt::MouseButtons buttons)
{
    const QPointF at(x / 15.0, y / 15.0);
    QCoreApplication::postEvent(form.Picture1, new QMouseEvent(QEvent::MouseMove, at, form.Picture1->mapToGlobal(at),
                                                               Qt::NoButton, buttons, Qt::NoModifier));
}

