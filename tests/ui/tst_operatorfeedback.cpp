#include "app/tervexmodel.h"
#include "etr/etrfile.h"
#include "measurement/electrodeposition.h"
#include "station/tervexdevice.h"
#include "survey/surveydatamanager.h"
#include "survey/surveystrategy.h"
#include "ui/measurementplot.h"
#include "ui/tervexwidget.h"

#include "windowsession.h"

#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTextStream>
#include <QtTest>

#include <qcustomplot.h>

#include <memory>

namespace {

// Keeps the window's boxes from blocking.
class QuietBoxes
{
public:
    QuietBoxes()
    {
        TervexWidget::setMessageHandler([](QWidget*, QMessageBox::Icon, const QString&, const QString&) {});
        TervexWidget::setQuestionHandler([](QWidget*, const QString&, const QString&) { return true; });
    }
    ~QuietBoxes()
    {
        TervexWidget::setMessageHandler(nullptr);
        TervexWidget::setQuestionHandler(nullptr);
    }
};

SimulatorOptions fastStation()
{
    SimulatorOptions o;
    o.speed = 0;
    o.noise = 0.0;
    o.driftPerSecond = 0.0;
    return o;
}

void setTiming(TervexModel* model)
{
    GeneratorSettings* g = model->stationSettings()->generatorSettings();
    g->pulseLength = 100;
    g->pauseLength = 100;
    g->periods = 1;
    g->voltage = 50;
}

// Three current dipoles with two potential pairs each: three records of two channels.
bool writeSequence(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "# X Y Z\n";
    for (int e = 1; e <= Electrodes::Count; ++e)
        out << e << ' ' << (e - 1) * 5 << " 0 0\n";
    out << "# A B M N\n";
    int line = 0;
    for (int d = 0; d < 3; ++d) {
        for (int p = 0; p < 2; ++p)
            out << line++ << ' ' << 1 + d << ' ' << 2 + d << ' ' << 10 + d + 2 * p << ' ' << 11 + d + 2 * p << '\n';
    }
    return true;
}

QStringList channelCaptions(MeasurementPlot* plot)
{
    QStringList captions;
    const QVector<QString>& rows = plot->rowCaptions();
    for (int i = 2; i < rows.size(); ++i)
        captions << rows[i];
    return captions;
}

} // namespace

// What the operator reads about the records and channels of a run.
class OperatorFeedbackTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void continuedSurveyCountsTheWholeSurvey();
    void notReadyChannelIsNotMeasured();
    void spareRowsStayUnnamed();
};

void OperatorFeedbackTest::continuedSurveyCountsTheWholeSurvey()
{
    QuietBoxes boxes;
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    SurveyDataManager* manager = model->surveyDataManager();
    setTiming(model);
    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));
    click(buttonIn(w, QStringLiteral("АВТОМАТ")));
    const QString sequence = s.fixture->path("seq.txt");
    const QString target = s.fixture->path("line.etr");
    QVERIFY(writeSequence(sequence));

    QSignalSpy completed(manager, &DataManager::completed);
    QVERIFY(model->startSurvey(sequence, target));
    QTRY_VERIFY_WITH_TIMEOUT(completed.count() >= 1, 20000);
    model->stopRun();
    EtrFile stored;
    QVERIFY(stored.load(target));
    const int storedRecords = stored.blocks().size();
    QVERIFY(storedRecords >= 1 && storedRecords < 3);

    // The continued survey counts the two channels of every stored record, out of all six.
    auto* progress = w->findChild<QLabel*>(QStringLiteral("survey_progress_info_label"));
    QSignalSpy started(manager, &DataManager::started);
    completed.clear();
    QVERIFY2(model->startSurvey(target, QString()), qPrintable(model->startError()));
    QTRY_VERIFY_WITH_TIMEOUT(started.count() >= 1, 10000);

    // Its first record carries the numbers the viewer gives its channels in the file, and the
    // header counts it done with the stored ones.
    QTRY_VERIFY_WITH_TIMEOUT(completed.count() >= 1, 10000);
    auto* info = w->findChild<QFrame*>(QStringLiteral("info_frame"));
    const QList<QLabel*> labels = info->findChildren<QLabel*>();
    QCOMPARE(labels.first()->text(),
             QStringLiteral("#%1..%2").arg(2 * storedRecords + 1).arg(2 * storedRecords + 2));
    QVERIFY2(progress->toolTip().startsWith(QStringLiteral("запись %1 из 6 |").arg(2 * storedRecords + 2)),
             qPrintable(progress->toolTip()));
    QTRY_VERIFY_WITH_TIMEOUT(!model->strategy()->isRunning(), 20000);
    QVERIFY2(progress->toolTip().startsWith(QStringLiteral("запись 6 из 6 |")), qPrintable(progress->toolTip()));
    QVERIFY(stored.load(target));
    QCOMPARE(stored.blocks().size(), 3);
}

// A record with fewer pairs than the sequence's largest step leaves its spare rows unnamed.
void OperatorFeedbackTest::spareRowsStayUnnamed()
{
    QuietBoxes boxes;
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    setTiming(model);
    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));
    click(buttonIn(w, QStringLiteral("АВТОМАТ")));
    const QString sequence = s.fixture->path("uneven.txt");
    QVERIFY(writeSequence(sequence, {{1, 2, 10, 11}, {1, 2, 12, 13}, {3, 4, 14, 15}}));
    QSignalSpy all(model->surveyDataManager(), &DataManager::allCompleted);
    QVERIFY2(model->startSurvey(sequence, s.fixture->path("uneven-line.etr")), qPrintable(model->startError()));
    QVERIFY(all.wait(20000));
    const QStringList captions = channelCaptions(w->measurementPlot());
    QCOMPARE(captions.size(), 2);
    QCOMPARE(captions.last(), QString());
}

void OperatorFeedbackTest::notReadyChannelIsNotMeasured()
{
    QuietBoxes boxes;
    SimulatorOptions options = fastStation();
    options.notReadyChannels = {3};
    WindowSession s;
    QVERIFY(s.connect(options));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    setTiming(model);
    QVector<ChannelSetting>& channels = model->stationSettings()->electrodeSettings()->channels;
    QCOMPARE(int(channels[2].available), 0);

    const auto trial = [&]() -> QStringList {
        QSignalSpy all(model->surveyDataManager(), &DataManager::allCompleted);
        click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));
        click(buttonIn(w, QStringLiteral("ПРОБА")));
        click(buttonIn(w, QStringLiteral("Работа")));
        if (!all.wait(10000))
            return {};
        return channelCaptions(w->measurementPlot());
    };
    // Every caption names the channel whose stream it shows, with that channel's electrodes.
    const auto namesItsChannel = [&](const QString& caption) {
        for (const ChannelSetting& c : channels) {
            if (caption == MeasurementPlot::channelCaption(c.number, c.electrodeM, c.electrodeN))
                return true;
        }
        return false;
    };

    QStringList captions = trial();
    QCOMPARE(captions.size(), 9);
    for (const QString& caption : captions) {
        QVERIFY2(namesItsChannel(caption), qPrintable(caption));
        QVERIFY2(!caption.startsWith(QStringLiteral("Канал 3\n")), qPrintable(caption));
    }

    // "Вкл" is the operator's switch only: a channel whose two status bytes are set stays unmeasured.
    QTableView* table = nullptr;
    for (QTableView* view : w->findChildren<QTableView*>(QStringLiteral("sts_table"))) {
        if (view->model()->columnCount() == 5)
            table = view;
    }
    QVERIFY(table);
    QVERIFY(table->model()->setData(table->model()->index(2, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(int(channels[2].available), 1);
    QCOMPARE(int(channels[2].enabled), 0);
    captions = trial();
    QCOMPARE(captions.size(), 9);
    for (const QString& caption : captions) {
        QVERIFY2(namesItsChannel(caption), qPrintable(caption));
        QVERIFY2(!caption.startsWith(QStringLiteral("Канал 3\n")), qPrintable(caption));
    }
}

QTEST_MAIN(OperatorFeedbackTest)
#include "tst_operatorfeedback.moc"
