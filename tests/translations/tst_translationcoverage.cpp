// The English catalogue against the code: lupdate merges the code's current texts into a copy of
// the committed catalogue, and every text must come out with a finished English translation. A
// new or changed text without one fails here, naming it.
#include "testsupport.h"

#include <QtTest>

#include <QProcess>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

struct Message
{
    QString context;
    QString source;
    QString translation;
    QString type;
};

QVector<Message> readCatalogue(const QString& path)
{
    QVector<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("message"))
            current = Message{context, QString(), QString(), QString()};
        else if (xml.name() == QLatin1String("source"))
            current.source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            current.type = xml.attributes().value(QLatin1String("type")).toString();
            current.translation = xml.readElementText();
            messages.append(current);
        }
    }
    return messages;
}

QStringList placeholders(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%(\\d+)"));
    QStringList found;
    auto it = marker.globalMatch(text);
    while (it.hasNext())
        found << it.next().captured(1);
    found.sort();
    found.removeDuplicates();
    return found;
}

} // namespace

class TranslationCoverageTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyTextHasAnEnglishTranslation();
};

void TranslationCoverageTest::everyTextHasAnEnglishTranslation()
{
    QTemporaryDir dir;
    const QString merged = dir.filePath(QStringLiteral("tervex_en.ts"));
    QVERIFY(QFile::copy(QStringLiteral(TERVEX_CATALOGUE), merged));
    QFile::setPermissions(merged, QFile::ReadOwner | QFile::WriteOwner);

    QStringList arguments = QStringLiteral(TERVEX_LUPDATE_OPTIONS).split(QLatin1Char('|'));
    arguments << QStringLiteral(TERVEX_TRANSLATED_SOURCES).split(QLatin1Char('|'));
    arguments << QStringLiteral("-ts") << merged;
    QProcess lupdate;
    lupdate.start(QStringLiteral(TERVEX_LUPDATE), arguments);
    QVERIFY(lupdate.waitForFinished(120000));
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
             lupdate.readAllStandardError().constData());

    const QVector<Message> messages = readCatalogue(merged);
    QVERIFY2(messages.size() > 100, "lupdate found almost no texts: are the sources where the test looks?");
    QStringList faults;
    for (const Message& m : messages) {
        const QString where = m.context + QStringLiteral(": \"") + m.source + QLatin1Char('"');
        if (m.type == QLatin1String("unfinished") || m.translation.isEmpty())
            faults << QStringLiteral("untranslated ") + where;
        else if (TestSupport::hasCyrillic(m.translation))
            faults << QStringLiteral("Russian left in the translation of ") + where;
        else if (placeholders(m.source) != placeholders(m.translation))
            faults << QStringLiteral("placeholders differ in ") + where;
        else if (!TestSupport::hasCyrillic(m.source))
            faults << QStringLiteral("source text is not the Russian one: ") + where;
    }
    QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("\n") + faults.join(QLatin1Char('\n'))
                                          + QStringLiteral("\nRun the update_translations target and translate.")));
}

QTEST_GUILESS_MAIN(TranslationCoverageTest)
#include "tst_translationcoverage.moc"
