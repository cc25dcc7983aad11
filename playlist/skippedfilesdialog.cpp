#include "skippedfilesdialog.h"

#include "dialoglook.h"
#include "zelcfg.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

SkippedFilesDialog::SkippedFilesDialog(SkippedFiles files, QWidget* parent)
    : QDialog(DialogLook::parentFor(parent)), m_files(std::move(files)), m_summary(new QLabel(this)),
      m_list(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("SkippedFilesDialog"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(QIcon(Design::WindowIconPath));
    DialogLook::apply(this);
    m_summary->setWordWrap(true);
    m_list->setColumnCount(3);
    m_list->setRootIsDecorated(false);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->header()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    resize(760, 360);
    retranslateUi();
}

void SkippedFilesDialog::retranslateUi()
{
    setWindowTitle(ZelCfg::AppName);
    m_summary->setText(m_files.summary());
    m_list->setHeaderLabels({tr("File"), tr("Folder"), tr("Reason")});
    m_list->clear();
    for (const auto& file : m_files.files()) {
        const QFileInfo info(file.first);
        auto* row = new QTreeWidgetItem(m_list, {info.fileName(), QDir::toNativeSeparators(info.path()),
                                                 SkippedFiles::reasonText(file.second)});
        row->setToolTip(1, QDir::toNativeSeparators(file.first));
    }
    int width = 0;
    for (int column = 0; column < 3; ++column) {
        m_list->resizeColumnToContents(column);
        width += m_list->columnWidth(column);
    }
    // Wide enough for every column, within reason.
    resize(qBound(560, width + 60, 1200), height());
}

void SkippedFilesDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QDialog::changeEvent(event);
}
