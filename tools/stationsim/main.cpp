#include "stationsimulator.h"
#include "measurement/electrodeposition.h"
#include "survey/sequencegenerator.h"
#include "tools/cli/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <limits>

namespace {

QTextStream& out()
{
    static QTextStream stream(stdout);
    return stream;
}

bool fail(const QString& message)
{
    CommandLine::usageError(message);
    return false;
}

// "1,4,7" -> {1, 4, 7}.
bool parseNumbers(const QString& text, QVector<int>& numbers)
{
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok);
        if (!ok)
            return false;
        numbers.append(value);
    }
    return true;
}

// "10=20000,11=15000" -> electrode -> ohms.
bool parseContacts(const QString& text, QMap<int, double>& contacts)
{
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList pair = part.split(QLatin1Char('='));
        bool okElectrode = false, okOhms = false;
        if (pair.size() != 2)
            return false;
        const int electrode = pair.at(0).trimmed().toInt(&okElectrode);
        const double ohms = pair.at(1).trimmed().toDouble(&okOhms);
        if (!okElectrode || !okOhms || ohms < 0)
            return false;
        contacts.insert(electrode, ohms);
    }
    return true;
}

struct Option
{
    QString name;
    QString description;
    QString value;
};

bool readDouble(const QCommandLineParser& parser, const QString& name, double& target, double minimum)
{
    return CommandLine::doubleOption(parser, name, minimum, std::numeric_limits<double>::max(), &target);
}

bool readInt(const QCommandLineParser& parser, const QString& name, int& target, int minimum, int maximum)
{
    qint64 value = target;
    if (!CommandLine::intOption(parser, name, minimum, maximum, &value))
        return false;
    target = int(value);
    return true;
}

// The ground of --model, solved for the station's electrodes on the line (heights from
// --elevation, the sequence generator's table). Done before listening: a 48-electrode line takes
// about a second, and the station then answers every record at once.
bool readGround(const QCommandLineParser& parser, SimulatorOptions& o)
{
    const QString model = parser.value(QStringLiteral("model"));
    const QString elevationFile = parser.value(QStringLiteral("elevation"));
    if (model.isEmpty()) {
        if (!elevationFile.isEmpty())
            return fail(QStringLiteral("--elevation needs --model"));
        return true;
    }
    auto ground = std::make_shared<GroundModel>();
    QString error;
    if (!ground->load(model, &error))
        return fail(QStringLiteral("--model: %1").arg(error));
    QVector<QPair<double, double>> elevation;
    if (!elevationFile.isEmpty() && !SequenceGenerator::readElevation(elevationFile, &elevation, &error))
        return fail(QStringLiteral("--elevation: %1").arg(error));
    if (!(o.spacing > 0.0))
        return fail(QStringLiteral("--model needs a --spacing above 0"));
    std::vector<double> x, z;
    for (int k = 1; k <= Electrodes::Count; ++k) {
        x.push_back((k - 1) * o.spacing);
        z.push_back(SequenceGenerator::heightAt(elevation, x.back()));
    }
    if (!ground->solve(x, z))
        return fail(QStringLiteral("--model: the potentials of %1 could not be computed").arg(model));
    o.ground = ground;
    return true;
}

bool readOptions(const QCommandLineParser& parser, SimulatorOptions& o)
{
    if (!o.address.setAddress(parser.value(QStringLiteral("address"))))
        return fail(QStringLiteral("invalid --address: %1").arg(parser.value(QStringLiteral("address"))));
    if (!o.address.isLoopback() && !parser.isSet(QStringLiteral("allow-any-address")))
        return fail(QStringLiteral("%1 is not a loopback address; add --allow-any-address to listen there")
                        .arg(o.address.toString()));
    int commandPort = o.commandPort, dataPort = o.dataPort;
    int seed = int(o.seed);
    int confirmedPulse = int(o.confirmedPulse);
    double rho1 = o.earth.topResistivity(), thickness = o.earth.thickness(), rho2 = o.earth.bottomResistivity();
    const bool ok = readInt(parser, QStringLiteral("command-port"), commandPort, 0, 65535)
                    && readInt(parser, QStringLiteral("data-port"), dataPort, 0, 65535)
                    && readDouble(parser, QStringLiteral("speed"), o.speed, 0.0)
                    && readInt(parser, QStringLiteral("channels"), o.channelCount, 1, 255)
                    && readDouble(parser, QStringLiteral("spacing"), o.spacing, 0.0)
                    && readDouble(parser, QStringLiteral("rho1"), rho1, 1e-6)
                    && readDouble(parser, QStringLiteral("thickness"), thickness, 0.0)
                    && readDouble(parser, QStringLiteral("rho2"), rho2, 1e-6)
                    && readDouble(parser, QStringLiteral("contact"), o.contactResistance, 0.0)
                    && readDouble(parser, QStringLiteral("chargeability"), o.chargeability, 0.0)
                    && readDouble(parser, QStringLiteral("decay"), o.decayTime, 0.0)
                    && readDouble(parser, QStringLiteral("noise"), o.noise, 0.0)
                    && readDouble(parser, QStringLiteral("drift"), o.driftPerSecond, -1.0)
                    && readDouble(parser, QStringLiteral("battery"), o.battery, 0.0)
                    && readDouble(parser, QStringLiteral("battery-drain"), o.batteryDrain, 0.0)
                    && readDouble(parser, QStringLiteral("battery-floor"), o.batteryFloor, 0.0)
                    && readInt(parser, QStringLiteral("seed"), seed, 0, 2147483647)
                    && readDouble(parser, QStringLiteral("test-load-base"), o.testLoadBase, 1e-6)
                    && readInt(parser, QStringLiteral("drop-after"), o.dropCommandAfterFrames, 0, 2147483647)
                    && readInt(parser, QStringLiteral("close-data-after"), o.closeDataAfterRows, 0, 2147483647)
                    && readDouble(parser, QStringLiteral("burst-noise"), o.burstNoise, 0.0)
                    && readInt(parser, QStringLiteral("silent-after"), o.silentAfterFrames, 0, 2147483647)
                    && readInt(parser, QStringLiteral("unanswered-properties"), o.unansweredProperties, 1, 2147483647)
                    && readInt(parser, QStringLiteral("later-channels"), o.laterChannelCount, 0, 255)
                    && readInt(parser, QStringLiteral("confirm-pulse"), confirmedPulse, 1, 2147483647);
    if (!ok)
        return false;
    if (!parser.isSet(QStringLiteral("rho2")))
        rho2 = rho1;
    o.commandPort = quint16(commandPort);
    o.dataPort = quint16(dataPort);
    o.seed = quint32(seed);
    o.confirmedPulse = quint32(confirmedPulse);
    o.earth = EarthModel(rho1, thickness, rho2);
    if (o.chargeability >= 1.0)
        return fail(QStringLiteral("invalid --chargeability: a fraction below 1 is expected"));
    if (!parseNumbers(parser.value(QStringLiteral("not-ready")), o.notReadyChannels))
        return fail(QStringLiteral("invalid --not-ready: %1").arg(parser.value(QStringLiteral("not-ready"))));
    if (!parseNumbers(parser.value(QStringLiteral("noisy-records")), o.noisyRecords))
        return fail(QStringLiteral("invalid --noisy-records: %1").arg(parser.value(QStringLiteral("noisy-records"))));
    if (!parseNumbers(parser.value(QStringLiteral("faulty-relay")), o.faultyRelays))
        return fail(QStringLiteral("invalid --faulty-relay: %1").arg(parser.value(QStringLiteral("faulty-relay"))));
    if (!parseContacts(parser.value(QStringLiteral("high-contact")), o.contactOverrides))
        return fail(QStringLiteral("invalid --high-contact: %1").arg(parser.value(QStringLiteral("high-contact"))));
    if (!readGround(parser, o))
        return false;
    o.testLoad = parser.isSet(QStringLiteral("test-load"));
    o.refuseData = parser.isSet(QStringLiteral("refuse-data"));
    o.byteByByte = parser.isSet(QStringLiteral("byte-by-byte"));
    o.unknownCodes = parser.isSet(QStringLiteral("unknown-codes"));
    o.halfFrame = parser.isSet(QStringLiteral("half-frame"));
    o.floodUnknown = parser.isSet(QStringLiteral("flood-unknown"));
    o.endlessData = parser.isSet(QStringLiteral("endless-data"));
    return true;
}

}

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    CommandLine::setUp(app, QStringLiteral("tervex-station-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays a Tervex-M1 survey station over TCP: the command connection and a data connection per record, "
        "with samples from a two-layer earth, a ground of blocks (--model) or the relay-test load."));
    parser.addHelpOption();
    parser.addVersionOption();
    const SimulatorOptions defaults;
    const QList<Option> options = {
        {QStringLiteral("address"), QStringLiteral("Address to listen on."), QStringLiteral("127.0.0.1")},
        {QStringLiteral("command-port"), QStringLiteral("Command port (0 = any free port)."), QStringLiteral("6770")},
        {QStringLiteral("data-port"), QStringLiteral("Data port (0 = any free port)."), QStringLiteral("6771")},
        {QStringLiteral("speed"), QStringLiteral("Pace: 1 = real time, 10 = ten times faster, 0 = as fast as possible."),
         QStringLiteral("1")},
        {QStringLiteral("channels"), QStringLiteral("Number of measuring channels."), QStringLiteral("10")},
        {QStringLiteral("not-ready"), QStringLiteral("Channels reported as not ready, e.g. 3,7."), QString()},
        {QStringLiteral("spacing"), QStringLiteral("Electrode spacing in metres."), QStringLiteral("5")},
        {QStringLiteral("rho1"), QStringLiteral("Top layer resistivity, ohm-m."), QStringLiteral("100")},
        {QStringLiteral("thickness"), QStringLiteral("Top layer thickness in metres (0 = half-space)."),
         QStringLiteral("0")},
        {QStringLiteral("rho2"), QStringLiteral("Bottom resistivity, ohm-m (default: rho1)."), QString()},
        {QStringLiteral("model"),
         QStringLiteral("Ground file of 'background RHO [ETA]' and 'rect X0 X1 Z0 Z1 RHO [ETA]' lines (x along the line, "
                        "depths below the surface, m; ETA a fraction) in place of the two layers and --chargeability."),
         QString()},
        {QStringLiteral("elevation"),
         QStringLiteral("Table of x z points of the ground's surface under --model (as for tervex-seqgen)."), QString()},
        {QStringLiteral("contact"), QStringLiteral("Contact resistance of every electrode, ohms."),
         QString::number(defaults.contactResistance)},
        {QStringLiteral("high-contact"), QStringLiteral("Electrodes with other contacts, e.g. 10=20000,31=8000."),
         QString()},
        {QStringLiteral("chargeability"), QStringLiteral("Chargeability as a fraction (0.03 = 3 %)."),
         QString::number(defaults.chargeability)},
        {QStringLiteral("decay"), QStringLiteral("Polarisation decay time, ms."), QString::number(defaults.decayTime)},
        {QStringLiteral("noise"), QStringLiteral("Channel noise, volts rms."), QString::number(defaults.noise)},
        {QStringLiteral("drift"), QStringLiteral("Self-potential drift, volts per second."),
         QString::number(defaults.driftPerSecond)},
        {QStringLiteral("seed"), QStringLiteral("Seed of the noise, so runs repeat."), QString::number(defaults.seed)},
        {QStringLiteral("battery"), QStringLiteral("Battery voltage at the first status request."),
         QString::number(defaults.battery)},
        {QStringLiteral("battery-drain"), QStringLiteral("Volts the battery loses per status request."),
         QString::number(defaults.batteryDrain)},
        {QStringLiteral("battery-floor"), QStringLiteral("Voltage the battery stops falling at."),
         QString::number(defaults.batteryFloor)},
        {QStringLiteral("test-load-base"), QStringLiteral("Test load resistance between neighbouring electrodes."),
         QString::number(defaults.testLoadBase)},
        {QStringLiteral("faulty-relay"),
         QStringLiteral("Relays stuck in position 0 in test-load mode, e.g. 13,27."), QString()},
        {QStringLiteral("drop-after"), QStringLiteral("Close the command connection after answering N frames."),
         QString()},
        {QStringLiteral("close-data-after"), QStringLiteral("Close the data connection after N rows of a record."),
         QString()},
        {QStringLiteral("noisy-records"),
         QStringLiteral("Records spoilt by a noise burst, counted from 1 in the order streamed, e.g. 2,5."), QString()},
        {QStringLiteral("burst-noise"), QStringLiteral("Channel noise of a noise burst, volts rms."),
         QString::number(defaults.burstNoise)},
        {QStringLiteral("silent-after"), QStringLiteral("Answer nothing after N frames of a connection (0 = silent)."),
         QString()},
        {QStringLiteral("unanswered-properties"),
         QStringLiteral("Leave the N-th GetProperties of a connection (from 1) unanswered."), QString()},
        {QStringLiteral("later-channels"),
         QStringLiteral("Announce N channels in every Properties reply after the first."), QString()},
        {QStringLiteral("confirm-pulse"),
         QStringLiteral("Confirm this pulse length (ms) instead of the one set, e.g. 1073741824."), QString()},
    };
    for (const Option& o : options) {
        QCommandLineOption option(o.name, o.description, QStringLiteral("value"), o.value);
        parser.addOption(option);
    }
    parser.addOption({QStringLiteral("test-load"), QStringLiteral("Replace the earth by the relay-test load.")});
    parser.addOption({QStringLiteral("refuse-data"), QStringLiteral("Never accept the data connection.")});
    parser.addOption({QStringLiteral("byte-by-byte"), QStringLiteral("Write reply frames one byte at a time.")});
    parser.addOption({QStringLiteral("unknown-codes"), QStringLiteral("Send a frame with an unknown code before each reply.")});
    parser.addOption({QStringLiteral("half-frame"), QStringLiteral("Write half of the first reply frame, then nothing.")});
    parser.addOption({QStringLiteral("flood-unknown"), QStringLiteral("Flood unknown frames and answer nothing.")});
    parser.addOption({QStringLiteral("endless-data"), QStringLiteral("Never end a record's data connection.")});
    parser.addOption({QStringLiteral("allow-any-address"), QStringLiteral("Allow an address that is not loopback.")});
    parser.addOption({QStringLiteral("quiet"), QStringLiteral("Print only the listening line.")});
    if (!CommandLine::parse(parser, app))
        return CommandLine::UsageError;
    if (!parser.positionalArguments().isEmpty())
        return CommandLine::usageError(QStringLiteral("unexpected argument '%1' (see --help)")
                                           .arg(parser.positionalArguments().first()));

    SimulatorOptions o;
    if (!readOptions(parser, o))
        return CommandLine::UsageError;
    StationSimulator station(o);
    if (!station.start()) {
        CommandLine::printError(QStringLiteral("tervex-station-sim: cannot listen on %1: %2")
                                    .arg(o.address.toString(), station.errorString()));
        return 1;
    }
    out() << "Tervex-M1 simulator listening on " << o.address.toString() << ':' << station.commandPort()
          << " (commands), " << station.dataPort() << " (data)" << Qt::endl;
    if (!parser.isSet(QStringLiteral("quiet"))) {
        QObject::connect(&station, &StationSimulator::recordFinished, &station, [&station](int rows) {
            const ElectrodeSettings e = station.electrodes();
            const GeneratorSettings g = station.generator();
            out() << "record " << station.recordsStreamed() << ": A " << e.currentElectrodeA << ", B "
                  << e.currentElectrodeB << ", " << g.voltage << " V, pulse " << g.pulseLength << " ms, pause "
                  << g.pauseLength << " ms, " << g.periods << " periods, " << rows << " rows sent" << Qt::endl;
        });
    }
    return app.exec();
}
