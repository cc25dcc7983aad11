#pragma once

#include "trackexport.h"

#include <QMenu>

// The menu of the control panel's export button: the clip and whether it starts exactly at the
// in point, the track in each format, and clearing the in and out points.
class ExportMenu : public QMenu
{
    Q_OBJECT
public:
    explicit ExportMenu(QWidget* parent = nullptr);

    QAction* clipAction() const { return m_clip; }
    // The clip re-encoded with the data band (and the items of the settings) in the picture.
    QAction* overlayAction() const { return m_overlay; }
    // The privacy masks of the trip, drawn on its pictures.
    QAction* masksAction() const { return m_masks; }
    // Checked: clips re-encode their start up to the first key frame, to start at the in point.
    QAction* exactCutAction() const { return m_exactCut; }
    QAction* trackAction(TrackExport::Format format) const;
    QAction* clearMarksAction() const { return m_clear; }

signals:
    void clipRequested();
    void overlayRequested();
    void masksRequested();
    void trackRequested(TrackExport::Format format);
    void clearMarksRequested();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QAction* m_clip = nullptr;
    QAction* m_exactCut = nullptr;
    QAction* m_overlay = nullptr;
    QAction* m_masks = nullptr;
    QAction* m_gpx = nullptr;
    QAction* m_kml = nullptr;
    QAction* m_csv = nullptr;
    QAction* m_clear = nullptr;
};
