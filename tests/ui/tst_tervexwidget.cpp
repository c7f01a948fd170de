#include "app/tervexmodel.h"
#include "etr/etrfile.h"
#include "measurement/electrodeposition.h"
#include "station/tervexdevice.h"
#include "survey/surveydatamanager.h"
#include "survey/surveyreport.h"
#include "survey/surveystrategy.h"
#include "survey/testdatamanager.h"
#include "ui/autosettingswidget.h"
#include "ui/clickablelabel.h"
#include "ui/measurementplot.h"
#include "ui/testrecordpanel.h"
#include "ui/setupdialog.h"
#include "ui/tervexwidget.h"

#include "../app/runfixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableView>
#include <QTextStream>
#include <QtTest>

#include <qcustomplot.h>

#include <memory>

namespace {

struct Message
{
    bool hasParent;
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// Records every box instead of showing it.
class MessageRecorder
{
public:
    MessageRecorder()
    {
        TervexWidget::setMessageHandler(
            [this](QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
                messages.append({parent != nullptr, icon, title, text});
            });
    }
    ~MessageRecorder() { TervexWidget::setMessageHandler(nullptr); }

    QList<Message> messages;
};

SimulatorOptions fastStation()
{
    SimulatorOptions o;
    o.speed = 0;
    o.spacing = 5.0;
    o.chargeability = 0.0;
    o.noise = 0.0;
    o.driftPerSecond = 0.0;
    return o;
}

QPushButton* buttonIn(QWidget* root, const QString& text)
{
    const QList<QPushButton*> buttons = root->findChildren<QPushButton*>();
    for (QPushButton* button : buttons) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

bool hasLabel(QWidget* root, const QString& text)
{
    const QList<QLabel*> labels = root->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        if (label->text() == text && label->isVisibleTo(root))
            return true;
    }
    return false;
}

QLabel* labelStartingWith(QWidget* root, const QString& prefix)
{
    const QList<QLabel*> labels = root->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        if (label->text().startsWith(prefix))
            return label;
    }
    return nullptr;
}

// The station-info table has three columns, the channel-settings table five.
QTableView* stationTable(QWidget* window, int columns)
{
    for (QTableView* table : window->findChildren<QTableView*>(QStringLiteral("sts_table"))) {
        if (table->model()->columnCount() == columns)
            return table;
    }
    return nullptr;
}

// The orange message under the run-type buttons.
QLabel* runTypeMessage(QWidget* window)
{
    const QList<QLabel*> labels = window->findChildren<QLabel*>();
    for (QLabel* label : labels) {
        if (label->styleSheet().contains(QStringLiteral("#FF6000")))
            return label;
    }
    return nullptr;
}

QLabel* progressInfo(QWidget* window)
{
    return window->findChild<QLabel*>(QStringLiteral("survey_progress_info_label"));
}

void click(QPushButton* button)
{
    QVERIFY(button);
    QVERIFY2(button->isEnabled(), qPrintable(button->text()));
    QTest::mouseClick(button, Qt::LeftButton);
}

void setTiming(TervexModel* model, quint32 pulse, quint32 pause, quint16 periods)
{
    GeneratorSettings* g = model->stationSettings()->generatorSettings();
    g->pulseLength = pulse;
    g->pauseLength = pause;
    g->periods = periods;
    g->voltage = 50;
}

bool writeSequence(const QString& path, int lineCount)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "# X Y Z\n";
    for (int e = 1; e <= Electrodes::Count; ++e)
        out << e << ' ' << (e - 1) * 5 << " 0 0\n";
    out << "# A B M N\n";
    // One pair per line and a new current dipole each line: every line is a record of its own.
    for (int i = 0; i < lineCount; ++i)
        out << i << ' ' << 1 + i << ' ' << 48 - i << ' ' << 10 + i << ' ' << 11 + i << '\n';
    return true;
}

QString topLabel(MeasurementPlot* plot, int key)
{
    auto ticker = plot->testRect()->axis(QCPAxis::atTop)->ticker().dynamicCast<QCPAxisTickerText>();
    return ticker ? ticker->ticks().value(key) : QString();
}

} // namespace

class TervexWidgetTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void resistanceLabelsAndTimeTexts();
    void validationOfPulseAndPause_data();
    void validationOfPulseAndPause();
    void relayModeButtonsAndParameters();
    void connectRefusedIsShown();
    void connectFillsTheStationPage();
    void editingCurrentElectrodesAndChannels();
    void trialShowsRowsAndValues();
    void surveyThroughAutoSettingsToTheEnd();
    void spacePausesAfterARecordAndContinues();
    void stopMidway();
    void contactTestModesAndBarChart();
    void linkDroppedMidRun();

private:
    struct Session
    {
        std::unique_ptr<RunFixture> fixture;
        std::unique_ptr<TervexWidget> window;
    };
    // A window on a model connected to a fresh simulated station.
    static bool connected(Session& s, const SimulatorOptions& options, bool relay = false);
};

bool TervexWidgetTest::connected(Session& s, const SimulatorOptions& options, bool relay)
{
    s.fixture.reset(new RunFixture(options));
    if (!s.fixture->ok)
        return false;
    s.window.reset(new TervexWidget(s.fixture->model.get(), relay));
    s.window->resize(1300, 850);
    s.window->show();
    QSignalSpy updated(s.fixture->model.get(), &TervexModel::settingsUpdated);
    QTest::mouseClick(buttonIn(s.window.get(), QStringLiteral("Подключить")), Qt::LeftButton);
    return updated.wait(5000);
}

void TervexWidgetTest::resistanceLabelsAndTimeTexts()
{
    QCOMPARE(MeasurementPlot::resistanceLabel(999.6f), QStringLiteral("999Ом"));
    QCOMPARE(MeasurementPlot::resistanceLabel(1000.0f), QStringLiteral("1.0кОм"));
    QCOMPARE(MeasurementPlot::resistanceLabel(1234.4f), QStringLiteral("1.2кОм"));
    QCOMPARE(MeasurementPlot::resistanceLabel(150000.0f), QStringLiteral("150кОм"));
    QCOMPARE(MeasurementPlot::resistanceLabel(2.5e6f), QStringLiteral(">1МОм"));
    QCOMPARE(MeasurementPlot::seriesFor(2999.0f, 0), 0);
    QCOMPARE(MeasurementPlot::seriesFor(3000.0f, 0), 1);
    QCOMPARE(MeasurementPlot::seriesFor(49999.0f, 2), 6);
    QCOMPARE(MeasurementPlot::seriesFor(50000.0f, 1), 7);

    QCOMPARE(TervexWidget::timeText(0), QStringLiteral("0с"));
    QCOMPARE(TervexWidget::timeText(59000), QStringLiteral("59с"));
    QCOMPARE(TervexWidget::timeText(60000), QStringLiteral("1м 0с"));
    QCOMPARE(TervexWidget::timeText((3 * 3600 + 5) * 1000), QStringLiteral("3ч 0м 5с"));
    // 100 periods of 60 s pulses and pauses over 1000 steps: far beyond a 32-bit millisecond count.
    const qint64 remaining = qint64(100) * 1000 * 2 * (60000 + 60000);
    QCOMPARE(TervexWidget::progressText(0, 1000, remaining),
             QStringLiteral("запись 0 из 1000 | осталось 20000ч 0м 0с"));
}

void TervexWidgetTest::validationOfPulseAndPause_data()
{
    QTest::addColumn<int>("pulse");
    QTest::addColumn<int>("pause");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("label");

    QTest::newRow("pause 0, pulse 150") << 150 << 0 << true
                                        << "При длительности импульса менее 200 мс\nи при длительности паузы 0 мс\n"
                                           "точность расчетов снижается";
    QTest::newRow("pause 0, pulse 200") << 200 << 0 << true
                                        << "При длительности паузы 0 мс\nточность расчетов снижается";
    QTest::newRow("pause 39") << 200 << 39 << false << "";
    QTest::newRow("pause 1") << 150 << 1 << false << "";
    QTest::newRow("pause 40, pulse 200") << 200 << 40 << true << "";
    QTest::newRow("pause 40, pulse 150") << 150 << 40 << true
                                         << "При длительности импульса менее 200 мс\nточность расчетов снижается";
}

void TervexWidgetTest::validationOfPulseAndPause()
{
    QFETCH(int, pulse);
    QFETCH(int, pause);
    QFETCH(bool, opens);
    QFETCH(QString, label);

    MessageRecorder boxes;
    TervexModel model;
    TervexWidget window(&model, false);
    window.show();
    QLabel* message = runTypeMessage(&window);
    QVERIFY(message);
    message->setText(QStringLiteral("left from before"));
    setTiming(&model, quint32(pulse), quint32(pause), 1);

    // In АВТОМАТ "Работа" validates and then opens the auto-settings panel.
    auto* panel = window.findChild<AutoSettingsWidget*>();
    QVERIFY(panel);
    QMetaObject::invokeMethod(&window, "onWorkClicked");
    QCOMPARE(!panel->isHidden(), opens);
    QCOMPARE(message->text(), label);
    if (opens) {
        QVERIFY(boxes.messages.isEmpty());
        QVERIFY(!buttonIn(&window, QStringLiteral("Работа"))->isEnabled());
    } else {
        QCOMPARE(boxes.messages.size(), 1);
        QCOMPARE(boxes.messages[0].title, QStringLiteral("Тервекс-М1"));
        QCOMPARE(boxes.messages[0].icon, QMessageBox::Warning);
        QVERIFY(boxes.messages[0].text.contains(QStringLiteral("Длительность паузы больше 0 мс, но меньше 40 мс.")));
        QVERIFY(buttonIn(&window, QStringLiteral("Работа"))->isEnabled());
    }
}

void TervexWidgetTest::relayModeButtonsAndParameters()
{
    for (const bool relay : {false, true}) {
        TervexModel model;
        TervexWidget window(&model, relay);
        window.show();
        QCOMPARE(buttonIn(&window, QStringLiteral("РЕЛЕ")) != nullptr, relay);

        QStringList asked;
        TervexWidget::setTextInputHandler([&](QWidget*, const QString& title, const QString& label,
                                              const QString& current, QString* text) {
            asked << title + '|' + label + '|' + current;
            *text = label.startsWith(QStringLiteral("Базовое")) ? QStringLiteral("120") : QStringLiteral("15");
            return true;
        });
        QStringList setupButtons;
        QTimer::singleShot(0, &window, [&]() {
            QDialog* dialog = window.setupDialog();
            // The test parameters' buttons (the address group and the close button are others).
            for (QPushButton* b : dialog->findChildren<QPushButton*>()) {
                if (b->parentWidget() != dialog)
                    continue;
                setupButtons << b->text();
                b->click();
            }
            dialog->reject();
        });
        QTest::mouseClick(buttonIn(&window, QStringLiteral("Параметры")), Qt::LeftButton);
        TervexWidget::setTextInputHandler(nullptr);

        QCOMPARE(window.setupDialog()->windowTitle(), QStringLiteral("Параметры"));
        if (!relay) {
            QCOMPARE(setupButtons, QStringList{QStringLiteral("Напряжение для теста")});
            QCOMPARE(asked.size(), 1);
            QVERIFY(asked[0].startsWith(QStringLiteral("Тест электродов|Напряжение от 10В до 20В|")));
            QCOMPARE(model.testVoltageText(), QStringLiteral("15"));
            continue;
        }
        QCOMPARE(setupButtons.size(), 3);
        QVERIFY(setupButtons.contains(QStringLiteral("Базовое сопротивление")));
        QVERIFY(setupButtons.contains(QStringLiteral("Отклонение сопротивления")));
        QCOMPARE(model.testRBaseText(), QStringLiteral("120"));
        QCOMPARE(model.testRDeltaText(), QStringLiteral("15"));

        // РЕЛЕ: no pause mode, so Space does nothing; the table page has nothing to show.
        QPushButton* pause = buttonIn(&window, QStringLiteral("Пауза"));
        click(buttonIn(&window, QStringLiteral("РЕЛЕ")));
        QCOMPARE(window.currentSurveyType(), int(TervexWidget::RelayTest));
        QVERIFY(!pause->isEnabled());
        QTest::keyClick(&window, Qt::Key_Space);
        QVERIFY(!pause->isChecked());
        QVERIFY(!model.paused());
        QVERIFY(window.measurementPlot()->testRect());
        QVERIFY(!buttonIn(&window, QStringLiteral("Повтор"))->parentWidget()->isHidden());
    }
}

void TervexWidgetTest::connectRefusedIsShown()
{
    MessageRecorder boxes;
    {
        std::unique_ptr<QSettings> store(SettingsStore::open());
        // Not an address at all: the link refuses before it opens any socket.
        store->setValue(SettingsStore::Key::host(), QStringLiteral("no-station"));
        store->sync();
    }
    TervexModel model;
    TervexWidget window(&model, false);
    window.show();
    click(buttonIn(&window, QStringLiteral("Подключить")));
    QCOMPARE(boxes.messages.size(), 1);
    // The box says why, and where the address is changed: the "Параметры" dialog.
    QVERIFY2(boxes.messages[0].text.startsWith(QStringLiteral("<h2>Внимание!</h2><p>Нет подключения к станции: "
                                                              "Адрес станции «no-station» не является адресом IPv4")),
             qPrintable(boxes.messages[0].text));
    QVERIFY(boxes.messages[0].text.contains(QStringLiteral("«Параметры»")));
    QCOMPARE(boxes.messages[0].title, QStringLiteral("Тервекс-М1"));
    QVERIFY(buttonIn(&window, QStringLiteral("Подключить"))->isVisible());
    QVERIFY(!buttonIn(&window, QStringLiteral("СТАНЦИЯ"))->isVisible());
}

void TervexWidgetTest::connectFillsTheStationPage()
{
    MessageRecorder boxes;
    SimulatorOptions options = fastStation();
    options.serialNumber = 2041;
    options.notReadyChannels = {3};
    Session s;
    QVERIFY(connected(s, options));
    TervexWidget* w = s.window.get();

    QVERIFY(!buttonIn(w, QStringLiteral("Подключить"))->isVisible());
    QVERIFY(buttonIn(w, QStringLiteral("СТАНЦИЯ"))->isVisible());
    QVERIFY(hasLabel(w, QStringLiteral("2041")));
    QVERIFY(hasLabel(w, QStringLiteral("Серийный номер:")));
    QTableView* info = stationTable(w, 3);
    QVERIFY(info && info->isVisible());
    QCOMPARE(info->model()->rowCount(), 10);
    QCOMPARE(info->model()->index(0, 2).data().toString(), QStringLiteral("готов"));
    QVERIFY(info->model()->index(2, 2).data().toString().startsWith(QStringLiteral("ошибка")));
    QCOMPARE(info->height(), 10 * 30 + 40);

    // Battery and GPS arrive with the first status poll.
    s.fixture->model->device()->requestStatus();
    QTRY_VERIFY(labelStartingWith(w, QStringLiteral("12.")) != nullptr);
    QVERIFY(labelStartingWith(w, QStringLiteral("12."))->text().endsWith(QStringLiteral("В")));
    // The GPS position is copied by a click on it.
    auto* gps = w->findChild<ClickableLabel*>();
    QVERIFY(gps && !gps->text().isEmpty());
    QTest::mouseClick(gps, Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), gps->text());
    QVERIFY(boxes.messages.isEmpty());

    // "<->" drops the link: back to the connect page, header gone.
    click(buttonIn(w, QStringLiteral("<->")));
    QTRY_VERIFY(buttonIn(w, QStringLiteral("Подключить"))->isVisible());
    QVERIFY(!buttonIn(w, QStringLiteral("СТАНЦИЯ"))->isVisible());
}

void TervexWidgetTest::editingCurrentElectrodesAndChannels()
{
    Session s;
    QVERIFY(connected(s, fastStation()));
    TervexWidget* w = s.window.get();
    ElectrodeSettings* electrodes = s.fixture->model->stationSettings()->electrodeSettings();

    click(buttonIn(w, QStringLiteral("НАСТРОЙКА")));
    QVERIFY(hasLabel(w, QStringLiteral("Ca:")));
    QList<QSpinBox*> boxes;
    for (QSpinBox* box : w->findChildren<QSpinBox*>()) {
        if (box->isVisible() && box->maximum() == 48)
            boxes << box;
    }
    QCOMPARE(boxes.size(), 2);
    boxes[0]->setValue(7);
    boxes[1]->setValue(0);
    QCOMPARE(int(electrodes->currentElectrodeA), 7);
    QCOMPARE(int(electrodes->currentElectrodeB), 0);

    QTableView* table = stationTable(w, 5);
    QVERIFY(table && table->isVisible());
    // Pm of the second channel through its spin-box editor.
    table->edit(table->model()->index(1, 2));
    auto* editor = table->viewport()->findChild<QSpinBox*>();
    QVERIFY(editor);
    QCOMPARE(editor->maximum(), 48);
    editor->setValue(23);
    // What the view does when the operator leaves the editor.
    Q_EMIT table->itemDelegate()->commitData(editor);
    QCOMPARE(int(electrodes->channels[1].electrodeM), 23);

    // The channel's on/off check box: a click on its indicator.
    const QModelIndex check = table->model()->index(1, 0);
    const quint8 before = electrodes->channels[1].available;
    QStyleOptionViewItem option;
    option.initFrom(table);
    option.rect = table->visualRect(check);
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    option.displayAlignment = Qt::AlignCenter;
    const QRect indicator = table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, indicator.center());
    QCOMPARE(int(electrodes->channels[1].available), before ? 0 : 1);
    QCOMPARE(check.data(Qt::CheckStateRole).toInt(), before ? int(Qt::Unchecked) : int(Qt::Checked));
}

void TervexWidgetTest::trialShowsRowsAndValues()
{
    MessageRecorder boxes;
    Session s;
    QVERIFY(connected(s, fastStation()));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    setTiming(model, 100, 100, 1);
    ElectrodeSettings* electrodes = model->stationSettings()->electrodeSettings();
    for (ChannelSetting& c : electrodes->channels) {
        c.electrodeM = 0;
        c.electrodeN = 0;
    }
    electrodes->channels[0].electrodeM = 10;
    electrodes->channels[0].electrodeN = 11;
    electrodes->channels[1].electrodeM = 20;
    electrodes->channels[1].electrodeN = 21;

    click(buttonIn(w, QStringLiteral("НАСТРОЙКА")));
    QList<QSpinBox*> currentElectrodes;
    for (QSpinBox* box : w->findChildren<QSpinBox*>()) {
        if (box->isVisible() && box->maximum() == 48)
            currentElectrodes << box;
    }
    QCOMPARE(currentElectrodes.size(), 2);
    currentElectrodes[0]->setValue(1);
    currentElectrodes[1]->setValue(48);
    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));
    click(buttonIn(w, QStringLiteral("ПРОБА")));
    QPushButton* pause = buttonIn(w, QStringLiteral("Пауза"));
    QVERIFY(!pause->isEnabled());

    QSignalSpy completed(model->surveyDataManager(), &DataManager::completed);
    QSignalSpy all(model->surveyDataManager(), &DataManager::allCompleted);
    click(buttonIn(w, QStringLiteral("Работа")));
    QVERIFY(boxes.messages.isEmpty());
    QVERIFY(runTypeMessage(w)->text().contains(QStringLiteral("импульса менее 200 мс")));
    QTRY_COMPARE_WITH_TIMEOUT(all.count(), 1, 10000);
    QCOMPARE(completed.count(), 1);

    MeasurementPlot* plot = w->measurementPlot();
    const int rows = model->surveyDataManager()->info()->maxPairsPerStep() + 2;
    QCOMPARE(plot->rowGraphs().size(), rows);
    QCOMPARE(plot->rowRects()[0]->axis(QCPAxis::atLeft)->label(), QStringLiteral("Ток\n1 - 48"));
    QCOMPARE(plot->rowGraphs()[0]->pen().color(), QColor(QStringLiteral("#F00")));
    QCOMPARE(plot->rowRects()[1]->axis(QCPAxis::atLeft)->label(), QStringLiteral("Напряжение"));
    QCOMPARE(plot->rowGraphs()[1]->pen().color(), QColor(QStringLiteral("#060")));
    QCOMPARE(plot->rowRects()[2]->axis(QCPAxis::atLeft)->label(), QStringLiteral("Канал 1\n10 - 11"));
    QCOMPARE(plot->rowRects()[3]->axis(QCPAxis::atLeft)->label(), QStringLiteral("Канал 2\n20 - 21"));
    QVERIFY(plot->rowRects()[0]->axis(QCPAxis::atRight)->label().contains(QStringLiteral("mA\n")));
    QCOMPARE(plot->rowRects()[1]->axis(QCPAxis::atRight)->label().right(1), QStringLiteral("V"));
    QVERIFY(plot->rowRects()[2]->axis(QCPAxis::atRight)->label().contains(QStringLiteral("mV\n")));
    QVERIFY(plot->rowRects()[2]->axis(QCPAxis::atRight)->label().contains(QStringLiteral("q=")));
    // The voltage row spans 0 .. 1.1 x 50 V before the 5 % widening.
    const QCPRange voltage = plot->rowRects()[1]->axis(QCPAxis::atLeft)->range();
    QVERIFY(voltage.lower <= 0.0 && voltage.upper >= 55.0 && voltage.upper <= 55.0 * 1.1 + 3.0);
    // Whatever the pace of the redraws, the rows end up showing the manager's window.
    const QVector<QVector<double>>& series = model->surveyDataManager()->series();
    QCOMPARE(plot->rowGraphs()[2]->data()->size(), series[2].size());
    QCOMPARE(plot->rowGraphs()[2]->data()->at(series[2].size() - 1)->value, series[2].last());

    click(buttonIn(w, QStringLiteral("ТАБЛИЦА")));
    QVERIFY(hasLabel(w, QStringLiteral("#1")));
    QVERIFY(hasLabel(w, QStringLiteral("A=<b>1</b>")));
    QVERIFY(hasLabel(w, QStringLiteral("B=<b>48</b>")));
    QVERIFY(labelStartingWith(w, QStringLiteral("<b>"))->text().endsWith(QStringLiteral("</b>V")));
    QTableView* table = w->findChild<QTableView*>(QStringLiteral("measurements_table"));
    QVERIFY(table->isVisible());
    QVERIFY(table->model()->rowCount() >= 2);

    // Idle again: "Работа" back and enabled, the run types selectable.
    QVERIFY(buttonIn(w, QStringLiteral("Работа"))->isVisible());
    QVERIFY(buttonIn(w, QStringLiteral("Работа"))->isEnabled());
    QVERIFY(buttonIn(w, QStringLiteral("АВТОМАТ"))->isEnabled());
    QVERIFY(!buttonIn(w, QStringLiteral("След."))->isEnabled());
}

void TervexWidgetTest::surveyThroughAutoSettingsToTheEnd()
{
    MessageRecorder boxes;
    Session s;
    QVERIFY(connected(s, fastStation()));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    setTiming(model, 200, 200, 1);
    const QString sequence = s.fixture->path("line.txt");
    QVERIFY(writeSequence(sequence, 4));

    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));
    click(buttonIn(w, QStringLiteral("Работа")));
    auto* panel = w->findChild<AutoSettingsWidget*>();
    QVERIFY(panel->isVisible());
    QVERIFY(!buttonIn(w, QStringLiteral("Работа"))->isEnabled());
    panel->setSequence(sequence);
    const QString target = panel->targetPath();
    QVERIFY(target.endsWith(QStringLiteral(".etr")));
    panel->findChild<QLineEdit*>(QStringLiteral("line_name_edit"))->setText(QStringLiteral("Профиль 3"));

    QSignalSpy started(model->surveyDataManager(), &DataManager::started);
    QSignalSpy all(model->surveyDataManager(), &DataManager::allCompleted);
    click(buttonIn(panel, QStringLiteral("Выполнить")));
    QVERIFY(!panel->isVisible());
    QVERIFY(buttonIn(w, QStringLiteral("Стоп"))->isVisible());
    QVERIFY(!buttonIn(w, QStringLiteral("ПРОБА"))->isEnabled());
    QVERIFY(started.wait(5000) || started.count() > 0);
    QVERIFY(progressInfo(w)->text().startsWith(QStringLiteral("запись ")));
    QVERIFY(progressInfo(w)->text().contains(QStringLiteral(" из 4 | осталось ")));
    QTRY_COMPARE_WITH_TIMEOUT(all.count(), 1, 20000);

    // The survey's report is the only box.
    QTRY_COMPARE_WITH_TIMEOUT(boxes.messages.size(), 1, 2000);
    QCOMPARE(boxes.messages[0].icon, QMessageBox::Information);
    QVERIFY(boxes.messages[0].text.contains(QStringLiteral("Записей: 4")));
    QVERIFY(QFile::exists(SurveyReport::pathFor(target)));
    boxes.messages.clear();
    QCOMPARE(started.count(), 4);
    QVERIFY(QFile::exists(target));
    QCOMPARE(model->seqPath(), QFileInfo(sequence).absolutePath());
    QProgressBar* progress = w->findChild<QProgressBar*>(QStringLiteral("survey_progress"));
    QCOMPARE(progress->maximum(), 4);
    QCOMPARE(progress->value(), 4);
    QVERIFY(!progressInfo(w)->isVisible());
    QVERIFY(buttonIn(w, QStringLiteral("Работа"))->isVisible());
    QVERIFY(buttonIn(w, QStringLiteral("ПРОБА"))->isEnabled());
    // The line's name went into the data file and is offered for the next survey.
    EtrFile written;
    QVERIFY(written.load(target));
    QCOMPARE(written.metadata().value(LineMetadata::LineName), QStringLiteral("Профиль 3"));
    QCOMPARE(model->lineName(), QStringLiteral("Профиль 3"));

    // A sequence the model cannot read is refused with its reason.
    QFile broken(s.fixture->path("broken.txt"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("# X Y Z\n1 0 0 0\n");
    broken.close();
    click(buttonIn(w, QStringLiteral("Работа")));
    panel->setSequence(broken.fileName());
    click(buttonIn(panel, QStringLiteral("Выполнить")));
    QCOMPARE(boxes.messages.size(), 1);
    QCOMPARE(boxes.messages[0].title, QStringLiteral("Тервекс-М1"));
    QVERIFY(boxes.messages[0].text.contains(QStringLiteral("broken.txt")));
    QVERIFY(buttonIn(w, QStringLiteral("Работа"))->isVisible());
}

void TervexWidgetTest::spacePausesAfterARecordAndContinues()
{
    MessageRecorder boxes;
    Session s;
    QVERIFY(connected(s, fastStation()));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    setTiming(model, 200, 200, 1);
    const QString sequence = s.fixture->path("pause.txt");
    QVERIFY(writeSequence(sequence, 3));
    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));

    // No run yet: Space switches nothing; pause mode is set with the button.
    QPushButton* pause = buttonIn(w, QStringLiteral("Пауза"));
    QTest::keyClick(w, Qt::Key_Space);
    QVERIFY(!pause->isChecked());
    click(pause);
    QVERIFY(pause->isChecked());
    QVERIFY(model->paused());

    QSignalSpy completed(model->surveyDataManager(), &DataManager::completed);
    QSignalSpy all(model->surveyDataManager(), &DataManager::allCompleted);
    click(buttonIn(w, QStringLiteral("Работа")));
    auto* panel = w->findChild<AutoSettingsWidget*>();
    panel->setSequence(sequence);
    click(buttonIn(panel, QStringLiteral("Выполнить")));
    QVERIFY(completed.wait(5000));
    QVERIFY(w->nextPending());
    QVERIFY(buttonIn(w, QStringLiteral("Повтор"))->isEnabled());
    QVERIFY(buttonIn(w, QStringLiteral("След."))->isEnabled());
    QTest::qWait(400);
    QCOMPARE(completed.count(), 1);

    QTest::keyClick(w, Qt::Key_Space);
    QVERIFY(!pause->isChecked());
    QVERIFY(!model->paused());
    QVERIFY(!w->nextPending());
    QVERIFY(!buttonIn(w, QStringLiteral("След."))->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(all.count(), 1, 10000);
    QCOMPARE(completed.count(), 3);
}

void TervexWidgetTest::stopMidway()
{
    MessageRecorder boxes;
    Session s;
    SimulatorOptions options = fastStation();
    options.speed = 1;
    QVERIFY(connected(s, options));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    setTiming(model, 500, 500, 5);
    const QString sequence = s.fixture->path("stop.txt");
    QVERIFY(writeSequence(sequence, 3));
    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));
    click(buttonIn(w, QStringLiteral("Работа")));
    auto* panel = w->findChild<AutoSettingsWidget*>();
    panel->setSequence(sequence);

    QSignalSpy updated(model->surveyDataManager(), &DataManager::updated);
    QSignalSpy aborted(model->surveyDataManager(), &DataManager::aborted);
    click(buttonIn(panel, QStringLiteral("Выполнить")));
    QTRY_VERIFY_WITH_TIMEOUT(updated.count() > 3, 10000);
    QProgressBar* table = w->findChild<QProgressBar*>(QStringLiteral("table_progress"));
    QVERIFY(table->value() > 0);
    QVERIFY(progressInfo(w)->isVisible());
    click(buttonIn(w, QStringLiteral("Стоп")));
    QCOMPARE(aborted.count(), 1);
    QVERIFY(buttonIn(w, QStringLiteral("Работа"))->isVisible());
    QVERIFY(!progressInfo(w)->isVisible());
    QCOMPARE(w->findChild<QProgressBar*>(QStringLiteral("survey_progress"))->value(), -1);
    QVERIFY(buttonIn(w, QStringLiteral("ТЕСТ"))->isEnabled());
}

void TervexWidgetTest::contactTestModesAndBarChart()
{
    MessageRecorder boxes;
    SimulatorOptions options = fastStation();
    options.contactOverrides.insert(5, 200000.0);
    Session s;
    QVERIFY(connected(s, options));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    TestDataManager* tests = model->testDataManager();
    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));
    click(buttonIn(w, QStringLiteral("ТЕСТ")));

    auto* panel = w->findChild<TestRecordPanel*>();
    QVERIFY(panel->isVisible());
    QVERIFY(!buttonIn(w, QStringLiteral("Повтор"))->isVisible());
    click(buttonIn(w, QStringLiteral("ТАБЛИЦА")));
    QVERIFY(hasLabel(w, QStringLiteral("Не доступно")));
    click(buttonIn(w, QStringLiteral("ГРАФИК")));

    // ВСЕ: every neighbouring pair; 4-5 and 5-6 carry the bad contact of electrode 5.
    QSignalSpy all(tests, &DataManager::allCompleted);
    click(buttonIn(panel, QStringLiteral("Выполнить")));
    QTRY_COMPARE_WITH_TIMEOUT(all.count(), 1, 30000);
    MeasurementPlot* plot = w->measurementPlot();
    QCOMPARE(tests->results().size(), 47);
    QCOMPARE(topLabel(plot, 0), QString());
    QVERIFY(topLabel(plot, 4).endsWith(QStringLiteral("кОм")));
    QCOMPARE(topLabel(plot, 1), MeasurementPlot::resistanceLabel(tests->results()[0].resistance));
    auto ticker = plot->testRect()->axis(QCPAxis::atBottom)->ticker().dynamicCast<QCPAxisTickerText>();
    QCOMPARE(ticker->ticks().value(1), QStringLiteral("1 - 2"));
    QCOMPARE(ticker->ticks().value(47), QStringLiteral("47 - 48"));
    QCOMPARE(plot->bars(3)->data()->size(), 2);
    QCOMPARE(plot->bars(0)->data()->size() + plot->bars(1)->data()->size(), 45);
    QCOMPARE(plot->bars(3)->brush().color(), QColor(255, 0, 0, 216));
    QCOMPARE(plot->bars(0)->brush().color(), QColor(0, 255, 0, 216));
    QVERIFY(buttonIn(panel, QStringLiteral("Выполнить"))->isVisible());
    QVERIFY(boxes.messages.isEmpty());

    // ЭЛЕКТРОД 10: two fresh positions.
    click(buttonIn(panel, QStringLiteral("ЭЛЕКТРОД")));
    QSpinBox* electrode = panel->findChild<QSpinBox*>();
    QVERIFY(electrode->isVisible());
    electrode->setValue(10);
    click(buttonIn(panel, QStringLiteral("Выполнить")));
    QTRY_COMPARE_WITH_TIMEOUT(all.count(), 2, 30000);
    QCOMPARE(plot->bars(0)->data()->size() + plot->bars(1)->data()->size(), 2);
    // Positions outside this test keep no bars of the earlier one.
    QCOMPARE(plot->bars(7)->data()->size(), 0);
    QCOMPARE(plot->bars(7)->brush().color(), QColor(255, 0, 0, 108));

    // ДИАПАЗОН "> 50кОм": only the two bad positions are measured again.
    click(buttonIn(panel, QStringLiteral("ДИАПАЗОН")));
    QSignalSpy started(tests, &DataManager::started);
    click(buttonIn(panel, QStringLiteral("Выполнить")));
    QTRY_COMPARE_WITH_TIMEOUT(all.count(), 3, 30000);
    QCOMPARE(started.count(), 2);
    QCOMPARE(plot->bars(3)->data()->size(), 2);
    QCOMPARE(boxes.messages.size(), 0);
}

void TervexWidgetTest::linkDroppedMidRun()
{
    MessageRecorder boxes;
    Session s;
    QVERIFY(connected(s, fastStation()));
    TervexWidget* w = s.window.get();
    TervexModel* model = s.fixture->model.get();
    setTiming(model, 200, 200, 1);
    const QString sequence = s.fixture->path("drop.txt");
    QVERIFY(writeSequence(sequence, 6));
    click(buttonIn(w, QStringLiteral("ЗАПИСЬ")));
    click(buttonIn(w, QStringLiteral("Работа")));
    auto* panel = w->findChild<AutoSettingsWidget*>();
    panel->setSequence(sequence);

    QSignalSpy completed(model->surveyDataManager(), &DataManager::completed);
    QSignalSpy aborted(model->surveyDataManager(), &DataManager::aborted);
    click(buttonIn(panel, QStringLiteral("Выполнить")));
    QVERIFY(completed.wait(5000));
    s.fixture->simulator.options().dropCommandAfterFrames = 1;
    // The failure first, then the report of what was saved.
    QTRY_COMPARE_WITH_TIMEOUT(boxes.messages.size(), 2, 10000);
    QCOMPARE(boxes.messages[1].icon, QMessageBox::Information);
    QVERIFY(boxes.messages[1].text.contains(QStringLiteral("Съёмка остановлена")));

    QCOMPARE(aborted.count(), 1);
    QCOMPARE(boxes.messages[0].title, QStringLiteral("Тервекс-М1"));
    QVERIFY(boxes.messages[0].hasParent);
    QVERIFY(boxes.messages[0].text.contains(QStringLiteral(".etr")));
    QTRY_VERIFY_WITH_TIMEOUT(buttonIn(w, QStringLiteral("Подключить"))->isVisible(), 10000);
    QVERIFY(buttonIn(w, QStringLiteral("Работа"))->isEnabled());
}

QTEST_MAIN(TervexWidgetTest)
#include "tst_tervexwidget.moc"
