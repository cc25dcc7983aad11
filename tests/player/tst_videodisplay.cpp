#include "playermedia.h"
#include "vlcqtvideowidget.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtTest>

using namespace PlayerMedia;

namespace {

class TestWidget : public VlcQtVideoWidget
{
public:
    int loadErrors = 0;

protected:
    void showLoadError() override { ++loadErrors; }
};

// What the X server shows inside the widget, engine drawing included.
QImage screenImage(const QWidget& widget)
{
    const QPoint origin = widget.mapToGlobal(QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, origin.x(), origin.y(), widget.width(), widget.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Mean red, green and blue over the image.
QVector<double> meanColour(const QImage& image)
{
    QVector<double> sum(3, 0.0);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            sum[0] += qRed(line[x]);
            sum[1] += qGreen(line[x]);
            sum[2] += qBlue(line[x]);
        }
    }
    const double count = qMax(1, image.width() * image.height());
    for (double& channel : sum) {
        channel /= count;
    }
    return sum;
}

bool dominated(const QImage& image, int channel)
{
    const QVector<double> mean = meanColour(image);
    for (int other = 0; other < 3; ++other) {
        if (other != channel && mean[channel] < 3 * mean[other] + 10) {
            return false;
        }
    }
    return true;
}

} // namespace

class TestVideoDisplay : public QObject
{
    Q_OBJECT
private slots:
    void showsTheTripsFrames()
    {
        Trip::registerMetaTypes();
        auto trip = std::make_shared<Trip::TripList>(Trip::TripList{item(Red), item(Green)});
        const qint64 greenStart = trip->at(0).duration;

        TestWidget widget;
        widget.resize(320, 180);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QSignalSpy positions(&widget, &VlcQtVideoWidget::onPositionChange);
        QSignalSpy files(&widget, &VlcQtVideoWidget::onCurrentVideoChange);
        widget.setMedia(trip);
        QTRY_VERIFY_WITH_TIMEOUT(positions.count() >= 3, 5000);

        QTRY_VERIFY_WITH_TIMEOUT(dominated(screenImage(widget), 0), 3000);
        const QImage first = screenImage(widget);
        QTRY_VERIFY_WITH_TIMEOUT(screenImage(widget) != first, 2000);
        QVERIFY(dominated(screenImage(widget), 0));

        widget.setPosition(static_cast<int>(greenStart + 300));
        QTRY_COMPARE_WITH_TIMEOUT(files.count(), 2, 3000);
        QCOMPARE(files.last().at(0).toString(), path(Green));
        QTRY_VERIFY_WITH_TIMEOUT(dominated(screenImage(widget), 1), 3000);
        QCOMPARE(widget.loadErrors, 0);
    }
};

QTEST_MAIN(TestVideoDisplay)
#include "tst_videodisplay.moc"
