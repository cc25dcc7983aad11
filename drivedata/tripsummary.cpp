#include "tripsummary.h"

#include "units.h"

#include <QEvent>

#include <cmath>

namespace {

constexpr double MetresPerMile = 1609.344;

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
    // The line may be cut on a narrow window rather than widen it.
    setMinimumWidth(1);
    setFixedHeight(fontMetrics().height() + 4);
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
    return parts.join(QStringLiteral(" · "));
}

void TripSummary::setStatistics(const TripStatistics& statistics)
{
    m_statistics = statistics;
    setText(summaryText(statistics));
    setToolTip(text());
}

void TripSummary::setMedia(std::shared_ptr<Trip::TripList> /*trip*/)
{
    m_statistics.reset();
    clear();
    setToolTip(QString());
}

void TripSummary::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange && m_statistics)
        setText(summaryText(*m_statistics));
    QLabel::changeEvent(event);
}
