#include "testmedia.h"

#include "vireo/vlcenums.h"
#include "vireo/vlcthumbnailgenerator.h"

#include <QImage>
#include <QtTest>

#include <atomic>
#include <mutex>
#include <vector>

using namespace TestMedia;

namespace {

constexpr int Rows = 60;

// What a caller of the generator keeps: the frame buffer handed to the engine
// and the first frame it filled.
struct Capture
{
    std::mutex mutex;
    std::vector<unsigned char> buffer;
    QImage image;
    int reportedWidth = 0;
    int reportedHeight = 0;
    size_t reportedSize = 0;
    std::atomic<int> prerenders{0};
    std::atomic<bool> done{false};
};

void prerender(void* data, unsigned char** buffer, size_t size)
{
    auto* capture = static_cast<Capture*>(data);
    ++capture->prerenders;
    *buffer = nullptr;
    if (capture->done) {
        return; // later frames are dropped by the engine
    }
    std::lock_guard<std::mutex> lock(capture->mutex);
    capture->buffer.resize(size);
    *buffer = capture->buffer.data();
}

void postrender(void* data, unsigned char* buffer, int width, int height, int, size_t size, int64_t)
{
    auto* capture = static_cast<Capture*>(data);
    if (capture->done) {
        return;
    }
    std::lock_guard<std::mutex> lock(capture->mutex);
    capture->reportedWidth = width;
    capture->reportedHeight = height;
    capture->reportedSize = size;
    if (size >= size_t(width) * Rows * 4) {
        capture->image = QImage(buffer, width, Rows, width * 4, QImage::Format_RGB32).copy();
    }
    capture->done = true;
}

} // namespace

class TestVlcThumbnailGenerator : public QObject
{
    Q_OBJECT
private slots:
    void firstFrameOfFullHd()
    {
        Capture capture;
        VlcThumbnailGenerator generator(prerender, postrender, &capture, Rows);
        QSignalSpy errors(&generator, &VlcThumbnailGenerator::error);
        QCOMPARE(generator.getStatus(), int(VlcEnums::Idle));

        QCOMPARE(generator.start(path(FullHd)), 0);
        QTRY_VERIFY_WITH_TIMEOUT(capture.done, 10000);
        generator.finalize();
        QCOMPARE(generator.getStatus(), int(VlcEnums::Stopped));

        std::lock_guard<std::mutex> lock(capture.mutex);
        QVERIFY(capture.prerenders >= 1);
        // The engine may report a few rows more than it filled; the copy is exact.
        QVERIFY(capture.reportedHeight >= Rows);
        QCOMPARE(capture.image.height(), Rows);
        QCOMPARE(capture.image.width(), capture.reportedWidth);
        // 1920 x 1080 scaled to 60 rows keeps the aspect ratio.
        QVERIFY2(qAbs(capture.reportedWidth - 107) <= 2, qPrintable(QString::number(capture.reportedWidth)));

        int lit = 0;
        for (int x = 0; x < capture.image.width(); ++x) {
            lit += qGray(capture.image.pixel(x, Rows / 2)) > 40 ? 1 : 0;
        }
        QVERIFY(lit > capture.image.width() / 4);
        QCOMPARE(errors.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestVlcThumbnailGenerator)
#include "tst_vlcthumbnailgenerator.moc"
