// A fault in a frame, in each handler, in rebuilding the lattice and in
// keeping what the screen shows reaches the user as the run-time error box
// and its line on standard error; the program then ends with status 1 and
// nothing else runs.
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "window_support.h"

namespace {

// Allocation failure on demand: the next allocation of exactly this many
// bytes fails once. A lattice mass has a size of its own, so arming it with
// sizeof(Mass) makes the next rebuild run out of memory.
std::atomic<std::size_t> failNextAllocationOf{0};

} // namespace

void* operator new(std::size_t size)
{
    std::size_t armed = size;
    if (size != 0 && failNextAllocationOf.compare_exchange_strong(armed, 0))
        throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

struct Fault : ::testing::Test {
    Form1 form;
    QTimer poll;
    QString shown;

    void SetUp() override
    {
        // Answers the error box the moment it is up, as the user would.
        QObject::connect(&poll, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->accept();
            }
        });
        poll.start(5);
        ::testing::internal::CaptureStderr();
    }

    /// What the program has written on standard error since the test began.
    std::string printed()
    {
        if (!m_capturing)
            return m_printed;
        m_capturing = false;
        return m_printed = ::testing::internal::GetCapturedStderr();
    }

    void TearDown() override { printed(); }

    /// Runs the loop to the end; expects status 1, the message in the box and
    /// on standard error, and no frame after the box.
    void expectReported(const char* message)
    {
        EXPECT_EQ(runFor(20000), 1);
        EXPECT_EQ(shown, QString::fromUtf8(message));
        EXPECT_NE(printed().find(std::string(message) + "\n"), std::string::npos) << printed();
        const auto framesAtEnd = form.Picture1->drawnFrames();
        EXPECT_EQ(runFor(50), NotEnded);
        EXPECT_EQ(form.Picture1->drawnFrames(), framesAtEnd);
    }

private:
    bool m_capturing = true;
    std::string m_printed;
};

TEST_F(Fault, InAFrame)
{
    form.Load();
    Mass& corner = form.simulation().Masses(1);
    corner.M = 0; // weightless: its acceleration is 0 / 0
    expectReported("Run-time error '6':\n\nOverflow");
}

TEST_F(Fault, InTheCuttingHandler)
{
    form.Load();
    // A mass so far away that its squared distance from the pointer
    // overflows; the move is handled before any frame meets it.
    form.simulation().Masses(5).Y = 1e200;
    movePointer(form, 2400, 2000, Qt::LeftButton);
    expectReported("Run-time error '6':\n\nOverflow");
}

TEST_F(Fault, InTheMassSliderHandler)
{
    // Before the window is loaded there is no lattice for the slider to set.
    form.show();
    form.HScroll1->setValue(10);
    expectReported("Run-time error '9':\n\nSubscript out of range");
}

TEST_F(Fault, InRebuildingAfterNewSimulation)
{
    form.Load();
    ASSERT_EQ(runFor(20), NotEnded);
    QTimer::singleShot(0, form.Command1, [this] {
        failNextAllocationOf = sizeof(Mass);
        form.Command1->click();
    });
    expectReported("Run-time error '7':\n\nOut of memory");
    failNextAllocationOf = 0;
}

TEST_F(Fault, InKeepingWhatTheScreenShows)
{
    // The copy of what the screen shows is made as the picture is first
    // shown, in the picture area's paint, outside any handler of the form's.
    form.Load();
    const PixelPicture& picture = form.program().picture();
    failNextAllocationOf = static_cast<std::size_t>(picture.width()) * picture.height() * sizeof(std::uint32_t);
    expectReported("Run-time error '7':\n\nOut of memory");
    EXPECT_EQ(failNextAllocationOf, 0u) << "the copy was made";
    failNextAllocationOf = 0;
}

TEST_F(Fault, InSlowMotionsTimer)
{
    // The system refuses the timer of slow motion: the program ends as at a
    // run-time error, with the system's reason, not by aborting.
    Form1 slow(120);
    slow.Load();
    ASSERT_EQ(runFor(20), NotEnded);
    emit slow.findChild<FrameLoop*>()->failed(QStringLiteral("cannot set the timer of slow motion: Invalid argument"));
    const auto frames = slow.Picture1->drawnFrames();
    EXPECT_EQ(runFor(20000), 1);
    EXPECT_EQ(shown, QStringLiteral("Run-time error '51':\n\ncannot set the timer of slow motion: Invalid argument"));
    EXPECT_EQ(slow.Picture1->drawnFrames(), frames);
}

} // namespace
