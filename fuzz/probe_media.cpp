// Media driver for the sanitizer run: measures every file it is given on one engine, as the
// playlist does with a card, and checks that each length is refused or plausible.

#include <vireo/vlcfileduration.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList files;
    for (const QString& argument : app.arguments().mid(1)) {
        const QFileInfo info(argument);
        if (info.isDir()) {
            for (const QFileInfo& entry : QDir(argument).entryInfoList(QDir::Files, QDir::Name))
                files << entry.filePath();
        } else {
            files << argument;
        }
    }
    VlcFileDuration probe;
    if (!probe.isValid()) {
        std::fprintf(stderr, "probe_media: the engine did not start\n");
        return 2;
    }
    int failures = 0;
    for (const QString& file : files) {
        QString error;
        const qint64 ms = probe.duration(file, error);
        const bool plausible = (ms == 0 && !error.isEmpty()) || (ms > 0 && ms <= VlcFileDuration::MaxClipMs);
        std::printf("%-40s %8lld ms %s\n", qPrintable(QFileInfo(file).fileName()), static_cast<long long>(ms),
                    qPrintable(error));
        failures += plausible ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}
