// springlattice-clicks [clicks]: the real window on the offscreen platform,
// frames running, with "New Simulation" clicked between frames (default
// 10000 times). Prints the resident and peak memory every thousand clicks, so
// that a leak in rebuilding the lattice shows as a rising line.
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "window/form1.h"

namespace {

/// A field of /proc/self/status in kB (VmRSS, VmHWM).
long statusKilobytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int clicks = argc > 1 ? std::atoi(argv[1]) : 10000;
    Form1 form;
    form.Load();
    int done = 0;
    std::printf("clicks  VmRSS_kB  VmHWM_kB\n");
    // One click per turn of the event loop, so that frames run between them.
    QTimer clicker;
    QObject::connect(&clicker, &QTimer::timeout, [&] {
        if (done % 1000 == 0)
            std::printf("%6d  %8ld  %8ld\n", done, statusKilobytes("VmRSS"), statusKilobytes("VmHWM"));
        if (done == clicks) {
            clicker.stop();
            QCoreApplication::quit();
            return;
        }
        form.Command1->click();
        ++done;
    });
    clicker.start(0);
    return QApplication::exec();
}
