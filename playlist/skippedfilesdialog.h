#pragma once

#include "skippedfiles.h"

#include <QDialog>

class QLabel;
class QTreeWidget;

// Lists the files left out of the playlist: name, folder and reason, one row each.
class SkippedFilesDialog : public QDialog
{
    Q_OBJECT
public:
    SkippedFilesDialog(SkippedFiles files, QWidget* parent);

    QTreeWidget* list() const { return m_list; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslateUi();

    SkippedFiles m_files;
    QLabel* m_summary = nullptr;
    QTreeWidget* m_list = nullptr;
};
