#pragma once

#include <QColor>
#include <QStyledItemDelegate>

// The first column, which holds the trips' thumbnails and the file rows of an expanded trip. A
// file row spans the whole row, so it asks no width of the column; an event recording's name is
// drawn in white on a red band (red text on the grey row cannot be read). Everything else is
// drawn as the view's style has it.
class FileRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The band behind an event recording's name.
    static QColor bandColour() { return QColor(176, 0, 0); }
};
