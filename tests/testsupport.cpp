#include "testsupport.h"

#include <algorithm>

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {
QTemporaryDir& settingsDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tervex-test-XXXXXX"));
    return dir;
}
}

namespace TestSupport {

void isolateSettings()
{
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir().path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir().path());
}

QString settingsFolder()
{
    return settingsDir().path();
}

QString sourcePath(const QString& relative)
{
    return QStringLiteral(TERVEX_SOURCE_DIR "/") + relative;
}

bool hasCyrillic(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() >= 0x0400 && c.unicode() <= 0x04FF; });
}

QVector<float> squareWave(int samples, int pulse, int pause, float amplitude)
{
    QVector<float> values(samples, 0.0f);
    for (int i = 0; i < samples; ++i) {
        const int phase = i % (2 * (pulse + pause));
        if (phase < pulse)
            values[i] = amplitude;
        else if (phase >= pulse + pause && phase < 2 * pulse + pause)
            values[i] = -amplitude;
    }
    return values;
}

}
