#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

bool copyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo& entry : source.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isDir() ? !copyTree(entry.filePath(), target) : !QFile::copy(entry.filePath(), target))
            return false;
    }
    return true;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

struct Result
{
    int code = -1;
    bool crashed = false;
    QString out;
    QString err;
};

} // namespace

// The real program's diagnostics: silent unless asked for with TARROW_DEBUG or --verbose, then
// on stderr by category, filtered by QT_LOGGING_RULES, never mixed into a command's output.
class TestDiagnostics : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void commandIsSilentUnlessAsked();
    void diagnosticsByCategory();
    void windowIsSilentUnlessAsked();
    void failedStartSaysWhy();

private:
    QProcessEnvironment environment(const QStringList& set = {}) const;
    Result run(const QStringList& arguments, const QStringList& set = {}) const;
    // Starts the window on the card and ends it once `enough` holds for its stderr or
    // `waitMs` have passed; returns its stderr.
    QString runWindow(const QStringList& set, const std::function<bool(const QString&)>& enough,
                      int waitMs) const;

    QTemporaryDir m_dir;
    QString m_card;
    QString m_broken;
};

void TestDiagnostics::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_card = m_dir.filePath(QStringLiteral("card"));
    QVERIFY(copyTree(qEnvironmentVariable("TARROW_SOURCE_DIR") + QStringLiteral("/samples/card"), m_card));
    // A video that is no video, with its position file: left out, and a report says why.
    m_broken = m_card + QStringLiteral("/Normal/005_0001_20240501130000.mp4");
    QVERIFY(writeFile(m_broken, QByteArray(4096, 'x')));
    QVERIFY(QFile::copy(m_card + QStringLiteral("/Normal/001_0001_20240501090000.nmea"),
                        m_card + QStringLiteral("/Normal/005_0001_20240501130000.nmea")));
    for (const char* folder : {"home", "config", "cache", "data", "temp", "runtime"})
        QVERIFY(QDir().mkpath(m_dir.filePath(QLatin1String(folder))));
    QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QProcessEnvironment TestDiagnostics::environment(const QStringList& set) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No display: nothing but the program itself may speak (a system's video driver library
    // prints on its own when the engine probes it).
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QT_LOGGING_RULES",
                             "QT_LOGGING_CONF", "TARROW_DEBUG"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    env.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), m_dir.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
    // Its own temp folder: its own single-instance lock.
    env.insert(QStringLiteral("TMPDIR"), m_dir.filePath(QStringLiteral("temp")));
    env.insert(QStringLiteral("TARROW_TILE_SERVER"), QStringLiteral("http://127.0.0.1:9/%1/%2/%3.png"));
    for (const QString& assignment : set)
        env.insert(assignment.section(QLatin1Char('='), 0, 0), assignment.section(QLatin1Char('='), 1));
    return env;
}

Result TestDiagnostics::run(const QStringList& arguments, const QStringList& set) const
{
    QProcess process;
    process.setProcessEnvironment(environment(set));
    process.start(QStringLiteral(TARROW_EXE), arguments);
    Result result;
    if (!process.waitForFinished(120000))
        return result;
    result.crashed = process.exitStatus() != QProcess::NormalExit;
    result.code = result.crashed ? -1 : process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QString TestDiagnostics::runWindow(const QStringList& set, const std::function<bool(const QString&)>& enough,
                                   int waitMs) const
{
    QProcess process;
    QProcessEnvironment env = environment(set);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TARROW_EXE), {m_card});
    if (!process.waitForStarted())
        return QStringLiteral("(did not start)");
    QString err;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < waitMs && process.state() == QProcess::Running && !enough(err)) {
        process.waitForReadyRead(100);
        err += QString::fromUtf8(process.readAllStandardError());
    }
    const bool running = process.state() == QProcess::Running;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
    }
    err += QString::fromUtf8(process.readAllStandardError());
    return running ? err : QStringLiteral("(ended early) ") + err;
}

void TestDiagnostics::commandIsSilentUnlessAsked()
{
    const Result quiet = run({QStringLiteral("--list"), m_card});
    QCOMPARE(quiet.code, 0);
    QVERIFY2(quiet.err.isEmpty(), qPrintable(quiet.err));
    QVERIFY(quiet.out.contains(m_broken));

    // "0" and empty mean off, as unset.
    for (const QString& off : {QStringLiteral("TARROW_DEBUG=0"), QStringLiteral("TARROW_DEBUG=")}) {
        const Result result = run({QStringLiteral("--list"), m_card}, {off});
        QVERIFY2(result.err.isEmpty(), qPrintable(off + QLatin1Char(' ') + result.err));
    }

    // Diagnostics never reach a command's own output.
    const Result verbose = run({QStringLiteral("--verbose"), QStringLiteral("--list"), m_card});
    QCOMPARE(verbose.code, 0);
    QVERIFY(!verbose.err.isEmpty());
    QCOMPARE(verbose.out, quiet.out);
    QJsonParseError error{};
    QJsonDocument::fromJson(verbose.out.toUtf8(), &error);
    QCOMPARE(error.error, QJsonParseError::NoError);
}

void TestDiagnostics::diagnosticsByCategory()
{
    const Result env = run({QStringLiteral("--list"), m_card}, {QStringLiteral("TARROW_DEBUG=1")});
    const Result option = run({QStringLiteral("--list"), QStringLiteral("--verbose"), m_card});
    for (const Result& result : {env, option}) {
        QCOMPARE(result.code, 0);
        // Each file read, and the file left out with its reason.
        QVERIFY2(
            result.err.contains(QStringLiteral("DEBUG: tarrow.nmea: ") + m_card +
                                QStringLiteral("/Normal/001_0001_20240501090000.nmea: read, 10 records")),
            qPrintable(result.err));
        QVERIFY2(result.err.contains(
                     QRegularExpression(QStringLiteral("DEBUG: tarrow\\.playlist: left out ") +
                                        QRegularExpression::escape(m_broken) + QStringLiteral(" - \\S"))),
                 qPrintable(result.err));
        // One message a line, each with its severity.
        for (const QString& line : result.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            QVERIFY2(
                QRegularExpression(QStringLiteral("^(DEBUG|INFO|WARNING|CRITICAL): ")).match(line).hasMatch(),
                qPrintable(line));
    }

    // The logging rules choose the categories.
    const Result filtered =
        run({QStringLiteral("--list"), m_card},
            {QStringLiteral("TARROW_DEBUG=1"), QStringLiteral("QT_LOGGING_RULES=tarrow.nmea=false")});
    QCOMPARE(filtered.code, 0);
    QVERIFY2(!filtered.err.contains(QStringLiteral("tarrow.nmea")), qPrintable(filtered.err));
    QVERIFY2(filtered.err.contains(QStringLiteral("tarrow.playlist: left out")), qPrintable(filtered.err));
}

void TestDiagnostics::windowIsSilentUnlessAsked()
{
    // With diagnostics on, the window reports the opened card and the files it read.
    QElapsedTimer timer;
    timer.start();
    const QString verbose = runWindow(
        {QStringLiteral("TARROW_DEBUG=1")},
        [this](const QString& err) {
            return err.contains(QStringLiteral("tarrow.playlist: left out ") + m_broken) &&
                   err.contains(QStringLiteral("tarrow.nmea: "));
        },
        60000);
    const qint64 busyMs = timer.elapsed();
    QVERIFY2(verbose.contains(QStringLiteral("DEBUG: tarrow.playlist: opening ")), qPrintable(verbose));
    QVERIFY2(verbose.contains(QStringLiteral("tarrow.playlist: left out ") + m_broken), qPrintable(verbose));
    QVERIFY2(verbose.contains(QStringLiteral("tarrow.nmea: ")), qPrintable(verbose));
    QVERIFY2(!verbose.startsWith(QStringLiteral("(ended early)")), qPrintable(verbose));

    // Without, the same start (given more than the time the work took above) prints nothing.
    const QString quiet = runWindow(
        {}, [](const QString& err) { return !err.isEmpty(); }, int(busyMs) * 2 + 2000);
    QVERIFY2(quiet.isEmpty(), qPrintable(quiet));
}

void TestDiagnostics::failedStartSaysWhy()
{
    // The window without any display cannot start: it ends at once and says why, also when
    // diagnostics are off.
    const Result result = run({});
    QVERIFY(result.crashed || result.code != 0);
    QVERIFY2(result.err.contains(QStringLiteral("FATAL: ")), qPrintable(result.err));
    QVERIFY2(result.err.contains(QStringLiteral("platform plugin")), qPrintable(result.err));
}

QTEST_GUILESS_MAIN(TestDiagnostics)
#include "tst_diagnostics.moc"
