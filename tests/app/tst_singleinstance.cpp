#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

// Windows of a process with the given title, found through the X server.
QStringList windowsOf(qint64 pid, const QString& title)
{
    QProcess search;
    search.start(QStringLiteral(XDOTOOL_EXE),
                 {QStringLiteral("search"), QStringLiteral("--all"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--pid"), QString::number(pid), QStringLiteral("--name"),
                  QStringLiteral("^%1$").arg(title)});
    search.waitForFinished(5000);
    return QString::fromLatin1(search.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QStringList waitForWindow(qint64 pid, const QString& title, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        const QStringList ids = windowsOf(pid, title);
        if (!ids.isEmpty()) {
            return ids;
        }
        QTest::qWait(100);
    }
    return {};
}

bool xdotool(const QStringList& args)
{
    return QProcess::execute(QStringLiteral(XDOTOOL_EXE), args) == 0;
}

} // namespace

// Runs the real program: a second start is refused, a dead instance does not block.
class TestSingleInstance : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void secondInstanceIsRefused();
    void leftoverSegmentDoesNotBlock();
    void cleanup();

private:
    void start(QProcess& process);
    QProcess m_first;
    QProcess m_second;
};

void TestSingleInstance::initTestCase()
{
    if (QString::fromLatin1(XDOTOOL_EXE).isEmpty() || !QFile::exists(QStringLiteral(XDOTOOL_EXE))) {
        QSKIP("xdotool is not installed");
    }
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "needs an X display (run under xvfb-run)");
}

void TestSingleInstance::start(QProcess& process)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TARROW_EXE), QStringList());
    QVERIFY(process.waitForStarted());
}

void TestSingleInstance::secondInstanceIsRefused()
{
    start(m_first);
    QVERIFY2(!waitForWindow(m_first.processId(), QStringLiteral("Halvard Tarrow")).isEmpty(),
             qPrintable(QStringLiteral("the first instance shows its window (state %1, exit %2, boxes %3)")
                            .arg(m_first.state())
                            .arg(m_first.exitCode())
                            .arg(windowsOf(m_first.processId(), QStringLiteral("Tarrow")).size())));

    start(m_second);
    const QStringList box = waitForWindow(m_second.processId(), QStringLiteral("Tarrow"));
    QVERIFY2(!box.isEmpty(),
             qPrintable(QStringLiteral("the second instance shows a message box (state %1, exit %2)")
                            .arg(m_second.state())
                            .arg(m_second.exitCode())));
    QVERIFY(windowsOf(m_second.processId(), QStringLiteral("Halvard Tarrow")).isEmpty());

    // Confirm the box as a user would.
    QVERIFY(xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), box.first()}));
    QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("Return")}));
    QVERIFY(m_second.waitForFinished(10000));
    QCOMPARE(m_second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_second.exitCode(), 0);

    // The first instance is untouched.
    QCOMPARE(m_first.state(), QProcess::Running);
    QVERIFY(!windowsOf(m_first.processId(), QStringLiteral("Halvard Tarrow")).isEmpty());
}

void TestSingleInstance::leftoverSegmentDoesNotBlock()
{
    start(m_first);
    QVERIFY2(!waitForWindow(m_first.processId(), QStringLiteral("Halvard Tarrow")).isEmpty(),
             qPrintable(QStringLiteral("the first instance shows its window (state %1, exit %2, boxes %3)")
                            .arg(m_first.state())
                            .arg(m_first.exitCode())
                            .arg(windowsOf(m_first.processId(), QStringLiteral("Tarrow")).size())));
    // A crash leaves the segment behind.
    ::kill(static_cast<pid_t>(m_first.processId()), SIGKILL);
    QVERIFY(m_first.waitForFinished(5000));

    start(m_second);
    QVERIFY2(!waitForWindow(m_second.processId(), QStringLiteral("Halvard Tarrow")).isEmpty(),
             "the next start shows its window");
    QVERIFY(windowsOf(m_second.processId(), QStringLiteral("Tarrow")).isEmpty());
}

void TestSingleInstance::cleanup()
{
    for (QProcess* process : {&m_second, &m_first}) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(5000);
        }
    }
}

// A GUI application: it keeps a connection to the X server open, so the server does not reset
// between the test's program runs.
QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
