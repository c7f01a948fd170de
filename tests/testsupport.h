#ifndef TESTSUPPORT_H
#define TESTSUPPORT_H

#include <QString>
#include <QTranslator>
#include <QVector>

namespace TestSupport {

// Points every QSettings of this process at a fresh temporary folder, so no test reads or
// writes the user's real settings. Call before anything opens a QSettings.
void isolateSettings();

// Folder of the isolated settings (valid after isolateSettings()).
QString settingsFolder();

// Path of a file or folder in the source tree's tests/data or examples/.
QString sourcePath(const QString& relative);
// Russian letters left in a text that should be English.
bool hasCyrillic(const QString& text);

// Samples of `samples` length of a record's square wave: +amplitude during the pulse, 0 in the
// pauses, -amplitude during the second half-period's pulse (pulse and pause in samples).
QVector<float> squareWave(int samples, int pulse, int pause, float amplitude);

// Returns every text it is asked for marked, so a test sees which texts went through
// translation without a catalogue.
class MarkingTranslator : public QTranslator
{
public:
    static QString marker() { return QStringLiteral("EN:"); }
    bool isEmpty() const override { return false; }
    QString translate(const char*, const char* source, const char* = nullptr, int = -1) const override
    {
        return marker() + QString::fromUtf8(source);
    }
};

}

#endif
