#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QSvgRenderer>
#include <QTranslator>
#include <QtTest>

// Every resource the program addresses by name must be compiled in and readable.
class TestResources : public QObject
{
    Q_OBJECT
private slots:
    void styleSheets();
    void images();
    void fonts();
    void catalogs_data();
    void catalogs();
    void legalTexts();
};

void TestResources::styleSheets()
{
    static const char* const names[] = {"myButton.qss",     "myLabel.qss",       "myMenu.qss",
                                        "mySlider.qss",     "mySplitter.qss",    "myTreeView.qss",
                                        "myHeaderView.qss", "myScrollBar.qss",   "myVideoWgt.qss",
                                        "zoomInButton.qss", "zoomOutButton.qss", "copyrightLabel.qss"};
    for (const char* name : names) {
        QFile file(QStringLiteral(":/resources/") + QLatin1String(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), name);
        const QByteArray text = file.readAll();
        QVERIFY2(!text.trimmed().isEmpty(), name);
        QVERIFY2(text.count('{') == text.count('}'), name);
    }
}

void TestResources::images()
{
    static const char* const names[] = {"88_media_back.png",
                                        "88_media_forward.png",
                                        "88_media_play.svg",
                                        "88_media_pause.png",
                                        "88_media_full_screen_view.png",
                                        "88_media_full_screen_close.png",
                                        "88_volume_low_line.png",
                                        "88_volume_high_line.png",
                                        "88_mute_sound_line.png",
                                        "88_close_abort_small.png",
                                        "88_close_abort_small_white.png",
                                        "88_additional_options_line_white.png",
                                        "88_information_credits.png",
                                        "88_language_country_switch_line_white.png",
                                        "88_attention.svg",
                                        "88_hot_spot_cyan.png",
                                        "440_hot_spot_cyan.png",
                                        "88_pin_general.png",
                                        "440_pin_general.png",
                                        "44_pin_general.png",
                                        "44_38_pin_general.png",
                                        "88_76_pin_general.png",
                                        "68_zoom_in_v1.png",
                                        "68_zoom_out_v1.png",
                                        "176_back_thick.png",
                                        "176_forward_thick.png",
                                        "buffer_loader_icon.png",
                                        "favicon_mobile_196x196.png",
                                        "HL-star_512px_web.svg",
                                        "HL-wm_claim1DE_896x224_web.svg",
                                        "HL-wm_claim1EN_896x240_web.svg",
                                        "HL-closing_line_DE_224px.svg",
                                        "HL-closing_line_EN_240px.svg"};
    for (const char* name : names) {
        const QString path = QStringLiteral(":/resources/images/") + QLatin1String(name);
        if (path.endsWith(QLatin1String(".svg"))) {
            QVERIFY2(QSvgRenderer(path).isValid(), name);
        } else {
            QVERIFY2(!QImage(path).isNull(), name);
        }
    }
    QCOMPARE(QImage(QStringLiteral(":/resources/images/favicon_mobile_196x196.png")).size(), QSize(196, 196));
    QCOMPARE(QImage(QStringLiteral(":/resources/images/88_76_pin_general.png")).size(), QSize(88, 76));
}

void TestResources::fonts()
{
    static const char* const styles[] = {"Regular",    "Bold",       "BoldItalic",      "Demi",
                                         "DemiItalic", "ExtraBold",  "ExtraBoldItalic", "Italic",
                                         "Light",      "LightItalic"};
    QString family;
    for (const char* style : styles) {
        const int id = QFontDatabase::addApplicationFont(
            QStringLiteral(":resources/OstrelCS-%1.ttf").arg(QLatin1String(style)));
        QVERIFY2(id >= 0, style);
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        QVERIFY2(!families.isEmpty(), style);
        if (family.isEmpty()) {
            family = families.first();
        }
        // One family in ten styles.
        QVERIFY2(families.first().startsWith(family.left(9)), style);
    }
}

void TestResources::catalogs_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("context");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("disambiguation");
    QTest::addColumn<QString>("expected");
    QTest::newRow("en") << "trans_en_GB.qm"
                        << "MainWindow"
                        << "Yes"
                        << ""
                        << "Yes";
    QTest::newRow("de") << "trans_de_DE.qm"
                        << "QObject"
                        << "Zoom in"
                        << "" << QString::fromUtf8("Vergrößern");
    QTest::newRow("ru tab") << "trans_ru_RU.qm"
                            << "AboutDialog"
                            << "Legal notice"
                            << "tab" << QString::fromUtf8("Правовое\nуведомление");
    QTest::newRow("ru plain") << "trans_ru_RU.qm"
                              << "AboutDialog"
                              << "Legal notice"
                              << "" << QString::fromUtf8("Правовое уведомление");
    QTest::newRow("ru no-break space")
        << "trans_ru_RU.qm"
        << "AboutDialog"
        << "This application uses the following 3rd-party opensource components"
        << ""
        << QString::fromUtf8("Это приложение использует \u00a0компоненты из открытых источников 3-их сторон");
    QTest::newRow("qt de") << "qt/qtbase_de.qm"
                           << "QPlatformTheme"
                           << "Cancel"
                           << ""
                           << "Abbrechen";
    QTest::newRow("qt ru") << "qt/qtbase_ru.qm"
                           << "QPlatformTheme"
                           << "Cancel"
                           << "" << QString::fromUtf8("Отмена");
}

void TestResources::catalogs()
{
    QFETCH(QString, file);
    QFETCH(QString, context);
    QFETCH(QString, source);
    QFETCH(QString, disambiguation);
    QFETCH(QString, expected);
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/resources/translations/") + file));
    const QByteArray dis = disambiguation.toUtf8();
    QCOMPARE(translator.translate(context.toUtf8().constData(), source.toUtf8().constData(),
                                  dis.isEmpty() ? nullptr : dis.constData()),
             expected);
}

void TestResources::legalTexts()
{
    for (const char* name : {"Copyright_en.html", "Copyright_ru.html", "EULA_en.html", "EULA_ru.html",
                             "Privacy_en.html", "Privacy_ru.html", "Opensource-licenses.txt"}) {
        QFile file(QStringLiteral(":/resources/licenses/") + QLatin1String(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), name);
        QVERIFY2(file.size() > 100, name);
    }
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
