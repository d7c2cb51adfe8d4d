#include "picturebox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // Moves without a button are reported too; they cut nothing.
    setMouseTracking(true);
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    setFont(font);
}

PictureBox::~PictureBox() = default;

bool PictureBox::ensureImage()
{
    // Asking the widget for its pixel ratio asks the screen; it is done once
    // a frame, never per line.
    const qreal ratio = devicePixelRatioF();
    if (!m_pixels.resize(width(), height(), ratio) && !m_image.isNull())
        return false;
    // Read-only over the picture's pixels: painting it copies nothing.
    m_image = QImage(reinterpret_cast<const uchar*>(m_pixels.pixels()), m_pixels.width(), m_pixels.height(),
                     m_pixels.width() * static_cast<qsizetype>(sizeof(std::uint32_t)), QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    // What the screen shows of the old image is not known.
    m_onScreen = m_image.rect();
    return true;
}

void PictureBox::Cls()
{
    ++m_drawnFrames;
    if (!ensureImage())
        m_pixels.Cls();
}

QRect PictureBox::drawn() const
{
    const PixelPicture::Rect r = m_pixels.drawn();
    return r.empty() ? QRect() : QRect(r.x, r.y, r.width, r.height);
}

void PictureBox::Line(double x1, double y1, double x2, double y2, std::int32_t colour)
{
    if (m_image.isNull())
        ensureImage();
    m_pixels.Line(x1, y1, x2, y2, colour);
}

void PictureBox::present()
{
    m_unshown = true;
    if (QWindow* window = pacingWindow())
        window->requestUpdate();
}

QWindow* PictureBox::pacingWindow()
{
    QWindow* window = this->window()->windowHandle();
    if (window != m_pacing) {
        if (m_pacing)
            m_pacing->removeEventFilter(this);
        m_pacing = window;
        if (m_pacing)
            m_pacing->installEventFilter(this);
    }
    return m_pacing;
}

bool PictureBox::eventFilter(QObject* watched, QEvent* event)
{
    // The window is ready for a new picture: show the newest frame, which is
    // whole, since update requests are delivered between two frames. Only
    // what the frame drew and what the screen still shows of earlier frames
    // can differ from the background.
    if (watched == m_pacing && event->type() == QEvent::UpdateRequest && m_unshown) {
        const QRect changed = logical(m_onScreen | drawn());
        if (changed.isEmpty())
            shown();
        else
            repaint(changed);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QRect PictureBox::logical(const QRect& pixels) const
{
    if (pixels.isEmpty())
        return {};
    // One logical pixel more all round: at a fractional ratio Qt rounds the
    // repainted region to device pixels its own way, and an image pixel that
    // its edge cuts through must still be painted whole.
    const qreal ratio = m_image.devicePixelRatio();
    return QRectF(pixels.x() / ratio, pixels.y() / ratio, pixels.width() / ratio, pixels.height() / ratio)
               .toAlignedRect()
               .adjusted(-1, -1, 1, 1)
        & rect();
}

void PictureBox::shown()
{
    m_onScreen = drawn();
    if (m_unshown) {
        m_unshown = false;
        ++m_shownFrames;
    }
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    // Shows the frame as drawn; the image is sized by Cls and on resizes,
    // not again on every paint.
    if (m_image.isNull())
        ensureImage();
    const QRect rect = event->rect();
    const qreal ratio = m_image.devicePixelRatio();
    const QRectF source(rect.x() * ratio, rect.y() * ratio, rect.width() * ratio, rect.height() * ratio);
    QPainter painter(this);
    painter.drawImage(rect, m_image, source);
    // The screen now shows this frame wherever it differs from the
    // background, or only part of it.
    if (QRegion(logical(m_onScreen | drawn())).subtracted(event->region()).isEmpty())
        shown();
    else
        m_onScreen |= drawn() & source.toAlignedRect();
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    const Qt::MouseButtons held = event->buttons();
    const int button = (held & Qt::LeftButton ? 1 : 0) | (held & Qt::RightButton ? 2 : 0) | (held & Qt::MiddleButton ? 4 : 0);
    const QPointF at = event->position();
    emit pointerMoved(button, static_cast<float>(at.x() * TwipsPerPixel), static_cast<float>(at.y() * TwipsPerPixel));
}

void PictureBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ensureImage();
}
