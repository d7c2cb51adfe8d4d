#pragma once

#include <QWidget>

/// The title bar of a window on a desktop that leaves it to the window
/// (Wayland): the window's icon and caption, and a close box. There is no
/// minimise or maximise button, and no edge to resize by. Dragging the bar
/// moves the window; the close box asks the window to close, as the window
/// system's own close box would.
class TitleBar : public QWidget {
    Q_OBJECT

public:
    /// Whether windows on this platform draw their own title bar.
    static bool drawnByWindows();
    /// Gives a top-level window a title bar of its own where windows draw
    /// their own: the window becomes frameless and its contents start below
    /// the bar (its top contents margin). Returns the bar, or null elsewhere.
    static TitleBar* decorate(QWidget* window);

    /// The close box, in the bar's coordinates.
    QRect closeBox() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    explicit TitleBar(QWidget* window);
    void setCloseBoxHovered(bool hovered);

    /// The pointer is over the close box; the left button went down on it and
    /// is still held.
    bool m_closeHovered = false;
    bool m_closeHeld = false;
};
