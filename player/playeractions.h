#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>

#include <array>

class QAction;
class QWidget;

// The player's keys, as actions of a host widget that fire wherever the focus is in the
// host's window (not in the window's dialogs, which are windows of their own). Text fields
// keep the keys they type, as Qt lets them claim a key before its shortcut.
class PlayerActions : public QObject
{
    Q_OBJECT
public:
    enum Command
    {
        PlayPause,
        Back,
        Forward,
        BackMinute,
        ForwardMinute,
        Start,
        End,
        Mute,
        FullScreen,
        Slower,
        Faster,
        NormalSpeed,
        FrameBack,
        FrameForward,
        InPoint,
        OutPoint,
        Snapshot,
        NextLayout,
        NextChannel,
        CommandCount
    };
    Q_ENUM(Command)

    explicit PlayerActions(QWidget* host);

    QAction* action(Command command) const { return m_actions[std::size_t(command)]; }
    static QKeySequence key(Command command);
    // "Play (Space)": a tooltip that names its key in the language's own key names.
    static QString withKey(const QString& text, Command command);

signals:
    void triggered(PlayerActions::Command command);

private:
    std::array<QAction*, CommandCount> m_actions{};
};
