#include <QApplication>
#include <QIcon>
#include <QImage>

#include <gtest/gtest.h>

#include "window/form1.h"

namespace {

/// The PNG the build renders from the icon's SVG and installs, size x size.
QImage renderedIcon(int size)
{
    return QImage(QStringLiteral(SPRINGLATTICE_ICON_DIR "/%1x%1/" SPRINGLATTICE_APP_ID ".png").arg(size))
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

/// Pixels that differ between two images of one size, and the first of them.
::testing::AssertionResult samePixels(const QImage& shown, const QImage& expected)
{
    if (shown.size() != expected.size())
        return ::testing::AssertionFailure() << "size " << shown.width() << "x" << shown.height();
    int differing = 0;
    QString first;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            if (shown.pixel(x, y) == expected.pixel(x, y))
                continue;
            if (differing++ == 0)
                first = QStringLiteral("(%1, %2): %3, not %4")
                            .arg(x).arg(y).arg(shown.pixel(x, y), 8, 16).arg(expected.pixel(x, y), 8, 16);
        }
    }
    if (differing == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ, first " << first.toStdString();
}

} // namespace

// The window shows the icon of the menu entry, pixel for pixel, at each size
// the desktop is offered.
TEST(WindowIcon, IsTheInstalledIcon)
{
    Form1 form;
    // On Wayland the compositor finds the icon through the menu entry's name.
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral(SPRINGLATTICE_APP_ID));
    const QIcon icon = form.windowIcon();
    for (int size : {48, 256}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size)));
        const QImage expected = renderedIcon(size);
        ASSERT_FALSE(expected.isNull());
        const QImage shown = icon.pixmap(QSize(size, size)).toImage();
        EXPECT_TRUE(samePixels(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied), expected));
    }
}

// The rendered icon shows springs in the program's colours: red 100 with
// green for tension and with blue for compression.
TEST(WindowIcon, ShowsTensionAndCompression)
{
    const QImage image = renderedIcon(256);
    ASSERT_FALSE(image.isNull());
    bool tension = false;
    bool compression = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            if (c.alpha() != 255 || c.red() != 100)
                continue;
            tension = tension || (c.green() >= 150 && c.blue() == 0);
            compression = compression || (c.blue() >= 150 && c.green() == 0);
        }
    }
    EXPECT_TRUE(tension);
    EXPECT_TRUE(compression);
}
