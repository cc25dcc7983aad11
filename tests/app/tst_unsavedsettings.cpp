#include "langselectionbutton.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

bool makeShared(const QString& dir)
{
    return QDir().mkpath(dir) && ::chmod(QFile::encodeName(dir).constData(), 01777) == 0;
}

QList<QMessageBox*> messageBoxes()
{
    QList<QMessageBox*> boxes;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            boxes << box;
    }
    return boxes;
}

} // namespace

// A machine where no folder of the user's own can be written: every candidate for the
// settings is shared with other users. The program runs, says once that settings cannot be
// kept, keeps them for the session only and writes no settings file anywhere.
class TestUnsavedSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void runsWithoutSavingAndSaysSoOnce();
    void cleanupTestCase();

private:
    QTemporaryDir m_tmp;
    QStringList m_candidates;
    QFileDevice::Permissions m_appDirPermissions;
    bool m_rootFileBefore = false;
};

void TestUnsavedSettings::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    const QString app = QCoreApplication::applicationName();
    for (const char* variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS"}) {
        const QString base = m_tmp.filePath(QString::fromLatin1(variable));
        QVERIFY(makeShared(base + QLatin1Char('/') + app));
        qputenv(variable, base.toLocal8Bit());
        m_candidates << base + QLatin1Char('/') + app;
    }
    qputenv("XDG_STATE_HOME", m_tmp.filePath(QStringLiteral("state")).toLocal8Bit());
    qputenv("TARROW_TILE_SERVER", "http://127.0.0.1:9/%1/%2/%3.png");
    qputenv("XDG_CACHE_HOME", m_tmp.filePath(QStringLiteral("cache")).toLocal8Bit());
    // The program's own folder (a build tree, so the first candidate) is shared too.
    const QString appDir = QCoreApplication::applicationDirPath();
    m_appDirPermissions = QFile::permissions(appDir);
    QVERIFY(::chmod(QFile::encodeName(appDir).constData(), 01777) == 0);
    m_candidates << appDir;
    m_rootFileBefore = QFile::exists(QStringLiteral("/.settings.ini"));
}

void TestUnsavedSettings::runsWithoutSavingAndSaysSoOnce()
{
    MainWindow window;
    QFile trace(m_tmp.filePath(QStringLiteral("state/Tarrow/startup.log")));
    QVERIFY2(!ZelSettings::isPersistent(),
             trace.open(QIODevice::ReadOnly) ? trace.readAll().constData() : "");
    QCOMPARE(ZelSettings::getWritablePath(), QString());
    window.show();
    QTRY_COMPARE(messageBoxes().size(), 1);
    QMessageBox* box = messageBoxes().first();
    QCOMPARE(box->text(), QStringLiteral("Settings cannot be saved."));
    QVERIFY(box->informativeText().contains(QStringLiteral("forgets changes when it closes")));
    box->close();

    // Once only: showing the window again says nothing more.
    window.hide();
    window.show();
    QTest::qWait(200);
    QCOMPARE(messageBoxes().size(), 0);

    // Choices hold for the session.
    window.form()->langButton->loadLanguage(QStringLiteral("de_DE"));
    QCOMPARE(ZelSettings::value(ZelSettings::LocaleLanguage).toString(), QStringLiteral("de_DE"));
    ZelSettings::setValue(ZelSettings::PlaylistPath, m_tmp.path());
    QCOMPARE(ZelSettings::value(ZelSettings::PlaylistPath).toString(), m_tmp.path());
    window.form()->langButton->loadLanguage(QStringLiteral("en_GB"));

    // ... and nothing was written: not in the shared folders, not at the file system's root.
    for (const QString& dir : qAsConst(m_candidates)) {
        QVERIFY2(!QFile::exists(dir + ZelSettings::Settings), qPrintable(dir));
    }
    QCOMPARE(QFile::exists(QStringLiteral("/.settings.ini")), m_rootFileBefore);
}

void TestUnsavedSettings::cleanupTestCase()
{
    QFile::setPermissions(QCoreApplication::applicationDirPath(), m_appDirPermissions);
}

QTEST_MAIN(TestUnsavedSettings)
#include "tst_unsavedsettings.moc"
