// The desktop's picture after K frames from Init, at the screen's pixel ratio,
// as a binary PPM: what the page's canvas must hold after the same frames.
// Usage: springlattice-picture-frames K OUT.ppm
#include <QApplication>
#include <QFile>

#include <cstdio>
#include <cstdlib>

#include "window/picturebox.h"
#include "core/program.h"

int main(int argc, char** argv)
{
    char* end = nullptr;
    const long frames = argc == 3 ? std::strtol(argv[1], &end, 10) : -1;
    if (frames < 0 || *end != '\0') {
        std::fputs("usage: springlattice-picture-frames K OUT.ppm\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    Program program(PixelPicture::Channels::Xrgb, std::nullopt, [&program] {
        std::fprintf(stderr, "springlattice-picture-frames: %s\n", program.error().c_str());
        std::exit(1);
    });
    PictureBox picture(program);
    picture.resize(681, 505);
    picture.show();
    program.load(picture.devicePixelRatioF());
    for (long k = 0; k < frames; ++k)
        program.frame();
    const QImage& image = picture.image();
    QByteArray ppm = QByteArrayLiteral("P6\n") + QByteArray::number(image.width()) + ' ' +
                     QByteArray::number(image.height()) + "\n255\n";
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const char rgb[3] = {static_cast<char>(qRed(pixel)), static_cast<char>(qGreen(pixel)),
                                 static_cast<char>(qBlue(pixel))};
            ppm.append(rgb, 3);
        }
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(ppm) != ppm.size()) {
        std::fprintf(stderr, "springlattice-picture-frames: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
