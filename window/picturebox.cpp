#include "picturebox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <utility>

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
    // An end inside the picture stays exactly where it is.
    const double sx = x1;
    const double sy = y1;
    if (t0 > 0.0) {
        x1 = sx + t0 * dx;
        y1 = sy + t0 * dy;
    }
    if (t1 < 1.0) {
        x2 = sx + t1 * dx;
        y2 = sy + t1 * dy;
    }
    return true;
}

/// The image pixel of a spring colour (red + 256 * green + 65536 * blue).
QRgb pixelOf(std::int32_t colour)
{
    return qRgb(colour & 0xff, (colour >> 8) & 0xff, (colour >> 16) & 0xff);
}

/// floor(v) for the small values of a picture, without a library call.
int floorOf(double v)
{
    const int i = static_cast<int>(v);
    return v < i ? i - 1 : i;
}

/// Sets columns a to b of a line whose pixels across all lie inside the
/// image: the first at floor(v1 + (u + 0.5 - u1) * slope + offset), which is
/// never negative here, so truncation gives it. The centres u + 0.5 are
/// counted in doubles, exactly.
template <bool AlongX>
void run(QRgb* const bits, const qsizetype stride, const int a, const int b, const double v1, const double u1,
         const double slope, const double offset, const int thickness, const QRgb pixel)
{
    const qsizetype uStep = AlongX ? 1 : stride;
    const qsizetype vStep = AlongX ? stride : 1;
    double centre = a + 0.5;
    if (thickness == 1) {
        for (int u = a; u <= b; ++u, centre += 1.0) {
            const int w = static_cast<int>(v1 + (centre - u1) * slope + offset);
            bits[u * uStep + w * vStep] = pixel;
        }
        return;
    }
    for (int u = a; u <= b; ++u, centre += 1.0) {
        const int w = static_cast<int>(v1 + (centre - u1) * slope + offset);
        QRgb* p = bits + u * uStep + w * vStep;
        for (int k = 0; k < thickness; ++k, p += vStep)
            *p = pixel;
    }
}

/// Sets the pixels of the line from (x1, y1) to (x2, y2), device pixels,
/// along its major axis (x when |dx| >= |dy|): each pixel column i from the
/// one holding x1 to the one holding x2 gets thickness pixels centred on the
/// line's height at the column's centre, the centre held within the line's
/// ends. Pixels outside the image are left alone. Returns the rectangle of
/// image pixels it may have set.
QRect rasterize(QImage& image, double x1, double y1, double x2, double y2, int thickness, QRgb pixel)
{
    const bool alongX = std::fabs(x2 - x1) >= std::fabs(y2 - y1);
    // Major axis u, minor axis v; the image is addressed as pixel (u, v)
    // through the strides of each axis.
    double u1 = alongX ? x1 : y1;
    double v1 = alongX ? y1 : x1;
    double u2 = alongX ? x2 : y2;
    double v2 = alongX ? y2 : x2;
    if (u2 < u1) {
        std::swap(u1, u2);
        std::swap(v1, v2);
    }
    const int uSize = alongX ? image.width() : image.height();
    const int vSize = alongX ? image.height() : image.width();
    const qsizetype stride = image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    const qsizetype uStep = alongX ? 1 : stride;
    const qsizetype vStep = alongX ? stride : 1;
    QRgb* const bits = reinterpret_cast<QRgb*>(image.bits());

    const double slope = u2 > u1 ? (v2 - v1) / (u2 - u1) : 0.0;
    const double offset = (1 - thickness) * 0.5;
    const int first = std::max(floorOf(u1), 0);
    const int last = std::min(floorOf(u2), uSize - 1);
    if (first > last)
        return {};

    // The line's height at a column's centre, moved to the first pixel across.
    const auto height = [&](double centre) { return v1 + (centre - u1) * slope + offset; };
    // Column u in full: the centre held within the ends, the pixels across
    // held within the image.
    const auto column = [&](int u) {
        const int from = floorOf(height(std::clamp(u + 0.5, u1, u2)));
        for (int w = std::max(from, 0); w <= std::min(from + thickness - 1, vSize - 1); ++w)
            bits[u * uStep + w * vStep] = pixel;
        return from;
    };
    const int acrossFirst = column(first);
    const int acrossLast = first < last ? column(last) : acrossFirst;

    // Between the end columns every centre u + 0.5 lies inside the ends, and
    // the height only grows (or only falls) from column to column, since each
    // rounded operation of it is monotonic. So the columns whose pixels across
    // lie wholly inside the image form one run: it is found from its ends, and
    // its columns are set without holding anything, with the same arithmetic.
    const double limit = vSize - thickness + 1;
    const auto inside = [&](int u) {
        const double t = height(u + 0.5);
        return t >= 0.0 && t < limit;
    };
    int a = first + 1;
    int b = last - 1;
    while (a <= b && !inside(a))
        column(a++);
    while (a <= b && !inside(b))
        column(b--);
    if (a <= b) {
        if (alongX)
            run<true>(bits, stride, a, b, v1, u1, slope, offset, thickness, pixel);
        else
            run<false>(bits, stride, a, b, v1, u1, slope, offset, thickness, pixel);
    }

    // The pixels across of all columns lie between those of the end columns.
    const int low = std::max(std::min(acrossFirst, acrossLast), 0);
    const int high = std::min(std::max(acrossFirst, acrossLast) + thickness - 1, vSize - 1);
    if (low > high)
        return {};
    return alongX ? QRect(QPoint(first, low), QPoint(last, high)) : QRect(QPoint(low, first), QPoint(high, last));
}

/// Sets every pixel of the rectangle to the colour.
void fill(QImage& image, const QRect& rect, QRgb colour)
{
    const qsizetype stride = image.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    QRgb* row = reinterpret_cast<QRgb*>(image.bits()) + rect.top() * stride + rect.left();
    for (int y = rect.top(); y <= rect.bottom(); ++y, row += stride)
        std::fill_n(row, rect.width(), colour);
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

PictureBox::~PictureBox() = default;

bool PictureBox::ensureImage()
{
    // Asking the widget for its pixel ratio asks the screen; it is done once
    // a frame, never per line.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(size()) * ratio).toSize();
    m_widthTwips = width() * TwipsPerPixel;
    m_heightTwips = height() * TwipsPerPixel;
    m_pixelsPerTwip = ratio / TwipsPerPixel;
    // One logical pixel across, at least one device pixel.
    m_thickness = std::max(1, static_cast<int>(std::lround(ratio)));
    if (m_image.size() == pixels && m_image.devicePixelRatio() == ratio)
        return false;
    m_image = QImage(pixels, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    m_image.fill(Background);
    m_drawn = QRect();
    // What the screen shows of the old image is not known.
    m_onScreen = m_image.rect();
    return true;
}

void PictureBox::Cls()
{
    ++m_drawnFrames;
    // Everything else is still the background.
    if (!ensureImage())
        fill(m_image, m_drawn, Background);
    m_drawn = QRect();
}

void PictureBox::Line(double x1, double y1, double x2, double y2, std::int32_t colour)
{
    if (m_image.isNull())
        ensureImage();
    // A clipped line lies within the picture; a NaN end clips to nothing. A
    // line with both ends inside is one that clipping leaves as it is.
    const auto inside = [this](double x, double y) {
        return x >= 0.0 && x <= m_widthTwips && y >= 0.0 && y <= m_heightTwips;
    };
    if (!(inside(x1, y1) && inside(x2, y2))
        && (!clip(x1, y1, x2, y2, m_widthTwips, m_heightTwips) || !std::isfinite(x1 + y1 + x2 + y2)))
        return;
    const double s = m_pixelsPerTwip;
    m_drawn |= rasterize(m_image, x1 * s, y1 * s, x2 * s, y2 * s, m_thickness, pixelOf(colour));
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
        const QRect changed = logical(m_onScreen | m_drawn);
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
    m_onScreen = m_drawn;
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
    if (QRegion(logical(m_onScreen | m_drawn)).subtracted(event->region()).isEmpty())
        shown();
    else
        m_onScreen |= m_drawn & source.toAlignedRect();
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
