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

/// The program's application object. When no platform can be opened (no
/// display to connect to), the program ends with one line on standard error
/// saying what to check, and exit status 1, in place of Qt's abort and its
/// advice to reinstall.
class Application : private PlatformWatch, public QApplication {
public:
    /// argc must live as long as the application, as for QApplication.
    Application(int& argc, char** argv);
    // PlatformWatch comes first among the bases, so it watches while
    // QApplication's constructor opens the platform.
};
