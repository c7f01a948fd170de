#include "etr/etrfile.h"

#include "survey/etrformat.h"
#include "survey/outputfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtEndian>

#include <algorithm>

namespace {

// A plain copy on little-endian hosts.
QVector<float> floats(const char* bytes, int count)
{
    QVector<float> values(count);
    qFromLittleEndian<float>(bytes, count, values.data());
    return values;
}

void copyWindows(QVector<float>& target, const float* values)
{
    std::copy(values, values + ChannelResult::WindowCount, target.begin());
}

void takeResult(EtrChannel& channel, const ChannelResult& r)
{
    channel.geometricFactor = r.geometricFactor;
    channel.voltage = r.voltage;
    channel.resistivity = r.resistivity;
    channel.deviation = r.scatter;
    channel.primaryAmplitude = r.primary;
    channel.secondaryAmplitude = r.secondary;
    channel.chargeability = r.chargeability;
    copyWindows(channel.primaryWindows, r.primaryWindows);
    copyWindows(channel.secondaryWindows, r.secondaryWindows);
    copyWindows(channel.decayCurve, r.decayCurve);
}

// A channel the calculator produced nothing for shows zeros.
ChannelResult zeroResult()
{
    ChannelResult r;
    std::fill_n(reinterpret_cast<float*>(&r), ChannelResult::ValueCount - 2, 0.0f);
    return r;
}

bool polarisationMissing(const EtrChannel& channel)
{
    const auto notComputed = [](float v) { return v == ChannelResult::NotComputed; };
    return notComputed(channel.chargeability)
        || std::any_of(channel.decayCurve.cbegin(), channel.decayCurve.cend(), notComputed);
}

// The value an electrode without coordinates is exported with.
constexpr double MissingCoordinate = 99999.999;

QString number(double value)
{
    return QString::number(value, 'f', 3);
}

struct Coordinates
{
    QString x;
    QString y;
};

Coordinates coordinates(const ElectrodeMap& positions, int electrode)
{
    const auto found = positions.constFind(electrode);
    if (found == positions.cend())
        return {number(MissingCoordinate), number(MissingCoordinate)};
    return {number(found->x), number(found->y)};
}

QStringList headerFields(bool withPolarisation)
{
    QStringList fields{QStringLiteral("#"), QStringLiteral("Rho")};
    if (withPolarisation) {
        for (int j = 1; j <= ChannelResult::WindowCount; ++j)
            fields << QStringLiteral("M%1").arg(j);
        fields << QStringLiteral("M");
    }
    fields << QStringLiteral("Spa.1") << QStringLiteral("Spa.2") << QStringLiteral("Spa.3") << QStringLiteral("Spa.4")
           << QStringLiteral("PassTime") << QStringLiteral("DutyCycle") << QStringLiteral("Vp") << QStringLiteral("In");
    if (!withPolarisation)
        fields << QStringLiteral("Dev.");
    fields << QStringLiteral("K") << QStringLiteral("Phase") << QStringLiteral("Ay") << QStringLiteral("By")
           << QStringLiteral("My") << QStringLiteral("Ny");
    return fields;
}


} // namespace

EtrFile::EtrFile(QObject* parent)
    : QObject(parent)
    , m_headerArea(EtrFormat::HeaderAreaSize, '\0')
{
}

QString EtrFile::messageTitle()
{
    return tr("Загрузка etr");
}

bool EtrFile::load(const QString& path)
{
    // A device or a pipe named .etr would block the reading or never end.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        emit loadMessage(messageTitle(), tr("%1 не является обычным файлом\nФайл не загружен")
                                             .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // The whole file in memory: mapped where the platform allows, which spares a copy.
    const qint64 size = file.size();
    bool parsed;
    if (uchar* mapped = size > 0 ? file.map(0, size) : nullptr) {
        parsed = parse(reinterpret_cast<const char*>(mapped), size);
        file.unmap(mapped);
    } else {
        const QByteArray content = file.readAll();
        parsed = parse(content.constData(), content.size());
    }
    file.close();
    if (!parsed)
        return false;
    m_fileName = info.fileName();
    m_directory = QDir::toNativeSeparators(info.absolutePath());
    return true;
}

void EtrFile::reset()
{
    m_samplesPerStream = 0;
    m_streamBytes = 0;
    m_headerArea = QByteArray(EtrFormat::HeaderAreaSize, '\0');
    m_formatWord = 0;
    m_pulse = 0;
    m_pause = 0;
    m_repeats = 0;
    m_positionCount = 0;
    m_electrodePositions.clear();
    m_blocks.clear();
    m_polarisationInvalid = false;
    m_complete = false;
    m_reliable = true;
}

bool EtrFile::parse(const QByteArray& content)
{
    return parse(content.constData(), content.size());
}

bool EtrFile::parse(const char* data, qint64 size)
{
    reset();
    EtrFormat::Header header;
    QString error;
    if (!EtrFormat::readHeader(data, size, &header, &error)) {
        emit loadMessage(messageTitle(), error + tr("\nФайл не загружен"));
        return false;
    }
    m_headerArea = header.area;
    m_formatWord = header.formatWord;
    m_pulse = header.pulse;
    m_pause = header.pause;
    m_repeats = header.repeats;
    m_samplesPerStream = header.samplesPerStream;
    m_streamBytes = 4 * header.samplesPerStream;
    m_electrodePositions = header.positions;
    m_positionCount = m_electrodePositions.size();

    EtrFormat::BlockReader reader(data, size, header);
    EtrFormat::BlockView view;
    EtrFormat::BlockStatus status;
    while ((status = reader.next(&view)) == EtrFormat::BlockStatus::Read) {
        const int index = m_blocks.size();
        EtrBlock block;
        block.a = view.a;
        block.b = view.b;
        block.channelCount = view.channelCount;
        block.currentSamples = floats(view.current, m_samplesPerStream);
        block.channels.reserve(view.channels.size());
        bool electrodeReported = false;
        for (const EtrFormat::ChannelView& record : qAsConst(view.channels)) {
            if (!electrodeReported && !(EtrFormat::isValidElectrode(record.m) && EtrFormat::isValidElectrode(record.n))) {
                electrodeReported = true;
                m_reliable = false;
                emit loadMessage(messageTitle(),
                                 tr("Некорректное значение электрода EM (%1), EN (%2) в блоке %3\n"
                                                "Дальнейший результат чтения файла недостоверен")
                                     .arg(record.m).arg(record.n).arg(index));
            }
            EtrChannel channel;
            channel.header = QByteArray(record.area, EtrFormat::ChannelAreaSize);
            channel.m = record.m;
            channel.n = record.n;
            channel.samples = floats(record.samples, m_samplesPerStream);
            block.channels.append(channel);
        }
        m_blocks.append(block);
    }

    if (status == EtrFormat::BlockStatus::Rejected) {
        emit loadMessage(messageTitle(),
                         tr("Некорректное число каналов (%1), EA (%2), EB (%3) в блоке %4\n"
                                        "Чтение файла прервано, файл будет показан частично")
                             .arg(view.channelCount).arg(view.a).arg(view.b).arg(m_blocks.size()));
    } else if (status == EtrFormat::BlockStatus::Incomplete) {
        emit loadMessage(messageTitle(),
                         tr("Файл обрывается внутри блока %1 (есть %2 байт из %3)\n"
                                        "Неполная запись отброшена, файл будет показан частично")
                             .arg(m_blocks.size()).arg(view.available).arg(view.size));
    }
    m_complete = status == EtrFormat::BlockStatus::End;

    calculate();
    return true;
}

void EtrFile::calculate()
{
    m_polarisationInvalid = false;
    if (m_blocks.isEmpty())
        return;
    // The generator voltage is not stored; a silent zero series keeps the calculator from
    // complaining about an empty one for every half period of every block.
    const QVector<float> noVoltage(m_samplesPerStream);
    const ChannelResult zero = zeroResult();
    for (EtrBlock& block : m_blocks) {
        m_calculator.setTiming(m_pulse, m_pause, m_repeats, 0.0f, m_electrodePositions);
        m_calculator.setReference(block.a, block.b, block.currentSamples, noVoltage);
        for (int k = 0; k < block.channels.size(); ++k) {
            const EtrChannel& channel = block.channels.at(k);
            m_calculator.addChannel(k, channel.m, channel.n, channel.samples);
        }
        m_calculator.calculate();
        block.current = m_calculator.result().current;
        const QMap<int, ChannelResult> results = m_calculator.channelResults();
        for (int k = 0; k < block.channels.size(); ++k) {
            EtrChannel& channel = block.channels[k];
            const auto found = results.constFind(k);
            takeResult(channel, found == results.cend() ? zero : *found);
            m_polarisationInvalid = m_polarisationInvalid || polarisationMissing(channel);
        }
    }
}

QVector<SurveyDatum> EtrFile::surveyData(int source) const
{
    const auto position = [this](int electrode) { return m_electrodePositions.value(electrode); };
    // The calculator's decay windows split the pulse, less 16 ms at either end, into 20 parts.
    const int window = (m_pulse - 32) / SurveyDatum::WindowCount;
    QVector<SurveyDatum> data;
    for (int record = 0; record < m_blocks.size(); ++record) {
        const EtrBlock& block = m_blocks.at(record);
        for (int k = 0; k < block.channels.size(); ++k) {
            const EtrChannel& channel = block.channels.at(k);
            SurveyDatum datum;
            datum.electrodes = {block.a, block.b, channel.m, channel.n};
            datum.a = position(block.a);
            datum.b = position(block.b);
            datum.m = position(channel.m);
            datum.n = position(channel.n);
            datum.source = source;
            datum.record = record;
            datum.channel = k;
            datum.current = block.current;
            datum.voltage = channel.voltage;
            datum.geometricFactor = channel.geometricFactor;
            datum.resistivity = channel.resistivity;
            datum.deviation = channel.deviation;
            datum.chargeability = channel.chargeability;
            for (int j = 0; j < SurveyDatum::WindowCount; ++j)
                datum.decay[j] = channel.decayCurve.value(j, ChannelResult::NotComputed);
            datum.windowWidth = window >= 1 ? window : 0;
            data.append(datum);
        }
    }
    return data;
}

QString EtrFile::textPath(bool withPolarisation) const
{
    QString name = m_fileName;
    if (withPolarisation) {
        // Only the file's own name takes the mark: a dot in a folder name must not move it there.
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        name.insert(dot < 0 ? name.size() : dot, QStringLiteral("-VP"));
    }
    return m_directory + QDir::separator() + name + QStringLiteral(".txt");
}

bool EtrFile::exportText(bool withPolarisation) const
{
    if (m_fileName.isEmpty())
        return false;
    const QString path = textPath(withPolarisation);
    QString refused;
    if (!OutputFile::mayWrite(path, {m_directory + QDir::separator() + m_fileName}, &refused))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;

    const QChar tab = QLatin1Char('\t');
    const QString passTime = number(m_pulse);
    const QString dutyCycle = number(double(m_pulse) / (double(m_pulse) + double(m_pause)) * 100.0);
    const QString phase = QStringLiteral("180.000");

    bool written = file.write((headerFields(withPolarisation).join(tab) + QLatin1Char('\n')).toLocal8Bit()) >= 0;
    int record = 1;
    for (const EtrBlock& block : m_blocks) {
        const Coordinates a = coordinates(m_electrodePositions, block.a);
        const Coordinates b = coordinates(m_electrodePositions, block.b);
        const QString current = number(block.current * 1000.0f);
        for (const EtrChannel& channel : block.channels) {
            const Coordinates m = coordinates(m_electrodePositions, channel.m);
            const Coordinates n = coordinates(m_electrodePositions, channel.n);
            QStringList fields{QString::number(record++), number(channel.resistivity)};
            if (withPolarisation) {
                for (const float value : channel.decayCurve)
                    fields << number(value);
                fields << number(channel.chargeability);
            }
            fields << a.x << b.x << m.x << n.x << passTime << dutyCycle << number(channel.voltage * 1000.0f)
                   << current;
            if (!withPolarisation)
                fields << number(channel.deviation);
            fields << number(channel.geometricFactor) << phase << a.y << b.y << m.y << n.y;
            written = written && file.write((fields.join(tab) + QLatin1Char('\n')).toLocal8Bit()) >= 0;
        }
    }
    file.close();
    return written && file.error() == QFileDevice::NoError;
}
