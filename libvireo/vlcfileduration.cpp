#include "vireo/vlcfileduration.h"

#include "vireo/vlcenums.h"
#include "vireo/vlcinstance.h"
#include "vireo/vlcplayer.h"
#include "vlcoptions.h"

#include <QDebug>
#include <QThread>

#include <exception>

namespace {

constexpr int Attempts = 3;
// The demuxer usually knows the length 2 to 3 ms after playback starts; a finer
// poll than that keeps the probe of a whole card short.
constexpr unsigned long PollMs = 2;
constexpr unsigned long RetryPauseMs = 100;

// One attempt on an engine of its own; 0 when no length was found.
qint64 probeOnce(const QString& file, QString& error)
{
    const VlcOptions::ArgTable options = VlcOptions::durationProbe();
    VlcInstance instance(options.count, options.args);
    instance.setObjectName(QStringLiteral("Duration instance"));
    // A child of the instance, so it is gone before the engine is released.
    auto* player = new VlcPlayer(&instance, nullptr, false);
    player->setObjectName(QStringLiteral("Duration player"));

    if (player->open(file) != 0) {
        error = player->getLastError();
        player->clearLastError();
        return 0;
    }

    // A length the demuxer already knows is as good as one found by polling.
    qint64 length = player->getDuration();
    int state = player->getState();
    while (length <= 0 && state <= VlcEnums::Playing) {
        QThread::msleep(PollMs);
        length = player->getDuration();
        state = player->getState();
        if (state == VlcEnums::Error) {
            break;
        }
    }
    player->stop();
    return qMax<qint64>(length, 0);
}

} // namespace

int VlcFileDuration::getFileDuration(const QString& file, QString& error)
{
    error.clear();
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        qint64 length = 0;
        try {
            length = probeOnce(file, error);
        } catch (const std::exception& e) {
            qCritical() << "getFileDuration"
                        << ": EXCEPTION: " << e.what() << ", retrying";
        } catch (...) {
            qCritical() << "getFileDuration"
                        << ": UNKNOWN EXCEPTION, retrying";
        }
        if (length > 0) {
            return static_cast<int>(length);
        }
        QThread::msleep(RetryPauseMs);
    }
    return 0;
}
