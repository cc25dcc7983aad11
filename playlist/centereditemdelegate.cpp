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

void CenteredItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const qint64 count = index.data(PlaylistRoles::Events).toLongLong();
    if (count == 0)
        return;

    painter->save();
    QFont font = QApplication::font();
    font.setStyleStrategy(QFont::PreferQuality);
    font.setWeight(QFont::Bold);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    font.setPointSizeF(dpi / 96.0 * 22.0);
    painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                            QPainter::SmoothPixmapTransform);

    const QIcon icon(QStringLiteral(":/resources/images/88_attention.svg"));
    const QList<QSize> sizes = icon.availableSizes();
    const int side = qMax(1, option.rect.height() - 5);
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
