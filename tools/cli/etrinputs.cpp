#include "tools/cli/etrinputs.h"

#include "etr/etrfile.h"
#include "tools/cli/commandline.h"

#include <QCoreApplication>

EtrInputs::EtrInputs() = default;
EtrInputs::~EtrInputs() = default;

bool EtrInputs::load(const QStringList& paths)
{
    bool allOpened = true;
    for (const QString& path : paths) {
        auto file = std::make_unique<EtrFile>();
        bool reported = false;
        QObject::connect(file.get(), &EtrFile::loadMessage, [&](const QString& title, const QString& text) {
            reported = true;
            CommandLine::printError(
                QStringLiteral("%1: %2: %3").arg(path, title, QString(text).replace(QLatin1Char('\n'), QStringLiteral(". "))));
        });
        if (!file->load(path)) {
            if (!reported)
                CommandLine::printError(QCoreApplication::translate("EtrInputs", "%1: не удалось открыть файл").arg(path));
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
