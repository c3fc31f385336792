// The console's picture slot: the copy of the visible part of a bottom-up
// bitmap, newest-wins hand-over, and one repaint request at a time.
#include <QtTest>
#include <thread>

#include "ui/console/QtFrameBlitter.h"

using namespace vantelsor;
using namespace vantelsor::ui;

namespace vantelsor::test {
namespace {

// A w x h bottom-up bitmap whose pixel (x, y) (top-left origin) encodes its
// position and a generation number.
std::vector<uint8_t> Bitmap(int w, int h, uint8_t generation) {
    std::vector<uint8_t> bytes(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        const int row = h - 1 - y;
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &bytes[(static_cast<size_t>(row) * w + x) * 4];
            p[0] = static_cast<uint8_t>(x);  // blue
            p[1] = static_cast<uint8_t>(y);  // green
            p[2] = generation;               // red
        }
    }
    return bytes;
}

BitmapHeader Header(int w, int h) {
    BitmapHeader header;
    header.width = w;
    header.height = h;
    return header;
}

}  // namespace
}  // namespace vantelsor::test

using namespace vantelsor::test;

class BlitterTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void copiesTheSourceRectangleTopDown() {
        int repaints = 0;
        QObject context;
        QtFrameBlitter blitter(
            &context, [&] { ++repaints; }, [] {});
        const auto bitmap = Bitmap(8, 6, 1);
        QVERIFY(blitter.Blit(Header(8, 6), bitmap.data(), {2, 1, 4, 3}, {10, 20, 4, 3}));
        ConsolePicture picture;
        QVERIFY(blitter.TakeNewest(picture));
        QCOMPARE(picture.image.size(), QSize(4, 3));
        QCOMPARE(picture.destination, QRect(10, 20, 4, 3));
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                QCOMPARE(picture.image.pixel(x, y), qRgb(1, y + 1, x + 2));
            }
        }
        QVERIFY(!blitter.TakeNewest(picture));  // taken once
        QTRY_COMPARE(repaints, 1);
    }

    void refusesASourceOutsideTheBitmap() {
        QObject context;
        QtFrameBlitter blitter(
            &context, [] {}, [] {});
        const auto bitmap = Bitmap(8, 6, 1);
        for (const PixelRect& source : {PixelRect{5, 0, 4, 2}, PixelRect{0, 5, 2, 2},
                                        PixelRect{-1, 0, 2, 2}, PixelRect{0, 0, 0, 2}}) {
            QVERIFY(!blitter.Blit(Header(8, 6), bitmap.data(), source, {0, 0, 4, 2}));
        }
        ConsolePicture picture;
        QVERIFY(!blitter.TakeNewest(picture));
    }

    void newestWinsAndRepaintsDoNotPileUp() {
        int repaints = 0;
        QObject context;
        QtFrameBlitter blitter(
            &context, [&] { ++repaints; }, [] {});
        // Pictures from another thread while this one does not paint.
        std::thread receiver([&] {
            for (uint8_t generation = 1; generation <= 20; ++generation) {
                const auto bitmap = Bitmap(4, 4, generation);
                blitter.Blit(Header(4, 4), bitmap.data(), {0, 0, 4, 4}, {0, 0, 4, 4});
            }
        });
        receiver.join();
        QCoreApplication::processEvents();
        QCOMPARE(repaints, 1);
        ConsolePicture picture;
        QVERIFY(blitter.TakeNewest(picture));
        QCOMPARE(qRed(picture.image.pixel(0, 0)), 20);
        QCOMPARE(blitter.blitted(), 20u);
    }
};

QTEST_MAIN(BlitterTest)
#include "BlitterTest.moc"
