#include "app/startup.h"
#include "app/stationlock.h"
#include "survey/teststrategy.h"
#include "ui/freshdialogguard.h"
#include "ui/setupdialog.h"
#include "app/tervexmodel.h"
#include "station/tervexdevice.h"
#include "survey/surveydatamanager.h"
#include "survey/testdatamanager.h"
#include "ui/etrviewer.h"
#include "ui/measurementplot.h"
#include "ui/pseudosectionview.h"
#include "ui/stationvaluebox.h"
#include "ui/tervexwidget.h"

#include "windowsession.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLockFile>
#include <QMessageBox>
#include <QTableView>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QtTest>

#include <qcustomplot.h>

#include <memory>

namespace {

// Records every box and answers every question with `answer` instead of blocking.
class Boxes
{
public:
    Boxes()
    {
        TervexWidget::setMessageHandler([this](QWidget*, QMessageBox::Icon, const QString&, const QString& text) {
            messages.append(text);
        });
        TervexWidget::setQuestionHandler([this](QWidget*, const QString&, const QString& text) {
            questions.append(text);
            return answer;
        });
    }
    ~Boxes()
    {
        TervexWidget::setMessageHandler(nullptr);
        TervexWidget::setQuestionHandler(nullptr);
    }

    QStringList messages;
    QStringList questions;
    bool answer = false;
};

QLabel* runTypeMessage(QWidget* window)
{
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->styleSheet().contains(QStringLiteral("#FF6000")))
            return label;
    }
    return nullptr;
}

SimulatorOptions fastStation()
{
    SimulatorOptions o;
    o.speed = 0;
    o.noise = 0.0;
    o.driftPerSecond = 0.0;
    return o;
}

QString topLabel(MeasurementPlot* plot, int key)
{
    auto ticker = plot->testRect()->axis(QCPAxis::atTop)->ticker().dynamicCast<QCPAxisTickerText>();
    return ticker ? ticker->ticks().value(key) : QString();
}

// Opens the given file when asked and keeps its boxes to itself.
class QuietViewer : public EtrViewer
{
public:
    QuietViewer(TervexModel* model, const QString& path)
        : EtrViewer(model)
        , m_path(path)
    {
    }

protected:
    void showInformation(QWidget*, const QString&, const QString&) override {}
    QStringList chooseFiles() override { return {m_path}; }

private:
    QString m_path;
};

// Saves where the test says and keeps the result to itself.
class QuietSection : public PseudosectionView
{
public:
    explicit QuietSection(const QString& path)
        : m_path(path)
    {
    }
    QString result;

protected:
    QString chooseSavePath(const QString&) override { return m_path; }
    void showSaveResult(bool, const QString& text) override { result = text; }

private:
    QString m_path;
};

} // namespace

class FieldOperatorTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void fitsASmallScreen();
    void rowLabelsFitTheirRows();
    void connectionFailureNamesTheStationAndTheSettingsFile();
    void runEndingsAreReported();
    void interruptingARunAsksFirst();
    void spaceLeavesTextAndIdleWindowsAlone();
    void impossibleTrialAndStationValuesOutOfRange();
    void timingWarningFollowsTheValues();
    void testChartShowsOnlyMeasuredPositions();
    void viewerKeepsControlsAndStyle();
    void qtDialogsSpeakRussian();
    void releasingPauseContinuesAndPausedTimeIsShown();
    void surveyStartNeedsASequenceAndAWritableFolder();
    void silentStationShowsWaitingAndNoBattery();
    void oneCopyPerStation();
    void setupEditsTheStationAddressAndSaysWhatWasKept();
    void testModeShowsTheTestsGenerator();
    void testChartLabelsDoNotOverlap();
    void freshBoxIgnoresTheKeyThatWasDown();
    void headerButtonsExplainThemselvesAndStayTogether();
    void savedSectionSaysWhereItWent();
};

void FieldOperatorTest::rowLabelsFitTheirRows()
{
    QFont font;
    font.setPixelSize(12);
    const QFontMetrics metrics(font);
    const QString full = MeasurementPlot::channelCaption(10, 19, 20);
    const QString brief = QStringLiteral("К10");
    const int longest = metrics.horizontalAdvance(QStringLiteral("Канал 10"));
    const int briefWidth = metrics.horizontalAdvance(brief);
    // Ten channels in a 700 px window leave rows lower than the full caption is long.
    QCOMPARE(MeasurementPlot::fitAlongRow(full, brief, metrics, longest), full);
    QCOMPARE(MeasurementPlot::fitAlongRow(full, brief, metrics, longest - 1), brief);
    QCOMPARE(MeasurementPlot::fitAlongRow(full, brief, metrics, briefWidth), brief);
    QCOMPARE(MeasurementPlot::fitAlongRow(full, brief, metrics, briefWidth - 1), QString());
}

void FieldOperatorTest::fitsASmallScreen()
{
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    TervexWidget* w = s.window.get();
    QVERIFY(buttonIn(w, QStringLiteral("Работа")));
    QVERIFY2(w->minimumSizeHint().width() <= 1024, qPrintable(QString::number(w->minimumSizeHint().width())));
    QVERIFY2(w->minimumSizeHint().height() <= 700, qPrintable(QString::number(w->minimumSizeHint().height())));
    for (const QString& text : {QStringLiteral("Обработка"), QStringLiteral("Параметры")}) {
        QPushButton* button = buttonIn(w, text);
        const QRect inWindow(button->mapTo(w, QPoint(0, 0)), button->size());
        QVERIFY2(w->rect().contains(inWindow), qPrintable(text));
    }

    // A long progress text neither widens the window nor moves the header buttons.
    QPushButton* viewer = buttonIn(w, QStringLiteral("Обработка"));
    const QPoint before = viewer->mapTo(w, QPoint(0, 0));
    auto* progress = w->findChild<QLabel*>(QStringLiteral("survey_progress_info_label"));
    progress->show();
    const int width = progress->width();
    progress->setText(TervexWidget::progressText(12345, 99999, qint64(1) << 40));
    QApplication::processEvents();
    QCOMPARE(progress->width(), width);
    QCOMPARE(viewer->mapTo(w, QPoint(0, 0)), before);
    QCOMPARE(w->width(), 1024);
}

void FieldOperatorTest::connectionFailureNamesTheStationAndTheSettingsFile()
{
    Boxes boxes;
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    TervexModel* model = s.fixture->model.get();
    QSignalSpy forwarded(model, &TervexModel::connectionFailed);
    const QString reason = QStringLiteral("станция 127.0.0.1:%1 не отвечает").arg(model->device()->commandPort());
    Q_EMIT model->device()->connectionFailed(reason);
    QCOMPARE(forwarded.count(), 1);
    QCOMPARE(boxes.messages.size(), 1);
    QVERIFY(boxes.messages[0].contains(reason));
    // The link was up, so the address was right: the box tells it was lost instead.
    QVERIFY(!boxes.messages[0].contains(QStringLiteral("«Параметры»")));
    QVERIFY(boxes.messages[0].contains(QStringLiteral("Проверьте кабель")));
    QVERIFY(s.window->statusText().contains(reason));

    // The reason stays on the connect page once the link is down.
    model->disconnectDevice();
    QTRY_VERIFY(buttonIn(s.window.get(), QStringLiteral("Подключить"))->isVisible());
    auto* state = s.window->findChild<QLabel*>(QStringLiteral("connection_state_label"));
    QCOMPARE(state->text(), reason);
}

void FieldOperatorTest::runEndingsAreReported()
{
    Boxes boxes;
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    TervexModel* model = s.fixture->model.get();
    QSignalSpy all(model->testDataManager(), &DataManager::allCompleted);
    QVERIFY(model->testElectrode(1));
    QVERIFY(all.wait(10000));
    const QString report = model->testDataManager()->lastReportPath();
    QVERIFY(!report.isEmpty());
    QVERIFY2(s.window->statusText().contains(QDir::toNativeSeparators(report)), qPrintable(s.window->statusText()));

    QSignalSpy aborted(model->testDataManager(), &DataManager::aborted);
    QVERIFY(model->testAllElectrodes());
    model->stopRun();
    QTRY_COMPARE(aborted.count(), 1);
    QCOMPARE(s.window->statusText(), QStringLiteral("Тест остановлен"));
}

void FieldOperatorTest::interruptingARunAsksFirst()
{
    Boxes boxes;
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    QVERIFY(model->testAllElectrodes());
    QVERIFY(model->runActive());

    boxes.answer = false;
    click(buttonIn(w, QStringLiteral("<->")));
    QVERIFY(!w->close());
    QCOMPARE(boxes.questions, QStringList({QStringLiteral("Идёт измерение. Прервать?"),
                                           QStringLiteral("Идёт измерение. Прервать?")}));
    QVERIFY(model->runActive());
    QVERIFY(!buttonIn(w, QStringLiteral("Подключить"))->isVisible());

    boxes.answer = true;
    click(buttonIn(w, QStringLiteral("<->")));
    QVERIFY(!model->runActive());
    QTRY_VERIFY(buttonIn(w, QStringLiteral("Подключить"))->isVisible());
    // With no run the window closes without asking.
    QVERIFY(w->close());
    QCOMPARE(boxes.questions.size(), 3);
}

void FieldOperatorTest::spaceLeavesTextAndIdleWindowsAlone()
{
    Boxes boxes;
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    QPushButton* pause = buttonIn(w, QStringLiteral("Пауза"));
    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));

    // Idle: Space is an ordinary key.
    QTest::keyClick(w, Qt::Key_Space);
    QVERIFY(!pause->isChecked());

    auto* edit = new QLineEdit(w);
    edit->show();
    QVERIFY(model->testAllElectrodes());
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("line 1 north"));
    QCOMPARE(edit->text(), QStringLiteral("line 1 north"));
    QVERIFY(!pause->isChecked());

    // During a run, with the focus outside text input, Space still pauses.
    w->setFocus();
    QTest::keyClick(w, Qt::Key_Space);
    QVERIFY(pause->isChecked());
    model->stopRun();
}

void FieldOperatorTest::impossibleTrialAndStationValuesOutOfRange()
{
    Boxes boxes;
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    ElectrodeSettings* electrodes = model->stationSettings()->electrodeSettings();
    electrodes->currentElectrodeA = 7;
    electrodes->currentElectrodeB = 7;
    QVERIFY(!model->runTrial());
    QVERIFY(model->startError().contains(QStringLiteral("Ca и Cb")));
    QVERIFY(!model->runActive());

    // A station value outside the box is shown marked and is not written back.
    electrodes->currentElectrodeA = 60;
    Q_EMIT model->stationSettings()->updating();
    Q_EMIT model->stationSettings()->updated();
    QCOMPARE(electrodes->currentElectrodeA, quint16(60));
    QSpinBox* ca = nullptr;
    for (QSpinBox* box : w->findChildren<QSpinBox*>()) {
        if (box->maximum() == 48 && box->value() == 48)
            ca = box;
    }
    QVERIFY(ca);
    QVERIFY(StationValueBox::isOutOfRange(ca));
    QVERIFY(ca->toolTip().contains(QStringLiteral("60")));
    electrodes->currentElectrodeA = 3;
    Q_EMIT model->stationSettings()->updating();
    Q_EMIT model->stationSettings()->updated();
    QVERIFY(!StationValueBox::isOutOfRange(ca));
}

void FieldOperatorTest::timingWarningFollowsTheValues()
{
    Boxes boxes;
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));
    model->stationSettings()->generatorSettings()->pulseLength = 150;
    model->stationSettings()->generatorSettings()->pauseLength = 200;
    click(buttonIn(w, QStringLiteral("Работа")));
    QLabel* warning = runTypeMessage(w);
    QVERIFY(!warning->text().isEmpty());
    const int height = warning->height();

    QSpinBox* pulse = nullptr;
    for (QSpinBox* box : w->findChildren<QSpinBox*>()) {
        if (box->minimum() == 50 && box->maximum() == 60000)
            pulse = box;
    }
    QVERIFY(pulse);
    pulse->setValue(150);
    QVERIFY(!warning->text().isEmpty());
    pulse->setValue(500);
    QVERIFY(warning->text().isEmpty());
    QCOMPARE(warning->height(), height);

    pulse->setValue(100);
    click(buttonIn(w, QStringLiteral("Отмена")));
    click(buttonIn(w, QStringLiteral("Работа")));
    QVERIFY(!warning->text().isEmpty());
    click(buttonIn(w, QStringLiteral("Отмена")));
    click(buttonIn(w, QStringLiteral("ТЕСТ")));
    QVERIFY(warning->text().isEmpty());
}

void FieldOperatorTest::testChartShowsOnlyMeasuredPositions()
{
    SurveyDataManager survey;
    TervexSettings settings;
    QWidget host;
    MeasurementPlot plot(&survey, &settings, &host);
    // Positions 1 and 2 planned, only 1 measured; position 3 outside the plan holds an old value.
    QVector<TestPlanEntry> plan = {{0, 1, 2, false}, {1, 2, 3, false}, {-1, 0, 0, true}};
    plot.buildTestChart(plan);
    QVector<TestResult> results(3);
    results[0].resistance = 1500.0f;
    results[2].resistance = 2000.0f;
    results[2].age = 1;
    plot.updateTestChart(results);
    QCOMPARE(topLabel(&plot, 1), MeasurementPlot::resistanceLabel(1500.0f));
    QVERIFY(!topLabel(&plot, 2).contains(QStringLiteral("Ом")));
    QVERIFY(!topLabel(&plot, 2).isEmpty());
    QCOMPARE(topLabel(&plot, 3), QString());
    int bars = 0;
    for (int series = 0; series < 8; ++series)
        bars += plot.bars(series)->data()->size();
    QCOMPARE(bars, 1);
}

void FieldOperatorTest::viewerKeepsControlsAndStyle()
{
    TervexModel model;
    TervexWidget w(&model, false);
    w.resize(1024, 700);
    w.show();
    click(buttonIn(&w, QStringLiteral("Обработка")));
    auto* viewer = w.findChild<EtrViewer*>();
    QVERIFY(viewer->isVisible());
    QVERIFY(qobject_cast<QFrame*>(viewer->findChild<QWidget*>(QStringLiteral("header"))));
    QTest::keyClick(viewer, Qt::Key_Escape);
    QVERIFY(buttonIn(&w, QStringLiteral("Подключить"))->isVisible());
    click(buttonIn(&w, QStringLiteral("Обработка")));
    QVERIFY(viewer->isVisible());

    // A failed opening leaves nothing of the file shown before.
    QTemporaryDir folder;
    const QString bad = folder.filePath(QStringLiteral("broken.etr"));
    QFile file(bad);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a data file");
    file.close();
    QuietViewer quiet(&model, bad);
    quiet.potentialGraph()->addData(1, 1);
    quiet.onOpenClicked();
    QCOMPARE(quiet.potentialGraph()->data()->size(), 0);
    QCOMPARE(quiet.tree()->topLevelItemCount(), 0);
}

void FieldOperatorTest::qtDialogsSpeakRussian()
{
    QVERIFY(Startup::installTranslations(qApp, Startup::russian()).isEmpty());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Да"));
}

void FieldOperatorTest::releasingPauseContinuesAndPausedTimeIsShown()
{
    Boxes boxes;
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    GeneratorSettings* g = model->stationSettings()->generatorSettings();
    g->pulseLength = 100;
    g->pauseLength = 100;
    g->periods = 1;
    const QString sequence = s.fixture->path(QStringLiteral("line.txt"));
    QVERIFY(writeSequence(sequence, {{1, 4, 2, 3}, {2, 5, 3, 4}, {3, 6, 4, 5}}));
    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));
    QPushButton* pause = buttonIn(w, QStringLiteral("Пауза"));
    click(pause);
    QVERIFY(model->paused());
    QSignalSpy started(model->surveyDataManager(), &DataManager::started);
    QVERIFY2(model->startSurvey(sequence, s.fixture->path(QStringLiteral("run.etr"))), qPrintable(model->startError()));
    QTRY_VERIFY_WITH_TIMEOUT(w->nextPending(), 10000);
    QVERIFY2(w->statusText().startsWith(QStringLiteral("Пауза: ")), qPrintable(w->statusText()));
    // The header and "#" count the record just finished alike; the header keeps its remaining time.
    auto* progress = w->findChild<QLabel*>(QStringLiteral("survey_progress_info_label"));
    QVERIFY2(progress->toolTip().startsWith(QStringLiteral("запись 1 из 3 | осталось ")), qPrintable(progress->toolTip()));
    QVERIFY2(!progress->text().endsWith(QStringLiteral("…")), qPrintable(progress->text()));
    QCOMPARE(w->findChild<QFrame*>(QStringLiteral("info_frame"))->findChildren<QLabel*>().first()->text(),
             QStringLiteral("#1"));

    // Releasing "Пауза" with the mouse continues as Space does.
    const int before = started.count();
    click(pause);
    QVERIFY(!w->nextPending());
    QVERIFY(!w->statusText().startsWith(QStringLiteral("Пауза")));
    QTRY_VERIFY_WITH_TIMEOUT(started.count() > before, 10000);
    model->stopRun();
    QCOMPARE(TervexWidget::shortProgressLine(12, 98, 65000), QStringLiteral("12/98 | 1м 5с"));
}

void FieldOperatorTest::surveyStartNeedsASequenceAndAWritableFolder()
{
    Boxes boxes;
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));
    click(buttonIn(w, QStringLiteral("Работа")));
    click(buttonIn(w, QStringLiteral("Выполнить")));
    QCOMPARE(boxes.messages.size(), 1);
    QVERIFY2(boxes.messages[0].contains(QStringLiteral("не выбран файл последовательности")), qPrintable(boxes.messages[0]));
    QVERIFY(buttonIn(w, QStringLiteral("Выполнить"))->isVisible());
    QVERIFY(!model->runActive());

    // A data file in a folder that cannot be written is refused for exactly that.
    const QString sequence = s.fixture->path(QStringLiteral("line.txt"));
    QVERIFY(writeSequence(sequence, {{1, 4, 2, 3}}));
    QVERIFY(!model->startSurvey(sequence, s.fixture->path(QStringLiteral("missing/run.etr"))));
    QVERIFY2(model->startError().contains(QStringLiteral("недоступна для записи")), qPrintable(model->startError()));
}

void FieldOperatorTest::silentStationShowsWaitingAndNoBattery()
{
    Boxes boxes;
    SimulatorOptions options = fastStation();
    options.silentAfterFrames = 0;
    WindowSession s;
    QVERIFY(!s.connect(options));
    TervexWidget* w = s.window.get();
    auto* state = w->findChild<QLabel*>(QStringLiteral("connection_state_label"));
    QVERIFY2(state->text().startsWith(QStringLiteral("Ожидание ответа станции 127.0.0.1:")), qPrintable(state->text()));
    QVERIFY(state->isVisible());
    QVERIFY(!buttonIn(w, QStringLiteral("СТАНЦИЯ"))->isVisible());
    // No status yet: the battery shows no value rather than 0.0 V.
    Q_EMIT s.fixture->model->deviceStatusUpdated();
    for (QLabel* label : w->findChildren<QLabel*>())
        QVERIFY2(!label->text().endsWith(QStringLiteral("0.0В")), qPrintable(label->text()));
}

void FieldOperatorTest::oneCopyPerStation()
{
    Boxes boxes;
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    // A second copy on this computer reads the same settings, so it would reach the same station.
    TervexModel second;
    QSignalSpy failed(&second, &TervexModel::connectionFailed);
    QVERIFY(!second.connectDevice());
    QCOMPARE(failed.count(), 1);
    const QString reason = failed.first().first().toString();
    QVERIFY2(reason.contains(QStringLiteral("процесс %1").arg(QCoreApplication::applicationPid())), qPrintable(reason));

    // Freed by the first copy, the station can be taken.
    s.fixture->model->disconnectDevice();
    QVERIFY(second.connectDevice());
    second.disconnectDevice();

    // The lock of a copy that died is taken over.
    const QString lockPath = StationLock::lockPath(QFileInfo(second.settingsStore()->fileName()).absolutePath(),
                                                   second.device()->host(), second.device()->commandPort());
    QByteArray stale;
    {
        QLockFile lock(lockPath);
        QVERIFY(lock.tryLock(0));
        QFile held(lockPath);
        QVERIFY(held.open(QIODevice::ReadOnly));
        stale = held.readAll();
    }
    stale = "4194000" + stale.mid(stale.indexOf('\n'));
    QFile dead(lockPath);
    QVERIFY(dead.open(QIODevice::WriteOnly));
    dead.write(stale);
    dead.close();
    QVERIFY(second.connectDevice());
    second.disconnectDevice();
}

void FieldOperatorTest::setupEditsTheStationAddressAndSaysWhatWasKept()
{
    Boxes boxes;
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    const quint16 port = model->device()->commandPort();
    const quint16 dataPort = model->device()->dataPort();
    TervexWidget::setTextInputHandler([](QWidget*, const QString&, const QString&, const QString&, QString* text) {
        *text = QStringLiteral("25");
        return true;
    });
    QTimer::singleShot(0, w, [&]() {
        QDialog* dialog = w->setupDialog();
        auto* host = dialog->findChild<QLineEdit*>(QStringLiteral("station_host"));
        QCOMPARE(host->text(), QStringLiteral("127.0.0.1"));
        host->setText(QStringLiteral("192.168.0.300"));
        buttonIn(dialog, QStringLiteral("Сохранить адрес"))->click();
        host->setText(QStringLiteral("127.0.0.1"));
        // Nothing listens on port 1.
        dialog->findChild<QSpinBox*>(QStringLiteral("command_port"))->setValue(1);
        buttonIn(dialog, QStringLiteral("Сохранить адрес"))->click();
        buttonIn(dialog, QStringLiteral("Напряжение для теста"))->click();
        QVERIFY(dialog->findChild<QDialogButtonBox*>());
        dialog->reject();
    });
    click(buttonIn(w, QStringLiteral("Параметры")));
    TervexWidget::setTextInputHandler(nullptr);
    QCOMPARE(boxes.messages.size(), 3);
    QVERIFY2(boxes.messages[0].contains(QStringLiteral("не является адресом IPv4")), qPrintable(boxes.messages[0]));
    QVERIFY2(boxes.messages[1].contains(QStringLiteral("порты 1 и %1").arg(dataPort)), qPrintable(boxes.messages[1]));
    QVERIFY2(boxes.messages[2].contains(QStringLiteral("ограниченное значение 20")), qPrintable(boxes.messages[2]));
    QCOMPARE(model->testVoltageText(), QStringLiteral("20"));
    QCOMPARE(model->settingsStore()->value(QStringLiteral("command_port")).toInt(), 1);

    // The next "Подключить" uses the new address: nothing listens there, and the box points to "Параметры".
    boxes.messages.clear();
    model->disconnectDevice();
    QTRY_VERIFY(buttonIn(w, QStringLiteral("Подключить"))->isVisible());
    click(buttonIn(w, QStringLiteral("Подключить")));
    QTRY_VERIFY_WITH_TIMEOUT(!boxes.messages.isEmpty(), 15000);
    QVERIFY2(boxes.messages[0].contains(QStringLiteral("127.0.0.1:1 ")), qPrintable(boxes.messages[0]));
    QVERIFY(boxes.messages[0].contains(QStringLiteral("«Параметры»")));
    QVERIFY(model->setStationAddress(QStringLiteral("127.0.0.1"), port, dataPort).isEmpty());

    // A pause the station cannot take is refused with the values it can.
    click(buttonIn(w, QStringLiteral("Подключить")));
    QTRY_VERIFY_WITH_TIMEOUT(buttonIn(w, QStringLiteral("СТАНЦИЯ"))->isVisible(), 10000);
    boxes.messages.clear();
    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));
    model->stationSettings()->generatorSettings()->pauseLength = 39;
    click(buttonIn(w, QStringLiteral("Работа")));
    QCOMPARE(boxes.messages.size(), 1);
    QVERIFY(boxes.messages[0].contains(QStringLiteral("Допустимая пауза: 0 мс или от 40 до 60000 мс")));
}

void FieldOperatorTest::testModeShowsTheTestsGenerator()
{
    Boxes boxes;
    WindowSession s;
    QVERIFY(s.connect(fastStation()));
    TervexWidget* w = s.window.get();
    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));
    QSpinBox* pulse = nullptr;
    for (QSpinBox* box : w->findChildren<QSpinBox*>()) {
        if (box->minimum() == 50 && box->maximum() == 60000)
            pulse = box;
    }
    QVERIFY(pulse);
    const int surveyPulse = pulse->value();
    click(buttonIn(w, QStringLiteral("ТЕСТ")));
    QVERIFY(pulse->isReadOnly());
    QCOMPARE(pulse->value(), int(TestStrategy::TestPulse));
    click(buttonIn(w, QStringLiteral("АВТОМАТ")));
    QVERIFY(!pulse->isReadOnly());
    QCOMPARE(pulse->value(), surveyPulse);
}

void FieldOperatorTest::testChartLabelsDoNotOverlap()
{
    SurveyDataManager survey;
    TervexSettings settings;
    QWidget host;
    host.resize(600, 400);
    MeasurementPlot plot(&survey, &settings, &host);
    plot.plot()->resize(600, 400);
    QVector<TestPlanEntry> plan;
    for (int k = 0; k < 96; ++k)
        plan.append({k, k % 48 + 1, 48 - k % 48, false});
    plot.buildTestChart(plan);
    plot.updateTestChart(QVector<TestResult>(96, TestResult{1500.0f, 0}));
    for (QCPAxis::AxisType type : {QCPAxis::atBottom, QCPAxis::atTop}) {
        QCPAxis* axis = plot.testRect()->axis(type);
        auto ticker = axis->ticker().dynamicCast<QCPAxisTickerText>();
        int shown = 0;
        for (const QString& label : ticker->ticks())
            shown += label.isEmpty() ? 0 : 1;
        QVERIFY(shown > 0);
        const int lineHeight = QFontMetrics(axis->tickLabelFont()).height();
        QVERIFY2(shown * lineHeight <= 600, qPrintable(QString::number(shown)));
    }
    QCOMPARE(MeasurementPlot::labelStep(96, 15, 500), 3);
}

void FieldOperatorTest::freshBoxIgnoresTheKeyThatWasDown()
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("Тервекс-М1"), QStringLiteral("отчёт"));
    new FreshDialogGuard(&box, 300);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QWidget* focus = box.focusWidget() ? box.focusWidget() : &box;
    QTest::keyClick(focus, Qt::Key_Space);
    QVERIFY(box.isVisible());
    QTest::qWait(350);
    QTest::keyClick(box.focusWidget() ? box.focusWidget() : &box, Qt::Key_Space);
    QTRY_VERIFY(!box.isVisible());
}

void FieldOperatorTest::headerButtonsExplainThemselvesAndStayTogether()
{
    TervexModel model;
    TervexWidget w(&model, false);
    w.resize(1400, 900);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QPushButton* reconnect = buttonIn(&w, QStringLiteral("<->"));
    QPushButton* viewer = buttonIn(&w, QStringLiteral("Обработка"));
    QVERIFY(!reconnect->toolTip().isEmpty());
    // On the connect page the four buttons stay side by side at the right.
    QVERIFY2(viewer->x() - reconnect->x() < 250, qPrintable(QString::number(viewer->x() - reconnect->x())));

    // "Вкл" and the other channel headers fit their columns.
    StationProperties properties;
    properties.channelCount = 2;
    properties.channels.resize(2);
    model.stationSettings()->updateFrom(properties);
    for (QTableView* table : w.findChildren<QTableView*>(QStringLiteral("sts_table"))) {
        if (table->model()->columnCount() != 5)
            continue;
        const QFontMetrics metrics = table->horizontalHeader()->fontMetrics();
        const QString on = table->model()->headerData(0, Qt::Horizontal).toString();
        QVERIFY2(table->columnWidth(0) >= metrics.horizontalAdvance(on) + 8, qPrintable(QString::number(table->columnWidth(0))));
    }
}

void FieldOperatorTest::savedSectionSaysWhereItWent()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("line 1"));
    QuietSection section(path);
    section.findChild<QPushButton*>(QStringLiteral("save_png_button"))->click();
    QCOMPARE(section.result, QStringLiteral("Разрез сохранён в %1").arg(QDir::toNativeSeparators(path + QStringLiteral(".png"))));
    QVERIFY(QFile::exists(path + QStringLiteral(".png")));
}

QTEST_MAIN(FieldOperatorTest)
#include "tst_fieldoperator.moc"
