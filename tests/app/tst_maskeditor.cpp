#include "maskeditor.h"
#include "maskoutlines.h"
#include "maskpanel.h"
#include "maskstore.h"

#include <vireo/vlcvideowidget.h>

#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

// Drawing, moving and keyframing masks on a still with the mouse.
class TestMaskEditor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void drawMoveAndResize();
    void panelOnThePictureKeepsTheTripsMasks();
    void outlinesFollowThePicture();

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

// Over the player's picture: the still of the position asked for, every change kept for the
// trip at once, another position's picture when the player moves.
void TestMaskEditor::panelOnThePictureKeepsTheTripsMasks()
{
    QTemporaryDir dir;
    const QString video = dir.filePath(QStringLiteral("001_0001_20240501170000.mp4"));
    QVERIFY(QFile::copy(
        QDir(QStringLiteral(EXPORT_TEST_MEDIA)).filePath(QStringLiteral("007_0001_20240501180000.mp4")),
        video));
    const Trip::TripList trip{Trip::TripItem{2000, false, video, QString()}};
    MaskStore::save(trip, Masks());

    VlcVideoWidget frame;
    frame.resize(900, 600);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    MaskPanel panel(&frame);
    QSignalSpy kept(&panel, &MaskPanel::masksChanged);
    panel.setTrip(trip);
    QVERIFY(!panel.isEditing());
    panel.start(1000);
    QVERIFY(panel.isEditing());
    QCOMPARE(panel.geometry(), frame.rect());
    MaskEditor* editor = panel.editor();
    QTRY_VERIFY(editor->hasFrame());
    QCOMPARE(editor->seconds(), 1.0);

    const QRectF area = editor->toWidget(QRect(200, 100, 100, 80));
    drag(editor, area.topLeft().toPoint(), area.bottomRight().toPoint());
    QCOMPARE(editor->masks().masks().size(), 1);
    panel.findChildren<QRadioButton*>().at(1)->click(); // pixelate
    QCOMPARE(kept.count(), 2);
    Masks saved = MaskStore::load(trip);
    QCOMPARE(saved.masks().size(), 1);
    QCOMPARE(saved.masks().front().mode, Masks::Mode::Pixelate);
    QCOMPARE(saved.masks().front().keyframes.front().seconds, 1.0);
    QVERIFY(QRect(195, 95, 110, 90).contains(saved.masks().front().keyframes.front().rect));

    // The player steps on: the picture there, the mask held where it was, moved to a keyframe.
    panel.showPosition(1500);
    QTRY_COMPARE(editor->seconds(), 1.5);
    const QRectF held = editor->toWidget(Masks::rectAt(editor->masks().masks().front(), 1.5));
    drag(editor, held.center().toPoint(), held.center().toPoint() + QPoint(60, 0));
    saved = MaskStore::load(trip);
    QCOMPARE(saved.masks().front().keyframes.size(), 2);

    // Done (or Escape, or playing) closes it; another trip starts with that trip's masks.
    QSignalSpy finished(&panel, &MaskPanel::finished);
    panel.findChild<QPushButton*>(QStringLiteral("maskDone"))->click();
    QCOMPARE(finished.count(), 1);
    QVERIFY(!panel.isEditing());
    QVERIFY(MaskStore::save(trip, Masks()));
}

// The outlines lie where the masks are on the picture the engine shows: its window's place in
// the frame and the recorded picture's size map the masks' pixels to the screen.
void TestMaskEditor::outlinesFollowThePicture()
{
    VlcVideoWidget frame;
    frame.resize(1000, 360);
    frame.setVideoSize(QSize(1280, 720));
    QVERIFY(frame.request() != 0);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QTRY_VERIFY(!frame.surfaceGeometry().isEmpty());
    const QRect surface = frame.surfaceGeometry();
    QCOMPARE(surface.size(), QSize(640, 360));

    MaskOutlines outlines(&frame);
    Masks masks;
    masks.masks().append(Masks::Mask{
        Masks::Mode::Blur,
        {Masks::Keyframe{0.0, QRect(200, 100, 400, 200)}, Masks::Keyframe{2.0, QRect(600, 100, 400, 200)}}});
    outlines.setMasks(masks);
    outlines.setSeconds(0.0);
    QVERIFY(outlines.isVisible());
    const auto near = [](const QRect& a, const QRect& b) {
        return qAbs(a.left() - b.left()) <= 1 && qAbs(a.top() - b.top()) <= 1 &&
               qAbs(a.width() - b.width()) <= 1 && qAbs(a.height() - b.height()) <= 1;
    };
    QVERIFY2(near(outlines.outlineRegion().boundingRect(),
                  QRect(surface.topLeft() + QPoint(100, 50), QSize(200, 100))),
             qPrintable(QString("%1").arg(outlines.outlineRegion().boundingRect().left())));
    // Only the outline: the picture shows through inside it.
    QVERIFY(!outlines.outlineRegion().contains(surface.topLeft() + QPoint(200, 100)));
    outlines.setSeconds(1.0);
    QVERIFY(near(outlines.outlineRegion().boundingRect(),
                 QRect(surface.topLeft() + QPoint(200, 50), QSize(200, 100))));
    outlines.setMasks(Masks());
    QVERIFY(!outlines.isVisible());
    frame.release();
}

QTEST_MAIN(TestMaskEditor)
#include "tst_maskeditor.moc"
