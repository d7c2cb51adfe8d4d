#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>

#include "model/surface.h"
#include "core/pixelpicture.h"

/// The picture area: the picture's pixels at the screen's pixel density, which
/// the simulation draws into, in twips, and which are shown whenever the screen
/// can take a new picture, never holding up a frame. It paints and forwards
/// pointer moves, nothing else; the pixels and their lines are the toolkit-free
/// PixelPicture's, shown through an image over the same memory.
class PictureBox : public QWidget, public Surface {
    Q_OBJECT

public:
    /// Twips per logical pixel.
    static constexpr double TwipsPerPixel = PixelPicture::TwipsPerPixel;
    /// The background that clearing restores; every spring colour (red 100,
    /// green or blue up to 255) stands out on it.
    static constexpr QRgb Background = qRgb(255, 255, 255);

    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    /// Clears the picture to its background and starts a frame's drawing. Only
    /// what was drawn since the last clear is restored: the rest is still the
    /// background.
    void Cls();
    /// Draws a line between two points in twips; colour is red + 256 * green
    /// + 65536 * blue. The pixels it sets are PixelPicture's.
    void Line(double x1, double y1, double x2, double y2, std::int32_t colour) override;
    /// Offers the frame just drawn to the screen. It never waits: the picture
    /// asks its window for the next moment the screen can take a picture
    /// (QWindow::requestUpdate, paced by the compositor's frame callbacks on
    /// Wayland, by the window system elsewhere) and shows the newest whole
    /// frame then, while the frames go on. A frame drawn before the screen was
    /// ready for it is never shown; a later one is.
    void present();

    /// Frames drawn so far (one per Cls), and frames that reached the screen.
    std::int64_t drawnFrames() const { return m_drawnFrames; }
    std::int64_t shownFrames() const { return m_shownFrames; }

    /// The current picture, at device pixels.
    const QImage& image() const { return m_image; }

signals:
    /// The pointer moved over the picture (or away from it while a button is
    /// held): button mask 1 left, 2 right, 4 middle; position in twips.
    void pointerMoved(int button, float x, float y);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    /// Sizes the picture to the widget at the screen's pixel ratio; true when
    /// it made a new one, all background.
    bool ensureImage();
    /// The picture's pixels since the last clear, as an image rectangle.
    QRect drawn() const;
    /// The widget's logical pixels that cover the given image pixels whole.
    QRect logical(const QRect& pixels) const;
    /// The screen shows the newest frame whole.
    void shown();
    /// The top-level window whose update requests pace the picture, watched
    /// from the first frame it exists for.
    QWindow* pacingWindow();

    PixelPicture m_pixels{PixelPicture::Channels::Xrgb};
    /// The pixels as Qt's image, over the same memory.
    QImage m_image;
    /// Image pixels where the screen may show something other than the
    /// background.
    QRect m_onScreen;

    QPointer<QWindow> m_pacing;
    /// A frame has been drawn that the screen has not shown yet.
    bool m_unshown = false;
    std::int64_t m_drawnFrames = 0;
    std::int64_t m_shownFrames = 0;
};
