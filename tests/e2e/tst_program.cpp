#include "sessionfixture.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString xdotool(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(XDOTOOL_EXE), args);
    process.waitForFinished(10000);
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}

QString windowOf(qint64 pid, const QString& title, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        const QString ids =
            xdotool({QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                     QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"),
                     QStringLiteral("^%1$").arg(title)});
        if (!ids.isEmpty()) {
            return ids.split(QLatin1Char('\n')).first();
        }
        QTest::qWait(100);
    }
    return QString();
}

// Every file below `root`, relative to it.
QStringList filesBelow(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << it.next().mid(root.size());
    }
    files.sort();
    return files;
}

} // namespace

// The real program, started from the command line on a copy of the sample card and used
// with real mouse clicks and keys through the X server.
class TestProgram : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void opensPlaysAndCloses();
    void cleanup();

private:
    QImage grab(const QRect& area) const;

    QTemporaryDir m_tmp;
    QProcess m_program;
    QPoint m_origin;
};

void TestProgram::initTestCase()
{
    if (!QFile::exists(QStringLiteral(XDOTOOL_EXE))) {
        QSKIP("xdotool is not installed");
    }
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "needs an X display (run under xvfb-run)");
    QVERIFY(m_tmp.isValid());
}

QImage TestProgram::grab(const QRect& area) const
{
    const QRect onScreen = area.translated(m_origin);
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, onScreen.x(), onScreen.y(), onScreen.width(), onScreen.height())
        .toImage();
}

void TestProgram::opensPlaysAndCloses()
{
    const QString card = m_tmp.filePath(QStringLiteral("card"));
    QVERIFY(Session::copyTree(Session::sampleCard(), card));
    const auto sums = Session::checksums(card);
    const QString home = m_tmp.filePath(QStringLiteral("home"));
    const QString temp = m_tmp.filePath(QStringLiteral("temp"));
    const QString runtime = m_tmp.filePath(QStringLiteral("runtime"));
    for (const QString& dir : {home, temp, runtime}) {
        QVERIFY(QDir().mkpath(dir));
    }
    QFile(runtime).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString settings = QFileInfo(QStringLiteral(TARROW_EXE)).path() + QStringLiteral("/.settings.ini");
    QFile::remove(settings);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    env.insert(QStringLiteral("TMPDIR"), temp);
    env.insert(QStringLiteral("TARROW_TILE_SERVER"), QStringLiteral("http://127.0.0.1:9/%1/%2/%3.png"));
    m_program.setProcessEnvironment(env);
    m_program.start(QStringLiteral(TARROW_EXE), {card});
    QVERIFY(m_program.waitForStarted());

    const QString window = windowOf(m_program.processId(), QStringLiteral("Halvard Tarrow"));
    QVERIFY2(!window.isEmpty(), "the main window appears");
    const QStringList geometry =
        xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window})
            .split(QLatin1Char('\n'));
    for (const QString& line : geometry) {
        if (line.startsWith(QLatin1String("X="))) {
            m_origin.setX(line.mid(2).toInt());
        } else if (line.startsWith(QLatin1String("Y="))) {
            m_origin.setY(line.mid(2).toInt());
        }
    }

    // The window opens at its default size; the first trip's row and the video sit here.
    const QRect firstTrip(630, 425, 380, 56);
    const QRect video(20, 90, 580, 370);
    // The trips are listed with their thumbnails: colour appears in the first row.
    QTRY_VERIFY_WITH_TIMEOUT(Session::yellowShare(grab(firstTrip)) > 0.01, 30000);
    grab(QRect(0, 0, 1030, 700)).save(QStringLiteral(TARROW_ARTIFACTS_DIR "/program-listed.png"));

    const QPoint row = m_origin + firstTrip.center();
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(row.x()),
             QString::number(row.y()), QStringLiteral("click"), QStringLiteral("--repeat"),
             QStringLiteral("2"), QStringLiteral("--delay"), QStringLiteral("60"), QStringLiteral("1")});
    QTRY_VERIFY_WITH_TIMEOUT(!Session::allBlack(grab(video)), 20000);
    const QImage first = grab(video);
    QTest::qWait(1500);
    const QImage later = grab(video);
    QVERIFY2(first != later, "the video plays");
    grab(QRect(0, 0, 1030, 700)).save(QStringLiteral(TARROW_ARTIFACTS_DIR "/program-playing.png"));

    // Close: the question comes; Escape answers "No", Return "Yes".
    const QPoint close = m_origin + QPoint(1003, 47);
    const auto askToClose = [&]() {
        // Like a user whose click went unnoticed, click again after a moment.
        for (int attempt = 0; attempt < 3; ++attempt) {
            // "mousemove --sync" waits for a movement, so never ask it for the spot the pointer is on.
            xdotool({QStringLiteral("mousemove"), QString::number(close.x() - 40),
                     QString::number(close.y() + 40)});
            QTest::qWait(100);
            xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(close.x()),
                     QString::number(close.y()), QStringLiteral("click"), QStringLiteral("1")});
            const QString box = windowOf(m_program.processId(), QStringLiteral("Tarrow"), 5000);
            if (!box.isEmpty()) {
                return box;
            }
        }
        return QString();
    };
    QString question = askToClose();
    QVERIFY2(!question.isEmpty(), "the close question appears");
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), question});
    xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
    QTest::qWait(1000);
    QCOMPARE(m_program.state(), QProcess::Running);
    question = askToClose();
    QVERIFY2(!question.isEmpty(), "the close question appears again");
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), question});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    QVERIFY(m_program.waitForFinished(20000));
    QCOMPARE(m_program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_program.exitCode(), 0);

    // The recordings are untouched; the program wrote its settings beside itself (it runs from
    // a build tree), its start-up trace in the user's state folder, only the single-instance
    // key in the temp folder, and nothing else (no tile came, so the tile cache stays empty).
    QCOMPARE(Session::checksums(card), sums);
    QVERIFY(QFile::exists(settings));
    QStringList written = filesBelow(temp);
    written.erase(std::remove_if(written.begin(), written.end(),
                                 [](const QString& f) { return f.startsWith(QLatin1String("/qipc_")); }),
                  written.end());
    QCOMPARE(written, QStringList());
    // In the home folder: only the graphics driver's shader cache, which the video output's
    // OpenGL driver keeps for every program that draws with it.
    QStringList inHome = filesBelow(home);
    inHome.erase(std::remove_if(inHome.begin(), inHome.end(),
                                [](const QString& f) {
                                    return f.startsWith(QLatin1String("/.cache/mesa_shader_cache/"));
                                }),
                 inHome.end());
    QCOMPARE(inHome.join(QLatin1Char(' ')), QStringLiteral("/.local/state/Tarrow/startup.log"));
    QCOMPARE(QFile::permissions(home + QStringLiteral("/.local/state/Tarrow/startup.log")) &
                 (QFileDevice::ReadGroup | QFileDevice::ReadOther),
             QFileDevice::Permissions());
}

void TestProgram::cleanup()
{
    if (m_program.state() != QProcess::NotRunning) {
        m_program.kill();
        m_program.waitForFinished(5000);
    }
}

QTEST_MAIN(TestProgram)
#include "tst_program.moc"
