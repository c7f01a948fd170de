#ifndef GPSINFO_H
#define GPSINFO_H

#include <QObject>
#include <QString>

// The station's last valid GPS position and its display texts.
class GPSInfo : public QObject
{
    Q_OBJECT
public:
    explicit GPSInfo(QObject* parent = nullptr);

    double longitude() const { return m_longitude; }
    double latitude() const { return m_latitude; }
    float altitude() const { return m_altitude; }
    QString coordinatesText() const { return m_coordinatesText; }
    QString altitudeText() const { return m_altitudeText; }

    // Ignored unless fix is the valid-fix code; the last valid position stays shown.
    void update(int fix, double longitude, double latitude, float altitude);

    // A value in the station's ddmm.mmmm (or dddmm.mmmm) form as degrees, minutes and seconds,
    // without sign: the hemisphere letter carries it.
    static QString degreeText(double value);

Q_SIGNALS:
    void updated(const QString& coordinates, const QString& altitude);

private:
    double m_longitude = 0.0;
    double m_latitude = 0.0;
    float m_altitude = 0.0f;
    QString m_coordinatesText;
    QString m_altitudeText;
};

#endif
