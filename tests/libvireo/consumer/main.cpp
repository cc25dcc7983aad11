// A program outside the source tree that uses the installed libvireo: it measures a
// video and plays it until the playing time moves.
#include <vireo/vlcenums.h>
#include <vireo/vlcfileduration.h>
#include <vireo/vlcinfo.h>
#include <vireo/vlcinstance.h>
#include <vireo/vlcplayer.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s VIDEO\n", argv[0]);
        return 2;
    }
    const QString file = QString::fromLocal8Bit(argv[1]);

    VlcFileDuration probe;
    QString error;
    const qint64 length = probe.duration(file, error);
    std::printf("engine %s: length %lld ms %s\n", qPrintable(VlcInfo::vlcVersion()),
                static_cast<long long>(length), qPrintable(error));

    QStringList args = VlcInstance::OptimizedPlayerArgs();
    args << QStringLiteral("--vout=dummy") << QStringLiteral("--no-audio");
    VlcInstance instance(args);
    auto* player = new VlcPlayer(&instance, nullptr, false);
    if (player->open(file) != 0) {
        std::printf("not played: %s\n", qPrintable(player->getLastError()));
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    while (player->getTime() <= 0 && player->getState() <= VlcEnums::Playing && clock.elapsed() < 20000) {
        QThread::msleep(10);
    }
    const qint64 played = player->getTime();
    player->stop();
    std::printf("played to %lld ms\n", static_cast<long long>(played));
    return length > 0 && played > 0 ? 0 : 1;
}
