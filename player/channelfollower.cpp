#include "channelfollower.h"

#include "playerlog.h"

#include <QMouseEvent>

ChannelFollower::ChannelFollower(QWidget* parent) : VlcQtVideoWidget(parent)
{
    setObjectName(QStringLiteral("channelFollower"));
}

void ChannelFollower::setDelayedPictures(bool delayed)
{
    m_delayed = delayed;
    // FFmpeg's reader in the engine can miss the picture of a seek while paused: such a seek
    // starts the file anew at its target instead.
    setReopenPausedSeeks(delayed);
}

QStringList ChannelFollower::engineArguments() const
{
    // No sound output at all: one less stream to decode, and nothing to mute.
    QStringList arguments = VlcQtVideoWidget::engineArguments() << QStringLiteral("--no-audio");
    if (m_delayed)
        arguments << QStringLiteral("--demux=avformat");
    return arguments;
}

void ChannelFollower::showLoadError()
{
    qCDebug(lcPlayer) << "a channel's recording cannot be played";
    emit failed();
}

void ChannelFollower::showMissingFile(const QString& file)
{
    qCDebug(lcPlayer) << "a channel's recording has gone:" << file;
    emit failed();
}

void ChannelFollower::mouseReleaseEvent(QMouseEvent* event)
{
    // Not the player's own play/pause: the deck decides what a click on a channel does, and
    // the window behind ends its drag on the release.
    event->ignore();
}
