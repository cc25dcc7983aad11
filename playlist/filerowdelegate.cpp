#include "filerowdelegate.h"

#include "playlistroles.h"

#include <QApplication>
#include <QPainter>

QSize FileRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (index.parent().isValid()) {
        size.setWidth(0);
    }
    return size;
}

void FileRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    if (!index.parent().isValid() || !index.data(PlaylistRoles::Events).toBool()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem item(option);
    initStyleOption(&item, index);
    const QWidget* widget = item.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget);
    const QString text = item.text;

    // The style draws the row (its borders, the hover and the focus) without the text.
    item.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    painter->save();
    // Under the mouse the row keeps the hover colour, which reads with white text as well.
    if (!(item.state & QStyle::State_MouseOver)) {
        painter->fillRect(item.rect.adjusted(0, 1, 0, -1), bandColour());
    }
    painter->setFont(item.font);
    painter->setPen(Qt::white);
    painter->drawText(textRect, int(item.displayAlignment),
                      item.fontMetrics.elidedText(text, item.textElideMode, textRect.width()));
    painter->restore();
}
