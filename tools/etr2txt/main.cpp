// tervex-etr2txt [--polar] FILE.etr...
// Converts survey data files into the text tables the viewer's "Обработать" writes, beside each
// file. Exit status: 0 when every file was read whole and converted, 1 when a file could not be
// opened, was read only in part or its table could not be written, 2 on a usage error.

#include "etr/etrfile.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

void printLine(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

// A loader message is two lines, the problem and its consequence; one line per message reads
// better next to the others of a batch.
QString oneLine(const QString& text)
{
    return QString(text).replace(QLatin1Char('\n'), QStringLiteral(". "));
}

bool convert(const QString& path, bool withPolarisation)
{
    EtrFile file;
    bool reported = false;
    QObject::connect(&file, &EtrFile::loadMessage, [&](const QString& title, const QString& text) {
        reported = true;
        printLine(stderr, QStringLiteral("%1: %2: %3").arg(path, title, oneLine(text)));
    });

    if (!file.load(path)) {
        if (!reported)
            printLine(stderr, QStringLiteral("%1: не удалось открыть файл").arg(path));
        return false;
    }

    bool polarisation = withPolarisation;
    if (polarisation && file.polarisationInvalid()) {
        printLine(stderr, QStringLiteral("%1: Преобразование etr в txt: %2")
                              .arg(path, oneLine(QStringLiteral("Некорректное значение поляризации\n"
                                                                "Будет выполнено преобразование без поляризации"))));
        polarisation = false;
    }
    const QString target = file.textPath(polarisation);
    if (!file.exportText(polarisation)) {
        printLine(stderr, QStringLiteral("%1: не удалось записать файл %2").arg(path, target));
        return false;
    }
    printLine(stdout, target);
    return file.isComplete();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);

    QStringList arguments = app.arguments().mid(1);
    const bool withPolarisation = arguments.removeAll(QStringLiteral("--polar")) > 0;
    if (arguments.isEmpty()) {
        printLine(stderr, QStringLiteral("usage: tervex-etr2txt [--polar] FILE.etr..."));
        return 2;
    }

    bool allConverted = true;
    for (const QString& path : qAsConst(arguments))
        allConverted = convert(path, withPolarisation) && allConverted;
    return allConverted ? 0 : 1;
}
