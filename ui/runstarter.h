#ifndef RUNSTARTER_H
#define RUNSTARTER_H

#include "survey/contactgate.h"

#include <QCoreApplication>
#include <QString>

class RecordPage;
class TervexModel;
class QWidget;

// The start paths of the record page: checks the generator's timing, hands the operator's choices
// to the model's launchers and says why a launcher refused. Which controls open when a run has
// started (or has not) is the window's to decide: every start returns whether it started.
class RunStarter
{
    Q_DECLARE_TR_FUNCTIONS(RunStarter)

public:
    // Boxes are shown over `window`.
    RunStarter(TervexModel* model, RecordPage* page, QWidget* window);

    // The orange reduced-accuracy warning for a pulse and pause that may start; empty when none.
    static QString timingWarning(quint32 pulse, quint32 pause);
    // False, with the error box shown, when the pause cannot start; a warning goes under the run types.
    bool validateGeneratorSettings();
    // A warning already shown follows the values as they are now; none appears before a start.
    void updateTimingWarning();

    // "Работа" in АВТОМАТ: the auto-settings panel with the survey's timing and the stored choices.
    void openAutoSettings();
    // "Работа" in ПРОБА, ТЕСТ or РЕЛЕ (the window's run-type ids).
    bool startRun(int surveyType);
    // The panel names both files; otherwise says which one is missing and the panel stays open.
    bool surveyChoiceComplete();
    // Stores the panel's choices and starts the survey; surveyTarget() is its data file then.
    bool startSurvey();
    QString surveyTarget() const { return m_surveyTarget; }
    // What the operator should know about the survey that has just started, if anything.
    void showStartNotice();
    // The test-record panel's "Выполнить"; the panel gets its "Выполнить" back when nothing started.
    bool startTest();
    // The contact check before a survey has ended with electrodes above its limit: asks the
    // operator and hands the choice to the model; false when the survey was refused or dropped.
    bool resolveContactCheck(ContactGate::Choice* choice);
    // Shows why a launcher refused to start, if it said.
    void showStartRefusal();

private:

    TervexModel* m_model;
    RecordPage* m_page;
    QWidget* m_window;
    QString m_surveyTarget;
};

#endif
