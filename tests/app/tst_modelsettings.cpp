#include "app/tervexmodel.h"
#include "station/settingsstore.h"
#include "testsupport.h"

#include <QDir>
#include <QSettings>
#include <QtTest>

// The model's persistent settings: defaults on first start, clamping of the test values,
// fallbacks for missing folders.
class ModelSettingsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }
    void init() { store().clear(); }

    void firstStartSeedsTheStore();
    void testValuesAreClamped_data();
    void testValuesAreClamped();
    void testValuesAppearWhenFirstRead();
    void seqPathFallsBackToHome();
    void storedValuesAreReadBack();

private:
    static QSettings& store()
    {
        static QSettings* s = SettingsStore::open();
        s->sync();
        return *s;
    }
};

void ModelSettingsTest::firstStartSeedsTheStore()
{
    {
        TervexModel model;
        QCOMPARE(model.dataPath(), QDir::homePath());
        QCOMPARE(model.seqPath(), QDir::homePath());
        QCOMPARE(model.usePolar(), false);
    }
    QSettings& s = store();
    QCOMPARE(s.value("dataPath").toString(), QDir::homePath());
    QCOMPARE(s.value("seqPath").toString(), QDir::homePath());
    QCOMPARE(s.value("usePolar").toBool(), false);
    QCOMPARE(s.value("command_port").toInt(), 6770);
    QCOMPARE(s.value("data_port").toInt(), 6771);
    QVERIFY(!s.value("tervex_host").toString().isEmpty());
    QVERIFY(!s.contains("testVoltage"));
    QVERIFY(!s.contains("testRBase"));
    QVERIFY(!s.contains("testRDelta"));
}

void ModelSettingsTest::testValuesAreClamped_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("stored");
    QTest::newRow("voltage 25") << "testVoltage" << "25" << 20;
    QTest::newRow("voltage 5") << "testVoltage" << "5" << 10;
    QTest::newRow("voltage abc") << "testVoltage" << "abc" << 20;
    QTest::newRow("voltage 15") << "testVoltage" << "15" << 15;
    QTest::newRow("rbase 49") << "testRBase" << "49" << 50;
    QTest::newRow("rbase 151") << "testRBase" << "151" << 150;
    QTest::newRow("rbase empty") << "testRBase" << "" << 100;
    QTest::newRow("rdelta 0") << "testRDelta" << "0" << 1;
    QTest::newRow("rdelta -3") << "testRDelta" << "-3" << 1;
    QTest::newRow("rdelta 26") << "testRDelta" << "26" << 25;
    QTest::newRow("rdelta empty") << "testRDelta" << "" << 10;
}

void ModelSettingsTest::testValuesAreClamped()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(int, stored);
    TervexModel model;
    if (key == "testVoltage") {
        model.setTestVoltage(text);
        QCOMPARE(model.testVoltage(), stored);
        QCOMPARE(model.testVoltageText(), QString::number(stored));
    } else if (key == "testRBase") {
        model.setTestRBase(text);
        QCOMPARE(model.testRBase(), stored);
    } else {
        model.setTestRDelta(text);
        QCOMPARE(model.testRDelta(), stored);
    }
    QCOMPARE(store().value(key).toInt(), stored);
}

void ModelSettingsTest::testValuesAppearWhenFirstRead()
{
    TervexModel model;
    QCOMPARE(model.testVoltage(), 20);
    QCOMPARE(model.testRBase(), 100);
    QCOMPARE(model.testRDeltaText(), QStringLiteral("10"));
    QCOMPARE(store().value("testVoltage").toInt(), 20);
    QCOMPARE(store().value("testRBase").toInt(), 100);
    QCOMPARE(store().value("testRDelta").toInt(), 10);
}

void ModelSettingsTest::seqPathFallsBackToHome()
{
    const QString missing = TestSupport::settingsFolder() + "/no-such-folder";
    {
        QSettings& s = store();
        s.setValue("seqPath", missing);
        s.setValue("dataPath", missing);
        s.sync();
    }
    TervexModel model;
    QCOMPARE(model.seqPath(), QDir::homePath());
    // The data folder is used as stored, even when it is gone.
    QCOMPARE(model.dataPath(), missing);
    model.setSeqPath(missing);
    QCOMPARE(model.seqPath(), QDir::homePath());
    model.setSeqPath(TestSupport::settingsFolder());
    QCOMPARE(model.seqPath(), TestSupport::settingsFolder());
    QCOMPARE(store().value("seqPath").toString(), TestSupport::settingsFolder());
}

void ModelSettingsTest::storedValuesAreReadBack()
{
    {
        TervexModel model;
        model.setUsePolar(true);
        model.setDataPath(TestSupport::settingsFolder());
    }
    TervexModel model;
    QCOMPARE(model.usePolar(), true);
    QCOMPARE(model.dataPath(), TestSupport::settingsFolder());
}

QTEST_GUILESS_MAIN(ModelSettingsTest)
#include "tst_modelsettings.moc"
