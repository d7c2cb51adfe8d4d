#include "application.h"

#include "commandline.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

/// A message as Qt logged it, kept until the platform is open.
struct HeldMessage {
    QtMsgType type;
    std::string file;
    int line;
    std::string function;
    std::string category;
    QString text;
};

std::mutex heldLock;
std::vector<HeldMessage> held;
QtMessageHandler previousHandler = nullptr;

const char* orNull(const std::string& text)
{
    return text.empty() ? nullptr : text.c_str();
}

std::string copied(const char* text)
{
    return text == nullptr ? std::string() : std::string(text);
}

/// Gives the held messages, in order, to the handler that was there before.
void passOnHeld()
{
    std::vector<HeldMessage> messages;
    {
        const std::lock_guard lock(heldLock);
        messages.swap(held);
    }
    for (const HeldMessage& m : messages)
        previousHandler(m.type,
                        QMessageLogContext(orNull(m.file), m.line, orNull(m.function), orNull(m.category)), m.text);
}

QByteArray described(const char* variable)
{
    return qEnvironmentVariableIsSet(variable) ? QByteArray(variable) + "=" + qgetenv(variable)
                                               : QByteArray(variable) + " unset";
}

[[noreturn]] void reportNoPlatform()
{
    std::fprintf(stderr,
                 "springlattice: cannot open a window: no display could be opened (%s, %s, %s); check that DISPLAY "
                 "or WAYLAND_DISPLAY names a running display server, or that QT_QPA_PLATFORM names a platform that "
                 "can start here\n",
                 described("DISPLAY").constData(), described("WAYLAND_DISPLAY").constData(),
                 described("QT_QPA_PLATFORM").constData());
    std::fflush(stderr);
    // Quick exit: the application is half built, its destructors must not run.
    std::_Exit(1);
}

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    // Qt's last words when every platform it tried has failed to open.
    if (type == QtFatalMsg && text.contains(QStringLiteral("no Qt platform plugin could be initialized")))
        reportNoPlatform();
    if (type == QtFatalMsg) {
        // Any other fatal error goes out at once, after what led to it.
        qInstallMessageHandler(previousHandler);
        passOnHeld();
        previousHandler(type, context, text);
        return;
    }
    const std::lock_guard lock(heldLock);
    held.push_back({type, copied(context.file), context.line, copied(context.function), copied(context.category),
                    text});
}

QStringList argumentList(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

/// Carries out what the command line asks for where that is not to run:
/// prints the help, the version or the error and ends the program.
void answer(const CommandLine& line)
{
    if (line.request() == CommandLine::Request::Run)
        return;
    const bool error = line.request() == CommandLine::Request::Error;
    std::FILE* out = error ? stderr : stdout;
    std::fputs(line.message().toLocal8Bit().constData(), out);
    std::fflush(out);
    std::exit(error ? CommandLine::UsageStatus : 0);
}

} // namespace

EarlyCommandLine::EarlyCommandLine(int argc, char** argv)
{
    answer(CommandLine::parse(argumentList(argc, argv), false));
}

PlatformWatch::PlatformWatch()
{
    previousHandler = qInstallMessageHandler(holdMessage);
}

void PlatformWatch::platformOpened()
{
    qInstallMessageHandler(previousHandler);
    passOnHeld();
}

Application::Application(int& argc, char** argv) : EarlyCommandLine(argc, argv), QApplication(argc, argv)
{
    platformOpened();
    setApplicationVersion(QStringLiteral(SPRINGLATTICE_VERSION));
    // Qt has taken its own options out of the arguments: what is left is the
    // program's, or a mistake.
    const CommandLine line = CommandLine::parse(arguments(), true);
    answer(line);
    m_stepsPerSecond = line.stepsPerSecond();
}
