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

#include "core/controltexts.h"
#include "core/failure.h"
#include "core/form.h"
#include "core/pace.h"
#include "picturebox.h"
#include "titlebar.h"

namespace {

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QRect toQRect(const form::Rect& r)
{
    return {r.left, r.top, r.width, r.height};
}

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

/// Swallows the user's input to one window's widgets: the pointer, the
/// keys, the wheel and touch. Installed on the application once the program
/// has ended, so that nothing reaches a handler before the program closes.
class InputStop : public QObject {
public:
    explicit InputStop(QWidget* window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (dynamic_cast<QInputEvent*>(event) == nullptr)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        return widget != nullptr && widget->window() == m_window;
    }

private:
    QWidget* const m_window;
};

/// What a screen reader announces for a control, and what hovering over it
/// shows.
void explain(QWidget* control, std::string_view name, std::string_view description, std::string_view tip = {})
{
    control->setAccessibleName(text(name));
    control->setAccessibleDescription(text(description));
    control->setToolTip(text(tip));
}

QScrollBar* makeScrollBar(const form::ScrollBar& settings, QWidget* parent)
{
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setGeometry(toQRect(settings.rect));
    bar->setRange(settings.min, settings.max);
    bar->setValue(settings.value);
    bar->setSingleStep(settings.smallChange);
    bar->setPageStep(settings.largeChange);
    bar->setFocusPolicy(Qt::StrongFocus);
    bar->installEventFilter(new ArrowKeys(bar));
    return bar;
}

} // namespace

const QString Form1::Caption = text(texts::Caption);
const QString Form1::ProgramName = text(texts::ProgramName);

Form1::Form1(int stepsPerSecond)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_program(PixelPicture::Channels::Xrgb,
                stepsPerSecond == 0 ? std::nullopt : std::optional<Pace>(Pace(stepsPerSecond)),
                [this] { onProgramEnded(); })
    , m_client(new QWidget(this))
    , Picture1(new PictureBox(m_program, m_client))
    , Command2(makeButton(text(texts::ExitCaption), toQRect(form::Command2), m_client))
    , HScroll1(makeScrollBar(form::HScroll1, m_client))
    , HScroll2(makeScrollBar(form::HScroll2, m_client))
    , Command1(makeButton(text(texts::NewSimulationCaption), toQRect(form::Command1), m_client))
    , m_frames(m_program.pace(), this)
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
    setFixedSize(QSize(form::Client.width, form::Client.height).grownBy(contentsMargins()));
    m_client->setGeometry(contentsRect());
    fitCaptions({Command1, Command2});
    Picture1->setGeometry(toQRect(form::Picture1));

    // The window has no labels: each control says what it does to a screen
    // reader and in its tip. The scroll bars' tips carry their values.
    explain(Picture1, texts::PictureName, texts::PictureDescription, texts::PictureTip);
    explain(Command2, texts::ExitCaption, texts::ExitDescription, texts::ExitTip);
    explain(HScroll1, texts::MassName, texts::MassDescription);
    explain(HScroll2, texts::RadiusName, texts::RadiusDescription);
    explain(Command1, texts::NewSimulationCaption, texts::NewSimulationDescription, texts::NewSimulationTip);
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
    connect(&m_frames, &FrameLoop::failed, this, &Form1::onFramesFailed);
    m_program.describeTo([this](const Description::Words& words) { onDescribed(words); });
}

Form1::~Form1() = default;

void Form1::Load()
{
    show();
    Picture1->setFocus();
    if (m_program.load(Picture1->devicePixelRatioF()))
        m_frames.start();
}

void Form1::frame()
{
    // The picture follows the screen's pixel ratio (another screen, a new
    // scale) before it is cleared.
    if (m_program.resize(Picture1->devicePixelRatioF()) && m_program.frame())
        Picture1->present();
}

void Form1::onNewSimulationClicked()
{
    m_program.newSimulation();
}

void Form1::onExitClicked()
{
    m_program.exit();
}

void Form1::onMassSliderChanged(int value)
{
    m_program.massChanged(value);
}

void Form1::onPicturePointerMoved(int button, float x, float y)
{
    m_program.pointerMoved(button, x, y, HScroll2->value());
}

void Form1::onFramesFailed(const QString& reason)
{
    m_program.fail(ErrorNumber::Internal, reason.toStdString());
}

void Form1::updateScrollBarTips()
{
    HScroll1->setToolTip(QString::fromStdString(m_program.massTip(HScroll1->value())));
    HScroll2->setToolTip(QString::fromStdString(m_program.radiusTip(HScroll2->value())));

    // A bar being dragged shows its tip at the pointer, with each new value.
    for (QScrollBar* bar : {HScroll1, HScroll2}) {
        if (bar->isSliderDown())
            QToolTip::showText(QCursor::pos(), bar->toolTip(), bar);
    }
}

void Form1::closeEvent(QCloseEvent* event)
{
    // A close request always ends the program; it is never refused. After a
    // run-time error it has ended already, and ends with that error's status.
    event->accept();
    m_program.exit();
}

void Form1::onDescribed(const Description::Words& words)
{
    if (!words.summary.empty())
        Picture1->setAccessibleDescription(text(texts::PictureDescription) + QLatin1Char(' ') + text(words.summary));
    if (!words.account.empty())
        setAccessibleDescription(text(words.account));
}

void Form1::onProgramEnded()
{
    // Nothing of the program runs from here on: no frame, and no handler,
    // since the form takes no more input.
    m_frames.stop();
    if (m_inputStop == nullptr) {
        m_inputStop = new InputStop(this);
        QCoreApplication::instance()->installEventFilter(m_inputStop);
    }
    if (m_program.errorNumber() == 0) {
        // Queued, so that it also ends a program whose event loop has not
        // started yet.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        return;
    }
    std::fprintf(stderr, "%s\n", m_program.error().c_str());
    std::fflush(stderr);
    // The window closed before the box is answered must not end the program
    // as a success: it ends when the box is answered, with status 1.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    // The box runs an event loop of its own, which must not run inside the
    // call that ended the program (a paint, a handler): it opens from the
    // event loop, as soon as that call has returned.
    QMetaObject::invokeMethod(this, &Form1::reportError, Qt::QueuedConnection);
}

void Form1::reportError()
{
    const QString message = QString::fromStdString(m_program.error());
    QMessageBox box(QMessageBox::Critical, ProgramName, message, QMessageBox::Ok, isVisible() ? this : nullptr);
    TitleBar::decorate(&box);
    box.exec();
    QCoreApplication::exit(1);
}
