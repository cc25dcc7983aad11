#include "writablepath.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sstream>

// Where the settings file may be written: the candidates in order, the probe that picks the
// first usable one, and the settings module that runs the probe once per process.
class TestWritablePath : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        // The trace goes to the temp folder; keep it private to this test process.
        qputenv("TMPDIR", m_tmp.path().toLocal8Bit());
    }

    void skipsUnusableCandidates()
    {
        // A path below a regular file can never be created.
        const QString plainFile = m_tmp.filePath(QStringLiteral("plain"));
        QFile file(plainFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString uncreatable = plainFile + QStringLiteral("/sub");
        // An existing folder in which the test file cannot be opened for writing; this holds
        // even for root, unlike permission bits.
        const QString blocked = m_tmp.filePath(QStringLiteral("blocked"));
        QVERIFY(QDir().mkpath(blocked + QStringLiteral("/.testfile")));
        const QString good = m_tmp.filePath(QStringLiteral("good/nested"));
        const QString before = QDir::currentPath();

        std::ostringstream log;
        QCOMPARE(Fs::probeWritableCandidates({uncreatable, blocked, QStringLiteral("/proc"), good}, log),
                 good);
        QCOMPARE(QDir::currentPath(), before);
        QVERIFY(QDir(good).exists());
        QVERIFY(!QFile::exists(good + QStringLiteral("/.testfile")));
        const QString trace = QString::fromStdString(log.str());
        QVERIFY(trace.contains("\tPath does not exist and cannot be created, dir " + uncreatable));
        QVERIFY(trace.contains("\tFile exists " + good + "/.testfile"));
        QVERIFY(trace.endsWith("Writable path [" + good + "]\n"));

        std::ostringstream none;
        QCOMPARE(Fs::probeWritableCandidates({uncreatable, blocked}, none), QString());
        QCOMPARE(QDir::currentPath(), before);
        QVERIFY(QString::fromStdString(none.str()).endsWith(QStringLiteral("Writable path []\n")));
    }

    void installedLocationAndCandidateOrder()
    {
        for (const char* dir : {"/usr/bin", "/usr/local/bin", "/opt/tarrow/bin"})
            QVERIFY2(Fs::isInstalledLocation(dir), dir);
        for (const char* dir : {"/home/driver/src/tarrow/build/app", "/media/driver/CARD/tarrow",
                                "/usrdata/tarrow", "/usr/../home/driver/tarrow"})
            QVERIFY2(!Fs::isInstalledLocation(dir), dir);

        const QString appDir = QStringLiteral("/some/app/dir");
        const QStringList standalone = Fs::writablePathCandidates(false, appDir);
        const QStringList installed = Fs::writablePathCandidates(true, appDir);
        QCOMPARE(standalone.first(), appDir);
        QCOMPARE(standalone.count(appDir), 1);
        QCOMPARE(installed.count(appDir), 1);
        // Installed: the per-user configuration folder comes first, the program folder just
        // before the temp folders.
        QCOMPARE(installed.first(),
                 QStandardPaths::standardLocations(QStandardPaths::AppConfigLocation).first());
        const QStringList temp = QStandardPaths::standardLocations(QStandardPaths::TempLocation);
        QCOMPARE(installed.at(installed.size() - temp.size() - 1), appDir);
        QCOMPARE(standalone.mid(1), installed.mid(0, installed.size() - temp.size() - 1) + temp);
    }

    void probeRunsOncePerProcess()
    {
        const QString before = QDir::currentPath();
        const QString settings = ZelSettings::getWritablePath(ZelSettings::SettingsFile);
        // Three modules reading and writing keys, as at start-up.
        ZelSettings::value(ZelSettings::LocaleLanguage, ZelSettings::LocaleLanguageDefault);
        ZelSettings::setValue(ZelSettings::PlaylistPath, m_tmp.path());
        QCOMPARE(ZelSettings::value(ZelSettings::PlaylistPath).toString(), m_tmp.path());
        QCOMPARE(ZelSettings::getWritablePath(ZelSettings::LogFile),
                 settings.left(settings.size() - ZelSettings::Settings.size()) + ZelSettings::Logs);
        QCOMPARE(QDir::currentPath(), before);

        // The test program lives in a build tree, so it is standalone and its own folder wins.
        QCOMPARE(settings, QCoreApplication::applicationDirPath() + QStringLiteral("/.settings.ini"));
        QFile::remove(settings);

        QFile trace(m_tmp.filePath(QStringLiteral(".testlogfile")));
        QVERIFY(trace.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(trace.readAll());
        QCOMPARE(text.count(QStringLiteral("Writable path [")), 1);
        QVERIFY(text.contains(QStringLiteral("Application is standalone")));
    }

private:
    QTemporaryDir m_tmp;
};

QTEST_GUILESS_MAIN(TestWritablePath)
#include "tst_writablepath.moc"
