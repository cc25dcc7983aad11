#include "exportmenu.h"

#include "evidenceexport.h"
#include "stylesheet.h"

#include <QEvent>

ExportMenu::ExportMenu(QWidget* parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("exportMenu"));
    QString style;
    if (Design::loadStyleSheet(QStringLiteral(":/resources/myMenu.qss"), style))
        setStyleSheet(style);
    m_clip = addAction(QString());
    m_exactCut = addAction(QString());
    m_exactCut->setCheckable(true);
    m_exactCut->setChecked(EvidenceExport::exactCut());
    m_overlay = addAction(QString());
    m_masks = addAction(QString());
    addSeparator();
    m_gpx = addAction(QString());
    m_kml = addAction(QString());
    m_csv = addAction(QString());
    addSeparator();
    m_clear = addAction(QString());
    connect(m_clip, &QAction::triggered, this, &ExportMenu::clipRequested);
    connect(m_overlay, &QAction::triggered, this, &ExportMenu::overlayRequested);
    connect(m_masks, &QAction::triggered, this, &ExportMenu::masksRequested);
    connect(m_exactCut, &QAction::triggered, this, &EvidenceExport::setExactCut);
    // The stored choice may have changed elsewhere since the menu was made.
    connect(this, &QMenu::aboutToShow, this,
            [this]() { m_exactCut->setChecked(EvidenceExport::exactCut()); });
    connect(m_gpx, &QAction::triggered, this, [this]() { emit trackRequested(TrackExport::Format::Gpx); });
    connect(m_kml, &QAction::triggered, this, [this]() { emit trackRequested(TrackExport::Format::Kml); });
    connect(m_csv, &QAction::triggered, this, [this]() { emit trackRequested(TrackExport::Format::Csv); });
    connect(m_clear, &QAction::triggered, this, &ExportMenu::clearMarksRequested);
    retranslate();
}

QAction* ExportMenu::trackAction(TrackExport::Format format) const
{
    switch (format) {
    case TrackExport::Format::Gpx:
        return m_gpx;
    case TrackExport::Format::Kml:
        return m_kml;
    case TrackExport::Format::Csv:
        return m_csv;
    }
    return nullptr;
}

void ExportMenu::retranslate()
{
    m_clip->setText(tr("Export clip as MP4 with GPX\u2026"));
    m_exactCut->setText(tr("Exact cut at the in point (re-encodes up to the next key frame)"));
    m_overlay->setText(tr("Export with data: date, time, speed and place in the picture\u2026"));
    m_masks->setText(tr("Draw privacy masks over faces and number plates"));
    m_gpx->setText(tr("Export track as GPX\u2026"));
    m_kml->setText(tr("Export track as KML\u2026"));
    m_csv->setText(tr("Export track as CSV\u2026"));
    m_clear->setText(tr("Clear in and out points"));
}

void ExportMenu::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QMenu::changeEvent(event);
}
