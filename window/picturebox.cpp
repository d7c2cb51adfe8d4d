#include "picturebox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include <chrono>

#include "core/program.h"

PictureBox::PictureBox(Program& program, QWidget* parent) : QWidget(parent), m_program(program)
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

const QImage& PictureBox::image() const
{
    const PixelPicture& picture = m_program.picture();
    const auto* pixels = reinterpret_cast<const uchar*>(picture.pixels());
    if (picture.width() == 0 || picture.height() == 0) {
        m_image = QImage();
    } else if (m_image.constBits() != pixels || m_image.width() != picture.width()
               || m_image.height() != picture.height() || m_image.devicePixelRatio() != picture.ratio()) {
        // Read-only over the picture's pixels: painting it copies nothing.
        m_image = QImage(pixels, picture.width(), picture.height(),
                         picture.width() * static_cast<qsizetype>(sizeof(std::uint32_t)), QImage::Format_RGB32);
        m_image.setDevicePixelRatio(picture.ratio());
    }
    return m_image;
}

void PictureBox::present()
{
    ++m_drawnFrames;
    m_unshown = true;
    if (QWindow* window = pacingWindow()) {
        m_requested = true;
        window->requestUpdate();
    }
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
    // what differs from what the screen shows is painted, and nothing where
    // the picture repeats it.
    if (watched != m_pacing)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::UpdateRequest) {
        m_requested = false;
        if (!m_unshown)
            return false;
        const QRect changed = logical(m_program.toPut());
        if (changed.isEmpty())
            shown();
        else
            repaint(changed);
        return true;
    }
    // A window that is shown again after its compositor was slow to take a
    // frame (Qt's Wayland client counts a frame callback later than 100 ms
    // as the window being hidden) may keep the update request asked for
    // meanwhile undelivered until something new reaches the screen, and the
    // window asks for no other until then. Painting the picture again
    // commits a new buffer, and the request follows at the next frame.
    if (event->type() == QEvent::Expose && m_requested && m_pacing->isExposed())
        update();
    return false;
}

QRect PictureBox::logical(const PixelPicture::Rect& pixels) const
{
    if (pixels.empty())
        return {};
    // One logical pixel more all round: at a fractional ratio Qt rounds the
    // repainted region to device pixels its own way, and an image pixel that
    // its edge cuts through must still be painted whole.
    const qreal ratio = m_program.picture().ratio();
    return QRectF(pixels.x / ratio, pixels.y / ratio, pixels.width / ratio, pixels.height / ratio)
               .toAlignedRect()
               .adjusted(-1, -1, 1, 1)
        & rect();
}

void PictureBox::shown()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    m_program.pictureShown(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    if (m_unshown) {
        m_unshown = false;
        ++m_shownFrames;
    }
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    const QImage& picture = image();
    const QRect rect = event->rect();
    QPainter painter(this);
    if (picture.isNull()) {
        painter.fillRect(rect, Background);
        return;
    }
    const qreal ratio = picture.devicePixelRatio();
    painter.drawImage(rect, picture, QRectF(rect.x() * ratio, rect.y() * ratio, rect.width() * ratio, rect.height() * ratio));
    // The screen now shows this frame wherever it can differ from what it
    // showed; a paint of only part of that (an exposure) has the rest painted
    // soon, and only then is the frame shown.
    const QRect changed = logical(m_program.toPut());
    if (QRegion(changed).subtracted(event->region()).isEmpty())
        shown();
    else
        update(changed);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    const Qt::MouseButtons held = event->buttons();
    const int button = (held & Qt::LeftButton ? 1 : 0) | (held & Qt::RightButton ? 2 : 0) | (held & Qt::MiddleButton ? 4 : 0);
    const QPointF at = event->position();
    emit pointerMoved(button, static_cast<float>(at.x() * TwipsPerPixel), static_cast<float>(at.y() * TwipsPerPixel));
}
