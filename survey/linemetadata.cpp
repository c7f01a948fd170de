#include "survey/linemetadata.h"

#include <QCoreApplication>
#include <QStringList>

const char* const LineMetadata::LineName = "line";
const char* const LineMetadata::Operator = "operator";
const char* const LineMetadata::Note = "note";
const char* const LineMetadata::StartTime = "start";
const char* const LineMetadata::StationSerial = "station_serial";
const char* const LineMetadata::Firmware = "firmware";
const char* const LineMetadata::ProgramVersion = "program";
const char* const LineMetadata::Voltage = "voltage";
const char* const LineMetadata::Pulse = "pulse";
const char* const LineMetadata::Pause = "pause";
const char* const LineMetadata::Periods = "periods";
const char* const LineMetadata::Longitude = "gps_longitude";
const char* const LineMetadata::Latitude = "gps_latitude";
const char* const LineMetadata::Altitude = "gps_altitude";
const char* const LineMetadata::Battery = "battery";

namespace {

const QByteArray Marker = QByteArrayLiteral("tervex-line=1");

bool isValidKey(const QString& key)
{
    if (key.isEmpty())
        return false;
    for (const QChar c : key) {
        if (!(c.isLower() && c.unicode() < 128) && !c.isDigit() && c != QLatin1Char('_'))
            return false;
    }
    return true;
}

QString oneLine(const QString& value)
{
    QString line = value;
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line.trimmed();
}

QByteArray encode(const QVector<QPair<QString, QString>>& fields)
{
    QByteArray bytes = Marker + '\n';
    for (const auto& field : fields)
        bytes += field.first.toUtf8() + '=' + field.second.toUtf8() + '\n';
    return bytes;
}

// Cuts UTF-8 text to at most `bytes` bytes without splitting a character.
QString cutUtf8(const QString& text, int bytes)
{
    const QByteArray utf8 = text.toUtf8();
    if (utf8.size() <= bytes)
        return text;
    int end = qMax(0, bytes);
    // Continuation bytes are 10xxxxxx: back up to the start of the character.
    while (end > 0 && (uchar(utf8.at(end)) & 0xC0) == 0x80)
        --end;
    return QString::fromUtf8(utf8.left(end));
}

} // namespace

QString LineMetadata::value(const QString& key) const
{
    for (const auto& field : m_fields) {
        if (field.first == key)
            return field.second;
    }
    return QString();
}

void LineMetadata::set(const QString& key, const QString& value)
{
    const QString line = oneLine(value);
    m_state = State::Valid;
    for (auto& field : m_fields) {
        if (field.first == key) {
            field.second = line;
            return;
        }
    }
    m_fields.append({key, line});
}

QByteArray LineMetadata::toHeaderArea(int size) const
{
    QVector<QPair<QString, QString>> fields = m_fields;
    QByteArray bytes = encode(fields);
    if (bytes.size() > size) {
        for (auto& field : fields) {
            if (field.first == QLatin1String(Note)) {
                const int over = bytes.size() - size;
                field.second = cutUtf8(field.second, field.second.toUtf8().size() - over);
            }
        }
        bytes = encode(fields);
    }
    while (bytes.size() > size && !fields.isEmpty()) {
        fields.removeLast();
        bytes = encode(fields);
    }
    if (bytes.size() > size)
        return QByteArray(size, ' ');
    return bytes + QByteArray(size - bytes.size(), ' ');
}

LineMetadata LineMetadata::fromHeaderArea(const QByteArray& area)
{
    LineMetadata metadata;
    QByteArray body = area;
    while (!body.isEmpty() && (body.endsWith(' ') || body.endsWith('\0')))
        body.chop(1);
    if (body.isEmpty())
        return metadata;

    const QString text = QString::fromUtf8(body);
    metadata.m_state = State::Foreign;
    metadata.m_foreignText = text;
    for (QChar& c : metadata.m_foreignText) {
        if (!c.isPrint() && c != QLatin1Char('\n'))
            c = QLatin1Char('.');
    }

    // Trusted only when it is exactly what this program writes: the marker, then key=value lines.
    if (!body.startsWith(Marker + '\n') || !body.endsWith('\n') || text.contains(QChar::ReplacementCharacter))
        return metadata;
    const QStringList lines = text.split(QLatin1Char('\n'));
    QVector<QPair<QString, QString>> fields;
    for (int i = 1; i + 1 < lines.size(); ++i) {
        const int equals = lines[i].indexOf(QLatin1Char('='));
        const QString key = lines[i].left(equals);
        if (equals < 0 || !isValidKey(key))
            return metadata;
        for (const QChar c : lines[i]) {
            if (!c.isPrint())
                return metadata;
        }
        fields.append({key, lines[i].mid(equals + 1)});
    }
    metadata.m_state = State::Valid;
    metadata.m_fields = fields;
    metadata.m_foreignText.clear();
    return metadata;
}

QString LineMetadata::label(const QString& key)
{
    static const struct
    {
        const char* key;
        const char* label;
    } labels[] = {
        {LineName, QT_TRANSLATE_NOOP("LineMetadata", "Линия")},
        {Operator, QT_TRANSLATE_NOOP("LineMetadata", "Оператор")},
        {Note, QT_TRANSLATE_NOOP("LineMetadata", "Примечание")},
        {StartTime, QT_TRANSLATE_NOOP("LineMetadata", "Начало")},
        {StationSerial, QT_TRANSLATE_NOOP("LineMetadata", "Станция №")},
        {Firmware, QT_TRANSLATE_NOOP("LineMetadata", "Прошивка")},
        {ProgramVersion, QT_TRANSLATE_NOOP("LineMetadata", "Программа")},
        {Voltage, QT_TRANSLATE_NOOP("LineMetadata", "Напряжение, В")},
        {Pulse, QT_TRANSLATE_NOOP("LineMetadata", "Импульс, мс")},
        {Pause, QT_TRANSLATE_NOOP("LineMetadata", "Пауза, мс")},
        {Periods, QT_TRANSLATE_NOOP("LineMetadata", "Периоды")},
        {Longitude, QT_TRANSLATE_NOOP("LineMetadata", "GPS долгота")},
        {Latitude, QT_TRANSLATE_NOOP("LineMetadata", "GPS широта")},
        {Altitude, QT_TRANSLATE_NOOP("LineMetadata", "GPS высота, м")},
        {Battery, QT_TRANSLATE_NOOP("LineMetadata", "Батарея, В")},
    };
    for (const auto& entry : labels) {
        if (key == QLatin1String(entry.key))
            return QCoreApplication::translate("LineMetadata", entry.label);
    }
    return key;
}

QString LineMetadata::text() const
{
    if (m_state == State::Foreign)
        return m_foreignText;
    QStringList lines;
    for (const auto& field : m_fields)
        lines << field.first + QLatin1Char('=') + field.second;
    return lines.join(QLatin1Char('\n'));
}
