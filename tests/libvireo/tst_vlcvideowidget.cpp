#include "testmedia.h"

#include "vireo/vlcenums.h"
#include "vireo/vlcinstance.h"
#include "vireo/vlcplayer.h"
#include "vireo/vlcvideowidget.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QtTest>

using namespace TestMedia;

namespace {

// Share of pixels clearly brighter than black.
double litShare(const QImage& image)
{
    if (image.isNull()) {
        return 0.0;
    }
    qint64 lit = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) > 40) {
                ++lit;
            }
        }
    }
    return double(lit) / (double(image.width()) * image.height());
}

} // namespace

class TestVlcVideoWidget : public QObject
{
    Q_OBJECT
private slots:
    void surfaceOnlyOnce()
    {
        VlcVideoWidget widget;
        const WId first = widget.request();
        QVERIFY(first != 0);
        QCOMPARE(widget.request(), WId(0));
        QCOMPARE(widget.layout()->count(), 1);
        widget.release();
        QCOMPARE(widget.layout()->count(), 0);
        widget.release();
        QVERIFY(widget.request() != 0);
    }

    // The engine's window keeps the picture's shape, centred, whatever the frame's size; an
    // unknown shape fills the frame.
    void surfaceKeepsThePictureShape()
    {
        VlcVideoWidget widget;
        widget.resize(400, 400);
        widget.setVideoSize(QSize(320, 180));
        QVERIFY(widget.request() != 0);
        QCOMPARE(widget.surfaceGeometry(), QRect(0, 87, 400, 225));
        widget.resize(800, 300);
        QCoreApplication::sendPostedEvents();
        widget.layout()->activate();
        QCOMPARE(widget.surfaceGeometry(), QRect(133, 0, 533, 300));
        widget.setVideoSize(QSize(180, 320));
        QCOMPARE(widget.surfaceGeometry(), QRect(316, 0, 168, 300));
        widget.setVideoSize(QSize());
        QCOMPARE(widget.surfaceGeometry(), QRect(0, 0, 800, 300));
    }

    void playShowsFrames()
    {
        VlcVideoWidget widget;
        widget.resize(640, 360);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));

        QStringList args = VlcInstance::OptimizedPlayerArgs();
        args << QStringLiteral("--no-audio");
        auto* instance = new VlcInstance(args);
        QVERIFY(instance->isValid());
        auto* player = new VlcPlayer(instance, &widget, true);

        QCOMPARE(player->open(QStringList{path(RunThird)}), 0);
        QTRY_COMPARE(player->getState(), int(VlcEnums::Playing));
        QCOMPARE(widget.layout()->count(), 1);

        // A second play keeps the surface the engine draws into.
        QCOMPARE(player->play(), 0);
        QCOMPARE(widget.layout()->count(), 1);

        QScreen* screen = QGuiApplication::primaryScreen();
        double lit = 0.0;
        QTRY_VERIFY_WITH_TIMEOUT((lit = litShare(screen->grabWindow(widget.winId()).toImage())) > 0.2, 8000);

        player->stop();
        QCOMPARE(widget.layout()->count(), 0);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTRY_VERIFY(litShare(screen->grabWindow(widget.winId()).toImage()) < 0.01);
        delete instance;
    }
};

QTEST_MAIN(TestVlcVideoWidget)
#include "tst_vlcvideowidget.moc"
