#ifndef RECORDPAGE_H
#define RECORDPAGE_H

#include <QWidget>

class AutoSettingsWidget;
class GeneratorControlWidget;
class QButtonGroup;
class QFrame;
class QLabel;
class QPushButton;
class QStackedWidget;
class TervexModel;
class TestRecordPanel;

// "ЗАПИСЬ": the run types with the timing warning under them, the generator panel, and the run
// controls with the auto-settings panel below them (or, for the contact test, the test-record
// panel in their place). The page only shows and reports; which control is open in which state of
// a run is decided by the window.
class RecordPage : public QWidget
{
    Q_OBJECT

public:
    // A run-type button: the id it reports and its text.
    struct RunType
    {
        int id;
        QString text;
    };

    // The model feeds the generator panel and the sequence folder. The run types in the order of
    // their buttons; the first one is chosen at start.
    RecordPage(TervexModel* model, const QList<RunType>& runTypes, QWidget* parent = nullptr);

    GeneratorControlWidget* generatorPanel() const { return m_generatorPanel; }
    AutoSettingsWidget* autoSettings() const { return m_autoSettings; }
    TestRecordPanel* testPanel() const { return m_testPanel; }

    // "Работа" (shown when idle, "Стоп" otherwise), "Повтор" and "След." enabled as given; the run
    // types can be changed only when idle. "Стоп" is always enabled.
    void setControls(bool work, bool repeat, bool next, bool idle);
    // The contact test's panel in place of the run controls.
    void showTestPanel(bool test);
    bool pauseAvailable() const;
    void setPauseAvailable(bool available);
    bool pauseChecked() const;
    void setPauseChecked(bool checked);
    QString timingWarning() const;
    void setTimingWarning(const QString& text);
    // Why the record is being measured again; hidden when empty.
    void setRepeatInfo(const QString& reason);

Q_SIGNALS:
    void surveyTypeToggled(int type, bool checked);
    void workClicked();
    void stopClicked();
    void repeatClicked();
    void nextClicked();
    void pauseToggled(bool checked);

private:
    QFrame* createSurveyTypeFrame(const QList<RunType>& runTypes);
    QFrame* createRunControls(TervexModel* model);

    QFrame* m_surveyTypeFrame = nullptr;
    QButtonGroup* m_surveyTypeGroup = nullptr;
    QLabel* m_surveyTypeMessage = nullptr;
    GeneratorControlWidget* m_generatorPanel = nullptr;
    QFrame* m_runControls = nullptr;
    QStackedWidget* m_workStopStack = nullptr;
    QPushButton* m_workButton = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_repeatButton = nullptr;
    QPushButton* m_nextButton = nullptr;
    QPushButton* m_pauseButton = nullptr;
    QLabel* m_repeatInfo = nullptr;
    AutoSettingsWidget* m_autoSettings = nullptr;
    TestRecordPanel* m_testPanel = nullptr;
};

#endif
