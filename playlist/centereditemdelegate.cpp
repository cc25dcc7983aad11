#include "centereditemdelegate.h"

#include "playlistroles.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>

namespace {

QFont countFont()
{
    QFont font = QApplication::font();
    font.setStyleStrategy(QFont::PreferQuality);
    font.setWeight(QFont::Bold);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    font.setPointSizeF(dpi / 96.0 * 22.0);
    return font;
}

} // namespace

int CenteredItemDelegate::requiredWidth() const
{
    const int digits =
        QFontMetrics(countFont()).horizontalAdvance(QString::number(qMax<qint64>(m_maxDangers, 1)));
    return MaxSignSide + digits + 8;
}

QSize CenteredItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (index.data(PlaylistRoles::Events).toLongLong() > 0)
        size.setWidth(qMax(size.width(), requiredWidth()));
    return size;
}

void CenteredItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const qint64 count = index.data(PlaylistRoles::Events).toLongLong();
    if (count == 0)
        return;

    painter->save();
    const QFont font = countFont();
    painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                            QPainter::SmoothPixmapTransform);

    const QIcon icon(QStringLiteral(":/resources/images/88_attention.svg"));
    const QList<QSize> sizes = icon.availableSizes();
    const int side = qBound(1, option.rect.height() - 5, MaxSignSide);
    QImage image = icon.pixmap(sizes.isEmpty() ? QSize(88, 88) : sizes.first()).toImage();
    if (!image.isNull())
        image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);

    QTextDocument document;
    document.setDefaultFont(font);
    document.setDocumentMargin(0);
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("excl")), image);
    QTextCursor cursor(&document);
    QTextCharFormat superscript;
    superscript.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    cursor.setCharFormat(superscript);
    cursor.insertHtml(QStringLiteral("<table cellpadding=\"0\" cellspacing=\"0\" border=\"0\"><tr><td>"
                                     "<img src=\"excl\"></td><td><sup>%1</sup></td></tr></table>")
                          .arg(count));

    const int widest = QFontMetrics(font).horizontalAdvance(QString::number(qMax(m_maxDangers, count)));
    const int x = option.rect.center().x() - (widest + image.width()) / 2;
    painter->translate(x, option.rect.top());
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, option.palette.color(QPalette::Text));
    context.clip = QRectF(option.rect.left() - x, 0, option.rect.width(), option.rect.height());
    painter->setClipRect(context.clip);
    document.documentLayout()->draw(painter, context);
    painter->restore();
}
