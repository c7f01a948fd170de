#include "app/startup.h"
#include "survey/surveyreport.h"

#include <QtTest>

class StartupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void relayMode_data();
    void relayMode();
    void styleSheetFromResources();
    void interfaceLanguage_data();
    void interfaceLanguage();
    void englishCatalogueIsEmbedded();
};

void StartupTest::relayMode_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("relay");
    QTest::newRow("none") << QStringList{} << false;
    QTest::newRow("relay") << QStringList{"relay"} << true;
    QTest::newRow("RELAY") << QStringList{"RELAY"} << true;
    QTest::newRow("Relay") << QStringList{"Relay"} << true;
    QTest::newRow("rElay") << QStringList{"rElay"} << false;
    QTest::newRow("relay1") << QStringList{"relay1"} << false;
    QTest::newRow("second") << QStringList{"x", "Relay"} << false;
    QTest::newRow("extra args") << QStringList{"relay", "x"} << true;
}

void StartupTest::relayMode()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, relay);
    QList<QByteArray> storage{"tervex"};
    for (const QString& a : arguments)
        storage.append(a.toLatin1());
    QVector<const char*> argv;
    for (const QByteArray& a : storage)
        argv.append(a.constData());
    QCOMPARE(Startup::isRelayMode(argv.size(), argv.constData()), relay);
}

void StartupTest::styleSheetFromResources()
{
    const QString css = Startup::styleSheet();
    QVERIFY(css.contains(QStringLiteral("mainWindow")));
    QVERIFY(css.contains(QStringLiteral("font-size: 13px")));
    QVERIFY(!css.contains(QChar(0)));
    for (const char* name : {"sts_table", "conn_btn", "survey_type_button", "panel_title", "files_lineedit",
                             "survey_progress", "measurements_header", "vertical_header_separator"})
        QVERIFY2(css.contains(QLatin1String(name)), name);
    QVERIFY(QFile::exists(QStringLiteral(":/plus.svg")));
    QVERIFY(QFile::exists(QStringLiteral(":/minus.svg")));
    QVERIFY(QFile::exists(QStringLiteral(":/fsi.svg")));
}

void StartupTest::interfaceLanguage_data()
{
    QTest::addColumn<QVariant>("setting");
    QTest::addColumn<QLocale>("system");
    QTest::addColumn<QString>("language");
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("no setting, Russian locale") << QVariant() << russian << "ru";
    QTest::newRow("no setting, no locale") << QVariant() << QLocale::c() << "ru";
    QTest::newRow("no setting, German locale") << QVariant() << german << "en";
    QTest::newRow("en over Russian locale") << QVariant("en") << russian << "en";
    QTest::newRow("ru over German locale") << QVariant("ru") << german << "ru";
    QTest::newRow("unknown setting follows locale") << QVariant("de") << german << "en";
    QTest::newRow("empty setting follows locale") << QVariant("") << russian << "ru";
}

void StartupTest::interfaceLanguage()
{
    QFETCH(QVariant, setting);
    QFETCH(QLocale, system);
    QFETCH(QString, language);
    QCOMPARE(Startup::interfaceLanguage(setting, system), language);
}

void StartupTest::englishCatalogueIsEmbedded()
{
    QCOMPARE(Startup::installTranslations(qApp, Startup::english()), QString());
    QCOMPARE(QCoreApplication::translate("TervexWidget", "Подключить"), QStringLiteral("Connect"));

    // The survey report file keeps its wording whatever the interface shows.
    SurveyReport report;
    const QString file = report.text(QStringLiteral("line.etr"), false);
    QVERIFY2(file.startsWith(QStringLiteral("Отчёт о съёмке line.etr\nСъёмка завершена.\n")), qPrintable(file));
    const QString shown = report.text(QStringLiteral("line.etr"), false, SurveyReport::Wording::Interface);
    QVERIFY2(shown.startsWith(QStringLiteral("Survey report line.etr\nThe survey is complete.\n")), qPrintable(shown));
}

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"
