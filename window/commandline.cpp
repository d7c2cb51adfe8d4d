#include "commandline.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace {

const QString Program = QStringLiteral("springlattice");
const QString StepsOption = QStringLiteral("steps-per-second");

/// The line of a command line the program does not take: the problem, and
/// where to read what it takes.
QString errorLine(const QString& problem)
{
    return QStringLiteral("%1: %2; see '%1 --help'\n").arg(Program, problem);
}

/// What --steps-per-second takes, as its errors say it.
QString paceWanted()
{
    return QString::fromStdString(Pace::wanted());
}

/// Whether the text is the named option with one dash or two.
bool isOption(const QString& text, const QString& name)
{
    return text == QLatin1Char('-') + name || text == QStringLiteral("--") + name;
}

/// The option as the user typed it, up to any '=': "-foo" or "--foo".
QString asTyped(const QString& name, const QStringList& arguments)
{
    for (const QString& argument : arguments.mid(1)) {
        const QString option = argument.section(QLatin1Char('='), 0, 0);
        if (isOption(option, name))
            return option;
    }
    return QStringLiteral("--") + name;
}

/// A pace of frames a second: a whole number from the slowest to the fastest,
/// in decimal digits alone.
bool readPace(const QString& text, int& pace)
{
    return Pace::read(text.toStdString(), pace);
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments, bool qtOptionsTaken)
{
    QCommandLineParser parser;
    // -platform, -style: Qt's options are long options with one dash.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Spring Lattice: a lattice of 48 masses joined by 117 springs, pinned along its\n"
        "bottom row, sags under its own weight, each spring drawn green when stretched\n"
        "and blue when compressed. Drag over it with the left button to cut it; the\n"
        "scroll bars set the mass of the top-left mass and the cutting radius; \"New\n"
        "Simulation\" rebuilds it and \"Exit\" ends the program. One frame is one time\n"
        "step."));
    const QCommandLineOption steps(
        StepsOption,
        QStringLiteral("Slow motion: at most N frames a second, N from %1 to %2. Without it frames follow one another "
                       "as fast as the machine draws them.")
            .arg(MinStepsPerSecond)
            .arg(MaxStepsPerSecond),
        QStringLiteral("N"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help and exits."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Shows the version and exits."));
    parser.addOptions({steps, help, version});
    // Unknown options are judged below, once Qt has taken its own.
    parser.parse(arguments);

    if (parser.isSet(help)) {
        // The usage line names the program as it is installed, whatever path
        // it was started by.
        const QString options = parser.helpText().section(QLatin1Char('\n'), 1);
        return {Request::Help, QStringLiteral("Usage: %1 [options]\n%2\nQt's own options, such as -platform NAME and "
                                              "-style NAME, are taken as well.\n")
                                   .arg(Program, options)};
    }
    if (parser.isSet(version))
        return {Request::Version, QStringLiteral("%1 %2\n").arg(Program, QStringLiteral(SPRINGLATTICE_VERSION))};

    // The value of a valued option is the argument after it, whatever it is:
    // only the last argument can lack one.
    const QString last = arguments.size() > 1 ? arguments.last() : QString();
    if (isOption(last, StepsOption))
        return {Request::Error, errorLine(QStringLiteral("%1 needs a value, %2").arg(last, paceWanted()))};
    int pace = 0;
    for (const QString& value : parser.values(steps)) {
        if (!readPace(value, pace))
            return {Request::Error, errorLine(QStringLiteral("%1 takes %2, not '%3'")
                                                  .arg(asTyped(StepsOption, arguments), paceWanted(), value))};
    }

    if (qtOptionsTaken) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            QStringList typed;
            for (const QString& name : unknown)
                typed << QLatin1Char('\'') + asTyped(name, arguments) + QLatin1Char('\'');
            const QString problem = unknown.size() > 1 ? QStringLiteral("unknown options %1")
                                                       : QStringLiteral("unknown option %1");
            return {Request::Error, errorLine(problem.arg(typed.join(QStringLiteral(", "))))};
        }
        const QStringList extra = parser.positionalArguments();
        if (!extra.isEmpty())
            return {Request::Error,
                    errorLine(QStringLiteral("unexpected argument '%1': the program opens no files").arg(extra.first()))};
    }
    return {Request::Run, QString(), pace};
}
