#pragma once

#include "fsdrives.h"
#include "videoselection.h"

#include <QFileDialog>
#include <QMutex>
#include <QRegularExpression>

#include <memory>

class QAbstractItemView;
class QFileIconProvider;
class QLineEdit;
class QListView;
class QPushButton;
class QTimer;

// The open dialog for recordings: Qt's own (non-native) file dialog whose sidebar lists
// the mounted volumes and follows media being inserted or removed, which turns selected
// folders into the matching videos inside them, and whose Open button is never disabled.
class MyFileDialog : public QFileDialog
{
    Q_OBJECT
public:
    MyFileDialog(QWidget* parent, const QString& caption, const QString& directory, const QString& filter);
    ~MyFileDialog() override;

    QStringList selectedFiles() const { return m_selectedFiles; }
    // What the accepted choice stands for: what was chosen, the videos found, what was left out.
    const VideoSelection::Result& selection() const { return m_selection; }
    QString topDir() const { return m_topDir; }
    void setTopDir(const QString& dir) { m_topDir = dir; }
    QList<Fs::Drive> drives() const;

signals:
    void modified();

public slots:
    // Every way the stock dialog accepts (Enter in the name box, its completer) chooses.
    void accept() override;
    void chooseClicked();
    void dialogCancel();
    void doubleClicked(const QModelIndex& index);
    void setDirFromSideBar(const QModelIndex& index);
    void updateSidebar(bool repaint = true);
    void refresh();
    void deactivateUpdates();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setBusyCursor();
    void setBusyCursor(const QString& path);
    void unsetBusyCursor();
    QAbstractItemView* visibleView() const;
    // The existing file or folder typed into the name box, or empty.
    QString typedPath() const;
    // Enter in the name box: chooses what it names, or, when it is empty, what Choose takes.
    void chooseFromNameBox();
    void openLocation(const QString& path);

    QListView* m_listView = nullptr;
    QAbstractItemView* m_treeView = nullptr;
    QListView* m_sidebar = nullptr;
    QPushButton* m_openButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QString m_topDir;
    QStringList m_selectedFiles;
    VideoSelection::Result m_selection;
    mutable QMutex m_drivesMutex;
    bool m_busy = false;
    QList<Fs::Drive> m_drives;
    QTimer* m_refreshTimer = nullptr;
    int m_refreshInterval = 200;
    // The dialog does not take ownership of its icon provider.
    std::unique_ptr<QFileIconProvider> m_iconProvider;
};
