// Clips and stills of every channel of a trip from the command line, on generated cards whose
// frames carry the instant they show (scripts/cardgen/channels.py).

#include "channelcomposer.h"
#include "snapshot.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;
};

Run tarrow(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("LANG", "C");
    environment.insert("LC_ALL", "C");
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TARROW_EXE), arguments);
    process.waitForFinished(120000);
    return Run{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
               QString::fromUtf8(process.readAllStandardError())};
}

bool runScript(const QString& script, const QStringList& arguments)
{
    QProcess process;
    process.start(qEnvironmentVariable("TARROW_SOURCE_DIR") + "/scripts/" + script, arguments);
    return process.waitForFinished(300000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

// The drive frame a picture shows: its colour above the channel strip counts it.
int frameCode(const QImage& image)
{
    if (image.isNull())
        return -1;
    const QColor colour = image.pixelColor(image.width() / 2, image.height() / 4);
    const auto digit = [](int value) { return int(std::lround((value - 16) / 32.0)); };
    return digit(colour.red()) + 8 * digit(colour.green()) + 64 * digit(colour.blue());
}

int frameAt(const QString& video, qint64 ms)
{
    return frameCode(Snapshot::decodeFrame(video, ms));
}

// The drive frame shown at a trip position given in seconds, at 25 frames a second.
int frameOf(const QString& seconds)
{
    return int(std::floor(seconds.toDouble() * 25 + 1e-6));
}

QStringList files(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
}

const QStringList TwoChannels{"front", "rear"};
const QStringList FourChannels{"front", "back", "left_repeater", "right_repeater"};

} // namespace

class TestChannelExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        QVERIFY2(runScript("make-channel-card", {card(2)}), "the two-channel card");
        QVERIFY2(runScript("make-channel-card", {card(4), "--channels", "4"}), "the four-channel card");
        // The two-channel card with its second rear recording cut off after 3000 bytes.
        QVERIFY(runScript("make-channel-card", {damaged()}));
        QFile rear(damaged() + "/BlackVue/Record/20240501_090003_NR.mp4");
        QVERIFY(rear.resize(3000));
    }

    void init() { QVERIFY(QDir(out()).removeRecursively() && QDir().mkpath(out())); }

    // One clip per channel, named by it, every one starting with the picture of --from and in
    // step at later times too: across a file boundary, where the rear's next file begins 0.4 s
    // after the front's.
    void clipsOfEveryChannelInStep_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QList<qint64>>("checked"); // clip times compared across channels
        QTest::newRow("two, within a file") << 2 << "1.3"
                                            << "2.5" << QList<qint64>{0, 800};
        QTest::newRow("two, across a boundary") << 2 << "1.3"
                                                << "4.5" << QList<qint64>{0, 1500, 2500, 3100};
        QTest::newRow("four, across a boundary") << 4 << "0.9"
                                                 << "4.2" << QList<qint64>{0, 2000, 3200};
    }

    void clipsOfEveryChannelInStep()
    {
        QFETCH(int, count);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QList<qint64>, checked);
        const Run run = tarrow({"--export-clip", "--trip", "1", "--from", from, "--to", to, "--channel",
                                "all", card(count), "-o", out("clip.mp4")});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        const QStringList channels = count == 2 ? TwoChannels : FourChannels;
        QStringList expected;
        for (const QString& channel : channels)
            expected << "clip_" + channel + ".mp4";
        QCOMPARE(run.out.split('\n', Qt::SkipEmptyParts).size(), channels.size());
        expected.sort();
        QCOMPARE(files(out()), expected);

        QCOMPARE(qAbs(frameAt(out("clip_front.mp4"), 0) - frameOf(from)) <= 1, true);
        for (const qint64 at : checked) {
            const int front = frameAt(out("clip_front.mp4"), at);
            for (const QString& channel : channels) {
                const int shown = frameAt(out("clip_" + channel + ".mp4"), at);
                QVERIFY2(qAbs(shown - front) <= 1,
                         qPrintable(QString("%1 at %2 ms shows frame %3, the front %4")
                                        .arg(channel)
                                        .arg(at)
                                        .arg(shown)
                                        .arg(front)));
            }
        }
    }

    // A channel without a recording for part of the range, or for all of it (no file, a file of
    // 0 bytes), is named; the others are written, and the exit code says so.
    void missingChannelIsNamed_data()
    {
        QTest::addColumn<bool>("cutOff"); // the card whose second rear recording breaks off
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("named");
        QTest::addColumn<bool>("rearWritten");
        QTest::newRow("part of the range") << false << "4.5"
                                           << "7.5"
                                           << "No rear recording from 00:06.0 to 00:07.5" << true;
        QTest::newRow("all of it, one file of 0 bytes")
            << false << "6.5"
            << "11"
            << "No rear recording from 00:06.5 to 00:11.0" << false;
        QTest::newRow("a recording that breaks off") << true << "1.3"
                                                     << "5"
                                                     << "No rear recording from 00:03.5 to 00:05.0" << true;
    }

    void missingChannelIsNamed()
    {
        QFETCH(bool, cutOff);
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, named);
        QFETCH(bool, rearWritten);
        const Run run = tarrow({"--export-clip", "--trip", "1", "--from", from, "--to", to, "--channel",
                                "all", cutOff ? damaged() : card(2), "-o", out("clip.mp4")});
        QCOMPARE(run.code, 3);
        QVERIFY2(run.err.contains(named), qPrintable(run.err));
        QVERIFY(QFileInfo::exists(out("clip_front.mp4")));
        QCOMPARE(QFileInfo::exists(out("clip_rear.mp4")), rearWritten);
        QCOMPARE(run.out.contains("clip_rear.mp4"), rearWritten);
        QVERIFY(qAbs(frameAt(out("clip_front.mp4"), 0) - frameOf(from)) <= 1);
        if (rearWritten)
            QVERIFY(qAbs(frameAt(out("clip_rear.mp4"), 0) - frameOf(from)) <= 1);
    }

    // One channel named: its clip at the name given, of the same instant as the front's.
    void oneChannel()
    {
        const Run run = tarrow({"--export-clip", "--trip", "1", "--from", "3.6", "--to", "5", "--channel",
                                "rear", "--exact-cut", card(2), "-o", out("rear.mp4")});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QCOMPARE(files(out()), QStringList{"rear.mp4"});
        QVERIFY(qAbs(frameAt(out("rear.mp4"), 0) - frameOf("3.6")) <= 1);
    }

    // A channel the trip lacks is an error before anything is written.
    void wrongChannel_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("clip") << QStringList{"--export-clip", "--from", "1", "--to", "2", "-o", "clip.mp4"};
        QTest::newRow("still") << QStringList{"--snapshot", "--at", "1", "-o", "still.png"};
    }

    void wrongChannel()
    {
        QFETCH(QStringList, command);
        command.last() = out(command.last());
        const Run run = tarrow(command + QStringList{"--trip", "1", "--channel", "back", card(2)});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains("no channel back") && run.err.contains("front, rear"), qPrintable(run.err));
        QCOMPARE(files(out()), QStringList());
    }

    // Stills of every channel show one instant; a channel without a picture of it is named.
    void stillsOfEveryChannel_data()
    {
        QTest::addColumn<int>("count"); // 0: the two-channel card whose second rear breaks off
        QTest::addColumn<QString>("at");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("two") << 2 << "1.3" << TwoChannels;
        QTest::newRow("where the rear broke off") << 0 << "4.5" << QStringList{"front"};
        QTest::newRow("two, the rear's second file") << 2 << "3.5" << TwoChannels;
        QTest::newRow("before the rear's first picture") << 2 << "3.1" << QStringList{"front"};
        QTest::newRow("no rear file") << 2 << "7" << QStringList{"front"};
        QTest::newRow("four") << 4 << "4.04" << FourChannels;
    }

    void stillsOfEveryChannel()
    {
        QFETCH(int, count);
        QFETCH(QString, at);
        QFETCH(QStringList, written);
        const Run run = tarrow({"--snapshot", "--trip", "1", "--at", at, "--channel", "all",
                                count > 0 ? card(count) : damaged(), "-o", out("still.png")});
        const bool complete = written.size() == (count == 4 ? FourChannels : TwoChannels).size();
        QVERIFY2(run.code == (complete ? 0 : 3), qPrintable(run.err));
        QCOMPARE(run.err.contains("No rear recording at"), !complete);
        QStringList expected;
        for (const QString& channel : written)
            expected << "still_" + channel + ".png";
        expected.sort();
        QCOMPARE(files(out()), expected);
        for (const QString& name : expected) {
            const int shown = frameCode(QImage(out(name)));
            QVERIFY2(qAbs(shown - frameOf(at)) <= 1,
                     qPrintable(QString("%1 shows frame %2").arg(name).arg(shown)));
        }
    }

    // One clip with every channel in the picture: each place shows the instant the trip's own
    // picture shows, in both layouts, across a file boundary where the rear begins 0.4 s late.
    void overlayComposesChannelsInStep_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("layout");
        QTest::addColumn<QSize>("size");
        QTest::newRow("two, picture in picture") << 2 << "pip" << QSize(320, 180);
        QTest::newRow("two, side by side") << 2 << "side" << QSize(320, 90);
        QTest::newRow("four, picture in picture") << 4 << "pip" << QSize(320, 180);
        QTest::newRow("four, side by side") << 4 << "side" << QSize(320, 180);
    }

    void overlayComposesChannelsInStep()
    {
        QFETCH(int, count);
        QFETCH(QString, layout);
        QFETCH(QSize, size);
        const QString from = "1.3";
        const Run run = tarrow({"--export-clip", "--trip", "1", "--from", from, "--to", "4.5", "--overlay",
                                "--layout", layout, card(count), "-o", out("clip.mp4")});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QCOMPARE(files(out()), QStringList{"clip.mp4"});

        ChannelComposer::Layout shape;
        QVERIFY(ChannelComposer::parseLayout(layout, shape));
        const QStringList channels = count == 2 ? TwoChannels : FourChannels;
        const ChannelComposer composer({}, shape, channels);
        const std::vector<QRect> cells = composer.cells(size, 20);
        QCOMPARE(int(cells.size()), count);
        for (const qint64 at : {0, 900, 1600, 2200, 3100}) {
            const QImage picture = Snapshot::decodeFrame(out("clip.mp4"), at);
            QCOMPARE(picture.size(), size);
            const int wanted = frameOf(QString::number(from.toDouble() + at / 1000.0));
            for (std::size_t i = 0; i < cells.size(); ++i) {
                // The large picture is read left of the small ones.
                const QRect cell = i == 0 && shape == ChannelComposer::Layout::PictureInPicture
                                       ? QRect(0, 0, size.width() / 2, size.height())
                                       : cells[i];
                const int shown = frameCode(picture.copy(cell));
                QVERIFY2(qAbs(shown - wanted) <= 1, qPrintable(QString("%1 at %2 ms shows frame %3, not %4")
                                                                   .arg(channels[int(i)])
                                                                   .arg(at)
                                                                   .arg(shown)
                                                                   .arg(wanted)));
            }
        }
    }

    // Where a channel recorded nothing (no file; a file of 0 bytes) its place says so, and the
    // trip's own picture goes on; --channel shows one channel alone.
    void overlayPlaceholderAndOneChannel()
    {
        Run run = tarrow({"--export-clip", "--trip", "1", "--from", "6.5", "--to", "10.5", "--overlay",
                          "--layout", "side", card(2), "-o", out("side.mp4")});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        for (const qint64 at : {0, 3500}) {
            const QImage picture = Snapshot::decodeFrame(out("side.mp4"), at);
            QCOMPARE(picture.size(), QSize(320, 90));
            QVERIFY(qAbs(frameCode(picture.copy(0, 0, 160, 90)) -
                         frameOf(QString::number(6.5 + at / 1000.0))) <= 1);
            const QColor rear = picture.pixelColor(240, 10);
            QVERIFY2(qMax(rear.red(), qMax(rear.green(), rear.blue())) < 60 &&
                         qAbs(rear.red() - rear.blue()) < 10,
                     qPrintable(QString("the missing rear shows %1").arg(rear.name())));
        }

        run = tarrow({"--export-clip", "--trip", "1", "--from", "1", "--to", "2", "--overlay", "--channel",
                      "back", card(4), "-o", out("back.mp4")});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        const QImage back = Snapshot::decodeFrame(out("back.mp4"), 500);
        QCOMPARE(back.size(), QSize(320, 180));
        QVERIFY(qAbs(frameCode(back) - frameOf("1.5")) <= 1);
        // The strip below names the channel: back is channel 1, a grey of 100.
        QVERIFY(qAbs(back.pixelColor(160, 150).red() - 100) < 12);
    }

    void overlayLayoutMistakes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown layout")
            << QStringList{"--overlay", "--layout", "grid"} << "--layout takes pip";
        QTest::newRow("without --overlay") << QStringList{"--layout", "side"} << "--layout needs --overlay";
        QTest::newRow("unknown channel")
            << QStringList{"--overlay", "--channel", "roof"} << "has no channel roof";
    }

    void overlayLayoutMistakes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = tarrow(QStringList{"--export-clip", "--trip", "1", "--from", "1", "--to", "2"} +
                               arguments + QStringList{card(2), "-o", out("clip.mp4")});
        QVERIFY(run.code != 0);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(files(out()).isEmpty());
    }

    // With position data the GPX goes beside the clips once, named like -o.
    void trackOnceBesideTheClips()
    {
        const QString blackvue = m_tmp.filePath("blackvue");
        QVERIFY(runScript("make-family-card", {"blackvue", blackvue}));
        const Run run = tarrow({"--export-clip", "--trip", "1", "--from", "0:01", "--to", "0:03", "--channel",
                                "all", blackvue, "-o", out("clip.mp4")});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QCOMPARE(files(out()), (QStringList{"clip.gpx", "clip_front.mp4", "clip_rear.mp4"}));
    }

    // No channel's recording is replaced, --overwrite or not.
    void channelRecordingsAreNeverReplaced()
    {
        const QString rear = card(2) + "/BlackVue/Record/20240501_090000_NR.mp4";
        const qint64 size = QFileInfo(rear).size();
        const Run run = tarrow({"--export-clip", "--trip", "1", "--from", "1", "--to", "2", "--channel",
                                "front", "--overwrite", card(2), "-o", rear});
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains("Refusing to overwrite"), qPrintable(run.err));
        QCOMPARE(QFileInfo(rear).size(), size);
    }

    void helpNamesTheOptionAndItsExitCode()
    {
        const Run run = tarrow({"--help"});
        QCOMPARE(run.code, 0);
        QVERIFY(run.out.contains("--channel <NAME|all>"));
        QVERIFY(run.out.contains("Exit code 3"));
    }

private:
    QString card(int count) const { return m_tmp.filePath(QString("card%1").arg(count)); }
    QString damaged() const { return m_tmp.filePath("damaged"); }
    QString out(const QString& name = QString()) const
    {
        return name.isEmpty() ? m_tmp.filePath("out") : m_tmp.filePath("out/" + name);
    }

    QTemporaryDir m_tmp;
};

QTEST_GUILESS_MAIN(TestChannelExport)
#include "tst_channelexport.moc"
