#include "maskdialog.h"
#include "maskeditor.h"
#include "maskstore.h"

#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

// Drawing, moving and keyframing masks on a still with the mouse.
class TestMaskEditor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void drawMoveAndResize();
    void dialogSavesTheTripsMasks();

private:
    // A press, a move in steps and a release, in widget coordinates.
    static void drag(QWidget* widget, const QPoint& from, const QPoint& to);
    QImage m_frame;
};

void TestMaskEditor::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    // A picture of fine stripes, which a mask visibly flattens.
    m_frame = QImage(640, 360, QImage::Format_RGB32);
    for (int y = 0; y < m_frame.height(); ++y)
        for (int x = 0; x < m_frame.width(); ++x)
            m_frame.setPixel(x, y, (x / 2) % 2 ? qRgb(240, 240, 240) : qRgb(20, 20, 20));
}

void TestMaskEditor::drag(QWidget* widget, const QPoint& from, const QPoint& to)
{
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    for (int step = 1; step <= 4; ++step) {
        QMouseEvent move(QEvent::MouseMove, from + (to - from) * step / 4, Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, to);
}

void TestMaskEditor::drawMoveAndResize()
{
    MaskEditor editor;
    editor.resize(640, 360); // one widget pixel to a picture pixel
    editor.setFrame(m_frame, 1.0);
    QSignalSpy changed(&editor, &MaskEditor::masksChanged);

    // A click is no mask; a drag draws one, with its keyframe at this instant.
    QTest::mouseClick(&editor, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QVERIFY(editor.masks().isEmpty());
    drag(&editor, QPoint(100, 100), QPoint(200, 160));
    QCOMPARE(editor.masks().masks().size(), 1);
    QCOMPARE(editor.selected(), 0);
    const Masks::Mask& drawn = editor.masks().masks().front();
    QCOMPARE(drawn.keyframes.size(), 1);
    QCOMPARE(drawn.keyframes.front().seconds, 1.0);
    QVERIFY(qAbs(drawn.keyframes.front().rect.left() - 100) <= 1 &&
            qAbs(drawn.keyframes.front().rect.width() - 100) <= 1);

    // Two seconds later the object has moved: dragging the mask sets a second keyframe there.
    editor.setFrame(m_frame, 3.0);
    drag(&editor, QPoint(150, 130), QPoint(350, 130));
    QCOMPARE(editor.masks().masks().front().keyframes.size(), 2);
    const QRect middle = Masks::rectAt(editor.masks().masks().front(), 2.0);
    QVERIFY2(qAbs(middle.left() - 200) <= 2, qPrintable(QString::number(middle.left())));
    // It cannot leave the picture.
    drag(&editor, QPoint(350, 130), QPoint(900, 130));
    QCOMPARE(Masks::rectAt(editor.masks().masks().front(), 3.0).right(), 639);

    // The corner resizes; the picture shown is the masked one.
    const QRectF area = editor.toWidget(Masks::rectAt(editor.masks().masks().front(), 3.0));
    drag(&editor, area.bottomRight().toPoint() - QPoint(3, 3),
         area.bottomRight().toPoint() + QPoint(-40, 30));
    const QRect resized = Masks::rectAt(editor.masks().masks().front(), 3.0);
    QVERIFY2(qAbs(resized.height() - 93) <= 2 && qAbs(resized.width() - 63) <= 2 &&
                 qAbs(resized.left() - 540) <= 2,
             qPrintable(
                 QStringLiteral("%1 %2 %3").arg(resized.left()).arg(resized.width()).arg(resized.height())));
    editor.setSelectedMode(Masks::Mode::Pixelate);
    QCOMPARE(editor.masks().masks().front().mode, Masks::Mode::Pixelate);
    QVERIFY(changed.count() >= 5);

    editor.removeSelectedKeyframe();
    QCOMPARE(editor.masks().masks().front().keyframes.size(), 1);
    editor.setFrame(m_frame, 1.0);
    drag(&editor, QPoint(150, 130), QPoint(150, 130));
    QCOMPARE(editor.selected(), 0);
    editor.removeSelected();
    QVERIFY(editor.masks().isEmpty());
}

void TestMaskEditor::dialogSavesTheTripsMasks()
{
    QTemporaryDir dir;
    const QString video = dir.filePath(QStringLiteral("001_0001_20240501170000.mp4"));
    QVERIFY(QFile::copy(
        QDir(QStringLiteral(EXPORT_TEST_MEDIA)).filePath(QStringLiteral("007_0001_20240501180000.mp4")),
        video));
    const Trip::TripList trip{Trip::TripItem{2000, false, video, QString()}};
    MaskStore::save(trip, Masks());

    MaskDialog dialog(trip, 1000, nullptr);
    dialog.resize(900, 640);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    MaskEditor* editor = dialog.editor();
    const QRectF area = editor->toWidget(QRect(200, 100, 100, 80));
    drag(editor, area.topLeft().toPoint(), area.bottomRight().toPoint());
    QCOMPARE(editor->masks().masks().size(), 1);
    dialog.findChildren<QRadioButton*>().at(1)->click(); // pixelate
    // Another instant: the picture there, the mask held where it was.
    dialog.slider()->setValue(1500);
    QTRY_COMPARE(editor->seconds(), 1.5);
    dialog.accept();
    const Masks saved = MaskStore::load(trip);
    QCOMPARE(saved.masks().size(), 1);
    QCOMPARE(saved.masks().front().mode, Masks::Mode::Pixelate);
    QCOMPARE(saved.masks().front().keyframes.front().seconds, 1.0);
    QVERIFY(QRect(195, 95, 110, 90).contains(saved.masks().front().keyframes.front().rect));
    QVERIFY(MaskStore::save(trip, Masks()));
}

QTEST_MAIN(TestMaskEditor)
#include "tst_maskeditor.moc"
