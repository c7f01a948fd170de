// Reciprocal and repeat pairs matched by electrode positions, the error models fitted to them,
// the data filter and the survey report's reciprocal section.
#include "station/settingsstore.h"
#include "testsupport.h"
#include "survey/dataerrors.h"
#include "survey/surveyreport.h"

#include <QSet>
#include <QtTest>

#include <cmath>
#include <memory>
#include <random>

namespace {

ElectrodeMap line(int count, float first, float spacing)
{
    ElectrodeMap positions;
    for (int e = 1; e <= count; ++e)
        positions.insert(e, {first + spacing * (e - 1), 0.0f, 0.0f});
    return positions;
}

SurveyDatum datum(const QuadrupoleLine& q, const ElectrodeMap& where, double resistance, double current = 0.1)
{
    SurveyDatum d;
    d.electrodes = q;
    d.a = where.value(q.a);
    d.b = where.value(q.b);
    d.m = where.value(q.m);
    d.n = where.value(q.n);
    d.current = current;
    d.voltage = resistance * current;
    d.geometricFactor = 10.0;
    d.resistivity = 10.0 * resistance;
    d.deviation = 0.5;
    return d;
}

DataFilter noFilter()
{
    DataFilter f;
    f.maxReciprocalError = 0.0;
    f.dropNonPositive = false;
    return f;
}

} // namespace

class ReciprocalErrorsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }
    void modelComesBack_data();
    void modelComesBack();
    void rollAlongPairsAcrossFiles();
    void signConventions();
    void filterCountsPerRule();
    void reportSection();
};

void ReciprocalErrorsTest::modelComesBack_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::newRow("linear") << int(ErrorModel::Kind::Linear) << 0.02 << 0.0002;
    QTest::newRow("power law") << int(ErrorModel::Kind::PowerLaw) << 0.03 << 1.3;
}

// Reciprocals whose |R - R'| is drawn around a known model give the model and its parameters back.
void ReciprocalErrorsTest::modelComesBack()
{
    QFETCH(int, kind);
    QFETCH(double, a);
    QFETCH(double, b);
    ErrorModel truth;
    truth.kind = ErrorModel::Kind(kind);
    truth.a = a;
    truth.b = b;

    std::mt19937 random(24);
    std::uniform_int_distribution<int> electrode(1, Electrodes::Count);
    std::uniform_real_distribution<double> logR(std::log(0.01), std::log(10.0));
    std::normal_distribution<double> normal;
    const ElectrodeMap where = line(Electrodes::Count, 0.0f, 5.0f);
    QVector<SurveyDatum> data;
    QSet<quint64> used;
    const int quadrupoles = 600;
    while (data.size() < 2 * quadrupoles) {
        int e[4];
        for (int& n : e)
            n = electrode(random);
        std::sort(std::begin(e), std::end(e));
        const QuadrupoleLine q{e[0], e[1], e[2], e[3]};
        if (e[0] == e[1] || e[1] == e[2] || e[2] == e[3] || used.contains(quadrupoleKey(q)))
            continue;
        used.insert(quadrupoleKey(q));
        const double r = std::exp(logR(random));
        // Normal noise of this spread has a mean |R - R'| equal to the model.
        const double spread = truth.difference(r) * std::sqrt(M_PI / 2.0);
        data.append(datum(q, where, r));
        data.append(datum({q.m, q.n, q.a, q.b}, where, r + spread * normal(random)));
    }
    // Pairs a contact spoilt, which the filter drops before the fit.
    const int spoilt = 30;
    for (int k = 0; k < spoilt; ++k) {
        const QuadrupoleLine q{k + 1, k + 2, k + 3, k + 4};
        if (used.contains(quadrupoleKey(q)))
            continue;
        const double r = std::exp(logR(random));
        data << datum(q, where, r) << datum({q.m, q.n, q.a, q.b}, where, 3.0 * r);
    }
    DataFilter filter = noFilter();
    filter.maxReciprocalError = 50.0;
    const DataErrors errors = DataErrors::analyse(data, filter);
    const ErrorModel& fitted = errors.fitted();
    QVERIFY(errors.droppedBy(DataFilter::ReciprocalError) > spoilt);
    QCOMPARE(fitted.pairs, quadrupoles);
    QCOMPARE(errors.pairCount(ErrorPair::Kind::Reciprocal), fitted.pairs + errors.droppedBy(DataFilter::ReciprocalError) / 2);
    QCOMPARE(fitted.bins, ErrorModel::MaxBins);
    qInfo("%s", qPrintable(fitted.text()));
    QCOMPARE(int(fitted.kind), kind);
    QVERIFY2(std::fabs(fitted.a / a - 1.0) < 0.2, qPrintable(fitted.text()));
    QVERIFY2(std::fabs(fitted.b / b - 1.0) < 0.2, qPrintable(fitted.text()));
    // Every datum carries the model's error at its own |R|.
    const SurveyDatum& d = data.at(7);
    QCOMPARE(errors.relativeError(7), fitted.difference(d.resistance()) / std::fabs(d.resistance()));

    DataFilter deviation = noFilter();
    deviation.errorSource = ErrorModel::Source::Deviation;
    const DataErrors byDeviation = DataErrors::analyse(data, deviation);
    QCOMPARE(int(byDeviation.model().kind), int(ErrorModel::Kind::Deviation));
    QCOMPARE(byDeviation.relativeError(7), ErrorModel::deviationError(data.at(7).deviation));

    // Too few pairs for a model: the deviation with its floor.
    const DataErrors few = DataErrors::analyse(data.mid(0, 2 * (ErrorModel::MinPairs - 1)), noFilter());
    QCOMPARE(int(few.model().kind), int(ErrorModel::Kind::Deviation));
}

// The second file of a roll-along line numbers its electrodes from its own start: the reciprocal
// pairs by where the electrodes stand, not by their numbers.
void ReciprocalErrorsTest::rollAlongPairsAcrossFiles()
{
    const ElectrodeMap first = line(24, 0.0f, 5.0f);
    // 60 m on, and a few millimetres off where the tape put the first.
    const ElectrodeMap second = line(24, 60.004f, 5.0f);
    QVector<SurveyDatum> data;
    data << datum({13, 14, 15, 16}, first, 2.0)      // x 60 65 70 75
         << datum({2, 3, 4, 5}, first, 1.0);         // x 5 10 15 20
    for (SurveyDatum& d : data)
        d.source = 0;
    // x 70 75 60 65: the reciprocal of the first; then the same numbers as the first, elsewhere.
    data << datum({3, 4, 1, 2}, second, 2.1) << datum({13, 14, 15, 16}, second, 5.0);
    data[2].source = data[3].source = 1;

    const QVector<ErrorPair> pairs = ErrorPair::find(data);
    QCOMPARE(pairs.size(), 1);
    QCOMPARE(int(pairs.first().kind), int(ErrorPair::Kind::Reciprocal));
    QCOMPARE(pairs.first().first, 0);
    QCOMPARE(pairs.first().second, 2);
    QCOMPARE(pairs.first().difference, 0.1);
    QCOMPARE(pairs.first().resistance, 2.05);
}

// Swapping the two electrodes of a dipole turns the sign of R: such data still pair, with the
// difference taken in one convention; a sign that really disagrees is an error, not a pair lost.
void ReciprocalErrorsTest::signConventions()
{
    const ElectrodeMap where = line(Electrodes::Count, 0.0f, 2.0f);
    QVector<SurveyDatum> data;
    data << datum({1, 2, 3, 4}, where, 2.0)
         << datum({4, 3, 1, 2}, where, -1.9)    // reciprocal with its current reversed
         << datum({2, 1, 4, 3}, where, 2.1)     // repeat with both dipoles reversed
         << datum({5, 6, 7, 8}, where, 3.0)
         << datum({7, 8, 6, 5}, where, 3.0);    // reciprocal whose sign disagrees
    // A pole-dipole datum (B at infinity) and its reciprocal.
    data << datum({10, Electrodes::None, 11, 12}, where, 0.5) << datum({11, 12, 10, Electrodes::None}, where, 0.55);
    // The reversed current reverses the geometric factor too.
    data[1].geometricFactor = -10.0;
    data[1].resistivity = 19.0;
    const DataErrors errors = DataErrors::analyse(data, DataFilter());
    QCOMPARE(errors.pairCount(ErrorPair::Kind::Reciprocal), 3);
    QCOMPARE(errors.pairCount(ErrorPair::Kind::Repeat), 1);
    QVERIFY(std::fabs(errors.reciprocalError(0) - 0.1 / 1.95) < 1e-9);
    QVERIFY(std::fabs(errors.reciprocalError(6) - 0.05 / 0.525) < 1e-9);
    QVERIFY(!errors.dropped(0) && !errors.dropped(1));
    QVERIFY(errors.dropped(3) && errors.dropped(4));
    QVERIFY(std::isnan(errors.reciprocalError(2)));
    QVERIFY(errors.dropped(5) == false);
}

// Each rule counts the data it drops, a datum failing two counts for both, a rule set to 0 drops
// nothing; the rules survive the settings store and out-of-range values are taken back.
void ReciprocalErrorsTest::filterCountsPerRule()
{
    const ElectrodeMap where = line(Electrodes::Count, 0.0f, 2.0f);
    QVector<SurveyDatum> data;
    data << datum({1, 2, 3, 4}, where, 1.0) << datum({3, 4, 1, 2}, where, 1.15)  // 14 % apart
         << datum({5, 6, 7, 8}, where, 1.0) << datum({7, 8, 5, 6}, where, 1.05)  // 5 %: kept
         << datum({9, 10, 11, 12}, where, -0.2)                                   // negative
         << datum({13, 14, 15, 16}, where, 1.0, 0.0005)                           // 0.5 mA
         << datum({17, 18, 19, 20}, where, -1.0, 0.0002);                         // both
    data[2].deviation = 8.0;
    SurveyDatum dead = datum({21, 22, 23, 24}, where, 1.0);
    dead.voltage = ChannelResult::NotComputed;
    data << dead;

    DataFilter filter;
    filter.maxDeviation = 5.0;
    filter.minCurrent = 1.0;
    const DataErrors errors = DataErrors::analyse(data, filter);
    QCOMPARE(errors.droppedBy(DataFilter::ReciprocalError), 2);
    QCOMPARE(errors.droppedBy(DataFilter::Deviation), 1);
    QCOMPARE(errors.droppedBy(DataFilter::NonPositiveResistivity), 2);
    QCOMPARE(errors.droppedBy(DataFilter::LowCurrent), 2);
    QCOMPARE(errors.droppedCount(), 6);
    QCOMPARE(errors.kept(data).size(), 2);
    QCOMPARE(errors.keptErrors().size(), 2);
    QVERIFY(!errors.dropped(3) && !errors.dropped(7));

    filter.maxReciprocalError = 0.0;
    filter.dropNonPositive = false;
    const DataErrors off = DataErrors::analyse(data, filter);
    QCOMPARE(off.droppedBy(DataFilter::ReciprocalError), 0);
    QCOMPARE(off.droppedBy(DataFilter::NonPositiveResistivity), 0);
    QCOMPARE(off.droppedCount(), 3);

    const std::unique_ptr<QSettings> store(SettingsStore::open());
    QSettings& settings = *store;
    QCOMPARE(DataFilter::fromSettings(settings).maxReciprocalError, DataFilter::DefaultMaxReciprocalError);
    filter.errorSource = ErrorModel::Source::Deviation;
    filter.save(settings);
    const DataFilter back = DataFilter::fromSettings(settings);
    QCOMPARE(back.maxReciprocalError, 0.0);
    QCOMPARE(back.maxDeviation, 5.0);
    QCOMPARE(back.dropNonPositive, false);
    QCOMPARE(back.minCurrent, 1.0);
    QCOMPARE(int(back.errorSource), int(ErrorModel::Source::Deviation));
    settings.setValue(SettingsStore::Key::maxDeviation(), -3);
    settings.setValue(SettingsStore::Key::minCurrent(), QStringLiteral("much"));
    QCOMPARE(DataFilter::fromSettings(settings).maxDeviation, 0.0);
    QCOMPARE(DataFilter::fromSettings(settings).minCurrent, DataFilter::DefaultMinCurrent);
}

// The report of a survey with reciprocals says how many pairs it found, their spread and the model.
void ReciprocalErrorsTest::reportSection()
{
    const ElectrodeMap where = line(Electrodes::Count, 0.0f, 2.0f);
    SurveyReport report;
    for (int k = 0; k < 12; ++k) {
        const QuadrupoleLine q{1 + k, 2 + k, 3 + k, 4 + k};
        const double r = 0.1 * (k + 1);
        report.addData({datum(q, where, r)});
        report.addData({datum({q.m, q.n, q.a, q.b}, where, r * (1.0 + 0.01 * (k % 3 + 1)))});
    }
    const QString text = report.text(QStringLiteral("line.etr"), false);
    QVERIFY2(text.contains(QStringLiteral("Взаимных пар: 12\n")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Взаимная погрешность: медиана 2.0 %, 90-й процентиль 3.0 %")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Модель погрешности: |ΔR| = ")), qPrintable(text));
}

QTEST_GUILESS_MAIN(ReciprocalErrorsTest)
#include "tst_reciprocalerrors.moc"
