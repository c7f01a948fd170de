#include "testsupport.h"
#include "measurement/tervexcalculator.h"
#include "station/tervexsettings.h"
#include "survey/surveydatamanager.h"
#include "ui/measurementstablemodel.h"
#include "ui/settingstableitemdelegate.h"
#include "ui/stationinfotablemodel.h"
#include "ui/stationsettingstablemodel.h"

#include <QSpinBox>
#include <QTableView>
#include <QtTest>

#include <tuple>

namespace {

// A calculator whose results are set by the test, so every cell text is known in advance.
class FixedResultsCalculator : public TervexCalculator
{
public:
    QMap<int, ChannelResult> channelResults() const override { return results; }
    QMap<int, ChannelResult> results;
};

ChannelResult makeResult(float k, float rho, float volts, float scatter, int m, int n)
{
    ChannelResult r;
    std::tie(r.geometricFactor, r.resistivity, r.voltage, r.scatter, r.m, r.n) = std::make_tuple(k, rho, volts, scatter, m, n);
    return r;
}

QStringList rowTexts(const QAbstractItemModel& model, int row)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts << model.index(row, column).data().toString();
    return texts;
}

QStringList headers(const QAbstractItemModel& model)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts << model.headerData(column, Qt::Horizontal).toString();
    return texts;
}

ElectrodeSettings twoChannels()
{
    ElectrodeSettings settings;
    // available, enabled, number, M, N, gain code
    settings.channels = {{1, 1, 1, 3, 4, 0}, {0, 1, 2, 5, 6, 11}};
    return settings;
}

}

class TestStationTables : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void stationInfoShowsVersionsAndStatusCodes();
    void settingsTableTextsAndGainFactors();
    void settingsTableEditsOnlyElectrodesAndSwitch();
    void settingsTableKeepsSwitchAcrossStationRefresh();
    void delegateEditsThroughARealView();
    void measurementsTableShowsResultsByChannel();
};

void TestStationTables::stationInfoShowsVersionsAndStatusCodes()
{
    StationInfo info;
    info.channels = {{1, 2, 7, 0, 0}, {2, 1, 10, 0x02, 0x01}, {3, 0, 0, 0xab, 0}, {4, 0, 0, 0x1ff, 0x100}};
    StationInfoTableModel model(&info);

    QCOMPARE(headers(model), QStringList({"Канал", "Версия ПО", "Статус"}));
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(rowTexts(model, 0), QStringList({"1", "2.7", "готов"}));
    QCOMPARE(rowTexts(model, 1), QStringList({"2", "1.10", "ошибка: 0x0102"}));
    QCOMPARE(rowTexts(model, 2).last(), QStringLiteral("ошибка: 0x00ab"));
    // Only the low byte of each widened status word is part of the code.
    QCOMPARE(rowTexts(model, 3).last(), QStringLiteral("ошибка: 0x00ff"));

    QCOMPARE(model.index(1, 2).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    QVERIFY(!model.index(1, 2).data(Qt::EditRole).isValid());
    QVERIFY(!model.index(4, 0).data().isValid());
    QVERIFY(!model.data(QModelIndex(), Qt::TextAlignmentRole).isValid());
    QVERIFY(!model.headerData(0, Qt::Vertical).isValid());
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
}

void TestStationTables::settingsTableTextsAndGainFactors()
{
    ElectrodeSettings settings = twoChannels();
    StationSettingsTableModel model(&settings);

    QCOMPARE(headers(model), QStringList({"Вкл", "#", "Pm", "Pn", "Усил."}));
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(model.index(1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QVERIFY(!model.index(0, 0).data(Qt::DisplayRole).isValid());
    QCOMPARE(rowTexts(model, 0), QStringList({"", "1", "3", "4", "0.125"}));
    QCOMPARE(model.index(0, 2).data(Qt::EditRole).toInt(), 3);
    // A code the station does not define shows nothing.
    QCOMPARE(model.index(1, 4).data().toString(), QString());
    QVERIFY(!model.index(1, 1).data(Qt::CheckStateRole).isValid());

    QStringList factors;
    for (int code = 0; code <= 11; ++code) {
        settings.channels[0].gain = quint16(code);
        factors << model.index(0, 4).data().toString();
    }
    QCOMPARE(factors, QStringList({"0.125", "0.250", "0.500", "1", "2", "4", "8", "16", "32", "64", "128", ""}));
}

void TestStationTables::settingsTableEditsOnlyElectrodesAndSwitch()
{
    ElectrodeSettings settings = twoChannels();
    StationSettingsTableModel model(&settings);

    QCOMPARE(model.flags(QModelIndex()), Qt::ItemIsEnabled);
    QCOMPARE(model.flags(model.index(0, 0)), Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
    for (int column : {1, 4})
        QVERIFY(!(model.flags(model.index(0, column)) & Qt::ItemIsEditable));
    for (int column : {2, 3})
        QVERIFY(model.flags(model.index(0, column)) & Qt::ItemIsEditable);

    // The switch flips whatever state is passed in.
    QVERIFY(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(settings.channels[0].available, quint8(0));
    QVERIFY(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(settings.channels[0].available, quint8(1));
    QVERIFY(model.setData(model.index(1, 0), Qt::Unchecked, Qt::CheckStateRole));
    QCOMPARE(settings.channels[1].available, quint8(1));
    // Only `available` flips: what the station reported as enabled stays as it was.
    settings.channels[0].enabled = 0;
    QVERIFY(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(settings.channels[0].available, quint8(0));
    QVERIFY(model.setData(model.index(0, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(settings.channels[0].enabled, quint8(0));

    QVERIFY(model.setData(model.index(1, 2), 17));
    QVERIFY(model.setData(model.index(1, 3), QStringLiteral("18")));
    QCOMPARE(settings.channels[1].electrodeM, quint16(17));
    QCOMPARE(settings.channels[1].electrodeN, quint16(18));

    QVERIFY(!model.setData(model.index(1, 1), 40));
    QVERIFY(!model.setData(model.index(1, 4), 3));
    QCOMPARE(settings.channels[1].number, quint16(2));
}

void TestStationTables::settingsTableKeepsSwitchAcrossStationRefresh()
{
    TervexSettings mirror;
    StationSettingsTableModel model(mirror.electrodeSettings());
    connect(&mirror, &ITervexSettings::updating, &model, &StationSettingsTableModel::beginResetModel);
    connect(&mirror, &ITervexSettings::updated, &model, &StationSettingsTableModel::endResetModel);

    StationProperties properties;
    properties.channelCount = 2;
    properties.channels.resize(2);
    properties.channels[0] = {1, 1, 0, 7, 8, 3, 0, 0};
    properties.channels[1] = {2, 1, 0, 9, 10, 4, 0, 0};
    mirror.updateFrom(properties);
    QCOMPARE(model.rowCount(), 2);

    QVERIFY(model.setData(model.index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QVERIFY(model.setData(model.index(0, 2), 30));
    mirror.updateFrom(properties);
    QCOMPARE(model.index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(model.index(0, 2).data().toString(), QStringLiteral("7"));
    QCOMPARE(model.index(1, 4).data().toString(), QStringLiteral("2"));
}

void TestStationTables::delegateEditsThroughARealView()
{
    ElectrodeSettings settings = twoChannels();
    StationSettingsTableModel model(&settings);
    SettingsTableItemDelegate delegate;
    QTableView view;
    view.setModel(&model);
    view.setItemDelegate(&delegate);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    view.setCurrentIndex(model.index(0, 2));
    view.edit(model.index(0, 2));
    auto* spinBox = view.viewport()->findChild<QSpinBox*>();
    QVERIFY(spinBox);
    QCOMPARE(spinBox->value(), 3);
    QCOMPARE(spinBox->minimum(), 0);
    QCOMPARE(spinBox->maximum(), 48);
    spinBox->selectAll();
    // "49" is beyond the cable, so the second digit is refused.
    QTest::keyClicks(spinBox, QStringLiteral("49"));
    QTest::keyClick(spinBox, Qt::Key_Return);
    // The view commits the editor from the event loop.
    QTRY_COMPARE(settings.channels[0].electrodeM, quint16(4));
    QTRY_VERIFY(!view.viewport()->findChild<QSpinBox*>());

    view.setCurrentIndex(model.index(0, 1));
    view.edit(model.index(0, 1));
    QVERIFY(!view.viewport()->findChild<QSpinBox*>());

    // Handed a spin box for a column it does not edit, the delegate writes nothing.
    QSpinBox stray;
    stray.setValue(12);
    delegate.setModelData(&stray, &model, model.index(1, 1));
    QCOMPARE(settings.channels[1].number, quint16(2));

    view.setCurrentIndex(model.index(1, 0));
    QTest::keyClick(&view, Qt::Key_Space);
    QCOMPARE(settings.channels[1].available, quint8(1));
}

void TestStationTables::measurementsTableShowsResultsByChannel()
{
    MeasurementsTableModel empty(nullptr);
    QCOMPARE(empty.rowCount(), 0);

    SurveyDataManager manager;
    MeasurementsTableModel model(&manager);
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(headers(model), QStringList({"Rho, Ω", "U, mV", "q, %", "K", "Pm", "Pn"}));

    FixedResultsCalculator calculator;
    manager.setSources(nullptr, &calculator, nullptr, nullptr);
    QCOMPARE(model.rowCount(), 0);

    calculator.results.insert(7, makeResult(75.398f, 12.5f, 0.0031f, 3.0f, 5, 6));
    calculator.results.insert(2, makeResult(0.0f, 1234.5678f, 0.25f, 0.125f, 1, 2));
    calculator.results.insert(5, ChannelResult());
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(rowTexts(model, 0), QStringList({"1234.568", "250", "0.125", "0", "1", "2"}));
    QCOMPARE(rowTexts(model, 1), QStringList({"-100000", "-100000000", "-100000", "-100000", "0", "0"}));
    QCOMPARE(rowTexts(model, 2), QStringList({"12.5", "3.1", "3", "75.398", "5", "6"}));
    QVERIFY(!model.index(3, 0).data().isValid());
    QVERIFY(!(model.flags(model.index(0, 0)) & Qt::ItemIsEditable));
}

QTEST_MAIN(TestStationTables)
#include "tst_stationtables.moc"
