#include "compass.h"
#include "highdpi.h"
#include "mainwindow.h"
#include "mapwidgetconfig.h"

#include <QAbstractButton>
#include <QImageReader>
#include <QLabel>
#include <QWindow>
#include <QtTest>

// The window on a screen with a device pixel ratio of 2, set up as the program sets itself up:
// icons, markers and the compass carry twice the pixels, so nothing is blown up.
class TestHighDpi : public QObject
{
    Q_OBJECT
public:
    // Before the application object: the scale of the screen and the program's own settings.
    static void initMain()
    {
        qputenv("QT_SCALE_FACTOR", "2");
        HighDpi::enable();
    }

private slots:
    void initTestCase();
    void iconsAndPicturesHaveTwiceThePixels();
    void compassPaintsAtTheScreensRatio();
    void mapMarkersHaveTwiceThePixels();
    void cleanupTestCase();

private:
    std::unique_ptr<MainWindow> m_window;
};

void TestHighDpi::initTestCase()
{
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QCOMPARE(m_window->windowHandle()->devicePixelRatio(), 2.0);
}

void TestHighDpi::iconsAndPicturesHaveTwiceThePixels()
{
    // Every button with an icon: title bar, playlist and control panel. A button whose icon
    // comes from too small a source, or a pixmap at ratio 1, would be drawn blown up.
    const QList<QAbstractButton*> buttons = m_window->findChildren<QAbstractButton*>();
    int checked = 0;
    for (QAbstractButton* button : buttons) {
        if (button->icon().isNull())
            continue;
        const QSize size = button->iconSize();
        const QPixmap pixmap = button->icon().pixmap(m_window->windowHandle(), size);
        const QByteArray name = button->objectName().toLatin1();
        QVERIFY2(qFuzzyCompare(pixmap.devicePixelRatio(), 2.0), name.constData());
        QVERIFY2(pixmap.size() == size * 2, name.constData());
        ++checked;
    }
    // The title bar alone has five icon buttons.
    QVERIFY2(checked >= 5, QByteArray::number(checked).constData());

    // The brand's pictures are rendered from their SVG sources at the screen's ratio.
    int pictures = 0;
    for (QLabel* label : m_window->findChildren<QLabel*>()) {
        const QPixmap pixmap = label->pixmap(Qt::ReturnByValue);
        if (pixmap.isNull())
            continue;
        QVERIFY2(qFuzzyCompare(pixmap.devicePixelRatio(), 2.0), label->objectName().toLatin1().constData());
        ++pictures;
    }
    QVERIFY(pictures > 0);
    // The playlist's spinner is drawn from its SVG source, not blown up from its small PNG.
    QVERIFY(QImageReader(QStringLiteral(":/resources/images/buffer_loader_icon.svg")).canRead());
}

void TestHighDpi::compassPaintsAtTheScreensRatio()
{
    auto* compass = m_window->findChild<Compass*>();
    QVERIFY(compass);
    compass->set_direction(30.0);
    const QPixmap grab = compass->grab();
    QCOMPARE(grab.devicePixelRatio(), 2.0);
    QCOMPARE(grab.size(), compass->size() * 2);

    // Drawn at device resolution, edges are antialiased pixel by pixel; a picture painted at
    // ratio 1 and drawn scaled (pixmaps scale without smoothing) repeats each pixel 2 x 2.
    const QImage image = grab.toImage();
    int uneven = 0;
    for (int y = 0; y + 1 < image.height(); y += 2) {
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb p = image.pixel(x, y);
            if (image.pixel(x + 1, y) != p || image.pixel(x, y + 1) != p || image.pixel(x + 1, y + 1) != p)
                ++uneven;
        }
    }
    QVERIFY2(uneven > 50, QByteArray::number(uneven).constData());
}

void TestHighDpi::mapMarkersHaveTwiceThePixels()
{
    const MapWidgetConfig config;
    QCOMPARE(config.pinImage().devicePixelRatio(), 2.0);
    QCOMPARE(config.pinImage().size(), QSize(64, 64));
    QCOMPARE(config.hotSpotImage().devicePixelRatio(), 2.0);
    QCOMPARE(config.hotSpotImage().size(), QSize(48, 48));
}

void TestHighDpi::cleanupTestCase()
{
    m_window.reset();
}

QTEST_MAIN(TestHighDpi)
#include "tst_highdpi.moc"
