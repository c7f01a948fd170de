#include "tools/shots/stationsession.h"

#include "app/tervexmodel.h"
#include "measurement/electrodeposition.h"
#include "station/settingsstore.h"
#include "ui/autosettingswidget.h"
#include "ui/generatorcontrolwidget.h"
#include "ui/tervexwidget.h"

#include <QApplication>
#include <QEventLoop>
#include <QRegularExpression>
#include <QFile>
#include <QPushButton>
#include <QSettings>
#include <QTextStream>
#include <QTimer>

namespace {

// The electrodes every 5 m along the line, then the heading of the quadrupoles.
void writeLine(QTextStream& out)
{
    out << "# X Y Z\n";
    for (int e = 1; e <= Electrodes::Count; ++e)
        out << e << ' ' << (e - 1) * 5 << " 0 0\n";
    out << "# A B M N\n";
}

} // namespace

StationSession::StationSession(const SimulatorOptions& options)
{
    SimulatorOptions o = options;
    o.address = QHostAddress(QStringLiteral("127.0.0.1"));
    o.commandPort = 0;
    o.dataPort = 0;
    m_simulator.reset(new StationSimulator(o));
    m_ok = m_simulator->start();
    if (m_ok)
        openWindow(m_simulator->commandPort(), m_simulator->dataPort());
}

StationSession::StationSession(const QString& program, const QStringList& arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(program, QStringList{QStringLiteral("--address"), QStringLiteral("127.0.0.1"),
                                         QStringLiteral("--command-port"), QStringLiteral("0"),
                                         QStringLiteral("--data-port"), QStringLiteral("0"), QStringLiteral("--quiet")}
                                 + arguments);
    // "Tervex-M1 simulator listening on 127.0.0.1:PORT (commands), PORT (data)"
    // A ground of blocks is computed before the station listens: seconds on a busy machine.
    if (!m_process.waitForStarted(5000) || !m_process.waitForReadyRead(120000))
        return;
    const QString line = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral(":(\\d+) \\(commands\\), (\\d+) \\(data\\)")).match(line);
    if (!m.hasMatch())
        return;
    m_ok = true;
    openWindow(quint16(m.captured(1).toUInt()), quint16(m.captured(2).toUInt()));
}

QStringList StationSession::demoLineArguments(const QString& speed)
{
    const QString examples = QStringLiteral(TERVEX_EXAMPLES);
    return {QStringLiteral("--channels"), QStringLiteral("10"), QStringLiteral("--speed"), speed,
            QStringLiteral("--model"), examples + QStringLiteral("/demo-ground.txt"),
            QStringLiteral("--elevation"), examples + QStringLiteral("/demo-elevation.txt")};
}

QString StationSession::copyDemoSequence() const
{
    const QString sequence = path(QStringLiteral("demo-slope48.txt"));
    return QFile::copy(QStringLiteral(TERVEX_EXAMPLES "/demo-slope48.txt"), sequence) ? sequence : QString();
}

void StationSession::openWindow(quint16 commandPort, quint16 dataPort)
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_folder.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_folder.path());
    {
        std::unique_ptr<QSettings> store(SettingsStore::open());
        store->setValue(SettingsStore::Key::host(), QStringLiteral("127.0.0.1"));
        store->setValue(SettingsStore::Key::commandPort(), commandPort);
        store->setValue(SettingsStore::Key::dataPort(), dataPort);
        store->setValue(SettingsStore::Key::dataPath(), m_folder.path());
        store->setValue(SettingsStore::Key::seqPath(), m_folder.path());
        store->sync();
    }
    m_model.reset(new TervexModel);
    m_window.reset(new TervexWidget(m_model.get(), false));
    m_window->setWindowTitle(QStringLiteral("Tervex-M1"));
}

StationSession::~StationSession()
{
    m_window.reset();
    m_model.reset();
    m_simulator.reset();
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }
}

void StationSession::setSpeed(double speed)
{
    if (m_simulator)
        m_simulator->options().speed = speed;
}

QPushButton* StationSession::button(QWidget* root, const QString& text)
{
    // Buttons are named by their Russian source text; in English the window shows its translation
    // from the class that made the button.
    const QByteArray source = text.toUtf8();
    QStringList names{text};
    for (const char* context : {"TervexWidget", "WindowParts", "AutoSettingsWidget", "TestRecordPanel", "GeneratorControlWidget",
                                "Panel", "EtrViewer", "PseudosectionView"})
        names << QCoreApplication::translate(context, source.constData());
    for (QPushButton* b : root->findChildren<QPushButton*>()) {
        if (names.contains(b->text()))
            return b;
    }
    return nullptr;
}

void StationSession::click(QWidget* root, const QString& text)
{
    if (QPushButton* b = button(root, text))
        b->click();
}

void StationSession::waitFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool StationSession::connectStation(int timeoutMs)
{
    bool updated = false;
    QEventLoop loop;
    QObject::connect(m_model.get(), &TervexModel::settingsUpdated, &loop, [&]() {
        updated = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    click(m_window.get(), QStringLiteral("Подключить"));
    if (!updated)
        loop.exec();
    return updated;
}

void StationSession::setTiming(quint32 pulse, quint32 pause, quint16 periods, quint16 voltage)
{
    GeneratorSettings* g = m_model->stationSettings()->generatorSettings();
    g->pulseLength = pulse;
    g->pauseLength = pause;
    g->periods = periods;
    g->voltage = voltage;
    if (auto* panel = m_window->findChild<GeneratorControlWidget*>())
        panel->onDeviceSettingsUpdated();
}

bool StationSession::writeSequence(const QString& path, int steps) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    writeLine(out);
    int line = 0;
    for (int s = 0; s < steps; ++s) {
        const int a = 1 + 2 * s;
        const int b = 48 - 2 * s;
        for (int k = 0; k < 10; ++k) {
            const int m = a + 2 + 2 * k;
            out << line++ << ' ' << a << ' ' << b << ' ' << m << ' ' << m + 1 << '\n';
        }
    }
    return true;
}

bool StationSession::writeDipoleDipoleSequence(const QString& path, int maxN) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    writeLine(out);
    int line = 0;
    for (int a = 1; a + 3 <= Electrodes::Count; ++a) {
        for (int n = 1; n <= maxN && a + n + 2 <= Electrodes::Count; ++n)
            out << line++ << ' ' << a << ' ' << a + 1 << ' ' << a + n + 1 << ' ' << a + n + 2 << '\n';
    }
    return true;
}

bool StationSession::startSurvey(const QString& sequence)
{
    click(m_window.get(), QStringLiteral("Работа"));
    auto* panel = m_window->findChild<AutoSettingsWidget*>();
    if (!panel || !panel->isVisible())
        return false;
    panel->setSequence(sequence);
    QPushButton* execute = button(panel, QStringLiteral("Выполнить"));
    if (!execute)
        return false;
    execute->click();
    return !panel->isVisible();
}
