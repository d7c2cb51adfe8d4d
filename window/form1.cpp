#include "form1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolTip>

#include <algorithm>

#include <cstdio>
#include <exception>

#include "model/runtime_error.h"
#include "picturebox.h"
#include "titlebar.h"

const QString Form1::Caption = QStringLiteral("Tovek Marlund - Quellith - Click on the structure");
const QString Form1::ProgramName = QStringLiteral("Spring Lattice");

namespace {

// Layout in logical pixels (15 twips each).
constexpr QSize ClientSize(682, 559);
constexpr QRect PictureRect(0, 0, 681, 505);
constexpr QRect ExitRect(600, 512, 73, 41);
constexpr QRect MassSliderRect(8, 512, 505, 17);
constexpr QRect RadiusSliderRect(8, 536, 505, 17);
constexpr QRect NewSimulationRect(520, 512, 73, 41);

// Room kept free on each side of a button's caption, in pixels, and the
// smallest font a caption is shrunk to.
constexpr int CaptionMargin = 2;
constexpr qreal MinimumCaptionPointSize = 6.0;

QPushButton* makeButton(const QString& text, const QRect& rect, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setGeometry(rect);
    // Enter and Escape press no button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

/// Whether the button's caption fits its contents area in the given font.
bool captionFits(const QPushButton* button, const QFont& font)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.fontMetrics = QFontMetrics(font);
    const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return option.fontMetrics.horizontalAdvance(button->text()) + 2 * CaptionMargin <= contents.width();
}

/// Gives the buttons one font, the desktop's own made smaller where needed so
/// that every caption is whole: a usual default font is too wide for
/// "New Simulation" in a button 73 pixels wide.
void fitCaptions(std::initializer_list<QPushButton*> buttons)
{
    QFont font = (*buttons.begin())->font();
    const auto allFit = [&] {
        return std::all_of(buttons.begin(), buttons.end(), [&](const QPushButton* b) { return captionFits(b, font); });
    };
    while (!allFit() && font.pointSizeF() > MinimumCaptionPointSize)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    for (QPushButton* button : buttons)
        button->setFont(font);
}

/// Left and Right move a scroll bar's thumb the way the arrow points. Qt's
/// scroll bars invert their controls, so that Up, Page Up and the wheel turned
/// away from the user lower the value as on a vertical bar; Qt 6 inverts Left
/// and Right with them, which moves a horizontal thumb against the arrow. The
/// other keys and the wheel keep Qt's own handling.
class ArrowKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* bar = qobject_cast<QScrollBar*>(watched);
        if (bar == nullptr || event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Left && key != Qt::Key_Right)
            return false;
        // The minimum is at the left end, at the right in a right-to-left layout.
        const bool towardsMinimum = (key == Qt::Key_Left) != bar->isRightToLeft();
        bar->triggerAction(towardsMinimum ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
        return true;
    }
};

/// What a screen reader announces for a control, and what hovering over it
/// shows.
void explain(QWidget* control, const QString& name, const QString& description, const QString& tip = {})
{
    control->setAccessibleName(name);
    control->setAccessibleDescription(description);
    control->setToolTip(tip);
}

QScrollBar* makeScrollBar(const QRect& rect, int minimum, int maximum, int value, int smallChange, int largeChange,
                          QWidget* parent)
{
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setGeometry(rect);
    bar->setRange(minimum, maximum);
    bar->setValue(value);
    bar->setSingleStep(smallChange);
    bar->setPageStep(largeChange);
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->installEventFilter(new ArrowKeys(bar));
    return bar;
}

} // namespace

Form1::Form1(int stepsPerSecond)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_client(new QWidget(this))
    , Picture1(new PictureBox(m_client))
    , Command2(makeButton(QStringLiteral("Exit"), ExitRect, m_client))
    , HScroll1(makeScrollBar(MassSliderRect, 1, 80, 1, 2, 5, m_client))
    , HScroll2(makeScrollBar(RadiusSliderRect, 100, 3000, 400, 1, 1, m_client))
    , Command1(makeButton(QStringLiteral("New Simulation"), NewSimulationRect, m_client))
    , m_frames(stepsPerSecond)
{
    setWindowTitle(Caption);
    // The icon of the menu entry, from the resource built out of desktop/.
    QIcon icon(QStringLiteral(":/springlattice/icon-48.png"));
    icon.addFile(QStringLiteral(":/springlattice/icon-256.png"));
    setWindowIcon(icon);
    // The menu entry's name: on Wayland the compositor finds the icon and the
    // name it shows for the window through it.
    QGuiApplication::setDesktopFileName(QStringLiteral(SPRINGLATTICE_APP_ID));
    // The title bar with the caption and a close box, where the window draws
    // its own; elsewhere the window system draws it around the client area.
    TitleBar::decorate(this);
    setFixedSize(ClientSize.grownBy(contentsMargins()));
    m_client->setGeometry(contentsRect());
    fitCaptions({Command1, Command2});
    Picture1->setGeometry(PictureRect);

    // The window has no labels: each control says what it does to a screen
    // reader and in its tip. The scroll bars' tips carry their values.
    explain(Picture1, QStringLiteral("Spring lattice"),
            QStringLiteral("The lattice of masses and springs. Dragging over it with the left button cuts the springs "
                           "of every mass within the cutting radius of the pointer."),
            QStringLiteral("Drag with the left button to cut the structure"));
    explain(Command2, Command2->text(), QStringLiteral("Ends the program."), QStringLiteral("End the program"));
    explain(HScroll1, QStringLiteral("Mass of the top-left mass"),
            QStringLiteral("Sets the mass of the top-left mass, from 1 to 80. New Simulation makes it 1 again until "
                           "the bar next moves."));
    explain(HScroll2, QStringLiteral("Cutting radius"),
            QStringLiteral("Sets how near to the pointer, in twips, a mass must be for a drag to cut its springs, "
                           "from 100 to 3000."));
    explain(Command1, Command1->text(),
            QStringLiteral("Rebuilds the lattice at rest, every cut undone. The scroll bars keep their values; the "
                           "top-left mass is 1 again until the mass bar next moves."),
            QStringLiteral("Rebuild the lattice at rest; the top-left mass is 1 again until you move its bar"));
    updateScrollBarTips();

    setTabOrder(Picture1, Command2);
    setTabOrder(Command2, HScroll1);
    setTabOrder(HScroll1, HScroll2);
    setTabOrder(HScroll2, Command1);

    // Connected only now that every control has its settings: configuring a
    // scroll bar emits valueChanged, and no handler may run before Load.
    connect(Command1, &QPushButton::clicked, this, &Form1::onNewSimulationClicked);
    connect(Command2, &QPushButton::clicked, this, &Form1::onExitClicked);
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form1::onMassSliderChanged);
    connect(Picture1, &PictureBox::pointerMoved, this, &Form1::onPicturePointerMoved);
    // The tips follow, once the handlers above have run.
    connect(HScroll1, &QScrollBar::valueChanged, this, &Form1::updateScrollBarTips);
    connect(HScroll2, &QScrollBar::valueChanged, this, &Form1::updateScrollBarTips);
    connect(Command1, &QPushButton::clicked, this, &Form1::updateScrollBarTips);

    // One frame each time the event loop has delivered what is pending, or
    // when the pace asked for has its next frame due.
    connect(&m_frames, &FrameLoop::frame, this, &Form1::frame);
}

Form1::~Form1() = default;

void Form1::Load()
{
    show();
    Picture1->setFocus();
    guarded([this] {
        m_simulation.Init();
        m_frames.start();
    });
}

void Form1::frame()
{
    guarded([this] {
        Picture1->Cls();
        m_simulation.Step(*Picture1);
        Picture1->present();
    });
}

void Form1::onNewSimulationClicked()
{
    guarded([this] { m_simulation.Init(); });
}

void Form1::onExitClicked()
{
    if (!m_ended)
        end(0);
}

void Form1::onMassSliderChanged(int value)
{
    guarded([this, value] { m_simulation.SetFirstMass(static_cast<std::int16_t>(value)); });
}

void Form1::onPicturePointerMoved(int button, float x, float y)
{
    guarded([this, button, x, y] {
        m_simulation.Cut(button, x, y, static_cast<std::int16_t>(HScroll2->value()));
    });
}

void Form1::updateScrollBarTips()
{
    const int value = HScroll1->value();
    // While frames run the lattice is built. After New Simulation its new
    // top-left mass weighs 1 whatever the bar shows, until the bar moves.
    const double mass = m_frames.isActive() ? m_simulation.Masses(1).M : value;
    HScroll1->setToolTip(
        mass == value
            ? QStringLiteral("Mass of the top-left mass: %1").arg(value)
            : QStringLiteral("Mass of the top-left mass: %1 since New Simulation; move the bar to set it").arg(mass));
    HScroll2->setToolTip(QStringLiteral("Cutting radius: %1 twips").arg(HScroll2->value()));

    // A bar being dragged shows its tip at the pointer, with each new value.
    for (QScrollBar* bar : {HScroll1, HScroll2}) {
        if (bar->isSliderDown())
            QToolTip::showText(QCursor::pos(), bar->toolTip(), bar);
    }
}

void Form1::closeEvent(QCloseEvent* event)
{
    // A close request always ends the program; it is never refused.
    event->accept();
    if (!m_ended)
        end(0);
}

template <typename Action>
void Form1::guarded(Action&& action)
{
    if (m_ended)
        return;
    try {
        action();
    } catch (const RuntimeError& error) {
        reportError(QString::number(error.Number()), QString::fromUtf8(error.what()));
    } catch (const std::bad_alloc&) {
        reportError(QStringLiteral("7"), QStringLiteral("Out of memory"));
    } catch (const std::exception& error) {
        reportError(QStringLiteral("51"), QStringLiteral("Internal error: %1").arg(QString::fromUtf8(error.what())));
    }
}

void Form1::reportError(const QString& number, const QString& description)
{
    // Stop everything first: the message box runs its own event loop, in
    // which no frame and no handler of ours may run.
    m_ended = true;
    m_frames.stop();
    const QString message = QStringLiteral("Run-time error '%1':\n\n%2").arg(number, description);
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::fflush(stderr);
    QMessageBox box(QMessageBox::Critical, ProgramName, message, QMessageBox::Ok, isVisible() ? this : nullptr);
    TitleBar::decorate(&box);
    box.exec();
    end(1);
}

void Form1::end(int status)
{
    m_ended = true;
    m_frames.stop();
    // Queued, so that it also ends a program whose event loop has not
    // started yet (an error during Load).
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [status] { QCoreApplication::exit(status); }, Qt::QueuedConnection);
}
