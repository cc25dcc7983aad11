#pragma once

#include "playlistpreparedata.h"
#include "skippedfiles.h"
#include "stringlistpointer.h"
#include "tripitem.h"
#include "videoselection.h"
#include "vlcthumbnails.h"

#include <QKeySequence>
#include <QMessageBox>
#include <QMutex>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <memory>

class CenteredItemDelegate;
class FileRowDelegate;
class CircleProgressBar;
class MySortFilterProxyModel;
class QFrame;
class QLabel;
class QPushButton;
class QStandardItem;
class QStandardItemModel;
class QTimer;
class QTreeView;

// The list of trips: runs the open flow, prepares the playlist and its thumbnails in the
// background, and announces the trip the user picks.
class PlaylistWgt : public QWidget
{
    Q_OBJECT
public:
    explicit PlaylistWgt(QWidget* parent = nullptr);
    ~PlaylistWgt() override;

    // Opens files and folders as if they had been chosen in the open dialog and confirmed.
    void openPaths(const QStringList& paths);
    // Starts preparing a playlist; any running preparation is abandoned.
    void prepareModel(QStringList& ordinary, QStringList& events);

    // Id of the running request, 0 when idle.
    intptr_t requestId() const { return m_requestId; }
    // A preparation or thumbnail worker exists.
    bool isWorking() const { return m_prepareWorker || m_thumbnailWorker; }
    QTreeView* treeView() const { return m_treeView; }
    QStandardItemModel* model() const { return m_model; }
    CircleProgressBar* progressBar() const { return m_progressBar; }
    // Replaces the engine's duration probe for the workers created from now on.
    void setDurationProbe(PlaylistPrepareData::DurationProbe probe) { m_durationProbe = std::move(probe); }

    // Files of the current selection that were left out, with their reasons. The bar under the
    // list counts them; a click on it lists them.
    const SkippedFiles& skippedFiles() const { return m_skipped; }
    void addSkippedFiles(const SkippedFiles::List& files);
    // The files the preparation worker left out; the engine's own reason goes to the log.
    void takeWorkerSkips();
    QLabel* skippedBar() const { return m_skippedBar; }
    // Shown instead of the list while nothing is open.
    QFrame* emptyPrompt() const { return m_emptyPrompt; }
    QPushButton* emptyPromptButton() const { return m_promptButton; }
    // The key that opens recordings, named in the prompt.
    void setOpenShortcut(const QKeySequence& shortcut);
    // Width the list needs to show its thumbnails and every column header in full.
    int minimumListWidth() const;
    // The message box shown last, while it is open.
    QMessageBox* message() const { return m_message; }

signals:
    void setTripSelected(std::shared_ptr<Trip::TripList> trip);
    void setFilesSelected(std::shared_ptr<QStringList> nmeaFiles);
    void setFileDialogFinished();
    // The open button is disabled while a selection is being prepared.
    void openButtonEnabled(bool enabled);
    // The prompt shown while nothing is open asks for the open dialog.
    void openRequested();
    // The list needs a different width (language or largest event count changed).
    void minimumListWidthChanged();

public slots:
    void on_openFileButtonClicked(const QString& startFolder);
    void on_PlaylistProgress(intptr_t id);
    void on_PlaylistCompleted(intptr_t id, std::shared_ptr<Trip::Trips> trips);
    void on_PlaylistFinishedEmpty(intptr_t id);
    // Files the preparation left out, with their reasons.
    void on_PlaylistSkipped(intptr_t id, const SkippedFiles::List& files);
    void showSkippedFiles();
    void on_VlcThumbnailsCompleted(const VlcThumbnails::OutData& result);
    void on_VlcThumbnailsAllCompleted(intptr_t id);
    void nmea_parsing_finished();
    void on_treeViewClick(const QModelIndex& index);
    void on_TreeViewDoubleClick(const QModelIndex& index);
    void on_toggleExpand();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool isCurrent(intptr_t id) const { return id != 0 && id == m_requestId; }
    void openSelection(const VideoSelection::Result& selection, const QString& topDir);
    void showMessage(const QString& text, const QString& informativeText, const QString& details = {});
    void updateSkippedBar();
    void updateEmptyPrompt();
    void retranslatePrompt();
    void discardPrepareWorker();
    void discardThumbnailWorker();
    void clearModel();
    void thumbnailsDone(intptr_t id);
    void finishSelection();
    void resizeColumns();
    void setHeaderLabels();
    QStringList headerLabels() const;
    // Width of a header section that shows `label` in full.
    int headerSectionWidth(int column, const QString& label) const;
    void updateMinimumWidth();
    void retranslateStartTexts();
    void showInvalidFilesWarning();
    void centreProgressBar();
    QList<QStandardItem*> prepareRow(const QIcon& thumbnail, const QString& start, const QString& duration,
                                     const QIcon& events) const;

    QTreeView* m_treeView = nullptr;
    QFrame* m_emptyPrompt = nullptr;
    QLabel* m_promptTitle = nullptr;
    QLabel* m_promptText = nullptr;
    QPushButton* m_promptButton = nullptr;
    QKeySequence m_openShortcut;
    QLabel* m_skippedBar = nullptr;
    QPointer<QMessageBox> m_message;
    SkippedFiles m_skipped;
    // The last selection in words, and its number of admitted videos, for the report when
    // none of them can be played.
    QString m_lastLookedAt;
    int m_lastAdmitted = 0;
    CircleProgressBar* m_progressBar = nullptr;
    QStandardItemModel* m_model = nullptr;
    MySortFilterProxyModel* m_proxy = nullptr;
    CenteredItemDelegate* m_delegate = nullptr;
    FileRowDelegate* m_fileRowDelegate = nullptr;

    QMutex m_mutex;
    std::atomic<intptr_t> m_requestId{0};
    std::unique_ptr<PlaylistPrepareData> m_prepareWorker;
    std::unique_ptr<VlcThumbnails> m_thumbnailWorker;
    PlaylistPrepareData::DurationProbe m_durationProbe;
    std::shared_ptr<Trip::Trips> m_trips;

    int m_probesDone = 0;
    int m_probesTotal = 0;
    int m_thumbnailsDone = 0;
    int m_thumbnailsTotal = 0;
    const unsigned m_progressMaximum = 100;
    const unsigned m_preparationShare = 60;
    const unsigned m_thumbnailShare = 40;

    bool m_clickPending = false;
    QPersistentModelIndex m_pendingClick;
    QTimer* m_clickTimer = nullptr;
    bool m_nmeaFinished = false;
};
