#include "picturebox.h"

#include <QMouseEvent>
#include <QPaintEvent>

namespace {

/// Clips the segment to [0, w] x [0, h] (Liang-Barsky). Returns false when
/// nothing of it lies inside.
bool clip(double& x1, double& y1, double& x2, double& y2, double w, double h)
{
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1, w - x1, y1, h - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1)
                return false;
            if (t > t0)
                t0 = t;
        } else {
            if (t < t0)
                return false;
            if (t < t1)
                t1 = t;
        }
    }
    const double sx = x1;
    const double sy = y1;
    x1 = sx + t0 * dx;
    y1 = sy + t0 * dy;
    x2 = sx + t1 * dx;
    y2 = sy + t1 * dy;
    return true;
}

QColor colourOf(std::int32_t colour)
{
    return QColor(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

} // namespace

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

PictureBox::~PictureBox()
{
    if (m_painter.isActive())
        m_painter.end();
}

void PictureBox::ensureImage()
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    if (m_image.size() == pixels && m_image.devicePixelRatio() == ratio)
        return;
    if (m_painter.isActive())
        m_painter.end();
    m_image = QImage(pixels, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    m_image.fill(Background);
}

void PictureBox::beginDrawing()
{
    ensureImage();
    if (m_painter.isActive())
        return;
    m_painter.begin(&m_image);
    // Logical pixels to twips; the image's device pixel ratio scales on.
    m_painter.scale(1.0 / TwipsPerPixel, 1.0 / TwipsPerPixel);
}

void PictureBox::Cls()
{
    ensureImage();
    m_image.fill(Background);
    beginDrawing();
}

void PictureBox::Line(double x1, double y1, double x2, double y2, std::int32_t colour)
{
    beginDrawing();
    const double w = width() * TwipsPerPixel;
    const double h = height() * TwipsPerPixel;
    if (!clip(x1, y1, x2, y2, w, h))
        return;
    m_painter.setPen(QPen(colourOf(colour), TwipsPerPixel));
    m_painter.drawLine(QLineF(x1, y1, x2, y2));
}

void PictureBox::present()
{
    if (m_painter.isActive())
        m_painter.end();
    repaint();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    if (m_painter.isActive())
        m_painter.end();
    ensureImage();
    QPainter painter(this);
    painter.drawImage(event->rect(), m_image, QRectF(QPointF(event->rect().topLeft()) * m_image.devicePixelRatio(),
                                                     QSizeF(event->rect().size()) * m_image.devicePixelRatio()));
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
