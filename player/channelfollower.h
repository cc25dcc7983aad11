#pragma once

#include "vlcqtvideowidget.h"

// Plays one of a trip's other channels under the direction of a ChannelSync: an engine without
// sound (the trip's own channel has it), no message boxes (a channel that cannot play shows a
// placeholder instead), and clicks left to the deck that shows it.
class ChannelFollower : public VlcQtVideoWidget
{
    Q_OBJECT
public:
    explicit ChannelFollower(QWidget* parent = nullptr);

    // Files whose pictures begin after their start (an edit list's empty edit) are read with
    // FFmpeg's reader: the engine's own MP4 reader seeks up to that delay off in them. Its clock
    // starts at a file's first picture. Set before the files are.
    void setDelayedPictures(bool delayed);
    bool delayedPictures() const { return m_delayed; }

signals:
    // A file of the channel could not be played or has gone.
    void failed();

protected:
    QStringList engineArguments() const override;
    void showLoadError() override;
    void showMissingFile(const QString& file) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_delayed = false;
};
