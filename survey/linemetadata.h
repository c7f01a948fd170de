#ifndef LINEMETADATA_H
#define LINEMETADATA_H

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QVector>

// Where, by whom and under which conditions a survey line was measured, kept in the data file's
// free header area as UTF-8 lines "key=value" padded with spaces to the area's size. The first
// line is the marker "tervex-line=1"; an area without it that is not all spaces belongs to
// somebody else and is never taken for metadata.
class LineMetadata
{
public:
    enum class State {
        None,     // all spaces (or zero bytes): a file written without metadata
        Valid,    // this program's metadata
        Foreign   // anything else: shown as it stands, never trusted
    };

    // Keys in the order the survey writes them.
    static const char* const LineName;
    static const char* const Operator;
    static const char* const Note;
    static const char* const StartTime;
    static const char* const StationSerial;
    static const char* const Firmware;
    static const char* const ProgramVersion;
    static const char* const Voltage;
    static const char* const Pulse;
    static const char* const Pause;
    static const char* const Periods;
    static const char* const Longitude;
    static const char* const Latitude;
    static const char* const Altitude;
    static const char* const Battery;

    State state() const { return m_state; }
    // The fields in file order.
    const QVector<QPair<QString, QString>>& fields() const { return m_fields; }
    // Empty when the key is not there.
    QString value(const QString& key) const;
    // A later set of the same key replaces its value in place. Line breaks become spaces and
    // surrounding white space is dropped, so that every field stays one line.
    void set(const QString& key, const QString& value);

    // The header area of exactly `size` bytes. Fields that do not fit are cut: the note first,
    // then whole fields from the end, so the area never overflows into the header.
    QByteArray toHeaderArea(int size) const;
    static LineMetadata fromHeaderArea(const QByteArray& area);

    // The operator's name of a key ("Линия" for line), in the interface language; the key
    // itself for keys of a later program.
    static QString label(const QString& key);

    // One "key=value" line per field; for a foreign area its text; empty for none.
    QString text() const;

private:
    State m_state = State::None;
    QVector<QPair<QString, QString>> m_fields;
    QString m_foreignText;
};

#endif
