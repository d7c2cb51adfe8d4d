// The window on the offscreen platform: layout, controls, the user's actions
// and how the program ends.
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "window/commandline.h"
#include "window/form1.h"
#include "window/picturebox.h"
#include "window/titlebar.h"
#include "window_support.h"

namespace {

TEST(Window, LayoutFollowsTheFixedDesign)
{
    Form1 form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Tovek Marlund - Quellith - Click on the structure"));
    // The client area holds the controls. On Wayland the window draws its own
    // title bar above it: the caption and a close box, nothing to resize by.
    QWidget* const client = form.Picture1->parentWidget();
    EXPECT_EQ(client->size(), QSize(682, 559));
    const TitleBar* const bar = form.findChild<TitleBar*>();
    if (QGuiApplication::platformName() == QStringLiteral("wayland")) {
        ASSERT_NE(bar, nullptr);
        EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
        form.show();
        EXPECT_EQ(bar->geometry(), QRect(0, 0, 682, client->y()));
        EXPECT_TRUE(bar->rect().contains(bar->closeBox()));
    } else {
        EXPECT_EQ(bar, nullptr);
        EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
        EXPECT_EQ(client->pos(), QPoint(0, 0));
    }
    EXPECT_EQ(form.size(), QSize(682, 559 + client->y()));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form.Picture1->geometry(), QRect(0, 0, 681, 505));
    EXPECT_EQ(form.Command2->geometry(), QRect(600, 512, 73, 41));
    EXPECT_EQ(form.HScroll1->geometry(), QRect(8, 512, 505, 17));
    EXPECT_EQ(form.HScroll2->geometry(), QRect(8, 536, 505, 17));
    EXPECT_EQ(form.Command1->geometry(), QRect(520, 512, 73, 41));
    EXPECT_EQ(form.Command1->text(), QStringLiteral("New Simulation"));
    EXPECT_EQ(form.Command2->text(), QStringLiteral("Exit"));
    EXPECT_EQ(form.Picture1->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(form.Picture1->font().pointSizeF(), 8.25);

    // Tab order, from the picture round to it again.
    const std::vector<QWidget*> order{form.Picture1, form.Command2, form.HScroll1, form.HScroll2, form.Command1};
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        QWidget* next = order[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        EXPECT_EQ(next, order[i + 1]) << i;
    }
}

TEST(Window, ScrollBarsHaveTheirRangesAndSteps)
{
    Form1 form;
    EXPECT_EQ(form.HScroll1->minimum(), 1);
    EXPECT_EQ(form.HScroll1->maximum(), 80);
    EXPECT_EQ(form.HScroll1->value(), 1);
    EXPECT_EQ(form.HScroll1->singleStep(), 2);
    EXPECT_EQ(form.HScroll1->pageStep(), 5);
    EXPECT_EQ(form.HScroll2->minimum(), 100);
    EXPECT_EQ(form.HScroll2->maximum(), 3000);
    EXPECT_EQ(form.HScroll2->value(), 400);
    EXPECT_EQ(form.HScroll2->singleStep(), 1);
    EXPECT_EQ(form.HScroll2->pageStep(), 1);
    // The user cannot take a slider past its ends.
    form.Load();
    form.HScroll1->triggerAction(QAbstractSlider::SliderToMaximum);
    form.HScroll1->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(form.HScroll1->value(), 80);
}

// A focused scroll bar's keys and the wheel over it: Right, Down and Page Down
// and the wheel turned towards the user raise the value, their opposites lower
// it, Home and End go to the ends; the mass slider's value reaches mass 1.
TEST(Window, ScrollBarKeysAndWheelMoveTheWayTheyPoint)
{
    Form1 form;
    form.Load();
    const auto wheel = [](QScrollBar* bar, int angle) {
        const QPointF at(bar->rect().center());
        QWheelEvent event(at, bar->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &event);
    };
    for (QScrollBar* bar : {form.HScroll1, form.HScroll2}) {
        SCOPED_TRACE(bar == form.HScroll1 ? "mass slider" : "cutting radius slider");
        bar->setFocus();
        const int middle = (bar->minimum() + bar->maximum()) / 2;
        const int small = bar->singleStep();
        const int large = bar->pageStep();
        // Three lines a notch, at most a page.
        const int notch = std::min(QApplication::wheelScrollLines() * small, large);
        const auto expect = [&](auto action, int expected, const char* what) {
            bar->setValue(middle);
            action();
            EXPECT_EQ(bar->value(), expected) << what;
            EXPECT_EQ(form.simulation().Masses(1).M, form.HScroll1->value()) << what;
        };
        expect([&] { QTest::keyClick(bar, Qt::Key_Right); }, middle + small, "Right");
        expect([&] { QTest::keyClick(bar, Qt::Key_Left); }, middle - small, "Left");
        expect([&] { QTest::keyClick(bar, Qt::Key_Down); }, middle + small, "Down");
        expect([&] { QTest::keyClick(bar, Qt::Key_Up); }, middle - small, "Up");
        expect([&] { QTest::keyClick(bar, Qt::Key_PageDown); }, middle + large, "Page Down");
        expect([&] { QTest::keyClick(bar, Qt::Key_PageUp); }, middle - large, "Page Up");
        expect([&] { QTest::keyClick(bar, Qt::Key_Home); }, bar->minimum(), "Home");
        expect([&] { QTest::keyClick(bar, Qt::Key_End); }, bar->maximum(), "End");
        expect([&] { wheel(bar, -120); }, middle + notch, "wheel towards the user");
        expect([&] { wheel(bar, 120); }, middle - notch, "wheel away from the user");
    }
}

// No label is added: each control says what it does to a screen reader and in
// its tip, and the scroll bars' tips give their values as they are now.
TEST(Window, ControlsSayWhatTheyDoWithoutLabels)
{
    Form1 form;
    form.Load();
    // Nothing is added to the client area: no label, no caption.
    EXPECT_EQ(form.Picture1->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 5);
    for (QWidget* control : std::initializer_list<QWidget*>{form.Picture1, form.Command2, form.HScroll1,
                                                             form.HScroll2, form.Command1}) {
        SCOPED_TRACE(control->metaObject()->className());
        QAccessibleInterface* announced = QAccessible::queryAccessibleInterface(control);
        ASSERT_NE(announced, nullptr);
        EXPECT_FALSE(announced->text(QAccessible::Name).isEmpty());
        EXPECT_FALSE(announced->text(QAccessible::Description).isEmpty());
        EXPECT_FALSE(control->toolTip().isEmpty());
    }
    EXPECT_EQ(form.Picture1->toolTip(), QStringLiteral("Drag with the left button to cut the structure"));
    EXPECT_EQ(form.HScroll1->toolTip(), QStringLiteral("Mass of the top-left mass: 1"));
    EXPECT_EQ(form.HScroll2->toolTip(), QStringLiteral("Cutting radius: 400 twips"));

    QTest::keyClick(form.HScroll1, Qt::Key_End);
    EXPECT_EQ(form.HScroll1->toolTip(), QStringLiteral("Mass of the top-left mass: 80"));
    // New Simulation: the corner weighs 1 again while the bar stays at 80.
    QTest::mouseClick(form.Command1, Qt::LeftButton);
    EXPECT_EQ(form.HScroll1->toolTip(),
              QStringLiteral("Mass of the top-left mass: 1 since New Simulation; move the bar to set it"));
    QTest::keyClick(form.HScroll1, Qt::Key_Left);
    EXPECT_EQ(form.HScroll1->toolTip(), QStringLiteral("Mass of the top-left mass: 78"));

    // A bar being dragged shows its tip with each value it passes.
    form.HScroll2->setSliderDown(true);
    for (int radius : {1234, 1300}) {
        form.HScroll2->setSliderPosition(radius);
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_EQ(QToolTip::text(), QStringLiteral("Cutting radius: %1 twips").arg(radius));
    }
    form.HScroll2->setSliderDown(false);
}

TEST(Window, ButtonCaptionsAreWhole)
{
    Form1 form;
    for (QPushButton* button : {form.Command1, form.Command2}) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()), contents.width())
            << button->text().toStdString();
        EXPECT_GE(button->font().pointSizeF(), 6.0);
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }
}

TEST(Window, LoadShowsTheLatticeAndFramesRun)
{
    Form1 form;
    form.Load();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.focusWidget(), form.Picture1);
    EXPECT_EQ(form.simulation().UBound(), 48);
    EXPECT_EQ(runUntil([&] { return form.Picture1->drawnFrames() > 10 && form.Picture1->shownFrames() > 0; }), NotEnded);
    EXPECT_GT(form.Picture1->drawnFrames(), 10);
    EXPECT_GT(form.Picture1->shownFrames(), 0);
    EXPECT_GT(form.simulation().Masses(1).Y, 1200.0);

    // The springs are drawn in red 100 with green or blue by their load, on
    // the white background, inside the lattice's bounds (1600..7200 by
    // 1200..5200 twips, sagging a little).
    const QImage& image = form.Picture1->image();
    int springPixels = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (pixel == PictureBox::Background)
                continue;
            ++springPixels;
            EXPECT_EQ(qRed(pixel), 100) << x << "," << y;
            const double lx = x / image.devicePixelRatio();
            const double ly = y / image.devicePixelRatio();
            EXPECT_TRUE(lx >= 100 && lx <= 485 && ly >= 75 && ly <= 352) << x << "," << y;
        }
    }
    EXPECT_GT(springPixels, 3000);
    // Inside the top-left cell.
    EXPECT_EQ(image.pixel((QPointF(150, 90) * image.devicePixelRatio()).toPoint()), PictureBox::Background);
}

// Slow motion: no stretch of time holds more frames than the pace allows, and
// while the loop waits for the next frame the user's events are handled at
// once, the end of the program among them.
TEST(Window, SlowMotionKeepsItsPaceAndAnswersWhileItWaits)
{
    constexpr int Pace = 50;
    Form1 form(Pace);
    form.Load();
    EXPECT_EQ(runFor(100), NotEnded);
    // Stretches of steady running, and one after the loop was held up for
    // 300 ms: the frames due meanwhile are not made up in a burst.
    for (const auto& [stall, stretch] : {std::pair{0, 400}, std::pair{0, 400}, std::pair{300, 100}}) {
        QThread::msleep(stall);
        const auto before = form.Picture1->drawnFrames();
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(runFor(stretch), NotEnded);
        const double seconds = clock.nsecsElapsed() / 1e9;
        const auto frames = form.Picture1->drawnFrames() - before;
        // The frames due within the stretch, and one that fell due before it
        // and ran late, at its start.
        EXPECT_LE(frames, std::floor(Pace * seconds) + 2) << seconds << " s";
        EXPECT_GT(frames, 0);
    }

    Form1 slow(1);
    QElapsedTimer sinceLoad;
    sinceLoad.start();
    slow.Load();
    EXPECT_EQ(runUntil([&] { return slow.Picture1->drawnFrames() > 0; }), NotEnded);
    const auto frames = slow.Picture1->drawnFrames();
    // Frame 1 is due a second after frame 0: the cut, New Simulation and the
    // cut after it are handled while the loop waits for it, unless this
    // machine took the second itself.
    postPointer(slow, 2400, 2000, Qt::LeftButton);
    EXPECT_EQ(runUntil([&] { return !brokenOwners(slow.simulation()).empty(); }), NotEnded);
    EXPECT_EQ(brokenOwners(slow.simulation()), (std::vector<int>{10, 10, 10}));
    QTest::mouseClick(slow.Command1, Qt::LeftButton);
    postPointer(slow, 4000, 2000, Qt::LeftButton);
    EXPECT_EQ(runUntil([&] { return !brokenOwners(slow.simulation()).empty(); }), NotEnded);
    EXPECT_EQ(brokenOwners(slow.simulation()), (std::vector<int>{12, 12, 12}));
    QTimer::singleShot(0, slow.Command2, [&] { QTest::mouseClick(slow.Command2, Qt::LeftButton); });
    EXPECT_EQ(runFor(20000), 0);
    if (sinceLoad.elapsed() < 1000) {
        EXPECT_EQ(slow.Picture1->drawnFrames(), 1);
    }
    EXPECT_LE(slow.Picture1->drawnFrames(), frames + sinceLoad.elapsed() / 1000);
}

TEST(Window, LeftDragOverAMassCutsTheSpringsItOwns)
{
    Form1 form;
    form.Load();
    movePointer(form, 2400, 2000, Qt::RightButton);
    movePointer(form, 2400, 2000, Qt::NoButton);
    movePointer(form, 2400, 2000, Qt::LeftButton | Qt::RightButton);
    movePointer(form, 2400, 2000, Qt::MiddleButton);
    EXPECT_TRUE(brokenOwners(form.simulation()).empty());
    movePointer(form, 2400, 2000, Qt::LeftButton);
    EXPECT_EQ(brokenOwners(form.simulation()), (std::vector<int>{10, 10, 10}));

    // The radius comes from the cutting radius slider at each move.
    form.HScroll2->setValue(900);
    movePointer(form, 4000, 2000, Qt::LeftButton);
    EXPECT_EQ(brokenOwners(form.simulation()).size(), 3u + 5 * 3);
}

TEST(Window, DragKeepsCuttingOutsideThePicture)
{
    Form1 form;
    form.Load();
    QTest::mousePress(form.Picture1, Qt::LeftButton, {}, QPoint(60, 60));
    // Released outside the picture: the moves there still reach it.
    movePointer(form, 2400, 2000, Qt::LeftButton);
    EXPECT_EQ(brokenOwners(form.simulation()).size(), 3u);
    QTest::mouseRelease(form.Picture1, Qt::LeftButton, {}, QPoint(700, 700));
}

TEST(Window, MassSliderSetsTheFirstMassUntilNewSimulation)
{
    Form1 form;
    form.Load();
    form.HScroll1->setValue(50);
    EXPECT_EQ(form.simulation().Masses(1).M, 50.0);
    EXPECT_EQ(form.simulation().Masses(2).M, 1.0);
    movePointer(form, 2400, 2000, Qt::LeftButton);

    QTest::mouseClick(form.Command1, Qt::LeftButton);
    EXPECT_EQ(form.simulation().Masses(1).M, 1.0);
    EXPECT_TRUE(brokenOwners(form.simulation()).empty());
    EXPECT_EQ(form.HScroll1->value(), 50);
    EXPECT_EQ(form.HScroll2->value(), 400);
}

TEST(Window, EnterAndEscapeDoNothing)
{
    Form1 form;
    form.Load();
    movePointer(form, 2400, 2000, Qt::LeftButton);
    for (QWidget* focus : {static_cast<QWidget*>(form.Picture1), static_cast<QWidget*>(form.Command1),
                           static_cast<QWidget*>(form.HScroll1), static_cast<QWidget*>(form.HScroll2)}) {
        focus->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(focus, key);
    }
    EXPECT_EQ(runFor(50), NotEnded);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(brokenOwners(form.simulation()).size(), 3u); // no rebuild
}

TEST(Window, ExitEndsAtOnceWithStatusZero)
{
    Form1 form;
    form.Load();
    QTimer::singleShot(50, form.Command2, [&] { QTest::mouseClick(form.Command2, Qt::LeftButton); });
    EXPECT_EQ(runFor(20000), 0);
    const auto frames = form.Picture1->drawnFrames();
    const double y = form.simulation().Masses(1).Y;
    // Nothing runs after the end, however long the loop turns.
    EXPECT_EQ(runFor(100), NotEnded);
    movePointer(form, 2400, 2000, Qt::LeftButton);
    EXPECT_EQ(form.Picture1->drawnFrames(), frames);
    EXPECT_EQ(form.simulation().Masses(1).Y, y);
    EXPECT_TRUE(brokenOwners(form.simulation()).empty());
}

TEST(Window, CloseRequestEndsWithStatusZeroAndIsNeverRefused)
{
    Form1 form;
    form.Load();
    // Through the window's own close box where it has one.
    QTimer::singleShot(50, &form, [&] {
        if (TitleBar* bar = form.findChild<TitleBar*>())
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->closeBox().center());
        else
            EXPECT_TRUE(form.close());
    });
    EXPECT_EQ(runFor(20000), 0);
    const auto frames = form.Picture1->drawnFrames();
    EXPECT_EQ(runFor(100), NotEnded);
    EXPECT_EQ(form.Picture1->drawnFrames(), frames);
}

/// What the real program did: its exit status and what it printed.
struct Ran {
    int status = -1;
    QString out;
    QString err;
};

/// Runs the real program with the given arguments, in this test's environment
/// or, with clean set, in one holding only the variables given.
Ran runProgram(const QStringList& arguments, const QStringList& environment = {}, bool clean = false)
{
    QProcess program;
    const QStringList command = clean ? QStringList{QStringLiteral("-i")} : QStringList{};
    program.start(QStringLiteral("env"), command + environment + QStringList{SPRINGLATTICE_EXECUTABLE} + arguments);
    Ran ran;
    if (!program.waitForFinished(20000)) {
        program.kill();
        program.waitForFinished();
        ADD_FAILURE() << "the program did not end";
    }
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    ran.status = program.exitCode();
    ran.out = QString::fromLocal8Bit(program.readAllStandardOutput());
    ran.err = QString::fromLocal8Bit(program.readAllStandardError());
    return ran;
}

bool oneLine(const QString& text)
{
    return text.count('\n') == 1 && text.endsWith('\n');
}

// The real program where no display can be opened: one line on standard error
// that says what to check, and status 1. Qt alone would abort with status 134
// and advise reinstalling.
TEST(Window, NoDisplayEndsWithOneLineAndStatusOne)
{
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QStringList environments[] = {
        {},
        {QStringLiteral("DISPLAY=:99999")},
        {QStringLiteral("QT_QPA_PLATFORM=wayland"), QStringLiteral("WAYLAND_DISPLAY=springlattice-none"),
         QStringLiteral("XDG_RUNTIME_DIR=") + runtime.path()},
    };
    for (const QStringList& environment : environments) {
        SCOPED_TRACE(environment.join(' ').toStdString());
        const Ran ran = runProgram({}, environment, true);
        EXPECT_EQ(ran.status, 1);
        EXPECT_TRUE(oneLine(ran.err)) << ran.err.toStdString();
        EXPECT_TRUE(ran.err.contains(QStringLiteral("WAYLAND_DISPLAY")) && ran.err.contains(QStringLiteral("QT_QPA_PLATFORM")))
            << ran.err.toStdString();
        EXPECT_FALSE(ran.err.contains(QStringLiteral("einstall"))) << ran.err.toStdString();
    }
}

// The command line: the pace of slow motion, --help and --version, which need
// no display at all, and one line on standard error with status 2 for what
// the program does not take. Unknown options and extra arguments are judged
// once Qt has taken its own options, on the platform this test runs on.
TEST(Window, CommandLineTakesThePaceAndAnswersAsProgramsDo)
{
    const auto read = [](const QStringList& arguments, bool qtOptionsTaken = true) {
        return CommandLine::parse(QStringList{QStringLiteral("springlattice")} + arguments, qtOptionsTaken);
    };
    using Request = CommandLine::Request;
    EXPECT_EQ(read({}).request(), Request::Run);
    EXPECT_EQ(read({}).stepsPerSecond(), 0);
    for (const auto& [arguments, pace] : std::vector<std::pair<QStringList, int>>{
             {{QStringLiteral("--steps-per-second=120")}, 120},
             {{QStringLiteral("--steps-per-second"), QStringLiteral("1")}, 1},
             {{QStringLiteral("-steps-per-second"), QStringLiteral("100000")}, 100000},
             {{QStringLiteral("--steps-per-second=007")}, 7},
             {{QStringLiteral("--steps-per-second=5"), QStringLiteral("--steps-per-second=50")}, 50}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        EXPECT_EQ(read(arguments).request(), Request::Run);
        EXPECT_EQ(read(arguments).stepsPerSecond(), pace);
    }
    // Before Qt has looked at them, what may be Qt's is left to Qt.
    EXPECT_EQ(read({QStringLiteral("-display"), QStringLiteral(":1"), QStringLiteral("--steps-per-second=9")}, false)
                  .stepsPerSecond(),
              9);

    // Each bad command line, and whether it is judged before a display is
    // opened: then it needs none.
    struct Bad {
        QStringList arguments;
        bool withoutDisplay;
        const char* named;
    };
    const std::vector<Bad> bad{
        {{QStringLiteral("--steps-per-second=0")}, true, "not '0'"},
        {{QStringLiteral("--steps-per-second=100001")}, true, "not '100001'"},
        {{QStringLiteral("--steps-per-second"), QStringLiteral("-5")}, true, "not '-5'"},
        {{QStringLiteral("--steps-per-second=abc")}, true, "not 'abc'"},
        {{QStringLiteral("--steps-per-second=")}, true, "not ''"},
        {{QStringLiteral("--steps-per-second")}, true, "needs a value"},
        {{QStringLiteral("--frobnicate")}, false, "unknown option '--frobnicate'"},
        {{QStringLiteral("-x"), QStringLiteral("--y=1")}, false, "unknown options '-x', '--y'"},
        {{QStringLiteral("lattice.txt")}, false, "unexpected argument 'lattice.txt'"},
    };
    // Qt warns on standard error where there is no runtime folder.
    QTemporaryDir runtime;
    ASSERT_TRUE(runtime.isValid());
    const QStringList ownRuntime{QStringLiteral("XDG_RUNTIME_DIR=") + runtime.path()};
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.arguments.join(' ').toStdString());
        const bool inherited = !b.withoutDisplay && !qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR");
        const QStringList quiet = inherited ? QStringList() : ownRuntime;
        const CommandLine line = read(b.arguments);
        EXPECT_EQ(line.request(), Request::Error);
        EXPECT_TRUE(line.message().contains(QLatin1String(b.named))) << line.message().toStdString();
        EXPECT_EQ(read(b.arguments, false).request(), b.withoutDisplay ? Request::Error : Request::Run);
        const Ran ran = runProgram(b.arguments, quiet, b.withoutDisplay);
        EXPECT_EQ(ran.status, CommandLine::UsageStatus);
        EXPECT_EQ(ran.err, line.message());
        EXPECT_TRUE(oneLine(ran.err) && ran.err.contains(QStringLiteral("--help"))) << ran.err.toStdString();
        EXPECT_TRUE(ran.out.isEmpty());
    }

    // Help and version, on standard output, with no display at all; Qt's own
    // options may stand beside them.
    for (const QStringList& arguments : {QStringList{QStringLiteral("-h")}, QStringList{QStringLiteral("--help")},
                                          QStringList{QStringLiteral("-platform"), QStringLiteral("xcb"),
                                                      QStringLiteral("--help")}}) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const Ran ran = runProgram(arguments, {}, true);
        EXPECT_EQ(ran.status, 0);
        EXPECT_TRUE(ran.err.isEmpty()) << ran.err.toStdString();
        EXPECT_TRUE(ran.out.startsWith(QStringLiteral("Usage: springlattice [options]\n")));
        for (const char* told : {"--steps-per-second <N>", "1 to", "100000", "--version", "-platform", "cut"})
            EXPECT_TRUE(ran.out.contains(QLatin1String(told))) << told;
    }
    for (const char* option : {"-v", "--version"}) {
        const Ran ran = runProgram({QLatin1String(option)}, {}, true);
        EXPECT_EQ(ran.status, 0);
        EXPECT_EQ(ran.out, QStringLiteral("springlattice %1\n").arg(QStringLiteral(SPRINGLATTICE_VERSION)));
        EXPECT_TRUE(ran.err.isEmpty()) << ran.err.toStdString();
    }
}

TEST(Window, RunTimeErrorIsReportedAndEndsWithStatusOne)
{
    Form1 form;
    form.Load();
    // A rest length of zero on a spring too strong to break: the next force
    // pass divides by it.
    form.simulation().Masses(1).GetSpring(1)->oLength = 0;
    form.simulation().Masses(1).GetSpring(1)->BreakF = 1e9;
    QString shown;
    QString title;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->text();
            title = box->windowTitle();
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
            box->accept();
        }
    });
    poll.start(10);
    testing::internal::CaptureStderr();
    const int status = runFor(20000);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    EXPECT_EQ(shown, QStringLiteral("Run-time error '11':\n\nDivision by zero"));
    EXPECT_EQ(title, Form1::ProgramName);
    EXPECT_NE(err.find("Run-time error '11':\n\nDivision by zero"), std::string::npos) << err;
}

} // namespace
