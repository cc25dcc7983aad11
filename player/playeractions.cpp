#include "playeractions.h"

#include <QAction>
#include <QWidget>

namespace {

// The arrows and Home/End of the number pad as well.
QList<QKeySequence> keysOf(PlayerActions::Command command)
{
    const QKeySequence main = PlayerActions::key(command);
    QList<QKeySequence> keys{main};
    switch (command) {
    case PlayerActions::Back:
    case PlayerActions::Forward:
    case PlayerActions::BackMinute:
    case PlayerActions::ForwardMinute:
    case PlayerActions::Start:
    case PlayerActions::End:
        keys << QKeySequence(main[0] | Qt::KeypadModifier);
        break;
    default:
        break;
    }
    return keys;
}

} // namespace

PlayerActions::PlayerActions(QWidget* host) : QObject(host)
{
    for (int i = 0; i < CommandCount; ++i) {
        const auto command = Command(i);
        auto* action = new QAction(host);
        action->setShortcuts(keysOf(command));
        action->setShortcutContext(Qt::WindowShortcut);
        // A held arrow keeps seeking; a held Space or S would toggle or shoot again and again.
        action->setAutoRepeat(command == Back || command == Forward || command == FrameBack ||
                              command == FrameForward);
        connect(action, &QAction::triggered, this, [this, command]() { emit triggered(command); });
        host->addAction(action);
        m_actions[std::size_t(i)] = action;
    }
}

QKeySequence PlayerActions::key(Command command)
{
    switch (command) {
    case PlayPause:
        return QKeySequence(Qt::Key_Space);
    case Back:
        return QKeySequence(Qt::Key_Left);
    case Forward:
        return QKeySequence(Qt::Key_Right);
    case BackMinute:
        return QKeySequence(QStringLiteral("Shift+Left"));
    case ForwardMinute:
        return QKeySequence(QStringLiteral("Shift+Right"));
    case Start:
        return QKeySequence(Qt::Key_Home);
    case End:
        return QKeySequence(Qt::Key_End);
    case Mute:
        return QKeySequence(Qt::Key_M);
    case FullScreen:
        return QKeySequence(Qt::Key_F);
    case Slower:
        return QKeySequence(Qt::Key_BracketLeft);
    case Faster:
        return QKeySequence(Qt::Key_BracketRight);
    case NormalSpeed:
        return QKeySequence(Qt::Key_Backspace);
    case FrameBack:
        return QKeySequence(Qt::Key_Comma);
    case FrameForward:
        return QKeySequence(Qt::Key_Period);
    case InPoint:
        return QKeySequence(Qt::Key_I);
    case OutPoint:
        return QKeySequence(Qt::Key_O);
    case Snapshot:
        return QKeySequence(Qt::Key_S);
    case NextLayout:
        return QKeySequence(Qt::Key_V);
    case NextChannel:
        return QKeySequence(Qt::Key_C);
    case CommandCount:
        break;
    }
    return QKeySequence();
}

QString PlayerActions::withKey(const QString& text, Command command)
{
    return QStringLiteral("%1 (%2)").arg(text, key(command).toString(QKeySequence::NativeText));
}
