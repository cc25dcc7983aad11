#pragma once

#include "tripitem.h"
#include "tripstatistics.h"

#include <QLabel>

#include <memory>
#include <optional>

// One line of figures about the trip being played: distance, driving time, top and average
// speed, stops and event recordings.
class TripSummary : public QLabel
{
    Q_OBJECT
public:
    explicit TripSummary(QWidget* parent = nullptr);

    // "12.4 km · 18 min driving · max 87 km/h · avg 41 km/h · 3 stops · 1 event" in the
    // interface language and the display units.
    static QString summaryText(const TripStatistics& statistics);

public slots:
    void setStatistics(const TripStatistics& statistics);
    // A new trip: nothing to show until its statistics arrive.
    void setMedia(std::shared_ptr<Trip::TripList> trip);

    // The line wraps on a narrow window, between figures only.
    int heightForWidth(int width) const override;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The summary in lines that fit `width` pixels.
    QStringList lines(int width) const;
    int textWidth(int width) const;
    void showText();

    std::optional<TripStatistics> m_statistics;
    QString m_text;
};
