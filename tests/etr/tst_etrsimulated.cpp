#include "etr/etrfile.h"
#include "etrtestfiles.h"
#include "testsupport.h"
#include "tools/stationsim/recordgenerator.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

// A survey over the simulator's two-layer earth, written with the survey's writer: the loader
// must find the apparent resistivity the earth model predicts.
class TestEtrSimulated : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }
    void apparentResistivityOfATwoLayerEarth();
};

void TestEtrSimulated::apparentResistivityOfATwoLayerEarth()
{
    const EarthModel earth(50.0, 6.0, 400.0);
    const double spacing = 5.0;
    const auto x = [spacing](int electrode) {
        return electrode == 0 ? std::numeric_limits<double>::infinity() : (electrode - 1) * spacing;
    };
    ElectrodeMap positions;
    for (int e = 1; e <= 24; ++e)
        positions.insert(e, {float(x(e)), 0.0f, 0.0f});

    // Wenner quadrupoles with growing spacing, and one pole-dipole with A at infinity.
    struct Step
    {
        int a;
        int b;
        QVector<QPair<int, int>> mn;
    };
    const QVector<Step> steps{{1, 4, {{2, 3}}}, {1, 7, {{3, 5}}}, {2, 11, {{5, 8}}}, {1, 22, {{8, 15}}},
                              {0, 10, {{11, 12}, {12, 13}, {13, 14}}}};

    const EtrTestFiles::Timing t;
    QByteArray bytes = EtrTestFiles::header(t, positions);
    QVector<double> expected;
    for (const Step& step : steps) {
        RecordSpec spec;
        spec.a = x(step.a);
        spec.b = x(step.b);
        spec.chargeability = 0.04;
        spec.decayTime = 80.0;
        spec.drift0 = 0.002;
        spec.drift1 = 1e-7;
        for (const auto& pair : step.mn) {
            spec.mn.append({x(pair.first), x(pair.second)});
            expected.append(earth.apparentResistivity(spec.a, spec.b, x(pair.first), x(pair.second)));
        }
        const GeneratedRecord record = generateRecord(earth, spec);
        QVector<EtrFormat::BlockChannel> channels;
        for (int c = 0; c < step.mn.size(); ++c)
            channels.append({step.mn.at(c).first, step.mn.at(c).second, record.channels.at(c)});
        bytes += EtrFormat::blockBytes(t.samples(), step.a, step.b, record.current, channels);
    }

    QTemporaryDir dir;
    QVERIFY(EtrTestFiles::write(dir.filePath(QStringLiteral("layered.etr")), bytes));
    EtrFile file;
    QVERIFY(file.load(dir.filePath(QStringLiteral("layered.etr"))));
    QVERIFY(file.isComplete());
    QVERIFY(!file.polarisationInvalid());

    int index = 0;
    for (const EtrBlock& block : file.blocks()) {
        QVERIFY(block.current > 0.0f);
        for (const EtrChannel& channel : block.channels) {
            const double rho = expected.at(index++);
            QVERIFY2(std::abs(channel.resistivity - rho) < 0.01 * rho,
                     qPrintable(QStringLiteral("%1 %2 %3 %4: %5 instead of %6")
                                    .arg(block.a).arg(block.b).arg(channel.m).arg(channel.n)
                                    .arg(channel.resistivity).arg(rho)));
            // A chargeable earth leaves a positive residual voltage in the pauses.
            QVERIFY(channel.chargeability > 0.0f);
        }
    }
    QCOMPARE(index, expected.size());
    // The shallow spacings see the top layer, the widest ones the resistive bottom.
    QVERIFY(file.blocks().at(0).channels.at(0).resistivity < 100.0f);
    QVERIFY(file.blocks().at(3).channels.at(0).resistivity > file.blocks().at(0).channels.at(0).resistivity);
}

QTEST_GUILESS_MAIN(TestEtrSimulated)
#include "tst_etrsimulated.moc"
