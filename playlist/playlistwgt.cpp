#include "playlistwgt.h"

#include "centereditemdelegate.h"
#include "circleprogressbar.h"
#include "dialoglook.h"
#include "filerowdelegate.h"
#include "myfiledialog.h"
#include "mysortfilterproxymodel.h"
#include "playlistlog.h"
#include "playlistroles.h"
#include "selectionreport.h"
#include "skippedfilesdialog.h"
#include "stylesheet.h"
#include "tripfile.h"
#include "units.h"
#include "videoadmission.h"
#include "videoselection.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyleOptionHeader>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Thumbnails are this wide; the first column also holds the indentation and the arrow.
const int ThumbnailWidth = 108;
const int ThumbnailColumnMargin = 24;
const int EventsColumnMinimum = 65;

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
    qRegisterMetaType<SkippedFiles::List>("SkippedFiles::List");
}

// The prompt shown while nothing is open, and the bar that counts skipped files: both on the
// panel's black, with contrast well above 4.5:1.
const char* const PromptStyle =
    "#emptyPrompt { background-color: black; }\n"
    "QLabel { color: white; background-color: transparent; }\n"
    "QPushButton { background-color: #00adef; color: black; border: none; padding: 8px 18px; "
    "font-weight: bold; }\n"
    "QPushButton:hover { background-color: #4dc8f5; }\n"
    "QPushButton:focus { border: 2px solid white; }\n";
const char* const SkippedStyle = "QLabel { background-color: black; color: #00adef; padding: 4px 6px; }\n"
                                 "QLabel:hover { color: #4dc8f5; text-decoration: underline; }\n"
                                 "QLabel:focus { border: 1px solid #00adef; }\n";

} // namespace

PlaylistWgt::PlaylistWgt(QWidget* parent)
    : QWidget(parent), m_treeView(new QTreeView(this)), m_clickTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("PlaylistWgt"));
    resize(324, 250);
    setMinimumSize(150, 200);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAutoFillBackground(false);
    // Scoped to the panel itself: a rule without selector would cascade into every dialog and
    // message box opened over the panel and paint their text black on black.
    setStyleSheet(QStringLiteral("PlaylistWgt { background-color: black;\ncolor: rgb(0, 0, 0);\n}"));
    QFont panelFont = font();
    panelFont.setPointSize(14);
    setFont(panelFont);

    m_emptyPrompt = new QFrame(this);
    m_emptyPrompt->setObjectName(QStringLiteral("emptyPrompt"));
    m_emptyPrompt->setStyleSheet(QString::fromLatin1(PromptStyle));
    m_promptTitle = new QLabel(m_emptyPrompt);
    m_promptTitle->setAlignment(Qt::AlignCenter);
    m_promptTitle->setWordWrap(true);
    QFont titleFont = m_promptTitle->font();
    titleFont.setPointSize(14);
    titleFont.setBold(true);
    m_promptTitle->setFont(titleFont);
    m_promptText = new QLabel(m_emptyPrompt);
    m_promptText->setAlignment(Qt::AlignCenter);
    m_promptText->setWordWrap(true);
    QFont promptFont = m_promptText->font();
    promptFont.setPointSize(11);
    m_promptText->setFont(promptFont);
    m_promptButton = new QPushButton(m_emptyPrompt);
    m_promptButton->setObjectName(QStringLiteral("openRecordingsButton"));
    m_promptButton->setFont(promptFont);
    m_promptButton->setCursor(Qt::PointingHandCursor);
    connect(m_promptButton, &QPushButton::clicked, this, &PlaylistWgt::openRequested);
    auto* promptLayout = new QVBoxLayout(m_emptyPrompt);
    promptLayout->setContentsMargins(12, 12, 12, 12);
    promptLayout->setSpacing(10);
    promptLayout->addStretch(1);
    promptLayout->addWidget(m_promptTitle);
    promptLayout->addWidget(m_promptText);
    promptLayout->addWidget(m_promptButton, 0, Qt::AlignHCenter);
    promptLayout->addStretch(1);

    // A line that wraps, clickable as a whole (mouse, or Enter and Space when focused).
    m_skippedBar = new QLabel(this);
    m_skippedBar->setObjectName(QStringLiteral("skippedFilesBar"));
    m_skippedBar->setStyleSheet(QString::fromLatin1(SkippedStyle));
    m_skippedBar->setCursor(Qt::PointingHandCursor);
    m_skippedBar->setWordWrap(true);
    m_skippedBar->setTextFormat(Qt::PlainText);
    m_skippedBar->setFocusPolicy(Qt::TabFocus);
    QFont skippedFont = m_skippedBar->font();
    skippedFont.setPointSize(10);
    m_skippedBar->setFont(skippedFont);
    m_skippedBar->hide();
    m_skippedBar->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_emptyPrompt, 1);
    layout->addWidget(m_treeView, 1);
    layout->addWidget(m_skippedBar);

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
    m_fileRowDelegate = new FileRowDelegate(this);
    m_treeView->viewport()->installEventFilter(this);

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
    // 12 points (not 14): the Russian headers fit beside the thumbnails at the window's size.
    headerFont.setPointSize(12);
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

    retranslatePrompt();
    updateEmptyPrompt();
    updateMinimumWidth();
}

PlaylistWgt::~PlaylistWgt()
{
    m_requestId = 0;
    discardPrepareWorker();
    discardThumbnailWorker();
}

void PlaylistWgt::on_openFileButtonClicked(const QString& startFolder)
{
    VideoSelection::Result selection;
    QString topDir;
    {
        // Parented to the window, not to this panel: the dialog takes the program's dialog
        // look, not the panel's style sheet.
        MyFileDialog dialog(DialogLook::parentFor(this), tr("Open Movie or Directory"), startFolder,
                            QCoreApplication::translate("VideoSelection", VideoSelection::NameFilter));
        const bool accepted = dialog.exec() == QDialog::Accepted;
        emit setFileDialogFinished();
        if (!accepted)
            return;
        selection = dialog.selection();
        topDir = dialog.topDir();
    }
    openSelection(selection, topDir.isEmpty() ? QDir::currentPath() : topDir);
}

void PlaylistWgt::openPaths(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    const VideoSelection::Result selection = VideoSelection::collect(paths);
    // As in the dialog: the folder that holds the chosen items.
    openSelection(selection, QFileInfo(paths.first()).absolutePath());
}

void PlaylistWgt::openSelection(const VideoSelection::Result& selection, const QString& topDir)
{
    const VideoAdmission admitted = VideoAdmission::admit(selection);
    if (selection.videos.isEmpty()) {
        // Nothing to open: the card that is open keeps its list, its skipped files and its name.
        const SelectionReport::Message report = SelectionReport::nothingFound(selection, admitted.skipped);
        showMessage(report.text, report.informativeText, report.details);
        return;
    }
    m_skipped = admitted.skipped;
    m_lastLookedAt = SelectionReport::lookedAt(selection);
    QDir::setCurrent(topDir);
    emit setTripSelected(std::shared_ptr<Trip::TripList>());

    QStringList ordinary = admitted.ordinary;
    QStringList events = admitted.events;
    // A parsing notice still on its way for the previous selection must not count for this one.
    // Recordings without any position file have nothing to wait for.
    m_nmeaFinished = admitted.nmeaFiles.isEmpty();
    qCDebug(lcPlaylist) << "opening" << selection.videos.size() << "files:" << ordinary.size() << "ordinary,"
                        << events.size() << "event recordings";
    emit setFilesSelected(std::make_shared<QStringList>(admitted.nmeaFiles));
    m_lastAdmitted = ordinary.size() + events.size();

    if (ordinary.isEmpty() && events.isEmpty()) {
        // The map was told about the new (empty) selection: the old list goes with it.
        clearModel();
        m_trips.reset();
        updateSkippedBar();
        updateEmptyPrompt();
        showMessage(tr("No recordings could be opened from %1.").arg(m_lastLookedAt),
                    tr("%n camera video(s) found.", nullptr, selection.videos.size()) + QLatin1Char(' ') +
                        m_skipped.summary() + QLatin1Char('.'),
                    m_skipped.details());
        return;
    }
    ZelSettings::setValue(ZelSettings::PlaylistPath, QDir::currentPath());
    prepareModel(ordinary, events);
    updateSkippedBar();
}

void PlaylistWgt::addSkippedFiles(const SkippedFiles::List& files)
{
    if (files.isEmpty())
        return;
    m_skipped.add(files);
    updateSkippedBar();
}

void PlaylistWgt::takeWorkerSkips()
{
    if (!m_prepareWorker)
        return;
    addSkippedFiles(VideoAdmission::unplayable(m_prepareWorker->skippedFiles()));
}

void PlaylistWgt::on_PlaylistSkipped(intptr_t id, const SkippedFiles::List& files)
{
    if (isCurrent(id))
        addSkippedFiles(files);
}

void PlaylistWgt::updateSkippedBar()
{
    m_skippedBar->setVisible(!m_skipped.isEmpty());
    if (m_skipped.isEmpty())
        return;
    const QString summary = m_skipped.summary();
    m_skippedBar->setText(QString::fromUtf8("⚠ ") + summary + QString::fromUtf8(" — ") +
                          tr("show the files"));
    m_skippedBar->setToolTip(tr("List the files that were left out and why"));
}

bool PlaylistWgt::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_skippedBar) {
        const bool released = event->type() == QEvent::MouseButtonRelease &&
                              static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        const auto* key = event->type() == QEvent::KeyPress ? static_cast<QKeyEvent*>(event) : nullptr;
        if (released || (key && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                                 key->key() == Qt::Key_Space))) {
            showSkippedFiles();
            return true;
        }
    }
    // The list's width changes without this widget's: the vertical scroll bar comes when a trip
    // is expanded, and the layout sizes the list after this widget's own resize.
    if (watched == m_treeView->viewport() && event->type() == QEvent::Resize) {
        const auto* resize = static_cast<QResizeEvent*>(event);
        if (resize->size().width() != resize->oldSize().width() && m_mutex.tryLock()) {
            resizeColumns();
            m_mutex.unlock();
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PlaylistWgt::showSkippedFiles()
{
    if (m_skipped.isEmpty())
        return;
    auto* dialog = new SkippedFilesDialog(m_skipped, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
}

void PlaylistWgt::setOpenShortcut(const QKeySequence& shortcut)
{
    m_openShortcut = shortcut;
    retranslatePrompt();
}

void PlaylistWgt::retranslatePrompt()
{
    m_promptTitle->setText(tr("No recordings open"));
    QString text = tr("Open the camera's memory card or a folder of recordings; its trips are listed here.");
    if (!m_openShortcut.isEmpty())
        text += QLatin1Char('\n') + tr("Shortcut: %1").arg(m_openShortcut.toString(QKeySequence::NativeText));
    m_promptText->setText(text);
    m_promptButton->setText(tr("Open recordings…"));
}

void PlaylistWgt::updateEmptyPrompt()
{
    // While a selection is prepared the list shows the spinner; afterwards the trips.
    const bool empty = !m_model && !isWorking();
    m_emptyPrompt->setVisible(empty);
    m_treeView->setVisible(!empty);
    centreProgressBar();
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
    updateEmptyPrompt();
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
    // The probe of the file being measured may take a while to return: the old worker ends on
    // its own and deletes itself, and the view goes on at once. As a child of the view it is
    // still waited for if the view goes first.
    PlaylistPrepareData* old = m_prepareWorker.release();
    old->setParent(this);
    connect(old, &QThread::finished, old, &QObject::deleteLater);
    if (!old->isRunning())
        old->deleteLater();
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
    takeWorkerSkips();
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
        const QDateTime start = Trip::startOf(trip.front());
        QList<QStandardItem*> row =
            prepareRow(QIcon(), Units::clockTimeText(start), QStringLiteral("00:00"), QIcon());
        row[StartColumn]->setData(start, PlaylistRoles::Start);
        QStringList paths;
        QStringList channels;
        qint64 events = 0;
        qint64 total = 0;
        for (const Trip::TripItem& item : trip) {
            paths << item.videoFile;
            for (const Trip::TripItem& channel : item.channels) {
                if (!channels.contains(channel.channel))
                    channels << channel.channel;
            }
            if (!item.channel.isEmpty() && !channels.contains(item.channel))
                channels << item.channel;
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
        // A trip of several cameras says how many under its length, short enough for the
        // column; the tooltip names them.
        row[DurationColumn]->setText(channels.size() < 2
                                         ? Units::durationText(total)
                                         : Units::durationText(total) + QLatin1Char('\n') +
                                               tr("%n ch.", "channels, short", int(channels.size())));
        if (channels.size() >= 2)
            row[DurationColumn]->setToolTip(tr("Channels: %1").arg(channels.join(QStringLiteral(", "))));
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
    m_treeView->setItemDelegateForColumn(ThumbnailColumn, m_fileRowDelegate);
    updateMinimumWidth();
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
    updateEmptyPrompt();
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
    if (!current)
        return;
    takeWorkerSkips();
    clearModel();
    updateEmptyPrompt();
    showMessage(
        tr("None of the %n video(s) from %1 could be played.", nullptr, m_lastAdmitted).arg(m_lastLookedAt),
        m_skipped.isEmpty() ? QString() : m_skipped.summary() + QLatin1Char('.'), m_skipped.details());
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
    // The items as the preparation made them, with their camera's channels and position files.
    QHash<QString, const Trip::TripItem*> prepared;
    if (m_trips) {
        for (const Trip::TripList& list : *m_trips) {
            for (const Trip::TripItem& item : list)
                prepared.insert(item.videoFile, &item);
        }
    }
    const auto itemOf = [&prepared](const QModelIndex& file) {
        const QString path = file.data(PlaylistRoles::Files).toString();
        Trip::TripItem item =
            prepared.contains(path)
                ? *prepared.value(path)
                : Trip::itemFor(Trip::recording(path), file.data(PlaylistRoles::Duration).toLongLong());
        item.duration = file.data(PlaylistRoles::Duration).toLongLong();
        item.isEvent = file.data(PlaylistRoles::Events).toBool();
        return item;
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
    // The last section stretches, but never below the header's smallest section.
    const int minimumSection = m_treeView->header()->minimumSectionSize();
    sum += qMax(0, minimumSection - m_treeView->columnWidth(EventsColumn));
    const QScrollBar* scrollBar = m_treeView->verticalScrollBar();
    const int available =
        m_treeView->viewport()->width() - (scrollBar && scrollBar->isVisible() ? scrollBar->width() : 0);
    if (available >= sum)
        return;
    // Too narrow for every column's content: the thumbnail keeps its width, every header stays
    // readable, and what is left goes to the time and duration columns, 10 to 7.
    const QStringList labels = headerLabels();
    const int events = std::max({EventsColumnMinimum, minimumSection,
                                 headerSectionWidth(EventsColumn, labels.at(EventsColumn)),
                                 m_delegate ? m_delegate->requiredWidth() : 0});
    const int startMinimum = qMax(100, headerSectionWidth(StartColumn, labels.at(StartColumn)));
    const int durationMinimum = qMax(70, headerSectionWidth(DurationColumn, labels.at(DurationColumn)));
    const int rest = qMax(0, available - m_treeView->columnWidth(ThumbnailColumn) - events - startMinimum -
                                 durationMinimum);
    m_treeView->setColumnWidth(StartColumn, startMinimum + rest * 10 / 17);
    m_treeView->setColumnWidth(DurationColumn, durationMinimum + rest * 7 / 17);
    m_treeView->setColumnWidth(EventsColumn, events);
}

QStringList PlaylistWgt::headerLabels() const
{
    return {QString(), tr("Time"), tr("Duration"), tr("Events")};
}

void PlaylistWgt::setHeaderLabels()
{
    if (m_model)
        m_model->setHorizontalHeaderLabels(headerLabels());
}

int PlaylistWgt::headerSectionWidth(int column, const QString& label) const
{
    // As the header measures a section itself, also without a model.
    const QHeaderView* header = m_treeView->header();
    QStyleOptionHeader option;
    option.initFrom(header);
    option.orientation = Qt::Horizontal;
    option.section = column;
    option.text = label;
    option.fontMetrics = QFontMetrics(header->font());
    QSize size = header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), header);
    // The sorted column also shows the sort arrow beside its label.
    if (column == StartColumn)
        size.rwidth() +=
            size.height() + header->style()->pixelMetric(QStyle::PM_HeaderMargin, &option, header);
    return size.width();
}

int PlaylistWgt::minimumListWidth() const
{
    const QStringList labels = headerLabels();
    const int scrollBar = m_treeView->verticalScrollBar()->sizeHint().width();
    int width = ThumbnailWidth + ThumbnailColumnMargin + scrollBar + 2;
    width += qMax(headerSectionWidth(StartColumn, labels.at(StartColumn)), 100);
    width += qMax(headerSectionWidth(DurationColumn, labels.at(DurationColumn)), 70);
    width +=
        std::max({headerSectionWidth(EventsColumn, labels.at(EventsColumn)), EventsColumnMinimum,
                  m_treeView->header()->minimumSectionSize(), m_delegate ? m_delegate->requiredWidth() : 0});
    return width;
}

void PlaylistWgt::updateMinimumWidth()
{
    const int width = qMax(150, minimumListWidth());
    if (width != minimumWidth()) {
        setMinimumWidth(width);
        emit minimumListWidthChanged();
    }
}

void PlaylistWgt::retranslateStartTexts()
{
    if (!m_model)
        return;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QStringList files =
            m_model->item(row, ThumbnailColumn)->data(PlaylistRoles::Files).toStringList();
        if (!files.isEmpty())
            m_model->item(row, StartColumn)->setText(Units::clockTimeText(Trip::startTime(files.first())));
    }
}

void PlaylistWgt::showInvalidFilesWarning()
{
    showMessage(tr("Invalid files selected!"), QString());
}

void PlaylistWgt::showMessage(const QString& text, const QString& informativeText, const QString& details)
{
    if (m_message)
        m_message->close();
    // Not exec(): a nested event loop here would let the workers' queued signals run inside
    // the slot that is still handling the previous one.
    QMessageBox* box = DialogLook::messageBox(this, QMessageBox::Warning, text, informativeText);
    if (!details.isEmpty())
        box->setDetailedText(details);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    m_message = box;
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
        retranslatePrompt();
        updateSkippedBar();
        updateMinimumWidth();
        if (m_mutex.tryLock()) {
            resizeColumns();
            m_mutex.unlock();
        }
    }
    QWidget::changeEvent(event);
}
