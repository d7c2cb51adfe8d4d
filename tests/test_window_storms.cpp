// Floods of user events through the real window: each is handled whole, one
// at a time, between two frames, and nothing runs after the program ends.
#include <QPushButton>
#include <QScrollBar>

#include "window_support.h"

namespace {

/// Records the frame in which each pointer move reached the picture.
class MoveLog : public QObject {
public:
    explicit MoveLog(const PictureBox& picture) : m_picture(picture) {}
    std::vector<std::int64_t> frameOfMove;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseMove)
            frameOfMove.push_back(m_picture.drawnFrames());
        return false;
    }

private:
    const PictureBox& m_picture;
};

struct Storm : ::testing::Test {
    Form1 form;
    MoveLog moves{*form.Picture1};

    void SetUp() override
    {
        form.Picture1->installEventFilter(&moves);
        form.Load();
        ASSERT_EQ(runFor(20), NotEnded);
    }

    /// Runs the loop until the queue is empty and a few frames have run.
    int settle()
    {
        QCoreApplication::sendPostedEvents();
        return runFor(30);
    }

    Simulation& sim() { return form.simulation(); }
    std::int64_t frames() const { return form.Picture1->drawnFrames(); }

    /// Queues a click of a button, as a click reaches it from the user.
    void postClick(QPushButton* button)
    {
        QMetaObject::invokeMethod(button, &QPushButton::click, Qt::QueuedConnection);
    }
};

TEST_F(Storm, HundredThousandPointerMovesBetweenTwoFrames)
{
    // A raster over the whole picture, 100 twips apart: every mass of the
    // lattice comes within the radius of some move.
    int posted = 0;
    while (posted < 100'000) {
        for (int y = 0; y < 7575 && posted < 100'000; y += 100)
            for (int x = 0; x < 10215 && posted < 100'000; x += 100, ++posted)
                postPointer(form, x, y, Qt::LeftButton);
    }
    EXPECT_EQ(settle(), NotEnded);
    ASSERT_EQ(moves.frameOfMove.size(), 100'000u);
    EXPECT_EQ(moves.frameOfMove.front(), moves.frameOfMove.back()) << "a frame ran in the middle of the queue";
    EXPECT_EQ(brokenOwners(sim()).size(), 117u);
    // Frames go on afterwards.
    const auto before = frames();
    EXPECT_EQ(runUntil([&] { return frames() > before; }), NotEnded);
}

TEST_F(Storm, ThousandRebuildsInARowEachSeeingThePreviousAction)
{
    postPointer(form, 2400, 2000, Qt::LeftButton); // mass 10
    for (int i = 0; i < 1000; ++i)
        postClick(form.Command1);
    postPointer(form, 3200, 2800, Qt::LeftButton); // mass 19
    EXPECT_EQ(settle(), NotEnded);
    // The rebuilds undid the first cut, not the one queued after them.
    EXPECT_EQ(brokenOwners(sim()), (std::vector<int>{19, 19, 19}));
    EXPECT_EQ(sim().UBound(), 48);
}

TEST_F(Storm, MassSliderDraggedEndToEndDuringACut)
{
    std::vector<int> seen;
    QObject::connect(form.HScroll1, &QScrollBar::valueChanged, &form, [&](int v) {
        // The slider's handler has already run or runs next: the mass takes
        // each value in turn.
        seen.push_back(v);
    });
    int step = 0;
    for (int x = 1600; x <= 7200; x += 100, ++step) {
        postPointer(form, x, 2800, Qt::LeftButton);
        QMetaObject::invokeMethod(
            form.HScroll1, [this] { form.HScroll1->triggerAction(QAbstractSlider::SliderSingleStepAdd); },
            Qt::QueuedConnection);
    }
    EXPECT_EQ(settle(), NotEnded);
    EXPECT_EQ(form.HScroll1->value(), 80);
    EXPECT_EQ(sim().Masses(1).M, 80.0);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), 80);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    // The whole third row was cut on the way.
    const std::vector<int> broken = brokenOwners(sim());
    for (int mass = 17; mass <= 24; ++mass)
        EXPECT_NE(std::find(broken.begin(), broken.end(), mass), broken.end()) << mass;
}

TEST_F(Storm, ExitDuringADragEndsBeforeTheRestOfTheDrag)
{
    for (int x = 1600; x <= 7200; x += 100)
        postPointer(form, x, 2000, Qt::LeftButton); // row 2
    postClick(form.Command2);
    for (int x = 1600; x <= 7200; x += 100)
        postPointer(form, x, 3600, Qt::LeftButton); // row 4
    EXPECT_EQ(runFor(20000), 0);
    const auto framesAtEnd = frames();
    const std::vector<int> broken = brokenOwners(sim());
    EXPECT_EQ(broken.size(), 7u * 3 + 1); // row 2 only
    EXPECT_TRUE(std::all_of(broken.begin(), broken.end(), [](int m) { return m >= 9 && m <= 16; }));
    // Nothing after the end, however long the loop turns.
    EXPECT_EQ(runFor(50), NotEnded);
    EXPECT_EQ(frames(), framesAtEnd);
    EXPECT_EQ(brokenOwners(sim()), broken);
}

TEST_F(Storm, CloseRequestDuringAPointerStorm)
{
    for (int i = 0; i < 10'000; ++i)
        postPointer(form, 1600 + i % 5600, 2000, Qt::LeftButton);
    QMetaObject::invokeMethod(&form, &QWidget::close, Qt::QueuedConnection);
    for (int i = 0; i < 10'000; ++i)
        postPointer(form, 1600 + i % 5600, 4400, Qt::LeftButton);
    EXPECT_EQ(runFor(20000), 0);
    const auto framesAtEnd = frames();
    for (int mass : brokenOwners(sim()))
        EXPECT_LE(mass, 16) << "a move after the close request was handled";
    EXPECT_EQ(runFor(50), NotEnded);
    EXPECT_EQ(frames(), framesAtEnd);
}

} // namespace
