#include "../contrast.h"
#include "../sessionfixture.h"
#include "aboutdialog.h"
#include "compass.h"
#include "controlpanelwgt.h"
#include "controlpanelwgtform.h"
#include "datapoint.h"
#include "drivedata.h"
#include "extendedmapcontrol.h"
#include "graph.h"
#include "langselectionbutton.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "mapwidget.h"
#include "myslider.h"
#include "ostrellogo.h"
#include "playlistroles.h"
#include "playlistwgt.h"
#include "point.h"
#include "routelegend.h"
#include "settingsbutton.h"
#include "speedbutton.h"
#include "tripfile.h"
#include "tripsession.h"
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

// The widest figures of a long trip.
TripStatistics wideStatistics()
{
    TripStatistics s;
    s.distance = 1234567.0;
    s.bridgedDistance = 12345.0;
    s.drivingSeconds = 23 * 3600 + 59 * 60;
    s.maxSpeed = 188.0 / 3.6;
    s.averageSpeed = 123.0 / 3.6;
    s.stops = 123;
    s.events = 21;
    return s;
}

// A trip of the list as the list plays it: its files in order.
std::shared_ptr<Trip::TripList> tripOf(const QModelIndex& row)
{
    auto trip = std::make_shared<Trip::TripList>();
    for (int child = 0; child < row.model()->rowCount(row); ++child) {
        const QModelIndex file = row.model()->index(child, 0, row);
        const QString path = file.data(PlaylistRoles::Files).toString();
        trip->push_back(Trip::TripItem{file.data(PlaylistRoles::Duration).toLongLong(),
                                       file.data(PlaylistRoles::Events).toBool(), path,
                                       Trip::nmeaFileFor(path)});
    }
    return trip;
}

} // namespace

// The window at its default size, at its declared minimum size, on a screen of 1366x768 and in
// full screen, in English, German and Russian, with a trip expanded and its route on the map:
// every panel's text is shown in full and every text reads against its background, checked on
// the rendered pixels.
class TestLayoutFit : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everythingFits_data();
    void everythingFits();
    void everyTextReadable_data();
    void everyTextReadable();
    void cleanupTestCase();

private:
    Ui_MainWindow* ui() const { return m_window->form(); }
    QString checkTitleBar() const;
    QString checkPanels() const;
    QString checkDriveData() const;
    QString checkPlaylist() const;
    QString checkControlPanel() const;
    QString checkSummary() const;
    QString checkMap() const;
    QModelIndex eventFileRow() const;

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

    // The first trip (with an event recording) expanded, that recording's row selected, and the
    // trip's route on the map; the session is given the trip directly, so nothing plays.
    QTreeView* tree = playlist->treeView();
    const QModelIndex first = tree->model()->index(0, 0);
    tree->expand(first);
    QVERIFY(eventFileRow().isValid());
    tree->setCurrentIndex(eventFileRow());
    ui()->gpsWidget->session()->selectTrip(tripOf(first));
    QTRY_VERIFY_WITH_TIMEOUT(!ui()->gpsWidget->markers().empty(), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->tripSummary()->text().isEmpty(), 15000);
    m_window->tripSummary()->setStatistics(wideStatistics());

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
    // The widest speed.
    ctrl->updateRate(0.25);
}

QModelIndex TestLayoutFit::eventFileRow() const
{
    const QAbstractItemModel* model = ui()->fileWidget->treeView()->model();
    const QModelIndex trip = model->index(0, 0);
    for (int child = 0; child < model->rowCount(trip); ++child) {
        const QModelIndex file = model->index(child, 0, trip);
        if (file.data(PlaylistRoles::Events).toBool())
            return file;
    }
    return QModelIndex();
}

void TestLayoutFit::everythingFits_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("size");
    for (const char* language : {"en_GB", "de_DE", "ru_RU"}) {
        for (const char* size : {"default", "minimum", "1366x768", "full screen"})
            QTest::addRow("%s %s", language, size)
                << QString::fromLatin1(language) << QString::fromLatin1(size);
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
    const int volume = form->volumeSlider->width();
    if (volume < Ui_ControlPanelWgt::VolumeSliderMinimum || volume > Ui_ControlPanelWgt::VolumeSliderMaximum)
        return QStringLiteral("the volume slider is %1 px wide").arg(volume);
    // The widest speed keeps clear of the in-point button beside it.
    const QImage image = panel->grab().toImage();
    const auto box = [panel](const QWidget* w) { return QRect(w->mapTo(panel, QPoint()), w->size()); };
    const int speedEnd = brightColumns(image, box(form->speedButton)).second;
    const int inStart = brightColumns(image, box(form->inButton)).first;
    if (speedEnd < 0 || inStart < 0 || inStart - speedEnd < 5)
        return QStringLiteral("\"%1\" touches the in-point button (%2 to %3)")
            .arg(form->speedButton->text())
            .arg(speedEnd)
            .arg(inStart);
    return QString();
}

// The trip's figures in full, wrapped between figures where the line is too long.
QString TestLayoutFit::checkSummary() const
{
    TripSummary* summary = m_window->tripSummary();
    const QString shown = summary->text();
    if (QString(shown).replace(QStringLiteral(" \u00b7\n"), QStringLiteral(" \u00b7 ")) !=
        TripSummary::summaryText(wideStatistics()))
        return QStringLiteral("the summary shows \"%1\"").arg(shown);
    const QStringList lines = shown.split(QLatin1Char('\n'));
    const QFontMetrics metrics = summary->fontMetrics();
    for (const QString& line : lines) {
        // The style sheet's padding of 6 pixels on either side.
        if (metrics.horizontalAdvance(line) > summary->width() - 12)
            return QStringLiteral("\"%1\" is cut (%2 px)").arg(line).arg(summary->width());
    }
    if (summary->height() < lines.size() * metrics.height())
        return QStringLiteral("%1 lines in %2 px").arg(lines.size()).arg(summary->height());
    return QString();
}

// After "show whole route" the route's pins lie clear of the map's buttons.
QString TestLayoutFit::checkMap() const
{
    MapWidget* map = ui()->gpsWidget;
    auto* fit = map->findChild<QPushButton*>(QStringLiteral("fitRouteButton"));
    if (!fit || !fit->isVisible())
        return QStringLiteral("no fit-route button");
    fit->click();
    const ExtendedMapControl* control = map->mapControl();
    for (const auto& marker : map->markers()) {
        const QPointF at = control->coordinateToScreen(marker->coordinate());
        const QRectF pin(qmapcontrol::Point::alignedTopLeft(at, marker->pixmap().size(), marker->alignment()),
                         marker->pixmap().size());
        for (const char* name : {"zoomInButton", "zoomOutButton", "centreButton", "fitRouteButton"}) {
            const auto* button = control->findChild<QPushButton*>(QLatin1String(name));
            if (button && button->isVisible() && pin.intersects(button->geometry()))
                return marker->name() + QStringLiteral(" lies on ") + QLatin1String(name);
        }
    }
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
        // The label is drawn in full: as wide as the text's ink, not elided, not touching the
        // borders.
        if (columns.first < 0 ||
            columns.second - columns.first + 1 < metrics.tightBoundingRect(label).width() - 3)
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
    QFETCH(QString, size);
    ui()->langButton->loadLanguage(language);
    QTest::qWait(50);
    const bool fullScreen = size == QLatin1String("full screen");
    if (fullScreen) {
        m_window->resize(1030, 700);
        m_window->onToggleFullScreenMode();
        QTRY_VERIFY(m_window->isWindowFullScreen());
        QTRY_COMPARE(m_window->size(), m_window->screen()->size());
    } else {
        // The default size, or wider where the language needs it.
        QSize wanted = QSize(1030, 700).expandedTo(m_window->minimumSize());
        if (size == QLatin1String("minimum"))
            wanted = m_window->minimumSize();
        else if (size == QLatin1String("1366x768"))
            wanted = QSize(1366, 768);
        m_window->resize(wanted);
        QTRY_COMPARE(m_window->size(), wanted);
    }
    QTest::qWait(200);
    Session::screenImage(m_window.get())
        .save(QStringLiteral(TARROW_ARTIFACTS_DIR "/layout-%1-%2.png").arg(language, size));

    QStringList faults{checkControlPanel()};
    if (fullScreen) {
        // Back to the window before anything is judged, so the next row starts from it.
        m_window->onToggleFullScreenMode();
        QTRY_VERIFY(!m_window->isWindowFullScreen());
    } else {
        faults << checkTitleBar() << checkPanels() << checkDriveData() << checkPlaylist() << checkSummary()
               << checkMap();
    }
    faults.removeAll(QString());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral(" | "))));
}

void TestLayoutFit::everyTextReadable_data()
{
    QTest::addColumn<QString>("language");
    for (const char* language : {"en_GB", "de_DE", "ru_RU"})
        QTest::addRow("%s", language) << QString::fromLatin1(language);
}

// Every text the window draws reaches 4.5:1 against its background: labels, buttons, the list's
// header and rows (the selected event recording, and a row under the mouse), the route's legend,
// and the About dialog's tabs.
void TestLayoutFit::everyTextReadable()
{
    QFETCH(QString, language);
    ui()->langButton->loadLanguage(language);
    QTest::qWait(50);
    const QSize size = QSize(1030, 700).expandedTo(m_window->minimumSize());
    m_window->resize(size);
    QTRY_COMPARE(m_window->size(), size);
    QTest::qWait(200);
    QWidget* window = m_window.get();
    QStringList illegible;
    const auto check = [&](const QImage& image, const QString& what, const QRect& area) {
        const double contrast = Contrast::textContrast(image, area);
        if (contrast < 4.5)
            illegible << QStringLiteral("%1 %2").arg(what).arg(contrast, 0, 'f', 2);
    };
    const auto inWindow = [window](const QWidget* w, const QRect& r) {
        return QRect(w->mapTo(window, r.topLeft()), r.size());
    };

    QImage image = Session::screenImage(window);
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->isVisible() && !label->text().isEmpty() && label->pixmap(Qt::ReturnByValue).isNull())
            check(image, label->text(), inWindow(label, label->contentsRect()));
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        if (button->isVisible() && !button->text().isEmpty())
            check(image, button->text(), inWindow(button, button->rect()));
    }
    QTreeView* tree = ui()->fileWidget->treeView();
    QHeaderView* header = tree->header();
    for (int column = 1; column < header->count(); ++column) {
        const QRect section(header->sectionViewportPosition(column), 0, header->sectionSize(column),
                            header->height());
        check(image, tree->model()->headerData(column, Qt::Horizontal).toString(),
              inWindow(header->viewport(), section.adjusted(2, 2, -2, -2)));
    }
    const QAbstractItemModel* model = tree->model();
    QList<QModelIndex> rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex trip = model->index(row, 0);
        for (int column = 1; column < model->columnCount(); ++column)
            rows << model->index(row, column);
        for (int child = 0; child < model->rowCount(trip); ++child)
            rows << model->index(child, 0, trip);
    }
    QCOMPARE(tree->currentIndex(), eventFileRow());
    for (const QModelIndex& index : qAsConst(rows)) {
        if (!index.data().toString().isEmpty() &&
            (!index.parent().isValid() || tree->isExpanded(index.parent())))
            check(image, index.data().toString(),
                  inWindow(tree->viewport(), Contrast::itemTextRect(tree, index)));
    }
    // The event recording's row also when another row is selected.
    tree->setCurrentIndex(model->index(0, 0, model->index(0, 0)));
    QTest::qWait(100);
    check(Session::screenImage(window), eventFileRow().data().toString() + QStringLiteral(" not selected"),
          inWindow(tree->viewport(), Contrast::itemTextRect(tree, eventFileRow())));
    tree->setCurrentIndex(eventFileRow());
    const RouteLegend* legend = ui()->gpsWidget->findChild<RouteLegend*>();
    for (int row = 0; legend && legend->isVisible() && row < RouteLegend::RowCount; ++row) {
        const QRect sample = legend->sampleRect(RouteLegend::Row(row));
        check(image, RouteLegend::label(RouteLegend::Row(row)),
              inWindow(legend, QRect(sample.right() + 3, sample.top(), legend->width() - sample.right() - 6,
                                     sample.height())));
    }

    // The rows of the expanded trip under the mouse, the event recording's among them.
    for (const QModelIndex& file : {model->index(0, 0, model->index(0, 0)), eventFileRow()}) {
        const QRect area = Contrast::itemTextRect(tree, file);
        QTest::mouseMove(tree->viewport(), area.center());
        QTest::qWait(100);
        image = Session::screenImage(window);
        check(image, file.data().toString() + QStringLiteral(" under the mouse"),
              inWindow(tree->viewport(), area));
    }
    QTest::mouseMove(window, QPoint(2, 2));

    // The About dialog's tabs, the chosen one among them, on each page.
    AboutDialog* about = m_window->aboutDialog();
    about->show();
    QVERIFY(QTest::qWaitForWindowExposed(about));
    for (int page = 0; page < 4; ++page) {
        QTest::mouseClick(about->pageButton(page), Qt::LeftButton);
        QTRY_COMPARE(about->currentPage(), page);
        QTest::qWait(100);
        image = Session::screenImage(about);
        for (int tab = 0; tab < 4; ++tab) {
            // Inside the dotted frame of the chosen tab.
            const QPushButton* button = about->pageButton(tab);
            check(image, QStringLiteral("tab %1 on page %2").arg(tab).arg(page),
                  QRect(button->mapTo(about, QPoint(3, 3)), button->size() - QSize(6, 6)));
        }
    }
    about->close();
    QVERIFY2(illegible.isEmpty(), qPrintable(illegible.join(QStringLiteral(" | "))));
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
