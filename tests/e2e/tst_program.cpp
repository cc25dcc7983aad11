#include "../sessionfixture.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

QString xdotool(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(XDOTOOL_EXE), args);
    process.waitForFinished(10000);
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}

// The first visible window of the process with exactly this title, waiting for it up to
// `timeoutMs`; empty when none shows.
QString windowOf(const QProcess& process, const QString& title, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    do {
        const QString ids =
            xdotool({"search", "--all", "--onlyvisible", "--pid", QString::number(process.processId()),
                     "--name", QStringLiteral("^%1$").arg(title)});
        if (!ids.isEmpty())
            return ids.split(QLatin1Char('\n')).first();
        QTest::qWait(100);
    } while (timer.elapsed() < timeoutMs);
    return QString();
}

// Every file below `root`, relative to it, but for those `ignored` names.
QStringList filesBelow(const QString& root, const QString& ignored)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next().mid(root.size());
        if (!file.startsWith(ignored))
            files << file;
    }
    return files;
}

} // namespace

// The real program, started from the command line on a copy of the sample card and used with
// real mouse clicks and keys through the X server: it lists the card, runs one instance at a
// time, takes the paths of a second start, is never blocked by one that crashed, and writes
// nothing where it does not belong.
class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QFile::exists(QStringLiteral(XDOTOOL_EXE)))
            QSKIP("xdotool is not installed");
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "needs an X display (run under xvfb-run)");
        QVERIFY(m_tmp.isValid());
    }

    void opensPlaysAndCloses()
    {
        const QString card = m_tmp.filePath(QStringLiteral("card"));
        QVERIFY(Session::copyTree(Session::sampleCard(), card));
        const auto sums = Session::checksums(card);
        for (const char* dir : {"home", "temp", "runtime"})
            QVERIFY(QDir().mkpath(m_tmp.filePath(dir)));
        QFile(m_tmp.filePath("runtime"))
            .setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QString settings =
            QFileInfo(QStringLiteral(TARROW_EXE)).path() + QStringLiteral("/.settings.ini");
        QFile::remove(settings);

        // An instance that crashed leaves its single-instance lock behind: the next start is not
        // refused because of it.
        QProcess crashed;
        start(crashed, {});
        QVERIFY2(!windowOf(crashed, "Halvard Tarrow").isEmpty(), "the first start shows its window");
        ::kill(static_cast<pid_t>(crashed.processId()), SIGKILL);
        QVERIFY(crashed.waitForFinished(5000));

        start(m_program, {card});
        const QString window = windowOf(m_program, "Halvard Tarrow");
        QVERIFY2(!window.isEmpty(), "the main window appears");
        QVERIFY(windowOf(m_program, "Tarrow", 0).isEmpty());
        for (const QString& line : xdotool({"getwindowgeometry", "--shell", window}).split('\n')) {
            if (line.startsWith(QLatin1String("X=")))
                m_origin.setX(line.mid(2).toInt());
            else if (line.startsWith(QLatin1String("Y=")))
                m_origin.setY(line.mid(2).toInt());
        }

        // The trips are listed with their thumbnails: colour appears in the first trip's row (the
        // window opens at its default size).
        QTRY_VERIFY_WITH_TIMEOUT(Session::yellowShare(grab(QRect(630, 425, 380, 56))) > 0.01, 30000);
        grab(QRect(0, 0, 1030, 700)).save(QStringLiteral(TARROW_ARTIFACTS_DIR "/program-listed.png"));

        // A second start without paths is refused with a message box, confirmed as a user would;
        // the first instance plays on.
        QProcess second;
        start(second, {});
        const QString box = windowOf(second, "Tarrow");
        QVERIFY2(!box.isEmpty(), "the second instance shows a message box");
        QVERIFY(windowOf(second, "Halvard Tarrow", 0).isEmpty());
        xdotool({"windowfocus", "--sync", box});
        xdotool({"key", "Return"});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(m_program.state(), QProcess::Running);

        // A start with a path hands it to the running window and ends without a box; a relative
        // path means the folder where it was started. The window opens it as if chosen in the
        // dialog, which makes the folder that holds it the current folder.
        QProcess handing;
        handing.setWorkingDirectory(card);
        start(handing, {QStringLiteral("Normal")});
        QVERIFY(handing.waitForFinished(20000));
        QCOMPARE(handing.exitStatus(), QProcess::NormalExit);
        QCOMPARE(handing.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(
            QFileInfo(QStringLiteral("/proc/%1/cwd").arg(m_program.processId())).canonicalFilePath(),
            QFileInfo(card).canonicalFilePath(), 20000);
        QCOMPARE(m_program.state(), QProcess::Running);

        // Close: the question comes; Escape answers "No", Return "Yes".
        const QPoint close = m_origin + QPoint(1003, 47);
        const auto askToClose = [&]() {
            // Like a user whose click went unnoticed, click again after a moment.
            for (int attempt = 0; attempt < 3; ++attempt) {
                // "mousemove --sync" waits for a movement, so never ask it for the spot the pointer is on.
                xdotool({"mousemove", QString::number(close.x() - 40), QString::number(close.y() + 40)});
                QTest::qWait(100);
                xdotool({"mousemove", "--sync", QString::number(close.x()), QString::number(close.y()),
                         "click", "1"});
                const QString question = windowOf(m_program, "Tarrow", 5000);
                if (!question.isEmpty()) {
                    xdotool({"windowfocus", "--sync", question});
                    return true;
                }
            }
            return false;
        };
        QVERIFY2(askToClose(), "the close question appears");
        xdotool({"key", "Escape"});
        QTest::qWait(1000);
        QCOMPARE(m_program.state(), QProcess::Running);
        QVERIFY2(askToClose(), "the close question appears again");
        xdotool({"key", "Return"});
        QVERIFY(m_program.waitForFinished(20000));
        QCOMPARE(m_program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_program.exitCode(), 0);

        // The recordings are untouched; the program wrote its settings beside itself (it runs from
        // a build tree), its start-up trace in the user's state folder, readable by the user
        // alone, only the single-instance key in the temp folder, and nothing else (no tile came,
        // so the tile cache stays empty), and in the user's cache folder what it learnt of the
        // recordings: their lengths, their parsed positions and the trips' thumbnails, these shared
        // with file managers; every file the user's alone. In the home folder there is also the
        // graphics driver's shader cache, which the video output's OpenGL driver keeps for every
        // program that draws with it.
        QCOMPARE(Session::checksums(card), sums);
        QVERIFY(QFile::exists(settings));
        QCOMPARE(filesBelow(m_tmp.filePath("temp"), "/qipc_"), QStringList());
        const QString trace = QStringLiteral("/.local/state/Tarrow/startup.log");
        QStringList written = filesBelow(m_tmp.filePath("home"), "/.cache/mesa_shader_cache/");
        const QStringList thumbnails = written.filter(
            QRegularExpression(QStringLiteral("^/\\.cache/thumbnails/normal/[0-9a-f]{32}\\.png$")));
        QVERIFY(!thumbnails.isEmpty());
        QStringList expected = QStringList{trace, QStringLiteral("/.cache/Tarrow/probe.cache"),
                                           QStringLiteral("/.cache/Tarrow/positions.cache")} +
                               thumbnails;
        written.sort();
        expected.sort();
        QCOMPARE(written, expected);
        for (const QString& file : qAsConst(written))
            QCOMPARE(QFile::permissions(m_tmp.filePath("home") + file) &
                         (QFile::ReadGroup | QFile::ReadOther),
                     QFile::Permissions());
    }

    void cleanup()
    {
        if (m_program.state() != QProcess::NotRunning) {
            m_program.kill();
            m_program.waitForFinished(5000);
        }
    }

private:
    // Starts the program with a home, temp and runtime folder of its own and no tile server.
    void start(QProcess& process, const QStringList& arguments)
    {
        const QString home = m_tmp.filePath("home");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        env.insert("HOME", home);
        env.insert("XDG_CONFIG_HOME", home + "/.config");
        env.insert("XDG_DATA_HOME", home + "/.local/share");
        env.insert("XDG_CACHE_HOME", home + "/.cache");
        env.insert("XDG_RUNTIME_DIR", m_tmp.filePath("runtime"));
        env.insert("TMPDIR", m_tmp.filePath("temp"));
        env.insert("TARROW_TILE_SERVER", "http://127.0.0.1:9/%1/%2/%3.png");
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(TARROW_EXE), arguments);
        QVERIFY(process.waitForStarted());
    }

    QImage grab(const QRect& area) const
    {
        const QRect onScreen = area.translated(m_origin);
        return QGuiApplication::primaryScreen()
            ->grabWindow(0, onScreen.x(), onScreen.y(), onScreen.width(), onScreen.height())
            .toImage();
    }

    QTemporaryDir m_tmp;
    QProcess m_program;
    QPoint m_origin;
};

// A GUI application: it keeps a connection to the X server open, so the server does not reset
// between the test's program runs.
QTEST_MAIN(TestProgram)
#include "tst_program.moc"
