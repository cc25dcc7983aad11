#include "writablepath.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sstream>

class TestWritablePath : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void skipsUnusableCandidates();
    void installedLocation_data();
    void installedLocation();
    void candidateOrder();
    void probeRunsOncePerProcess();

private:
    QTemporaryDir m_tmp;
};

void TestWritablePath::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    // The trace goes to the user's state folder; keep it private to this test process.
    qputenv("XDG_STATE_HOME", m_tmp.path().toLocal8Bit());
}

void TestWritablePath::skipsUnusableCandidates()
{
    // A path below a regular file can never be created.
    const QString plainFile = m_tmp.filePath(QStringLiteral("plain"));
    QFile file(plainFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QString uncreatable = plainFile + QStringLiteral("/sub");

    // An existing folder that every user may write to: never used for settings.
    const QString blocked = m_tmp.filePath(QStringLiteral("blocked"));
    QVERIFY(QDir().mkpath(blocked));
    QVERIFY(QFile::setPermissions(blocked, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ExeOwner | QFileDevice::WriteOther |
                                               QFileDevice::ExeOther | QFileDevice::ReadOther));

    const QString good = m_tmp.filePath(QStringLiteral("good/nested"));
    const QString before = QDir::currentPath();

    std::ostringstream log;
    const QString result =
        Fs::probeWritableCandidates({uncreatable, blocked, QStringLiteral("/proc"), good}, log);
    QCOMPARE(result, good);
    QCOMPARE(QDir::currentPath(), before);
    QVERIFY(QDir(good).exists());
    QCOMPARE(QDir(good).entryList(QDir::Files | QDir::Hidden), QStringList());

    const QString trace = QString::fromStdString(log.str());
    QVERIFY(
        trace.contains(QStringLiteral("\tPath does not exist and cannot be created, dir ") + uncreatable));
    QVERIFY(trace.contains(QStringLiteral("\tFile exists ") + good + QStringLiteral("/.testfile.")));
    QVERIFY(trace.endsWith(QStringLiteral("Writable path [") + good + QStringLiteral("]\n")));

    std::ostringstream none;
    QCOMPARE(Fs::probeWritableCandidates({uncreatable, blocked}, none), QString());
    QCOMPARE(QDir::currentPath(), before);
    QVERIFY(QString::fromStdString(none.str()).endsWith(QStringLiteral("Writable path []\n")));
}

void TestWritablePath::installedLocation_data()
{
    QTest::addColumn<QString>("dir");
    QTest::addColumn<bool>("installed");
    QTest::newRow("usr bin") << "/usr/bin" << true;
    QTest::newRow("usr local") << "/usr/local/bin" << true;
    QTest::newRow("opt") << "/opt/tarrow/bin" << true;
    QTest::newRow("build tree") << "/home/driver/src/tarrow/build/app" << false;
    QTest::newRow("removable") << "/media/driver/CARD/tarrow" << false;
    QTest::newRow("prefix lookalike") << "/usrdata/tarrow" << false;
    QTest::newRow("dot segments") << "/usr/../home/driver/tarrow" << false;
}

void TestWritablePath::installedLocation()
{
    QFETCH(QString, dir);
    QFETCH(bool, installed);
    QCOMPARE(Fs::isInstalledLocation(dir), installed);
}

void TestWritablePath::candidateOrder()
{
    const QString appDir = QStringLiteral("/some/app/dir");
    const QStringList standalone = Fs::writablePathCandidates(false, appDir);
    const QStringList installed = Fs::writablePathCandidates(true, appDir);
    QCOMPARE(standalone.first(), appDir);
    QCOMPARE(standalone.count(appDir), 1);
    QCOMPARE(installed.count(appDir), 1);
    // Installed: the per-user configuration folder comes first, the program folder last.
    QCOMPARE(installed.first(), QStandardPaths::standardLocations(QStandardPaths::AppConfigLocation).first());
    QCOMPARE(standalone.mid(1), installed.mid(0, installed.size() - 1));
    QCOMPARE(installed.last(), appDir);
}

void TestWritablePath::probeRunsOncePerProcess()
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

    QFile trace(m_tmp.filePath(QStringLiteral("Tarrow/startup.log")));
    QVERIFY(trace.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(trace.readAll());
    QCOMPARE(text.count(QStringLiteral("Writable path [")), 1);
    QVERIFY(text.contains(QStringLiteral("Application is standalone")));
}

QTEST_GUILESS_MAIN(TestWritablePath)
#include "tst_writablepath.moc"
