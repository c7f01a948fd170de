#include "etr/etrfile.h"
#include "etr/inversiondataset.h"
#include "etr/inversionwriters.h"
#include "etrtestfiles.h"
#include "survey/linemetadata.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>
#include <vector>

using namespace EtrTestFiles;

namespace {

// What the inversion programs' readers demand of a number: plain digits with a decimal point.
bool fixedNumber(const QString& token)
{
    static const QRegularExpression pattern(QStringLiteral("^-?[0-9]+\\.[0-9]+$"));
    return pattern.match(token).hasMatch();
}

bool integer(const QString& token)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9]+$"));
    return pattern.match(token).hasMatch();
}

// One datum as read back: electrode x, z (infinity: x = NaN) and the values by column name.
struct ReadDatum
{
    double x[4];
    double z[4];
    QMap<QString, double> value;
};

struct ReadBack
{
    QString error;
    int electrodeCount = 0;
    QVector<ReadDatum> data;
    QStringList columns;
    QStringList headerLines;
};

QStringList words(const QString& line)
{
    return line.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

// Floats of `tokens` from `from` on, every one checked; false (with the error set) on the first bad one.
bool numbers(const QStringList& tokens, int from, QVector<double>* values, QString* error, int line)
{
    for (int i = from; i < tokens.size(); ++i) {
        if (!fixedNumber(tokens.at(i))) {
            *error = QStringLiteral("line %1: '%2' is not a fixed-point number").arg(line).arg(tokens.at(i));
            return false;
        }
        values->append(tokens.at(i).toDouble());
    }
    return true;
}

// The unified data format as pyGIMLi/BERT read it.
ReadBack readOhm(const QByteArray& bytes)
{
    ReadBack r;
    const QStringList lines = QString::fromLatin1(bytes).split(QLatin1Char('\n'));
    int i = 0;
    const auto fail = [&](const QString& why) {
        r.error = QStringLiteral("line %1: %2").arg(i + 1).arg(why);
        return r;
    };
    if (!integer(lines.value(i).trimmed()))
        return fail(QStringLiteral("electrode count"));
    r.electrodeCount = lines.at(i++).toInt();
    const QString electrodeHeader = lines.value(i++);
    if (electrodeHeader != QLatin1String("# x z") && electrodeHeader != QLatin1String("# x y z"))
        return fail(QStringLiteral("electrode columns '%1'").arg(electrodeHeader));
    const bool withY = electrodeHeader.contains(QLatin1Char('y'));
    QVector<QVector<double>> electrodes;
    for (int e = 0; e < r.electrodeCount; ++e, ++i) {
        QVector<double> xyz;
        const QStringList t = words(lines.value(i));
        if (t.size() != (withY ? 3 : 2) || !numbers(t, 0, &xyz, &r.error, i + 1))
            return r.error.isEmpty() ? fail(QStringLiteral("electrode row")) : r;
        electrodes.append(xyz);
    }
    if (!integer(lines.value(i).trimmed()))
        return fail(QStringLiteral("data count"));
    const int count = lines.at(i++).toInt();
    const QStringList header = words(lines.value(i++));
    if (header.value(0) != QLatin1String("#"))
        return fail(QStringLiteral("data columns"));
    r.columns = header.mid(1);
    if (r.columns.mid(0, 4) != QStringList{"a", "b", "m", "n"})
        return fail(QStringLiteral("data columns"));
    for (int d = 0; d < count; ++d, ++i) {
        const QStringList t = words(lines.value(i));
        if (t.size() != r.columns.size())
            return fail(QStringLiteral("%1 fields for %2 columns").arg(t.size()).arg(r.columns.size()));
        ReadDatum datum;
        for (int k = 0; k < 4; ++k) {
            if (!integer(t.at(k)) || t.at(k).toInt() > r.electrodeCount)
                return fail(QStringLiteral("electrode index '%1'").arg(t.at(k)));
            const int index = t.at(k).toInt();
            datum.x[k] = index == 0 ? NAN : electrodes.at(index - 1).first();
            datum.z[k] = index == 0 ? NAN : electrodes.at(index - 1).last();
        }
        QVector<double> values;
        if (!numbers(t, 4, &values, &r.error, i + 1))
            return r;
        for (int k = 4; k < t.size(); ++k)
            datum.value.insert(r.columns.at(k), values.at(k - 4));
        r.data.append(datum);
    }
    if (!lines.value(i).isEmpty() || i + 1 != lines.size())
        return fail(QStringLiteral("text after the data"));
    return r;
}

// ResIPy's "Syscal" table.
ReadBack readResIPy(const QByteArray& bytes)
{
    ReadBack r;
    QStringList lines = QString::fromLatin1(bytes).split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    r.columns = lines.value(0).split(QLatin1Char(','));
    const bool withZ = r.columns.contains(QLatin1String("zA (m)"));
    const QStringList place{"A", "B", "M", "N"};
    for (int i = 1; i < lines.size(); ++i) {
        const QStringList t = lines.at(i).split(QLatin1Char(','));
        QVector<double> values;
        if (t.size() != r.columns.size()) {
            r.error = QStringLiteral("line %1: %2 fields for %3 columns").arg(i + 1).arg(t.size()).arg(r.columns.size());
            return r;
        }
        if (!numbers(t, 0, &values, &r.error, i + 1))
            return r;
        ReadDatum datum;
        for (int k = 0; k < t.size(); ++k)
            datum.value.insert(r.columns.at(k), values.at(k));
        for (int k = 0; k < 4; ++k) {
            const double x = datum.value.value(QStringLiteral("x%1 (m)").arg(place.at(k)));
            datum.x[k] = x == 99999.0 ? NAN : x;
            datum.z[k] = std::isnan(datum.x[k]) ? NAN : withZ ? datum.value.value(QStringLiteral("z%1 (m)").arg(place.at(k))) : 0.0;
        }
        r.data.append(datum);
    }
    return r;
}

// Res2DInv's general array file. The three-electrode row leaves out the current electrode at infinity.
ReadBack readRes2DInv(const QByteArray& bytes)
{
    ReadBack r;
    QStringList lines = QString::fromLatin1(bytes).split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    if (lines.contains(QString()) || lines.size() < 13) {
        r.error = QStringLiteral("blank line or too short");
        return r;
    }
    if (lines.at(0).contains(QLatin1String("Type"), Qt::CaseInsensitive) || !fixedNumber(lines.at(1))
        || lines.at(2) != QLatin1String("11") || lines.at(3) != QLatin1String("0")
        || lines.at(4) != QLatin1String("Type of measurement (0=app. resistivity,1=resistance)")
        || lines.at(5) != QLatin1String("0") || !integer(lines.at(6)) || lines.at(7) != QLatin1String("1")) {
        r.error = QStringLiteral("header");
        return r;
    }
    const int count = lines.at(6).toInt();
    const bool ip = lines.at(8) == QLatin1String("1");
    int i = 9;
    if (ip) {
        QVector<double> window;
        if (lines.at(9) != QLatin1String("Chargeability") || lines.at(10) != QLatin1String("mV/V")
            || words(lines.at(11)).size() != 2 || !numbers(words(lines.at(11)), 0, &window, &r.error, 12)) {
            r.error = QStringLiteral("chargeability header");
            return r;
        }
        r.headerLines = lines.mid(9, 3);
        i = 12;
    }
    for (int d = 0; d < count; ++d, ++i) {
        const QStringList t = words(lines.value(i));
        const int electrodes = t.value(0).toInt();
        QVector<double> values;
        if ((electrodes != 3 && electrodes != 4) || t.size() != 1 + 2 * electrodes + (ip ? 2 : 1)
            || !numbers(t, 1, &values, &r.error, i + 1)) {
            r.error = QStringLiteral("line %1: data row '%2'").arg(i + 1).arg(lines.value(i));
            return r;
        }
        ReadDatum datum;
        // B is the electrode at infinity in the files here.
        for (int k = 0, e = 0; k < 4; ++k) {
            if (electrodes == 3 && k == 1) {
                datum.x[k] = datum.z[k] = NAN;
                continue;
            }
            datum.x[k] = values.at(2 * e);
            datum.z[k] = values.at(2 * e + 1);
            ++e;
        }
        datum.value.insert(QStringLiteral("rhoa"), values.at(2 * electrodes));
        if (ip)
            datum.value.insert(QStringLiteral("ip"), values.at(2 * electrodes + 1));
        r.data.append(datum);
    }
    if (lines.mid(i) != QStringList{"0", "0", "0", "0"})
        r.error = QStringLiteral("trailer");
    return r;
}

ReadBack readBack(InversionFormat format, const QByteArray& bytes)
{
    switch (format) {
    case InversionFormat::Ohm:
        return readOhm(bytes);
    case InversionFormat::ResIPy:
        return readResIPy(bytes);
    case InversionFormat::Res2DInv:
        return readRes2DInv(bytes);
    }
    return {};
}

// Within the seven significant digits written.
bool close(double read, double source)
{
    return std::fabs(read - source) <= 1e-6 * std::fabs(source) + 1e-15;
}

bool samePlace(double read, const ElectrodePosition* e, bool zCoordinate)
{
    if (!e)
        return std::isnan(read);
    return std::fabs(read - (zCoordinate ? e->z : e->x)) <= 0.0005;
}

// A channel whose samples vary from period to period, so that its deviation is not zero.
EtrFormat::BlockChannel wobblingChannel(const Timing& t, int m, int n, float voltage, float wobble)
{
    EtrFormat::BlockChannel c = channel(t, m, n, voltage);
    const int period = 2 * (t.pulse + t.pause);
    for (int i = 0; i < c.samples.size(); ++i) {
        if (c.samples[i] != 0.0f)
            c.samples[i] *= 1.0f + wobble * float(i / period);
    }
    return c;
}

} // namespace

class TestInversionExport : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void rollAlongFilesMergeIntoOneLine();
    void electrodeAtInfinity();
    void elevation();
    void notComputedDataAreLeftOutWithTheReason();
    void repeatedQuadrupoles();
    void commandLine();

private:
    std::unique_ptr<EtrFile> load(const QString& name, const QByteArray& bytes);

    QTemporaryDir m_dir;
    std::vector<std::unique_ptr<EtrFile>> m_files;
};

std::unique_ptr<EtrFile> TestInversionExport::load(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir.filePath(name);
    auto file = std::make_unique<EtrFile>();
    if (!write(path, bytes) || !file->load(path))
        return nullptr;
    return file;
}

void TestInversionExport::roundTrip_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("ip");
    for (InversionFormat f : {InversionFormat::Ohm, InversionFormat::ResIPy, InversionFormat::Res2DInv}) {
        QTest::newRow(qPrintable(InversionWriters::name(f))) << int(f) << false;
        QTest::newRow(qPrintable(InversionWriters::name(f) + QStringLiteral(" ip"))) << int(f) << true;
    }
}

// Every position and value read back equals what the dataset holds, and the file follows the readers' rules.
void TestInversionExport::roundTrip()
{
    QFETCH(int, format);
    QFETCH(bool, ip);
    const Timing t;
    // The line's description travels into the format that has room for it.
    LineMetadata metadata;
    metadata.set(LineMetadata::LineName, QStringLiteral("Профиль 7"));
    metadata.set(LineMetadata::Longitude, QStringLiteral("3736.1234"));
    metadata.set(LineMetadata::Latitude, QStringLiteral("5545.9876"));
    metadata.set(LineMetadata::Altitude, QStringLiteral("151.0"));
    QByteArray bytes = EtrFormat::headerBytes(t.pulse, t.pause, t.repeats, straightLine(Electrodes::Count),
                                              metadata.toHeaderArea(EtrFormat::HeaderAreaSize));
    bytes += block(t, 1, 4, 0.05f, {wobblingChannel(t, 2, 3, 0.0123f, 0.01f)});
    // Small voltages, far apart: the fixed notation must keep their digits.
    bytes += block(t, 10, 40, 0.2f, {wobblingChannel(t, 20, 21, 0.000031f, 0.02f), channel(t, 22, 23, 0.00002f)});
    const auto file = load(QStringLiteral("line.etr"), bytes);
    QVERIFY(file);
    const InversionDataset dataset = InversionDataset::fromFiles({file.get()});
    QCOMPARE(dataset.data.size(), 3);
    QVERIFY(dataset.hasY());

    const InversionOptions options{InversionFormat(format), ip};
    InversionReport report;
    const QByteArray content = InversionWriters::content(dataset, options, &report);
    QVERIFY(!content.contains("nan") && !content.contains("inf"));
    const ReadBack read = readBack(options.format, content);
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    QCOMPARE(report.written, 3);
    QCOMPARE(read.data.size(), 3);

    for (int i = 0; i < read.data.size(); ++i) {
        const SurveyDatum& source = dataset.data.at(i);
        const ReadDatum& got = read.data.at(i);
        const QuadrupoleLine& q = source.electrodes;
        const int numbers[4] = {q.a, q.b, q.m, q.n};
        for (int k = 0; k < 4; ++k) {
            QVERIFY(samePlace(got.x[k], dataset.electrode(numbers[k]), false));
            if (options.format != InversionFormat::ResIPy)
                QVERIFY(samePlace(got.z[k], dataset.electrode(numbers[k]), true));
        }
        QMap<QString, double> expected;
        switch (options.format) {
        case InversionFormat::Ohm:
            expected = {{"u", source.voltage}, {"i", source.current}, {"r", source.resistance()},
                        {"k", source.geometricFactor}, {"rhoa", source.resistivity}, {"err", source.deviation / 100}};
            if (ip)
                expected.insert(QStringLiteral("ip"), source.chargeability * 10);
            break;
        case InversionFormat::ResIPy:
            expected = {{"VMN (mV)", source.voltage * 1000}, {"IAB (mA)", source.current * 1000},
                        {"Dev. Rho (%)", source.deviation}, {"Rho (Ohm.m)", source.resistivity},
                        {"TM1 (ms)", source.windowWidth}};
            if (ip) {
                expected.insert(QStringLiteral("M (mV/V)"), source.chargeability * 10);
                for (int j = 0; j < SurveyDatum::WindowCount; ++j)
                    expected.insert(QStringLiteral("M%1 (mV/V)").arg(j + 1), source.decay[j] * 10);
            }
            break;
        case InversionFormat::Res2DInv:
            expected = {{"rhoa", source.resistivity}};
            if (ip)
                expected.insert(QStringLiteral("ip"), source.chargeability * 10);
            break;
        }
        QCOMPARE(got.value.size(), expected.size() + (options.format == InversionFormat::ResIPy ? 4 : 0));
        for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
            QVERIFY2(got.value.contains(it.key()), qPrintable(it.key()));
            QVERIFY2(close(got.value.value(it.key()), it.value()),
                     qPrintable(QStringLiteral("%1: %2 read, %3 written").arg(it.key()).arg(got.value.value(it.key()), 0, 'g', 10).arg(it.value(), 0, 'g', 10)));
        }
    }
    // Only the general array file has a title; the other readers take no extra line.
    if (options.format == InversionFormat::Res2DInv) {
        QVERIFY(QString::fromUtf8(content.left(content.indexOf('\n'))).contains(QStringLiteral("Профиль 7")));
        QVERIFY(content.left(content.indexOf('\n')).contains("3736.1234 5545.9876 151.0"));
    }
    // A deviation that is not zero made it through.
    QVERIFY(dataset.data.first().deviation > 0.01);
    if (options.format == InversionFormat::Res2DInv && ip)
        QCOMPARE(read.headerLines.last(), QStringLiteral("0.01600000 0.4680000"));
}

// Two files of a roll-along line, each numbering its electrodes 1..48, the second moved on by 24
// electrodes: one line of 72 electrodes, the data of both on it.
void TestInversionExport::rollAlongFilesMergeIntoOneLine()
{
    const Timing t;
    ElectrodeMap second;
    for (int e = 1; e <= Electrodes::Count; ++e)
        second.insert(e, {5.0f * (e - 1 + 24), 0.0f, 0.0f});
    ElectrodeMap first = second;
    for (auto& p : first)
        p.x -= 120.0f;
    const auto one = load(QStringLiteral("roll1.etr"), header(t, first) + block(t, 1, 4, 0.05f, {channel(t, 2, 3, 0.01f)})
                                                        + block(t, 25, 28, 0.05f, {channel(t, 26, 27, 0.02f)}));
    // Its 1 4 2 3 is the first file's 25 28 26 27: the same quadrupole, measured again.
    const auto two = load(QStringLiteral("roll2.etr"), header(t, second) + block(t, 1, 4, 0.05f, {channel(t, 2, 3, 0.03f)})
                                                        + block(t, 45, 48, 0.05f, {channel(t, 46, 47, 0.04f)}));
    QVERIFY(one && two);
    const InversionDataset dataset = InversionDataset::fromFiles({one.get(), two.get()});
    QCOMPARE(dataset.electrodes.size(), 72);
    QCOMPARE(dataset.electrodes.first().x, 0.0f);
    QCOMPARE(dataset.electrodes.last().x, 355.0f);
    QCOMPARE(dataset.unitSpacing(), 5.0);
    QCOMPARE(dataset.data.size(), 3);
    QCOMPARE(dataset.data.at(1).electrodes.a, 25);
    QCOMPARE(dataset.data.at(1).source, 1);
    QCOMPARE(dataset.data.at(2).electrodes.a, 69);
    QVERIFY(dataset.notes.isEmpty());

    InversionReport report;
    const ReadBack read = readOhm(InversionWriters::content(dataset, {}, &report));
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    QCOMPARE(read.electrodeCount, 72);
    QCOMPARE(read.data.at(2).x[0], 340.0);
    QCOMPARE(read.data.at(2).x[3], 350.0);
}

// Pole-dipole: B at infinity is index 0, x 99999 and a three-electrode row.
void TestInversionExport::electrodeAtInfinity()
{
    const Timing t;
    const auto file = load(QStringLiteral("pole.etr"), header(t, straightLine(Electrodes::Count))
                                                          + block(t, 5, Electrodes::None, 0.05f, {channel(t, 6, 7, 0.01f)}));
    QVERIFY(file);
    const InversionDataset dataset = InversionDataset::fromFiles({file.get()});
    QCOMPARE(dataset.data.size(), 1);
    QVERIFY(dataset.data.first().geometricFactor > 0.0);
    for (InversionFormat f : {InversionFormat::Ohm, InversionFormat::ResIPy, InversionFormat::Res2DInv}) {
        InversionReport report;
        const QByteArray content = InversionWriters::content(dataset, {f, true}, &report);
        const ReadBack read = readBack(f, content);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.data.size(), 1);
        QVERIFY(std::isnan(read.data.first().x[1]));
        QCOMPARE(read.data.first().x[0], 20.0);
        QVERIFY(close(read.data.first().value.value(f == InversionFormat::ResIPy ? "Rho (Ohm.m)" : "rhoa"),
                      dataset.data.first().resistivity));
    }
}

// Elevation goes with every electrode, the same height in every row; a second file that puts an
// electrode at another height keeps the first and says so.
void TestInversionExport::elevation()
{
    const Timing t;
    ElectrodeMap hill;
    for (int e = 1; e <= 8; ++e)
        hill.insert(e, {2.0f * (e - 1), 0.0f, 100.0f + 0.25f * e * e});
    const QByteArray blocks = block(t, 1, 4, 0.05f, {channel(t, 2, 3, 0.01f)})
        + block(t, 2, 5, 0.05f, {channel(t, 3, 4, 0.01f)}) + block(t, 5, 8, 0.05f, {channel(t, 6, 7, 0.01f)});
    ElectrodeMap moved = hill;
    moved[3].z += 1.5f;
    const auto one = load(QStringLiteral("hill.etr"), header(t, hill) + blocks);
    const auto two = load(QStringLiteral("hill2.etr"), header(t, moved) + block(t, 1, 4, 0.05f, {channel(t, 3, 2, 0.01f)}));
    QVERIFY(one && two);
    const InversionDataset dataset = InversionDataset::fromFiles({one.get(), two.get()});
    QVERIFY(dataset.hasElevation());
    QVERIFY(!dataset.hasY());
    QCOMPARE(dataset.notes.size(), 1);
    QVERIFY(dataset.notes.first().contains(QLatin1String("hill2.etr")));

    for (InversionFormat f : {InversionFormat::Ohm, InversionFormat::ResIPy, InversionFormat::Res2DInv}) {
        InversionReport report;
        const QByteArray content = InversionWriters::content(dataset, {f, false}, &report);
        QCOMPARE(report.notes, dataset.notes);
        const ReadBack read = readBack(f, content);
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        QCOMPARE(read.data.size(), 4);
        if (f == InversionFormat::Ohm)
            QVERIFY(content.startsWith("8\n# x z\n"));
        if (f == InversionFormat::ResIPy)
            QVERIFY(read.columns.contains(QStringLiteral("zN (m)")));
        QMap<double, double> heightAt;
        for (const ReadDatum& d : read.data) {
            for (int k = 0; k < 4; ++k) {
                const double expected = 100.0 + 0.25 * std::pow(d.x[k] / 2.0 + 1.0, 2);
                QVERIFY2(std::fabs(d.z[k] - expected) < 0.0005, qPrintable(QString::number(d.z[k])));
                QVERIFY(heightAt.value(d.x[k], d.z[k]) == d.z[k]);
                heightAt.insert(d.x[k], d.z[k]);
            }
        }
    }
}

// A record without current and a channel whose electrodes coincide are left out; the report
// counts them with their reasons, and the counts in the file are those of the rows written.
void TestInversionExport::notComputedDataAreLeftOutWithTheReason()
{
    const Timing t;
    const Timing shortPause{500, 100, 3};
    const auto file = load(QStringLiteral("gaps.etr"),
                           header(t, straightLine(12)) + block(t, 1, 4, 0.05f, {channel(t, 2, 3, 0.01f)})
                               + block(t, 5, 8, 0.0f, {channel(t, 6, 7, 0.01f), channel(t, 7, 6, 0.01f)})
                               + block(t, 9, 12, 0.05f, {channel(t, 10, 10, 0.01f)})
                               // An electrode the coordinate table does not have.
                               + block(t, 9, 20, 0.05f, {channel(t, 10, 11, 0.01f)}));
    const auto noIp = load(QStringLiteral("noip.etr"), header(shortPause, straightLine(4))
                                                           + block(shortPause, 1, 4, 0.05f, {channel(shortPause, 2, 3, 0.01f)}));
    QVERIFY(file && noIp);
    const InversionDataset dataset = InversionDataset::fromFiles({file.get()});
    QCOMPARE(dataset.leftOut.value(InversionDataset::noCoordinatesReason()), 1);

    const QString path = m_dir.filePath(QStringLiteral("gaps.ohm"));
    const InversionReport report = InversionWriters::writeFile(dataset, {}, path);
    QVERIFY(report.ok());
    QCOMPARE(report.written, 1);
    QCOMPARE(report.leftOut.value(InversionWriters::notComputedReason()), 2);
    QCOMPARE(report.leftOut.value(InversionWriters::zeroFactorReason()), 1);
    QCOMPARE(report.leftOutCount(), 4);
    QVERIFY(report.text().contains(QStringLiteral("Пропущено данных: 4")));
    QVERIFY(report.text().contains(InversionWriters::notComputedReason() + QStringLiteral(" — 2")));
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const ReadBack read = readOhm(written.readAll());
    QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
    QCOMPARE(read.data.size(), 1);

    // Pause shorter than the pulse: no chargeability, so nothing can go out with it.
    const InversionDataset short_ = InversionDataset::fromFiles({noIp.get()});
    InversionReport ipReport;
    const ReadBack ipRead = readRes2DInv(InversionWriters::content(short_, {InversionFormat::Res2DInv, true}, &ipReport));
    QVERIFY2(ipRead.error.isEmpty(), qPrintable(ipRead.error));
    QCOMPARE(ipReport.written, 0);
    QCOMPARE(ipReport.leftOut.value(InversionWriters::noChargeabilityReason()), 1);
    InversionReport plain;
    InversionWriters::content(short_, {InversionFormat::Res2DInv, false}, &plain);
    QCOMPARE(plain.written, 1);

    // A target that cannot be written says why and leaves nothing behind.
    const InversionReport failed = InversionWriters::writeFile(dataset, {}, m_dir.filePath(QStringLiteral("no/such/dir.ohm")));
    QVERIFY(!failed.ok());
    QVERIFY(failed.text().startsWith(QStringLiteral("Не удалось записать файл")));
}

// The best record of a repeated quadrupole: lowest deviation, the later one on a tie, computed
// before not computed; every record when all are asked for.
void TestInversionExport::repeatedQuadrupoles()
{
    const auto datum = [](int a, double deviation, double voltage) {
        SurveyDatum d;
        d.electrodes = {a, a + 3, a + 1, a + 2};
        d.current = 0.05;
        d.voltage = voltage;
        d.geometricFactor = 10.0;
        d.resistivity = 1.0;
        d.deviation = deviation;
        return d;
    };
    SurveyDatum uncomputed = datum(1, 0.0, 1.0);
    uncomputed.current = 0.0;
    const QVector<SurveyDatum> best = bestOfRepeats({datum(1, 0.5, 1.0), datum(5, 0.1, 2.0), datum(1, 0.2, 3.0),
                                                     datum(5, 0.1, 4.0), datum(1, 0.9, 5.0), uncomputed});
    QCOMPARE(best.size(), 2);
    QCOMPARE(best.at(0).voltage, 3.0);
    QCOMPARE(best.at(1).voltage, 4.0);

    // Through the files: the operator's repeat with a steadier signal wins; a plain re-record ties
    // and the later one is written.
    const Timing t;
    const auto file = load(QStringLiteral("repeat.etr"),
                           header(t, straightLine(12)) + block(t, 1, 4, 0.05f, {wobblingChannel(t, 2, 3, 0.01f, 0.05f)})
                               + block(t, 1, 4, 0.05f, {wobblingChannel(t, 2, 3, 0.02f, 0.01f)})
                               + block(t, 1, 4, 0.05f, {wobblingChannel(t, 2, 3, 0.03f, 0.03f)})
                               + block(t, 5, 8, 0.05f, {channel(t, 6, 7, 0.01f)})
                               + block(t, 5, 8, 0.05f, {channel(t, 6, 7, 0.02f)}));
    QVERIFY(file);
    const InversionDataset once = InversionDataset::fromFiles({file.get()});
    QCOMPARE(once.data.size(), 2);
    QCOMPARE(once.data.at(0).record, 1);
    QCOMPARE(once.data.at(1).record, 4);
    InversionReport report;
    QCOMPARE(readOhm(InversionWriters::content(once, {}, &report)).data.size(), 2);
    QCOMPARE(InversionDataset::fromFiles({file.get()}, true).data.size(), 5);
}

// The command-line tool: one output for all files, exit 1 for a file cut short (its data still
// written), 2 for a bad format.
void TestInversionExport::commandLine()
{
    const Timing t;
    const QByteArray whole = header(t, straightLine(12)) + block(t, 1, 4, 0.05f, {channel(t, 2, 3, 0.01f)});
    const QString good = m_dir.filePath(QStringLiteral("cli.etr"));
    const QString cut = m_dir.filePath(QStringLiteral("cli-cut.etr"));
    QVERIFY(write(good, whole));
    QVERIFY(write(cut, whole + block(t, 5, 8, 0.05f, {channel(t, 6, 7, 0.01f)}).left(1000)));
    const auto run = [](const QStringList& arguments, QString* err) {
        QProcess process;
        process.start(QStringLiteral(EXPORT_PATH), arguments);
        if (!process.waitForFinished(60000))
            return -1;
        *err = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitCode();
    };
    QString err;
    const QString out = m_dir.filePath(QStringLiteral("cli.dat"));
    QCOMPARE(run({QStringLiteral("--format"), QStringLiteral("res2dinv"), QStringLiteral("-o"), out, good}, &err), 0);
    QVERIFY(err.contains(QStringLiteral("данных: 1")));
    QFile result(out);
    QVERIFY(result.open(QIODevice::ReadOnly));
    QVERIFY(readRes2DInv(result.readAll()).error.isEmpty());

    QCOMPARE(run({QStringLiteral("--format"), QStringLiteral("ohm"), good, cut}, &err), 1);
    QVERIFY2(err.contains(QStringLiteral("cli-cut.etr")), qPrintable(err));
    QFile merged(m_dir.filePath(QStringLiteral("cli.ohm")));
    QVERIFY(merged.open(QIODevice::ReadOnly));
    // The same quadrupole in both files: written once.
    QCOMPARE(readOhm(merged.readAll()).data.size(), 1);

    QCOMPARE(run({QStringLiteral("--format"), QStringLiteral("csv"), good}, &err), 2);
    QCOMPARE(run({QStringLiteral("--format"), QStringLiteral("ohm"), m_dir.filePath(QStringLiteral("missing.etr"))}, &err), 1);
}

QTEST_GUILESS_MAIN(TestInversionExport)
#include "tst_inversionexport.moc"
