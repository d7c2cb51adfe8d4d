#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>

#include "core/pixelpicture.h"

class Program;

/// The picture area: it shows the program's picture, whose pixels are at the
/// screen's pixel density, whenever the screen can take a new one, never
/// holding up a frame, and forwards pointer moves. It paints and nothing
/// else: what to put on the screen is the program's rule, and the pixels are
/// the program's, shown through an image over the same memory.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    /// Twips per logical pixel.
    static constexpr double TwipsPerPixel = PixelPicture::TwipsPerPixel;
    /// The background that clearing restores; every spring colour (red 100,
    /// green or blue up to 255) stands out on it.
    static constexpr QRgb Background = qRgb(255, 255, 255);

    /// program: whose picture is shown; it outlives the picture area.
    explicit PictureBox(Program& program, QWidget* parent = nullptr);
    ~PictureBox() override;

    /// Offers the frame just drawn to the screen. It never waits: the picture
    /// asks its window for the next moment the screen can take a picture
    /// (QWindow::requestUpdate, paced by the compositor's frame callbacks on
    /// Wayland, by the window system elsewhere) and shows the newest whole
    /// frame then, while the frames go on. A frame drawn before the screen was
    /// ready for it is never shown; a later one is.
    void present();

    /// Frames drawn so far (one per present), and frames that reached the screen.
    std::int64_t drawnFrames() const { return m_drawnFrames; }
    std::int64_t shownFrames() const { return m_shownFrames; }

    /// The program's picture as Qt's image, at device pixels, over the same
    /// memory; null before the picture has pixels.
    const QImage& image() const;

signals:
    /// The pointer moved over the picture (or away from it while a button is
    /// held): button mask 1 left, 2 right, 4 middle; position in twips.
    void pointerMoved(int button, float x, float y);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    /// The widget's logical pixels that cover the given picture pixels whole.
    QRect logical(const PixelPicture::Rect& pixels) const;
    /// The screen shows the newest frame whole.
    void shown();
    /// The top-level window whose update requests pace the picture, watched
    /// from the first frame it exists for.
    QWindow* pacingWindow();

    Program& m_program;
    /// The picture's pixels as Qt's image, made again whenever the picture has
    /// new ones (another pixel ratio).
    mutable QImage m_image;

    QPointer<QWindow> m_pacing;
    /// A frame has been drawn that the screen has not shown yet.
    bool m_unshown = false;
    /// The window was asked for an update request it has not delivered.
    bool m_requested = false;
    std::int64_t m_drawnFrames = 0;
    std::int64_t m_shownFrames = 0;
};
