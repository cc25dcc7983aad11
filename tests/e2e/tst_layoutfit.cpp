#include "../sessionfixture.h"
#include "compass.h"
#include "controlpanelwgt.h"
#include "controlpanelwgtform.h"
#include "datapoint.h"
#include "drivedata.h"
#include "graph.h"
#include "langselectionbutton.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "mapwidget.h"
#include "myslider.h"
#include "ostrellogo.h"
#include "playlistwgt.h"
#include "settingsbutton.h"
#include "speedbutton.h"
#include "tripsummary.h"
#include "vlcqtvideowidget.h"
#include "zelsettings.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

namespace {

// Text and signs: white, yellow, green or cyan on the dark panels.
bool bright(QRgb pixel)
{
    return qMax(qRed(pixel), qMax(qGreen(pixel), qBlue(pixel))) > 150;
}

// Columns of `area` in `image` that hold bright (text or sign) pixels: first and last, or -1.
QPair<int, int> brightColumns(const QImage& image, const QRect& area)
{
    int first = -1;
    int last = -1;
    for (int x = area.left(); x <= area.right(); ++x) {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            if (bright(image.pixel(x, y))) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

} // namespace

// The window at its default size and at its declared minimum size, in English, German and
// Russian: every panel's text is shown in full, checked on the rendered pixels.
class TestLayoutFit : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everythingFits_data();
    void everythingFits();
    void cleanupTestCase();

private:
    Ui_MainWindow* ui() const { return m_window->form(); }
    QString checkTitleBar() const;
    QString checkPanels() const;
    QString checkDriveData() const;
    QString checkPlaylist() const;
    QString checkControlPanel() const;

    QTemporaryDir m_tmp;
    std::unique_ptr<MainWindow> m_window;
};

void TestLayoutFit::initTestCase()
{
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "needs an X display (run under xvfb-run)");
    QVERIFY(m_tmp.isValid());
    const QString card = m_tmp.filePath(QStringLiteral("card"));
    QVERIFY(Session::copyTree(Session::sampleCard(), card));
    Session::closeTileServer(m_tmp.path());
    QFile::remove(ZelSettings::getWritablePath());
    QDir().mkpath(QStringLiteral(TARROW_ARTIFACTS_DIR));

    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->openPaths({card});
    PlaylistWgt* playlist = ui()->fileWidget;
    QTRY_VERIFY_WITH_TIMEOUT(
        playlist->model() && playlist->model()->rowCount() == 2 && !playlist->isWorking(), 30000);

    // A position with the widest coordinates: two-digit minutes, three-digit degrees.
    DataPoint::registerMetaTypes();
    auto samples = std::make_shared<std::vector<DataPoint>>(1);
    DataPoint& sample = samples->front();
    sample.latitude = -(48 + 46 / 60.0 + 35.9 / 3600);
    sample.longitude = -(178 + 46 / 60.0 + 35.9 / 3600);
    sample.speed = 33.3;
    sample.accelerationX = -9.87;
    sample.accelerationY = -10.04;
    sample.accelerationValid = true;
    sample.positionValid = true;
    sample.speedValid = true;
    sample.fix = true;
    ui()->driveData->new_nmea_data(samples);
    ui()->driveData->current_video_position_changed(0);

    // The widest texts of the control panel: a ten-hour trip, paused near its end, with the
    // clock beside the position.
    ControlPanelWgt* ctrl = ui()->ctrlPanel;
    ctrl->setClockSource([](qint64) { return QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59), Qt::UTC); });
    ctrl->updateDuration(36000000);
    ctrl->updatePosition(35999900);
}

void TestLayoutFit::everythingFits_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("minimum");
    for (const char* language : {"en_GB", "de_DE", "ru_RU"}) {
        QTest::addRow("%s default", language) << QString::fromLatin1(language) << false;
        QTest::addRow("%s minimum", language) << QString::fromLatin1(language) << true;
    }
}

QString TestLayoutFit::checkTitleBar() const
{
    const QRect window = m_window->rect();
    QList<QRect> taken{QRect(ui()->ostrelIcon->mapTo(m_window.get(), QPoint()), ui()->ostrelIcon->size())};
    for (QWidget* button : std::initializer_list<QWidget*>{
             ui()->openFileButton, ui()->langButton, ui()->settingsButton, ui()->infoButton,
             ui()->minimizeButton, ui()->maximizeButton, ui()->closeButton}) {
        const QRect rect(button->mapTo(m_window.get(), QPoint()), button->size());
        if (!button->isVisible() || !window.contains(rect))
            return button->objectName() +
                   QStringLiteral(" is cut off (window %1x%2)").arg(window.width()).arg(window.height());
        for (const QRect& other : qAsConst(taken)) {
            if (other.intersects(rect))
                return button->objectName() + QStringLiteral(" overlaps");
        }
        taken << rect;
    }
    return QString();
}

// Every panel at least at its minimum size, inside the window and clear of the others.
QString TestLayoutFit::checkPanels() const
{
    const QList<QWidget*> panels{ui()->videoWidget, ui()->ctrlPanel,        ui()->dataFrame,
                                 ui()->driveData,   ui()->compass,          ui()->gpsWidget,
                                 ui()->fileWidget,  m_window->tripSummary()};
    for (QWidget* panel : panels) {
        const QRect box(panel->mapTo(m_window.get(), QPoint(0, 0)), panel->size());
        if (panel->width() < panel->minimumWidth() || panel->height() < panel->minimumHeight() ||
            !m_window->rect().contains(box))
            return panel->objectName() + QStringLiteral(" is cut");
        for (QWidget* other : panels) {
            if (other != panel &&
                box.intersects(QRect(other->mapTo(m_window.get(), QPoint(0, 0)), other->size())))
                return panel->objectName() + QStringLiteral(" overlaps ") + other->objectName();
        }
    }
    return QString();
}

QString TestLayoutFit::checkDriveData() const
{
    Compass* compass = ui()->compass;
    if (compass->width() < 64 || compass->height() < 64)
        return QStringLiteral("compass %1x%2").arg(compass->width()).arg(compass->height());
    DriveData* panel = ui()->driveData;
    const QImage image = panel->grab().toImage();
    const int pitch = QFontInfo(panel->font()).pixelSize() + 1;
    // The last line (7.5) with its descenders must lie inside the panel.
    if (panel->height() < int(8.7 * pitch))
        return QStringLiteral("the last line is cut at the bottom (%1 px for pitch %2)")
            .arg(panel->height())
            .arg(pitch);
    // The coordinates (lines 0.5 and 1.5) and accelerations (6.5 and 7.5) are right-aligned:
    // cut text would reach the panel's left edge.
    for (const double line : {0.5, 1.5, 6.5, 7.5}) {
        const int top = int(line * pitch);
        const QRect row(2, top, panel->width() - 4, pitch - 1);
        const auto columns = brightColumns(image, row);
        if (columns.first < 0)
            return QStringLiteral("no text on line %1").arg(line);
        if (columns.first <= 4)
            return QStringLiteral("line %1 is cut at the left edge").arg(line);
    }
    // The digits of the coordinates reach down to their baseline, below the line's first
    // pixel-size rows: text clipped to those rows would lose its bottom.
    const int size = pitch - 1;
    const QRect baseline(2, int(0.5 * pitch) + size + 1, panel->width() - 4, qMax(1, size / 6));
    if (brightColumns(image, baseline).first < 0)
        return QStringLiteral("the coordinates are cut at their baseline");
    return QString();
}

// Every control of the panel inside it and clear of the others; its texts in full.
QString TestLayoutFit::checkControlPanel() const
{
    ControlPanelWgt* panel = ui()->ctrlPanel;
    Ui_ControlPanelWgt* form = panel->form();
    QList<QPair<QWidget*, QRect>> taken;
    for (QWidget* control : std::initializer_list<QWidget*>{
             form->speedButton, form->inButton, form->outButton, form->maxminButton, form->rewButton,
             form->playpauseButton, form->ffdButton, form->volumeButton, form->volumeSlider,
             form->snapshotButton, form->exportButton, form->positionLabel, form->clockLabel,
             form->durationLabel}) {
        const QRect rect(control->mapTo(panel, QPoint()), control->size());
        if (!control->isVisible() || !panel->rect().contains(rect))
            return control->objectName() + QStringLiteral(" is cut off");
        if (auto* label = qobject_cast<QLabel*>(control)) {
            if (label->text().isEmpty() ||
                label->width() < label->fontMetrics().horizontalAdvance(label->text()))
                return control->objectName() + QStringLiteral(" does not show \"%1\"").arg(label->text());
        }
        for (const auto& other : qAsConst(taken)) {
            if (other.second.intersects(rect))
                return control->objectName() + QStringLiteral(" overlaps ") + other.first->objectName();
        }
        taken << qMakePair(control, rect);
    }
    if (form->speedButton->width() <
        form->speedButton->fontMetrics().horizontalAdvance(QStringLiteral("0.25\u00d7")))
        return QStringLiteral("the speed button is too narrow");
    return QString();
}

QString TestLayoutFit::checkPlaylist() const
{
    QTreeView* tree = ui()->fileWidget->treeView();
    if (tree->horizontalScrollBar()->maximum() > 0) {
        QStringList widths;
        for (int column = 0; column < 4; ++column)
            widths << QString::number(tree->columnWidth(column));
        return QStringLiteral("the columns (%1) are wider than the list (%2)")
            .arg(widths.join(QLatin1Char(' ')))
            .arg(tree->viewport()->width());
    }
    QHeaderView* header = tree->header();
    const QImage image = header->grab().toImage();
    const QFontMetrics metrics(header->font());
    for (int column = 1; column < 4; ++column) {
        const QString label = tree->model()->headerData(column, Qt::Horizontal).toString();
        const QRect section(header->sectionViewportPosition(column), 0, header->sectionSize(column),
                            header->height());
        const auto columns = brightColumns(image, section.adjusted(1, 2, -1, -2));
        // The label is drawn in full: as wide as the text, not elided, not touching the borders.
        if (columns.first < 0 || columns.second - columns.first + 1 < metrics.horizontalAdvance(label) - 3)
            return QStringLiteral("header \"%1\" is cut").arg(label);
    }
    // The event count: the sign and its number stay inside their cell.
    const QModelIndex events = tree->model()->index(0, 3);
    const QRect cell = tree->visualRect(events);
    const QImage rows = tree->viewport()->grab().toImage();
    const auto columns = brightColumns(rows, cell.adjusted(0, 1, 0, -1));
    if (columns.first < 0)
        return QStringLiteral("no event count");
    if (columns.second >= cell.right() - 1 || columns.first <= cell.left())
        return QStringLiteral("event count is cut");
    return QString();
}

void TestLayoutFit::everythingFits()
{
    QFETCH(QString, language);
    QFETCH(bool, minimum);
    ui()->langButton->loadLanguage(language);
    QTest::qWait(50);
    m_window->resize(minimum ? m_window->minimumSize() : QSize(1030, 700));
    QTRY_COMPARE(m_window->size(), minimum ? m_window->minimumSize() : QSize(1030, 700));
    QTest::qWait(200);
    Session::screenImage(m_window.get())
        .save(QStringLiteral(TARROW_ARTIFACTS_DIR "/layout-%1-%2.png")
                  .arg(language, minimum ? "minimum" : "default"));

    QCOMPARE(checkTitleBar(), QString());
    QCOMPARE(checkPanels(), QString());
    QCOMPARE(checkDriveData(), QString());
    QCOMPARE(checkPlaylist(), QString());
    QCOMPARE(checkControlPanel(), QString());
}

void TestLayoutFit::cleanupTestCase()
{
    if (m_window)
        m_window->form()->langButton->loadLanguage(QStringLiteral("en_GB"));
    m_window.reset();
    QFile::remove(ZelSettings::getWritablePath());
}

QTEST_MAIN(TestLayoutFit)
#include "tst_layoutfit.moc"
