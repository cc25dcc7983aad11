#include "playlistwgt.h"

#include "centereditemdelegate.h"
#include "circleprogressbar.h"
#include "myfiledialog.h"
#include "mysortfilterproxymodel.h"
#include "playlistlog.h"
#include "playlistroles.h"
#include "stylesheet.h"
#include "tripfile.h"
#include "units.h"
#include "videoselection.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

enum Column
{
    ThumbnailColumn = 0,
    StartColumn = 1,
    DurationColumn = 2,
    EventsColumn = 3,
    ColumnCount = 4
};

// Ids are never reused, unlike the addresses of deleted workers, so a signal that was
// already queued by a replaced worker can never pass for one of the current request.
intptr_t nextRequestId()
{
    static std::atomic<intptr_t> lastId{0};
    return ++lastId;
}

void registerMetaTypes()
{
    Trip::registerMetaTypes();
    VlcThumbnails::registerMetaTypes();
    qRegisterMetaType<std::shared_ptr<QStringList>>("std::shared_ptr<QStringList>");
}

} // namespace

PlaylistWgt::PlaylistWgt(QWidget* parent)
    : QWidget(parent), m_treeView(new QTreeView(this)), m_clickTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("PlaylistWgt"));
    resize(324, 250);
    setMinimumSize(150, 200);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("background-color: black;\ncolor: rgb(0, 0, 0);\n"));
    QFont panelFont = font();
    panelFont.setPointSize(14);
    setFont(panelFont);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_treeView);

    m_treeView->setObjectName(QStringLiteral("treeView"));
    m_treeView->setFocusPolicy(Qt::NoFocus);
    m_treeView->setContextMenuPolicy(Qt::NoContextMenu);
    m_treeView->setFrameShape(QFrame::NoFrame);
    m_treeView->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_treeView->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_treeView->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_treeView->setAutoScroll(false);
    m_treeView->setDropIndicatorShown(false);
    m_treeView->setIconSize(QSize(16, 16));
    m_treeView->setIndentation(10);

    QString styleSheet;
    QString part;
    for (const char* path : {":/resources/myTreeView.qss", ":/resources/myScrollBar.qss"}) {
        if (Design::loadStyleSheet(QString::fromLatin1(path), part))
            styleSheet += part + QLatin1Char('\n');
    }
    m_treeView->setStyleSheet(styleSheet);
    QFont treeFont = m_treeView->font();
    treeFont.setPointSize(12);
    m_treeView->setFont(treeFont);

    auto* header = new QHeaderView(Qt::Horizontal, m_treeView);
    header->setDefaultAlignment(Qt::AlignCenter);
    QFont headerFont = header->font();
    headerFont.setPointSize(14);
    header->setFont(headerFont);
    header->setSectionsMovable(false);
    header->setStretchLastSection(true);
    header->setDefaultSectionSize(70);
    header->setMinimumSectionSize(70);
    if (Design::loadStyleSheet(QStringLiteral(":/resources/myHeaderView.qss"), part))
        header->setStyleSheet(part);
    m_treeView->setHeader(header);
    m_treeView->setHeaderHidden(false);

    m_progressBar = new CircleProgressBar(this);
    m_progressBar->raise();
    centreProgressBar();

    registerMetaTypes();

    m_clickTimer->setSingleShot(true);
    m_clickTimer->setInterval(QApplication::doubleClickInterval());
    connect(m_clickTimer, &QTimer::timeout, this, &PlaylistWgt::on_toggleExpand);
    connect(m_treeView, &QTreeView::clicked, this, &PlaylistWgt::on_treeViewClick);
    // The view reports the second click of a double click only as a double click.
    connect(m_treeView, &QTreeView::doubleClicked, this, &PlaylistWgt::on_treeViewClick);
}

PlaylistWgt::~PlaylistWgt()
{
    m_requestId = 0;
    discardPrepareWorker();
    discardThumbnailWorker();
}

void PlaylistWgt::on_openFileButtonClicked(const QString& startFolder)
{
    QStringList files;
    QString topDir;
    {
        MyFileDialog dialog(this, tr("Open Movie or Directory"), startFolder, tr("MP4 (*.mp4)"),
                            VideoSelection::FilePattern);
        const bool accepted = dialog.exec() == QDialog::Accepted;
        emit setFileDialogFinished();
        if (!accepted)
            return;
        files = dialog.selectedFiles();
        topDir = dialog.topDir();
    }
    openSelection(files, topDir);
}

void PlaylistWgt::openPaths(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    static const QRegularExpression filePattern(
        QRegularExpression::anchoredPattern(VideoSelection::FilePattern));
    const QStringList files = VideoSelection::expand(
        paths, VideoSelection::namePatterns({QStringLiteral("MP4 (*.mp4)")}), filePattern);
    // As in the dialog: the folder that holds the chosen items.
    openSelection(files, QFileInfo(paths.first()).absolutePath());
}

void PlaylistWgt::openSelection(const QStringList& files, const QString& topDir)
{
    if (files.isEmpty()) {
        showInvalidFilesWarning();
        return;
    }
    QDir::setCurrent(topDir);
    emit setTripSelected(std::shared_ptr<Trip::TripList>());

    QStringList ordinary;
    QStringList events;
    auto nmeaFiles = std::make_shared<QStringList>();
    // A parsing notice still on its way for the previous selection must not count for this one.
    m_nmeaFinished = true;
    for (const QString& file : files) {
        const QString native = QDir::toNativeSeparators(file);
        switch (Trip::admit(native)) {
        case Trip::Admission::Ordinary:
            ordinary << native;
            break;
        case Trip::Admission::Event:
            events << native;
            break;
        case Trip::Admission::Rejected:
            qCDebug(lcPlaylist).noquote()
                << "left out" << native << "-"
                << (QFileInfo::exists(Trip::nmeaFileFor(native)) ? "no valid start time in its name"
                                                                 : "no NMEA file beside it");
            continue;
        }
        nmeaFiles->append(Trip::nmeaFileFor(native));
    }
    m_nmeaFinished = false;
    qCDebug(lcPlaylist) << "opening" << files.size() << "files:" << ordinary.size() << "ordinary,"
                        << events.size() << "event recordings";
    emit setFilesSelected(nmeaFiles);

    if (ordinary.isEmpty() && events.isEmpty()) {
        showInvalidFilesWarning();
        return;
    }
    ZelSettings::setValue(ZelSettings::PlaylistPath, QDir::currentPath());
    prepareModel(ordinary, events);
}

void PlaylistWgt::prepareModel(QStringList& ordinary, QStringList& events)
{
    QMutexLocker lock(&m_mutex);
    m_requestId = 0;
    discardPrepareWorker();
    discardThumbnailWorker();
    clearModel();
    m_trips.reset();
    if (ordinary.isEmpty() && events.isEmpty()) {
        showInvalidFilesWarning();
        return;
    }
    emit openButtonEnabled(false);
    m_prepareWorker = std::make_unique<PlaylistPrepareData>();
    if (m_durationProbe)
        m_prepareWorker->setDurationProbe(m_durationProbe);
    m_requestId = nextRequestId();
    m_probesDone = 0;
    m_probesTotal = ordinary.size() + events.size();
    connect(m_prepareWorker.get(), &PlaylistPrepareData::reportProgress, this,
            &PlaylistWgt::on_PlaylistProgress, Qt::QueuedConnection);
    connect(m_prepareWorker.get(), &PlaylistPrepareData::completed, this, &PlaylistWgt::on_PlaylistCompleted,
            Qt::QueuedConnection);
    connect(m_prepareWorker.get(), &PlaylistPrepareData::finishedEmpty, this,
            &PlaylistWgt::on_PlaylistFinishedEmpty, Qt::QueuedConnection);
    m_progressBar->start(m_progressMaximum, true);
    centreProgressBar();
    m_prepareWorker->startProcessing(m_requestId, ordinary, events);
}

void PlaylistWgt::discardPrepareWorker()
{
    if (!m_prepareWorker)
        return;
    m_prepareWorker->requestInterruption();
    m_prepareWorker->disconnect(this);
    m_prepareWorker.reset();
}

void PlaylistWgt::discardThumbnailWorker()
{
    if (!m_thumbnailWorker)
        return;
    m_thumbnailWorker->requestInterruption();
    m_thumbnailWorker->disconnect(this);
    m_thumbnailWorker.reset();
}

void PlaylistWgt::clearModel()
{
    QItemSelectionModel* selection = m_treeView->selectionModel();
    m_treeView->setModel(nullptr);
    delete selection;
    delete m_proxy;
    m_proxy = nullptr;
    delete m_model;
    m_model = nullptr;
    m_pendingClick = QPersistentModelIndex();
    m_clickPending = false;
    m_clickTimer->stop();
}

void PlaylistWgt::on_PlaylistProgress(intptr_t id)
{
    if (!isCurrent(id) || m_probesTotal <= 0)
        return;
    ++m_probesDone;
    m_progressBar->setProgress(unsigned(m_probesDone) * m_preparationShare / unsigned(m_probesTotal));
}

QList<QStandardItem*> PlaylistWgt::prepareRow(const QIcon& thumbnail, const QString& start,
                                              const QString& duration, const QIcon& events) const
{
    QList<QStandardItem*> row;
    row << new QStandardItem(thumbnail, QString()) << new QStandardItem(start) << new QStandardItem(duration)
        << new QStandardItem(events, QString());
    for (QStandardItem* item : qAsConst(row)) {
        item->setEditable(false);
        item->setTextAlignment(Qt::AlignCenter);
    }
    return row;
}

void PlaylistWgt::on_PlaylistCompleted(intptr_t id, std::shared_ptr<Trip::Trips> trips)
{
    QMutexLocker lock(&m_mutex);
    if (!isCurrent(id) || !trips)
        return;
    clearModel();
    m_trips = trips;
    m_model = new QStandardItemModel(0, ColumnCount, this);
    m_proxy = new MySortFilterProxyModel(this);
    m_proxy->setSpecialSortRole(ThumbnailColumn, PlaylistRoles::Files);
    m_proxy->setSpecialSortRole(StartColumn, PlaylistRoles::Start);
    m_proxy->setSpecialSortRole(DurationColumn, PlaylistRoles::Duration);
    m_proxy->setSpecialSortRole(EventsColumn, PlaylistRoles::Events);
    m_proxy->setDynamicSortFilter(false);
    m_proxy->setSourceModel(m_model);
    setHeaderLabels();

    QFont fileFont = m_treeView->font();
    fileFont.setPointSize(11);
    qint64 maxDangers = 0;
    for (const Trip::TripList& trip : *trips) {
        if (trip.empty())
            continue;
        const QDateTime start = Trip::startTime(trip.front().videoFile);
        QList<QStandardItem*> row =
            prepareRow(QIcon(), Units::dateTimeText(start), QStringLiteral("00:00"), QIcon());
        row[StartColumn]->setData(start, PlaylistRoles::Start);
        QStringList paths;
        qint64 events = 0;
        qint64 total = 0;
        for (const Trip::TripItem& item : trip) {
            paths << item.videoFile;
            if (item.isEvent)
                ++events;
            total += item.duration;
            auto* fileRow = new QStandardItem(QFileInfo(item.videoFile).fileName());
            fileRow->setEditable(false);
            fileRow->setFont(fileFont);
            fileRow->setData(item.videoFile, PlaylistRoles::Files);
            fileRow->setData(item.duration, PlaylistRoles::Duration);
            fileRow->setData(item.isEvent, PlaylistRoles::Events);
            fileRow->setForeground(item.isEvent ? Qt::red : Qt::white);
            row[ThumbnailColumn]->appendRow(fileRow);
        }
        row[ThumbnailColumn]->setData(paths, PlaylistRoles::Files);
        row[EventsColumn]->setData(events, PlaylistRoles::Events);
        row[DurationColumn]->setText(Units::durationText(total));
        row[DurationColumn]->setData(total, PlaylistRoles::Duration);
        m_model->appendRow(row);
        maxDangers = qMax(maxDangers, events);
    }

    m_treeView->setModel(m_proxy);
    const int widths[ColumnCount] = {120, 100, 70, 65};
    for (int column = 0; column < ColumnCount; ++column)
        m_treeView->setColumnWidth(column, widths[column]);
    m_treeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_treeView->setExpandsOnDoubleClick(false);
    m_treeView->setWordWrap(true);
    m_treeView->setItemsExpandable(true);
    m_treeView->setRootIsDecorated(true);
    m_treeView->setSortingEnabled(true);
    m_treeView->sortByColumn(StartColumn, Qt::AscendingOrder);
    m_treeView->setUniformRowHeights(false);
    m_treeView->setTextElideMode(Qt::ElideNone);
    m_treeView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_treeView->setSelectionMode(QAbstractItemView::SingleSelection);
    delete m_delegate;
    m_delegate = new CenteredItemDelegate(this);
    m_delegate->setMaxDangers(maxDangers);
    m_treeView->setItemDelegateForColumn(EventsColumn, m_delegate);
    for (int row = 0; row < m_proxy->rowCount(); ++row) {
        const QModelIndex tripIndex = m_proxy->index(row, ThumbnailColumn);
        for (int child = 0; child < m_proxy->rowCount(tripIndex); ++child)
            m_treeView->setFirstColumnSpanned(child, tripIndex, true);
    }

    discardPrepareWorker();
    QList<VlcThumbnails::InData> requests;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        QStandardItem* trip = m_model->item(row, ThumbnailColumn);
        if (trip->rowCount() > 0)
            requests.append(
                {m_requestId, trip->index(), 0, trip->child(0)->data(PlaylistRoles::Files).toString()});
    }
    discardThumbnailWorker();
    m_thumbnailWorker = std::make_unique<VlcThumbnails>();
    connect(m_thumbnailWorker.get(), &VlcThumbnails::oneCompleted, this,
            &PlaylistWgt::on_VlcThumbnailsCompleted, Qt::QueuedConnection);
    connect(m_thumbnailWorker.get(), &VlcThumbnails::allCompleted, this,
            &PlaylistWgt::on_VlcThumbnailsAllCompleted, Qt::QueuedConnection);
    m_thumbnailsDone = 0;
    m_thumbnailsTotal = requests.size();
    m_progressBar->setProgress(m_preparationShare);
    m_thumbnailWorker->startProcessingList(m_requestId, requests);
}

void PlaylistWgt::on_VlcThumbnailsCompleted(const VlcThumbnails::OutData& result)
{
    QMutexLocker lock(&m_mutex);
    if (!isCurrent(result.id) || !m_model || result.index.model() != m_model)
        return;
    const QPixmap pixmap = QPixmap::fromImage(result.image);
    if (result.fileNumber == 0 && pixmap.width() > 0 && pixmap.height() > 0) {
        m_treeView->setIconSize(pixmap.size());
        if (QStandardItem* item = m_model->itemFromIndex(result.index.siblingAtColumn(ThumbnailColumn)))
            item->setIcon(QIcon(pixmap));
    }
    ++m_thumbnailsDone;
    if (m_thumbnailsTotal > 0)
        m_progressBar->setProgress(
            unsigned(m_thumbnailsDone) * m_thumbnailShare / unsigned(m_thumbnailsTotal) + m_preparationShare);
}

void PlaylistWgt::on_VlcThumbnailsAllCompleted(intptr_t id)
{
    QMutexLocker lock(&m_mutex);
    thumbnailsDone(id);
}

void PlaylistWgt::thumbnailsDone(intptr_t id)
{
    if (!isCurrent(id))
        return;
    resizeColumns();
    m_requestId = 0;
    discardPrepareWorker();
    discardThumbnailWorker();
    if (m_nmeaFinished)
        finishSelection();
}

void PlaylistWgt::on_PlaylistFinishedEmpty(intptr_t id)
{
    bool current = false;
    {
        QMutexLocker lock(&m_mutex);
        current = isCurrent(id);
        thumbnailsDone(id);
    }
    if (current)
        showInvalidFilesWarning();
}

void PlaylistWgt::nmea_parsing_finished()
{
    if (m_nmeaFinished)
        return;
    m_nmeaFinished = true;
    if (m_requestId == 0)
        finishSelection();
}

void PlaylistWgt::finishSelection()
{
    m_progressBar->setFinished();
    emit openButtonEnabled(true);
}

void PlaylistWgt::on_treeViewClick(const QModelIndex& index)
{
    if (m_clickPending) {
        m_clickTimer->stop();
        m_clickPending = false;
        on_TreeViewDoubleClick(index);
        return;
    }
    m_pendingClick = index;
    m_treeView->setCurrentIndex(index);
    m_clickPending = true;
    m_clickTimer->start();
}

void PlaylistWgt::on_toggleExpand()
{
    m_clickPending = false;
    if (!m_pendingClick.isValid())
        return;
    const QModelIndex trip = m_pendingClick.sibling(m_pendingClick.row(), ThumbnailColumn);
    if (!trip.parent().isValid() && trip.model()->hasChildren(trip))
        m_treeView->setExpanded(trip, !m_treeView->isExpanded(trip));
}

void PlaylistWgt::on_TreeViewDoubleClick(const QModelIndex& index)
{
    if (isWorking() || !index.isValid())
        return;
    const QModelIndex row = index.sibling(index.row(), ThumbnailColumn);
    const auto itemOf = [](const QModelIndex& file) {
        const QString path = file.data(PlaylistRoles::Files).toString();
        return Trip::TripItem{file.data(PlaylistRoles::Duration).toLongLong(),
                              file.data(PlaylistRoles::Events).toBool(), path, Trip::nmeaFileFor(path)};
    };
    auto trip = std::make_shared<Trip::TripList>();
    const QVariant files = row.data(PlaylistRoles::Files);
    if (files.userType() == QMetaType::QString) {
        trip->push_back(itemOf(row));
    } else {
        const int count = row.model()->rowCount(row);
        for (int child = 0; child < count; ++child)
            trip->push_back(itemOf(row.model()->index(child, 0, row)));
    }
    if (trip->empty())
        return;
    qint64 lengthMs = 0;
    for (const Trip::TripItem& item : *trip)
        lengthMs += item.duration;
    qCDebug(lcPlaylist).nospace().noquote()
        << "trip selected: " << trip->size() << " files from " << trip->front().videoFile << " to "
        << trip->back().videoFile << ", " << lengthMs << " ms";
    emit setTripSelected(trip);
}

void PlaylistWgt::resizeColumns()
{
    if (!m_proxy || m_proxy->rowCount() == 0)
        return;
    int sum = 0;
    for (int column = 0; column < ColumnCount; ++column) {
        m_treeView->resizeColumnToContents(column);
        sum += m_treeView->columnWidth(column);
    }
    const QScrollBar* scrollBar = m_treeView->verticalScrollBar();
    const int available =
        m_treeView->viewport()->width() - (scrollBar && scrollBar->isVisible() ? scrollBar->width() : 0);
    if (available >= sum)
        return;
    const int rest = available - m_treeView->columnWidth(ThumbnailColumn) - 65;
    m_treeView->setColumnWidth(StartColumn, qMax(rest * 10 / 17, 100));
    m_treeView->setColumnWidth(DurationColumn, qMax(rest * 7 / 17, 70));
    m_treeView->setColumnWidth(EventsColumn, 65);
}

void PlaylistWgt::setHeaderLabels()
{
    if (m_model)
        m_model->setHorizontalHeaderLabels({QString(), tr("Time"), tr("Duration"), tr("Danger")});
}

void PlaylistWgt::retranslateStartTexts()
{
    if (!m_model)
        return;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QStringList files =
            m_model->item(row, ThumbnailColumn)->data(PlaylistRoles::Files).toStringList();
        if (!files.isEmpty())
            m_model->item(row, StartColumn)
                ->setText(Units::dateTimeText(Trip::startTime(QFileInfo(files.first()).fileName())));
    }
}

void PlaylistWgt::showInvalidFilesWarning()
{
    // Not exec(): a nested event loop here would let the workers' queued signals run inside
    // the slot that is still handling the previous one.
    auto* box = new QMessageBox(QMessageBox::Warning, ZelCfg::AppName, tr("Invalid files selected!"),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}

void PlaylistWgt::centreProgressBar()
{
    const QRect area = m_treeView->geometry();
    m_progressBar->move(area.center() - QPoint(m_progressBar->width() / 2, m_progressBar->height() / 2));
    m_progressBar->raise();
}

void PlaylistWgt::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    centreProgressBar();
    // A resize while a slot holds the lock (the model being rebuilt) is left to that slot.
    if (m_mutex.tryLock()) {
        resizeColumns();
        m_mutex.unlock();
    }
}

void PlaylistWgt::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        setHeaderLabels();
        retranslateStartTexts();
    }
    QWidget::changeEvent(event);
}
