#pragma once

#include <QString>
#include <QStringList>

#include "core/pace.h"

/// What the program's command line asks for. The program takes
/// --steps-per-second N (slow motion), -h/--help and -v/--version, and Qt's
/// own options (-platform, -style, ...), which Qt takes out of the arguments
/// when it opens the display. Options are read as long options with one dash
/// or two.
class CommandLine {
public:
    enum class Request {
        /// Open the window.
        Run,
        /// Print the help text on standard output, status 0.
        Help,
        /// Print the version line on standard output, status 0.
        Version,
        /// Print the error line on standard error, status UsageStatus.
        Error,
    };

    /// The slowest and the fastest pace a user can ask for, in frames a second.
    static constexpr int MinStepsPerSecond = Pace::MinStepsPerSecond;
    static constexpr int MaxStepsPerSecond = Pace::MaxStepsPerSecond;
    /// Exit status for a command line the program does not take.
    static constexpr int UsageStatus = 2;

    /// Reads the arguments, the program's name first. Until Qt has taken its
    /// own options out (qtOptionsTaken false), an option the program does not
    /// know and a bare argument may still be Qt's or a value of Qt's, and are
    /// left alone; --help, --version and the value of --steps-per-second are
    /// judged at once.
    static CommandLine parse(const QStringList& arguments, bool qtOptionsTaken);

    Request request() const { return m_request; }
    /// Frames a second asked for, or 0 where no pace was asked for: frames
    /// then follow one another without limit.
    int stepsPerSecond() const { return m_stepsPerSecond; }
    /// The help text, the version line or the error line, ending in a newline.
    const QString& message() const { return m_message; }

private:
    CommandLine(Request request, QString message, int stepsPerSecond = 0)
        : m_request(request), m_message(std::move(message)), m_stepsPerSecond(stepsPerSecond)
    {
    }

    Request m_request;
    QString m_message;
    int m_stepsPerSecond;
};
