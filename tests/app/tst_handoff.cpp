#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// A second start with paths hands them to the running window; commands run beside it.
class TestHandOff : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void secondStartHandsItsPathsOver();
    void cleanup();

private:
    QProcessEnvironment environment() const;

    QTemporaryDir m_dir;
    QProcess m_first;
};

void TestHandOff::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "needs an X display (run under xvfb-run)");
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("tmp"))));
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("runtime"))));
    QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

QProcessEnvironment TestHandOff::environment() const
{
    // A lock and a channel of their own, apart from any other instance on this machine.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("TMPDIR"), m_dir.filePath(QStringLiteral("tmp")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
    return env;
}

void TestHandOff::secondStartHandsItsPathsOver()
{
    const QString card = qEnvironmentVariable("TARROW_SOURCE_DIR") + QStringLiteral("/samples/card");
    const QString runtime = m_dir.filePath(QStringLiteral("runtime"));
    m_first.setProcessEnvironment(environment());
    m_first.setWorkingDirectory(m_dir.path());
    m_first.start(QStringLiteral(TARROW_EXE), QStringList());
    QVERIFY(m_first.waitForStarted());
    // The running window listens once its channel appears in the runtime folder.
    QTRY_VERIFY_WITH_TIMEOUT(!QDir(runtime).entryList(QDir::System | QDir::Files).isEmpty(), 60000);

    QProcess second;
    second.setProcessEnvironment(environment());
    second.setWorkingDirectory(QFileInfo(card).path());
    // A relative path: it means the folder where the second start was made.
    second.start(QStringLiteral(TARROW_EXE), {QFileInfo(card).fileName()});
    QVERIFY(second.waitForFinished(20000)); // no message box waits for a click
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);

    // The running window opened the card as if chosen in the dialog: it made the card's folder
    // its current folder.
    const QString cwd = QStringLiteral("/proc/%1/cwd").arg(m_first.processId());
    QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(cwd).canonicalFilePath(),
                              QFileInfo(QFileInfo(card).path()).canonicalFilePath(), 20000);
    QCOMPARE(m_first.state(), QProcess::Running);

    // A command runs on its own while the window runs, and hands nothing over.
    QProcess command;
    command.setProcessEnvironment(environment());
    command.start(QStringLiteral(TARROW_EXE), {QStringLiteral("--list"), card});
    QVERIFY(command.waitForFinished(60000));
    QCOMPARE(command.exitCode(), 0);
    QVERIFY(command.readAllStandardOutput().contains("\"trips\""));
}

void TestHandOff::cleanup()
{
    if (m_first.state() != QProcess::NotRunning) {
        m_first.kill();
        m_first.waitForFinished(5000);
    }
}

// A GUI application: it keeps a connection to the X server open, so the server does not reset
// between the test's program runs.
QTEST_MAIN(TestHandOff)
#include "tst_handoff.moc"
