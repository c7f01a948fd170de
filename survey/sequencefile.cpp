#include "survey/sequencefile.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>

#include <cmath>

namespace {

const QString CoordinateHeader = QStringLiteral("# X Y Z");
const QString QuadrupoleHeader = QStringLiteral("# A B M N");

// Decoded, trimmed, inner white space (tabs included) collapsed to single spaces.
QString normalised(const QByteArray& raw)
{
    return QString::fromUtf8(raw).simplified();
}

bool isHeader(const QString& line, const QString& header)
{
    return line.compare(header, Qt::CaseInsensitive) == 0;
}

QStringList tokens(const QString& line)
{
    return line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

bool toInt(const QString& token, int* value)
{
    bool ok = false;
    *value = token.toInt(&ok, 10);
    return ok;
}

bool isCableElectrode(int number)
{
    return number >= Electrodes::None && number <= Electrodes::Count;
}

} // namespace

bool SequenceFile::load(const QString& path)
{
    m_electrodes.clear();
    m_lines.clear();
    m_errorString.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QCoreApplication::translate("SequenceFile", "Не удалось открыть файл %1: %2").arg(path, file.errorString()));
    return parse(file.readAll());
}

bool SequenceFile::parse(const QByteArray& content)
{
    m_electrodes.clear();
    m_lines.clear();
    m_errorString.clear();
    m_uncoordinated.clear();

    QList<QByteArray> rawLines = content.split('\n');
    // The newline that ends the last line does not start another one.
    if (!rawLines.isEmpty() && rawLines.last().isEmpty())
        rawLines.removeLast();
    // Editors on Windows like to put a byte order mark in front of the first line.
    if (!rawLines.isEmpty() && rawLines.first().startsWith("\xEF\xBB\xBF"))
        rawLines.first().remove(0, 3);

    int index = 0;
    while (index < rawLines.size() && !isHeader(normalised(rawLines.at(index)), CoordinateHeader))
        ++index;
    if (index == rawLines.size())
        return fail(QCoreApplication::translate("SequenceFile", "Не найден раздел координат \"%1\"").arg(CoordinateHeader));
    ++index;

    bool quadrupoleSection = false;
    for (; index < rawLines.size() && !quadrupoleSection; ++index) {
        const int lineNumber = index + 1;
        const QString line = normalised(rawLines.at(index)).replace(QLatin1Char(','), QLatin1Char('.'));
        if (isHeader(line, QuadrupoleHeader)) {
            quadrupoleSection = true;
            continue;
        }
        const QStringList t = tokens(line);
        int number = 0;
        bool okX = false, okY = false, okZ = false;
        ElectrodePosition position;
        if (t.size() == 4 && toInt(t.at(0), &number)) {
            position.x = t.at(1).toFloat(&okX);
            position.y = t.at(2).toFloat(&okY);
            position.z = t.at(3).toFloat(&okZ);
        }
        if (!(okX && okY && okZ))
            return fail(lineNumber, QCoreApplication::translate("SequenceFile", "ожидаются номер электрода и координаты x y z"));
        if (!(std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(position.z)))
            return fail(lineNumber, QCoreApplication::translate("SequenceFile", "координаты электрода %1 должны быть конечными числами").arg(number));
        if (m_electrodes.contains(number))
            return fail(lineNumber, QCoreApplication::translate("SequenceFile", "электрод %1 задан повторно").arg(number));
        m_electrodes.insert(number, position);
    }

    if (m_electrodes.isEmpty())
        return fail(QCoreApplication::translate("SequenceFile", "Раздел координат не содержит ни одного электрода"));
    if (!quadrupoleSection)
        return fail(QCoreApplication::translate("SequenceFile", "Не найден раздел четырёхполюсников \"%1\"").arg(QuadrupoleHeader));

    for (; index < rawLines.size(); ++index) {
        const int lineNumber = index + 1;
        const QStringList t = tokens(normalised(rawLines.at(index)));
        QuadrupoleLine q;
        if (t.size() != 5 || !toInt(t.at(1), &q.a) || !toInt(t.at(2), &q.b) || !toInt(t.at(3), &q.m)
            || !toInt(t.at(4), &q.n)) {
            return fail(lineNumber, QCoreApplication::translate("SequenceFile", "ожидаются номер строки и электроды A B M N"));
        }
        QList<int> uncoordinated;
        for (const int electrode : {q.a, q.b, q.m, q.n}) {
            if (!isCableElectrode(electrode)) {
                return fail(lineNumber, QCoreApplication::translate("SequenceFile", "номер электрода %1 вне диапазона %2…%3")
                                            .arg(electrode).arg(Electrodes::None).arg(Electrodes::Count));
            }
            if (electrode != Electrodes::None && !m_electrodes.contains(electrode) && !uncoordinated.contains(electrode))
                uncoordinated.append(electrode);
        }
        if (q.a != Electrodes::None && q.a == q.b)
            return fail(lineNumber, QCoreApplication::translate("SequenceFile", "электроды A и B совпадают"));
        if (q.a == Electrodes::None && q.b == Electrodes::None)
            return fail(lineNumber, QCoreApplication::translate("SequenceFile", "не задан ни один питающий электрод"));
        if (q.a == q.m || q.a == q.n)
            return fail(lineNumber, QCoreApplication::translate("SequenceFile", "электрод A совпадает с M или N"));
        m_lines.append(q);
        if (!uncoordinated.isEmpty())
            m_uncoordinated.append({lineNumber, uncoordinated});
    }

    if (m_lines.isEmpty())
        return fail(QCoreApplication::translate("SequenceFile", "Раздел четырёхполюсников не содержит ни одной строки"));
    return true;
}

bool SequenceFile::fail(const QString& reason)
{
    m_errorString = reason;
    return false;
}

bool SequenceFile::fail(int lineNumber, const QString& reason)
{
    return fail(QCoreApplication::translate("SequenceFile", "Строка %1: %2").arg(lineNumber).arg(reason));
}

QString SequenceFile::warningString() const
{
    if (m_uncoordinated.isEmpty())
        return QString();
    // A generated file can miss a whole cable section: the first lines tell the pattern.
    constexpr int Listed = 10;
    QStringList lines;
    for (int i = 0; i < m_uncoordinated.size() && i < Listed; ++i) {
        QStringList electrodes;
        for (int electrode : m_uncoordinated.at(i).second)
            electrodes << QString::number(electrode);
        lines << QCoreApplication::translate("SequenceFile", "строка %1: %2")
                     .arg(m_uncoordinated.at(i).first)
                     .arg(electrodes.join(QStringLiteral(", ")));
    }
    if (m_uncoordinated.size() > Listed)
        lines << QCoreApplication::translate("SequenceFile", "ещё строк: %1").arg(m_uncoordinated.size() - Listed);
    return QCoreApplication::translate("SequenceFile",
                                       "Электроды без координат (положение принято равным 0, в таблице 99999.999):\n%1")
        .arg(lines.join(QLatin1Char('\n')));
}
