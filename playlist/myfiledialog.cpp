#include "myfiledialog.h"

#include "dialoglook.h"
#include "zelcfg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileIconProvider>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStyle>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

namespace {

// Role under which the dialog's models keep an entry's location or path.
const int LocationRole = Qt::UserRole + 1;
// Role under which the sidebar keeps a volume's path as the file system names it (a URL would
// lose the bytes of a name that is not UTF-8).
const int SidebarPathRole = Qt::UserRole + 10;

} // namespace

MyFileDialog::MyFileDialog(QWidget* parent, const QString& caption, const QString& directory,
                           const QString& filter)
    : QFileDialog(parent, caption, directory)
{
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setObjectName(QStringLiteral("FileOpenDialog"));
    setFileMode(QFileDialog::Directory);
    setOptions(QFileDialog::DontResolveSymlinks | QFileDialog::DontUseNativeDialog | QFileDialog::ReadOnly |
               QFileDialog::DontUseCustomDirectoryIcons);
    setViewMode(QFileDialog::List);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilter(filter);
    setOption(QFileDialog::HideNameFilterDetails, false);
    setWindowIcon(QIcon(Design::WindowIconPath));
    DialogLook::apply(this);
    QFont dialogFont = font();
    dialogFont.setPointSize(10);
    setFont(dialogFont);
    m_iconProvider = std::make_unique<QFileIconProvider>();
    setIconProvider(m_iconProvider.get());

    if (auto* buttons = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"))) {
        m_openButton = buttons->button(QDialogButtonBox::Open);
        m_cancelButton = buttons->button(QDialogButtonBox::Cancel);
    }
    if (m_openButton) {
        m_openButton->installEventFilter(this);
        disconnect(m_openButton, &QPushButton::clicked, nullptr, nullptr);
        connect(m_openButton, &QPushButton::clicked, this, &MyFileDialog::chooseClicked);
    }
    if (m_cancelButton) {
        m_cancelButton->installEventFilter(this);
        disconnect(m_cancelButton, &QPushButton::clicked, nullptr, nullptr);
        connect(m_cancelButton, &QPushButton::clicked, this, &MyFileDialog::dialogCancel);
    }
    m_nameEdit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (m_nameEdit) {
        m_nameEdit->installEventFilter(this);
    }
    m_listView = findChild<QListView*>(QStringLiteral("listView"));
    m_treeView = findChild<QTreeView*>(QStringLiteral("treeView"));
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(m_listView), m_treeView}) {
        if (view) {
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
            view->installEventFilter(this);
            connect(view, &QAbstractItemView::activated, this, &MyFileDialog::doubleClicked);
        }
    }
    m_sidebar = findChild<QListView*>(QStringLiteral("sidebar"));
    if (m_sidebar) {
        disconnect(m_sidebar, nullptr, nullptr, nullptr);
        m_sidebar->setContextMenuPolicy(Qt::NoContextMenu);
        m_sidebar->installEventFilter(this);
        connect(m_sidebar, &QListView::clicked, this, &MyFileDialog::setDirFromSideBar);
        connect(m_sidebar, &QListView::doubleClicked, this, &MyFileDialog::setDirFromSideBar);
    }

    // Room for volume names in the sidebar and for long folder names.
    resize(880, 540);
    if (auto* splitter = findChild<QSplitter*>(QStringLiteral("splitter"))) {
        splitter->setSizes({220, 660});
    }

    Fs::getDrives(m_drives, false);
    updateSidebar(false);

    connect(
        this, &MyFileDialog::modified, this, [this]() { updateSidebar(); }, Qt::QueuedConnection);
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    connect(m_refreshTimer, &QTimer::timeout, this, &MyFileDialog::refresh);
    m_refreshTimer->start(m_refreshInterval);
}

MyFileDialog::~MyFileDialog()
{
    deactivateUpdates();
    unsetBusyCursor();
}

QList<Fs::Drive> MyFileDialog::drives() const
{
    QMutexLocker lock(&m_drivesMutex);
    return m_drives;
}

void MyFileDialog::deactivateUpdates()
{
    if (m_refreshTimer) {
        disconnect(m_refreshTimer, nullptr, this, nullptr);
        m_refreshTimer->stop();
    }
}

void MyFileDialog::refresh()
{
    QList<Fs::Drive> current;
    Fs::getDrives(current, true);
    bool changed = false;
    {
        QMutexLocker lock(&m_drivesMutex);
        if (current != m_drives) {
            m_drives = current;
            changed = true;
        }
    }
    if (changed) {
        emit modified();
    }
    m_refreshTimer->start(m_refreshInterval);
}

void MyFileDialog::updateSidebar(bool repaint)
{
    if (!m_sidebar) {
        return;
    }
    const QList<Fs::Drive> drives = this->drives();
    // Clearing through the dialog also drops the sidebar model's own watch list, so the
    // entries added below keep their names.
    setSidebarUrls({});
    auto* model = qobject_cast<QStandardItemModel*>(m_sidebar->model());
    if (model) {
        QFileIconProvider* provider = iconProvider();
        for (const Fs::Drive& drive : drives) {
            QIcon icon = provider ? provider->icon(QFileInfo(drive.path)) : QIcon();
            if (icon.isNull()) {
                icon = style()->standardIcon(QStyle::SP_DriveHDIcon);
            }
            auto* item = new QStandardItem(icon, drive.name);
            item->setData(QUrl::fromLocalFile(drive.path), LocationRole);
            item->setData(drive.path, SidebarPathRole);
            item->setToolTip(drive.path);
            item->setEditable(false);
            model->appendRow(item);
        }
    }
    if (repaint) {
        m_sidebar->viewport()->update();
    }
    if (!directory().exists()) {
        for (const Fs::Drive& drive : drives) {
            if (QDir(drive.path).exists()) {
                openLocation(drive.path);
                break;
            }
        }
    }
}

void MyFileDialog::openLocation(const QString& path)
{
    setBusyCursor(path);
    setDirectory(path);
    unsetBusyCursor();
    if (m_sidebar) {
        m_sidebar->viewport()->update();
    }
}

void MyFileDialog::setDirFromSideBar(const QModelIndex& index)
{
    if (!index.isValid()) {
        return;
    }
    const QString path = index.data(SidebarPathRole).toString();
    openLocation(path.isEmpty() ? index.data(LocationRole).toUrl().toLocalFile() : path);
}

QAbstractItemView* MyFileDialog::visibleView() const
{
    return viewMode() == QFileDialog::List ? static_cast<QAbstractItemView*>(m_listView) : m_treeView;
}

QString MyFileDialog::typedPath() const
{
    if (!m_nameEdit) {
        return QString();
    }
    const QString typed = m_nameEdit->text().trimmed();
    // Several selected names show as "a" "b": that is the view's selection, not a typed path.
    if (typed.isEmpty() || typed.startsWith(QLatin1Char('"'))) {
        return QString();
    }
    QString path = typed;
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/"))) {
        path = QDir::homePath() + path.mid(1);
    }
    const QFileInfo info(directory(), path);
    return info.exists() ? QDir::cleanPath(info.absoluteFilePath()) : QString();
}

void MyFileDialog::accept()
{
    // The stock dialog accepts on Enter in the name box (through its completer too) and on an
    // activated file; files are taken by doubleClicked(), so only the name box counts here.
    if (m_nameEdit && m_nameEdit->hasFocus()) {
        chooseFromNameBox();
    }
}

void MyFileDialog::chooseFromNameBox()
{
    const QString text = m_nameEdit->text().trimmed();
    if (text.isEmpty() || text.startsWith(QLatin1Char('"')) || !typedPath().isEmpty()) {
        chooseClicked();
    } else {
        // A typed path that does not exist opens nothing; the dialog stays.
        QApplication::beep();
    }
}

void MyFileDialog::chooseClicked()
{
    QString top = directory().absolutePath();
    setBusyCursor(top);

    const QStringList patterns = VideoSelection::namePatterns(nameFilters());

    QStringList selected;
    const QString typed = typedPath();
    if (!typed.isEmpty()) {
        // A path typed into the name box (and Enter) chooses what it names, as if it had been
        // selected in its folder.
        selected << typed;
        top = QFileInfo(typed).absolutePath();
    } else if (QAbstractItemView* view = visibleView()) {
        const QModelIndexList rows = view->selectionModel()->selectedRows();
        for (const QModelIndex& row : rows) {
            selected << row.data(LocationRole).toString();
        }
    }
    if (selected.isEmpty()) {
        // Nothing was selected: the folder shown is chosen, as if selected in its parent.
        selected << top;
    }

    m_selection = VideoSelection::collect(selected, patterns);
    for (const QString& file : qAsConst(m_selection.videos)) {
        if (!m_selectedFiles.contains(file)) {
            m_selectedFiles << file;
        }
    }
    if (!m_selectedFiles.isEmpty()) {
        m_topDir = top;
    }
    unsetBusyCursor();
    deactivateUpdates();
    // Bypass the stock acceptance, which in folder mode refuses a selection of files.
    QDialog::accept(); // NOLINT(bugprone-parent-virtual-call): skipping QFileDialog's is the point
}

void MyFileDialog::doubleClicked(const QModelIndex& index)
{
    const QString path = index.data(LocationRole).toString();
    setBusyCursor(path);
    const QFileInfo info(path);
    if (info.isFile() && VideoSelection::isCameraVideo(info.absoluteFilePath())) {
        if (!m_selectedFiles.contains(info.absoluteFilePath())) {
            m_selectedFiles << info.absoluteFilePath();
        }
        m_selection = VideoSelection::Result();
        m_selection.chosen = QStringList{info.absoluteFilePath()};
        m_selection.videos = m_selectedFiles;
        m_selection.filesSeen = 1;
        setDirectory(info.absolutePath());
        m_topDir = info.absolutePath();
        unsetBusyCursor();
        deactivateUpdates();
        QDialog::accept(); // NOLINT(bugprone-parent-virtual-call): as above, not QFileDialog's
        return;
    }
    unsetBusyCursor();
}

void MyFileDialog::dialogCancel()
{
    deactivateUpdates();
    reject();
}

bool MyFileDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched == m_nameEdit) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            chooseFromNameBox();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        QAbstractItemView* view = visibleView();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            (watched == m_listView || watched == m_treeView) && view &&
            view->selectionModel()->hasSelection()) {
            chooseClicked();
            return true;
        }
    } else if (event->type() == QEvent::EnabledChange && watched == m_openButton &&
               !m_openButton->isEnabled()) {
        m_openButton->setEnabled(true);
    }
    return QFileDialog::eventFilter(watched, event);
}

void MyFileDialog::setBusyCursor()
{
    if (!m_busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_busy = true;
    }
}

void MyFileDialog::setBusyCursor(const QString& path)
{
    if (Fs::isPathRemote(path)) {
        setBusyCursor();
    }
}

void MyFileDialog::unsetBusyCursor()
{
    if (m_busy) {
        QApplication::restoreOverrideCursor();
        m_busy = false;
    }
}
