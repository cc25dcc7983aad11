#include "statusnote.h"

#include <QEvent>
#include <QTimer>

namespace {

const int ShownMs = 6000;
const int Margin = 20;

} // namespace

StatusNote::StatusNote(QWidget* parent) : QLabel(parent), m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("statusNote"));
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setStyleSheet(QStringLiteral("background-color: rgba(20, 20, 20, 230); color: white; "
                                 "border: 1px solid #00adef; padding: 6px 10px;"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    m_timer->setSingleShot(true);
    m_timer->setInterval(ShownMs);
    connect(m_timer, &QTimer::timeout, this, &QWidget::hide);
    parent->installEventFilter(this);
    hide();
}

void StatusNote::showNote(const QString& text)
{
    setText(text);
    place();
    show();
    raise();
    m_timer->start();
}

void StatusNote::place()
{
    const QWidget* area = parentWidget();
    const int width =
        qMin(area->width() - 2 * Margin, qMax(300, fontMetrics().horizontalAdvance(text()) + 24));
    setFixedWidth(qMax(100, width));
    adjustSize();
    move(Margin, area->height() - height() - Margin);
}

bool StatusNote::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        place();
    return QLabel::eventFilter(watched, event);
}
