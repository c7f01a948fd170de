#include "ui/runstarter.h"

#include "app/tervexmodel.h"
#include "station/tervexsettings.h"
#include "survey/testdatamanager.h"
#include "ui/autosettingswidget.h"
#include "ui/recordpage.h"
#include "ui/tervexwidget.h"
#include "ui/testrecordpanel.h"
#include "ui/windowprompts.h"

#include <QDir>
#include <QFileInfo>

RunStarter::RunStarter(TervexModel* model, RecordPage* page, QWidget* window)
    : m_model(model)
    , m_page(page)
    , m_window(window)
{
}

QString RunStarter::timingWarning(quint32 pulse, quint32 pause)
{
    if (pause >= 1 && pause <= 39)
        return QString();
    if (pulse >= 200 && pause == 0)
        return tr("При длительности паузы 0 мс\nточность расчетов снижается");
    if (pulse < 200 && pause != 0)
        return tr("При длительности импульса менее 200 мс\nточность расчетов снижается");
    if (pulse < 200)
        return tr("При длительности импульса менее 200 мс\nи при длительности паузы 0 мс\n"
                  "точность расчетов снижается");
    return QString();
}

bool RunStarter::validateGeneratorSettings()
{
    const GeneratorSettings* generator = m_model->stationSettings()->generatorSettings();
    const quint32 pulse = generator->pulseLength;
    const quint32 pause = generator->pauseLength;
    if (pause >= 1 && pause <= 39) {
        m_page->setTimingWarning(QString());
        WindowPrompts::warning(m_window, tr("<p><h2>Ошибка!!!</h2></p><p>Длительность паузы больше 0 мс, но меньше "
                                            "40 мс.</p><p>Продолжение невозможно.</p>")
                                             + tr("<p>Допустимая пауза: 0 мс или от 40 до 60000 мс.</p>"));
        return false;
    }
    m_page->setTimingWarning(timingWarning(pulse, pause));
    return true;
}

void RunStarter::updateTimingWarning()
{
    if (m_page->timingWarning().isEmpty())
        return;
    const GeneratorSettings* generator = m_model->stationSettings()->generatorSettings();
    m_page->setTimingWarning(timingWarning(generator->pulseLength, generator->pauseLength));
}

void RunStarter::showStartRefusal()
{
    const QString reason = m_model->startError();
    if (!reason.isEmpty())
        WindowPrompts::warning(m_window, WindowPrompts::htmlLines(reason));
}

void RunStarter::openAutoSettings()
{
    const GeneratorSettings* generator = m_model->stationSettings()->generatorSettings();
    AutoSettingsWidget* autoSettings = m_page->autoSettings();
    autoSettings->setSurveyTiming(int(generator->pulseLength), int(generator->pauseLength), generator->periods,
                                  m_model->usableChannelCount());
    autoSettings->setFallbackDirectory(m_model->dataPath());
    autoSettings->resetChoice();
    autoSettings->setRepeatPolicy(m_model->repeatPolicy());
    autoSettings->setLineDescription(m_model->lineName(), m_model->lineOperator(), m_model->lineNote());
    autoSettings->setContactCheck(m_model->contactCheck(), m_model->contactLimitKOhm());
    autoSettings->show();
}

bool RunStarter::startRun(int surveyType)
{
    bool started = false;
    if (surveyType == TervexWidget::Trial)
        started = m_model->runTrial();
    else if (surveyType == TervexWidget::ElectrodeTest)
        started = m_model->testAllElectrodes();
    else if (surveyType == TervexWidget::RelayTest)
        started = m_model->testRelays();
    else
        return false;
    if (!started)
        showStartRefusal();
    return started;
}

bool RunStarter::surveyChoiceComplete()
{
    const AutoSettingsWidget* autoSettings = m_page->autoSettings();
    if (autoSettings->sequencePath().isEmpty()) {
        WindowPrompts::warning(m_window, tr("Съёмка не начата: не выбран файл последовательности. Выберите его "
                                            "кнопкой «...» в строке «Последовательность»."));
        return false;
    }
    if (autoSettings->targetPath().isEmpty()) {
        WindowPrompts::warning(m_window, tr("Съёмка не начата: не задан файл данных. Выберите его кнопкой «...» в "
                                            "строке «Сохранить как»."));
        return false;
    }
    return true;
}

bool RunStarter::startSurvey()
{
    AutoSettingsWidget* autoSettings = m_page->autoSettings();
    const QString source = autoSettings->sequencePath();
    const QString target = autoSettings->targetPath();
    m_model->setRepeatPolicy(autoSettings->repeatPolicy());
    m_model->setLineDescription(autoSettings->lineName(), autoSettings->lineOperator(), autoSettings->lineNote());
    m_model->setContactCheck(autoSettings->contactCheck(), autoSettings->contactLimitKOhm());
    const QFileInfo sourceFile(source);
    if (sourceFile.exists() && sourceFile.isFile()) {
        m_model->setSeqPath(sourceFile.absolutePath());
        autoSettings->setStartDirectory(m_model->seqPath());
    }
    if (!m_model->startSurvey(source, target)) {
        showStartRefusal();
        return false;
    }
    m_surveyTarget = QDir::toNativeSeparators(QFileInfo(target).absoluteFilePath());
    return true;
}

void RunStarter::showStartNotice()
{
    if (!m_model->startNotice().isEmpty())
        WindowPrompts::warning(m_window, WindowPrompts::htmlLines(m_model->startNotice()));
}

bool RunStarter::startTest()
{
    TestRecordPanel* panel = m_page->testPanel();
    bool started = false;
    switch (panel->testMode()) {
    case 0:
        started = m_model->testAllElectrodes();
        break;
    case 1:
        started = m_model->testByResistance(panel->resistanceInterval());
        break;
    case 2:
        started = m_model->testElectrode(panel->electrodeNumber());
        break;
    default:
        return false;
    }
    if (!started) {
        // Nothing runs, so no data manager will hand the panel back its "Выполнить".
        panel->resetPanel();
        showStartRefusal();
    }
    return started;
}

bool RunStarter::resolveContactCheck(ContactGate::Choice* choice)
{
    const TestDataManager* tests = m_model->testDataManager();
    *choice = WindowPrompts::contactCheck(m_window, *m_model->contactGate(), tests->plan(), tests->results());
    if (!m_model->resolveContactCheck(*choice)) {
        showStartRefusal();
        return false;
    }
    return *choice != ContactGate::Choice::Cancel;
}
