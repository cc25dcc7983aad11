#include "myslider.h"
#include "positionslider.h"

#include <QProxyStyle>
#include <QWheelEvent>
#include <QtTest>

namespace {

// Fusion with a handle of a chosen length, so click arithmetic does not depend on the theme.
class HandleStyle : public QProxyStyle
{
public:
    explicit HandleStyle(int length) : QProxyStyle(QStringLiteral("fusion")), m_length(length) {}
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        if (metric == PM_SliderLength) {
            return m_length;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    int m_length;
};

class ProbeSlider : public PositionSlider
{
public:
    using PositionSlider::PositionSlider;
    using PositionSlider::valueText;
};

class ProbeVolumeSlider : public MySlider
{
public:
    using MySlider::MySlider;
    using MySlider::valueText;
};

QImage render(PositionSlider& slider)
{
    return slider.grab().toImage();
}

} // namespace

class TestSliders : public QObject
{
    Q_OBJECT
private slots:
    void clickJumps_data()
    {
        QTest::addColumn<int>("handle");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("value");

        QTest::newRow("far left, 16 px handle") << 16 << 0 << 0;
        QTest::newRow("far right, 16 px handle") << 16 << 199 << 997;
        QTest::newRow("far right, 17 px handle") << 17 << 199 << 1000;
        QTest::newRow("middle") << 16 << 100 << 500;
    }

    void clickJumps()
    {
        QFETCH(int, handle);
        QFETCH(int, x);
        QFETCH(int, value);

        HandleStyle style(handle);
        MySlider slider(Qt::Horizontal);
        slider.setStyle(&style);
        slider.setRange(0, 1000);
        slider.setFixedSize(200, 20);
        QSignalSpy changed(&slider, &QSlider::valueChanged);

        QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(x, 10));
        QCOMPARE(slider.value(), value);
        // The value changes on the press itself, without dragging the handle.
        QCOMPARE(changed.count(), value == 0 ? 0 : 1);
    }

    void clickOnPositionSliderIgnoresTracking()
    {
        HandleStyle style(16);
        PositionSlider slider(Qt::Horizontal);
        slider.setStyle(&style);
        slider.setTracking(false);
        slider.setRange(0, 1000);
        slider.setFixedSize(200, 20);
        QSignalSpy changed(&slider, &QSlider::valueChanged);
        QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(199, 10));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toInt(), 997);
    }

    void wheelIsSwallowed()
    {
        MySlider slider(Qt::Horizontal);
        slider.setRange(0, 100);
        slider.setValue(50);
        slider.resize(200, 20);
        QWheelEvent wheel(QPointF(100, 10), QPointF(100, 10), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&slider, &wheel);
        QCOMPARE(slider.value(), 50);
        QEvent other(QEvent::MouseMove);
        QVERIFY(!slider.eventFilter(&slider, &other));
    }

    void positionToValue()
    {
        HandleStyle style(16);
        MySlider slider(Qt::Horizontal);
        slider.setStyle(&style);
        slider.setRange(0, 1000);
        slider.setFixedSize(200, 20);
        qint64 value = -1;
        QVERIFY(slider.positionToValue(100, value));
        QVERIFY(qAbs(value - 500) <= 10);
        QVERIFY(!slider.positionToValue(-1, value));
        QVERIFY(!slider.positionToValue(200, value));
    }

    void tooltipTexts()
    {
        ProbeSlider position;
        QCOMPARE(position.valueText(3723000), QStringLiteral("01:02:03"));
        QCOMPARE(position.valueText(59999), QStringLiteral("00:59"));
        ProbeVolumeSlider volume;
        QCOMPARE(volume.valueText(42), QStringLiteral("42"));
    }

    void rangesPainted_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("end");
        QTest::addColumn<bool>("painted");

        QTest::newRow("valid range") << 1000 << qint64(200) << qint64(600) << true;
        QTest::newRow("start equals end") << 1000 << qint64(500) << qint64(500) << false;
        QTest::newRow("start after end") << 1000 << qint64(600) << qint64(200) << false;
        QTest::newRow("maximum 0") << 0 << qint64(0) << qint64(600) << false;
    }

    void rangesPainted()
    {
        QFETCH(int, maximum);
        QFETCH(qint64, start);
        QFETCH(qint64, end);
        QFETCH(bool, painted);

        PositionSlider slider(Qt::Horizontal);
        slider.setRange(0, maximum);
        slider.resize(200, 30);
        const QImage plain = render(slider);

        QList<RangeColour> ranges{{start, end, QBrush(Qt::red), true}};
        slider.setRangeColours(ranges);
        QCOMPARE(slider.rangeColours().size(), 1);
        const QImage withRange = render(slider);
        QCOMPARE(withRange != plain, painted);
        if (painted) {
            // The fill sits over the groove between 20 % and 60 % of the slider.
            QCOMPARE(withRange.pixelColor(80, 15), QColor(Qt::red));
        }
        slider.clearRangeColours();
        QCOMPARE(render(slider), plain);
    }

    void progressPainted()
    {
        PositionSlider slider(Qt::Horizontal);
        slider.setRange(0, 1000);
        slider.resize(200, 30);
        const QImage plain = render(slider);
        slider.setSliderPosition(500);
        const QImage played = render(slider);
        QCOMPARE(played.pixelColor(40, 15), QColor(0, 173, 239));
        QVERIFY(played != plain);
    }
};

QTEST_MAIN(TestSliders)
#include "tst_sliders.moc"
