#pragma once

#include <QApplication>

/// Holds back Qt's messages while the application opens its platform (the
/// connection to the display); a platform that cannot be opened ends the
/// program with one line on standard error and exit status 1.
class PlatformWatch {
protected:
    PlatformWatch();
    /// The platform is open: stops watching and passes the held messages on to
    /// the message handler that was there before.
    void platformOpened();
};

/// Answers --help and --version, and turns down a bad value of the program's
/// own options, before any display is opened.
class EarlyCommandLine {
protected:
    EarlyCommandLine(int argc, char** argv);
};

/// The program's application object. It reads the command line: --help and
/// --version are answered with status 0, and a command line the program does
/// not take gets one line on standard error and status 2, without a window.
/// When no platform can be opened (no display to connect to), the program ends
/// with one line on standard error saying what to check, and exit status 1, in
/// place of Qt's abort and its advice to reinstall.
class Application : private EarlyCommandLine, private PlatformWatch, public QApplication {
public:
    /// argc must live as long as the application, as for QApplication.
    Application(int& argc, char** argv);
    // EarlyCommandLine and PlatformWatch come first among the bases, so that
    // the one reads the command line before QApplication's constructor opens
    // the platform, and the other watches while it does.

    /// The pace the command line asks for, in frames a second; 0 for frames
    /// without limit.
    int stepsPerSecond() const { return m_stepsPerSecond; }

private:
    int m_stepsPerSecond = 0;
};
