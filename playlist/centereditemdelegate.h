#pragma once

#include <QStyledItemDelegate>

// The event-count cell: an attention sign with the count in superscript. Every row is laid
// out for the widest count, so the signs line up down the column.
class CenteredItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setMaxDangers(qint64 maxDangers) { m_maxDangers = maxDangers; }
    qint64 maxDangers() const { return m_maxDangers; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Width the cell needs for the sign and the widest count.
    int requiredWidth() const;
    // The sign is as high as the cell less 5 pixels, but no higher than this, so the column
    // stays narrow beside tall thumbnail rows.
    static constexpr int MaxSignSide = 32;

private:
    qint64 m_maxDangers = 0;
};
