#include "titlebar.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

// Room around the icon, the caption and the close box, in pixels.
constexpr int Margin = 4;
constexpr int IconSize = 16;
// Red of a close box under the pointer, and when pressed.
constexpr QRgb CloseHot = qRgb(196, 43, 28);
constexpr QRgb ClosePressed = qRgb(148, 32, 21);

} // namespace

bool TitleBar::drawnByWindows()
{
    return QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

TitleBar* TitleBar::decorate(QWidget* window)
{
    if (!drawnByWindows())
        return nullptr;
    // Every window of the program has this bar, so Qt's own decorations are
    // switched off. Qt reads the switch when it creates its first window; left
    // on, it loads the OpenGL driver (some 50 MB) only to decide whether it
    // could decorate.
    if (!qEnvironmentVariableIsSet("QT_WAYLAND_DISABLE_WINDOWDECORATION"))
        qputenv("QT_WAYLAND_DISABLE_WINDOWDECORATION", "1");
    // Frameless alone: Qt drops the hint when any title bar hint remains.
    window->setWindowFlags((window->windowFlags() & Qt::WindowType_Mask) | Qt::FramelessWindowHint);
    auto* bar = new TitleBar(window);
    const QMargins margins = window->contentsMargins();
    window->setContentsMargins(margins.left(), margins.top() + bar->height(), margins.right(), margins.bottom());
    return bar;
}

TitleBar::TitleBar(QWidget* window) : QWidget(window)
{
    setMouseTracking(true);
    setGeometry(0, 0, window->width(), fontMetrics().height() + 3 * Margin);
    // Follows the window's width, caption, icon and activation.
    window->installEventFilter(this);
}

QRect TitleBar::closeBox() const
{
    const int side = height() - 2 * Margin;
    return QRect(width() - Margin - side, Margin, side, side);
}

bool TitleBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget()) {
        switch (event->type()) {
        case QEvent::Resize:
            resize(parentWidget()->width(), height());
            break;
        case QEvent::WindowTitleChange:
        case QEvent::WindowIconChange:
        case QEvent::ActivationChange:
            update();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TitleBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPalette& colours = palette();
    const bool active = window()->isActiveWindow();
    painter.fillRect(rect(), colours.color(QPalette::Window).darker(active ? 115 : 105));
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);

    const QRect icon(Margin + 2, (height() - IconSize) / 2, IconSize, IconSize);
    window()->windowIcon().paint(&painter, icon);

    const QColor text = colours.color(active ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    const QRect box = closeBox();
    const QRect caption(icon.right() + 2 * Margin, 0, box.left() - icon.right() - 4 * Margin, height());
    painter.setPen(text);
    painter.drawText(caption, Qt::AlignCenter,
                     fontMetrics().elidedText(window()->windowTitle(), Qt::ElideRight, caption.width()));

    painter.setRenderHint(QPainter::Antialiasing);
    if (m_closeHovered)
        painter.fillRect(box, QColor(m_closeHeld ? ClosePressed : CloseHot));
    painter.setPen(QPen(m_closeHovered ? QColor(Qt::white) : text, 1.5));
    const QRectF cross = QRectF(box).adjusted(box.width() * 0.3, box.height() * 0.3, -box.width() * 0.3,
                                             -box.height() * 0.3);
    painter.drawLine(cross.topLeft(), cross.bottomRight());
    painter.drawLine(cross.bottomLeft(), cross.topRight());
}

void TitleBar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    if (closeBox().contains(event->position().toPoint())) {
        m_closeHeld = true;
        update(closeBox());
    } else if (QWindow* handle = window()->windowHandle()) {
        handle->startSystemMove();
    }
}

void TitleBar::mouseMoveEvent(QMouseEvent* event)
{
    setCloseBoxHovered(closeBox().contains(event->position().toPoint()));
}

void TitleBar::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_closeHeld)
        return;
    m_closeHeld = false;
    update(closeBox());
    // Like any button: released over the box, it acts.
    if (closeBox().contains(event->position().toPoint()))
        window()->close();
}

void TitleBar::leaveEvent(QEvent*)
{
    setCloseBoxHovered(false);
}

void TitleBar::setCloseBoxHovered(bool hovered)
{
    if (hovered == m_closeHovered)
        return;
    m_closeHovered = hovered;
    update(closeBox());
}
