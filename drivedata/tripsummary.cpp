#include "tripsummary.h"

#include "units.h"

#include <QEvent>
#include <QResizeEvent>

#include <cmath>

namespace {

constexpr double MetresPerMile = 1609.344;
const QString Separator = QStringLiteral(" \u00b7 ");
// The style sheet's padding on the left and right.
constexpr int SidePadding = 6;

} // namespace

TripSummary::TripSummary(QWidget* parent) : QLabel(parent)
{
    TripStatistics::registerMetaTypes();
    setStyleSheet(QStringLiteral("QLabel { background-color: black; color: #c8c8c8; padding: 1px 6px; }"));
    QFont f = font();
    f.setPointSize(9);
    setFont(f);
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A narrow window wraps the line rather than widening.
    setMinimumWidth(1);
    setMinimumHeight(fontMetrics().height() + 4);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int TripSummary::textWidth(int width) const
{
    return qMax(1, width - 2 * SidePadding - 2);
}

QStringList TripSummary::lines(int width) const
{
    QStringList lines;
    const QFontMetrics metrics = fontMetrics();
    const QString lineEnd = Separator.trimmed().prepend(QLatin1Char(' '));
    for (const QString& part : m_text.split(Separator)) {
        // A line that others follow ends with the separator's dot.
        if (!lines.isEmpty() &&
            metrics.horizontalAdvance(lines.last() + Separator + part + lineEnd) > width) {
            lines.last() += lineEnd;
            lines << part;
        } else if (!lines.isEmpty()) {
            lines.last() += Separator + part;
        } else {
            lines << part;
        }
    }
    return lines;
}

int TripSummary::heightForWidth(int width) const
{
    return int(qMax(1, lines(textWidth(width)).size())) * fontMetrics().height() + 4;
}

void TripSummary::showText()
{
    const QString laidOut = lines(textWidth(width())).join(QLatin1Char('\n'));
    if (laidOut != text())
        setText(laidOut);
}

void TripSummary::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    if (!m_text.isEmpty())
        showText();
}

QString TripSummary::summaryText(const TripStatistics& s)
{
    const bool metric = Units::isMetric();
    const auto length = [metric](double metres) {
        return metric ? Units::fixed(metres / 1000.0, 1) + tr(" km")
                      : Units::fixed(metres / MetresPerMile, 1) + tr(" mi");
    };
    const QString distance = length(s.distance);
    const qint64 minutes = (s.drivingSeconds + 30) / 60;
    const QString driving =
        minutes >= 60
            ? tr("%1 h %2 min driving").arg(QString::number(minutes / 60), QString::number(minutes % 60))
            : tr("%1 min driving").arg(QString::number(minutes));
    QStringList parts{distance,
                      driving,
                      tr("max %1").arg(Units::speedText(s.maxSpeed, 0)),
                      tr("avg %1").arg(Units::speedText(s.averageSpeed, 0)),
                      tr("%n stop(s)", nullptr, s.stops),
                      tr("%n event(s)", nullptr, s.events)};
    // The straight lines across pauses between videos are not driven distance; shown beside it
    // when they amount to something at the shown precision.
    const double bridged = metric ? s.bridgedDistance / 1000.0 : s.bridgedDistance / MetresPerMile;
    if (std::round(bridged * 10.0) > 0.0)
        parts.insert(1, tr("%1 bridged").arg(length(s.bridgedDistance)));
    return parts.join(Separator);
}

void TripSummary::setStatistics(const TripStatistics& statistics)
{
    m_statistics = statistics;
    m_text = summaryText(statistics);
    showText();
    updateGeometry();
    setToolTip(m_text);
}

void TripSummary::setMedia(std::shared_ptr<Trip::TripList> /*trip*/)
{
    m_statistics.reset();
    m_text.clear();
    clear();
    updateGeometry();
    setToolTip(QString());
}

void TripSummary::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && m_statistics) {
        m_text = summaryText(*m_statistics);
        showText();
        updateGeometry();
        setToolTip(m_text);
    }
    QLabel::changeEvent(event);
}
