#include "tools/cli/etrinputs.h"

#include "etr/etrfile.h"
#include "tools/cli/commandline.h"

#include <QCoreApplication>

EtrInputs::EtrInputs() = default;
EtrInputs::~EtrInputs() = default;

bool EtrInputs::open(const QString& path, EtrFile* file)
{
    bool reported = false;
    // A loader message is two lines, the problem and its consequence; one line reads better
    // next to the others of a batch.
    const QMetaObject::Connection messages =
        QObject::connect(file, &EtrFile::loadMessage, [&](const QString& title, const QString& text) {
            reported = true;
            CommandLine::printError(
                QStringLiteral("%1: %2: %3").arg(path, title, QString(text).replace(QLatin1Char('\n'), QStringLiteral(". "))));
        });
    const bool loaded = file->load(path);
    QObject::disconnect(messages);
    if (!loaded && !reported)
        CommandLine::printError(QCoreApplication::translate("EtrInputs", "%1: не удалось открыть файл").arg(path));
    return loaded;
}

bool EtrInputs::load(const QStringList& paths)
{
    bool allOpened = true;
    for (const QString& path : paths) {
        auto file = std::make_unique<EtrFile>();
        if (!open(path, file.get())) {
            allOpened = false;
            continue;
        }
        m_files.push_back(std::move(file));
    }
    return allOpened;
}

QVector<const EtrFile*> EtrInputs::files() const
{
    QVector<const EtrFile*> files;
    for (const auto& file : m_files)
        files.append(file.get());
    return files;
}

bool EtrInputs::allComplete() const
{
    for (const auto& file : m_files) {
        if (!file->isComplete())
            return false;
    }
    return true;
}
