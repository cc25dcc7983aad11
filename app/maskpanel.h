#pragma once

#include "masks.h"
#include "tripitem.h"

#include <QFutureWatcher>
#include <QImage>
#include <QWidget>

class MaskEditor;
class QBoxLayout;
class QLabel;
class QPushButton;
class QRadioButton;
class VlcVideoWidget;

// Draws a trip's privacy masks on the paused picture itself: while editing, the player's picture
// is replaced by a still of the same instant on which dragging draws, moves and resizes masks,
// with a strip of tools above it. The player's own slider, keys and frame steps choose the
// instant; every change is kept for the trip at once (MaskStore), never on the card.
class MaskPanel : public QWidget
{
    Q_OBJECT
public:
    explicit MaskPanel(VlcVideoWidget* video);

    void setTrip(const Trip::TripList& trip);
    bool isEditing() const { return isVisible(); }
    MaskEditor* editor() const { return m_editor; }

public slots:
    // Shows the panel over the picture at a trip position.
    void start(qint64 positionMs);
    // The picture of another trip position while editing.
    void showPosition(qint64 positionMs);
    void finish();

signals:
    // The masks were kept for the trip after a change.
    void masksChanged();
    void finished();
    // Why the masks could not be kept.
    void failed(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void retranslate();
    void fitTools();
    void updateControls();
    void save();
    void decodeNext();

    VlcVideoWidget* m_video = nullptr;
    Trip::TripList m_trip;
    MaskEditor* m_editor = nullptr;
    QLabel* m_help = nullptr;
    QRadioButton* m_blur = nullptr;
    QRadioButton* m_pixelate = nullptr;
    QPushButton* m_removeKey = nullptr;
    QPushButton* m_remove = nullptr;
    QPushButton* m_done = nullptr;
    QBoxLayout* m_tools = nullptr;
    // One picture decoded at a time, off the window's thread; the latest position asked for next.
    QFutureWatcher<QImage> m_decoding;
    qint64 m_decodingMs = -1;
    qint64 m_wantedMs = -1;
};
