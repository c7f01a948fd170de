#ifndef CONTACTCHECKDIALOG_H
#define CONTACTCHECKDIALOG_H

#include "survey/contactgate.h"

#include <QDialog>

class MeasurementPlot;

// The box of the contact check before a survey: the electrodes above the limit with their
// resistances, the test's bar chart, and the operator's choice: test again after fixing them,
// leave out the quadrupoles that use them, or go on with all. Closing it cancels the survey.
class ContactCheckDialog : public QDialog
{
    Q_OBJECT

public:
    ContactCheckDialog(const ContactGate& gate, const QVector<TestPlanEntry>& plan,
                       const QVector<TestResult>& results, QWidget* parent = nullptr);

    // Cancel until a choice button was pressed.
    ContactGate::Choice choice() const { return m_choice; }
    MeasurementPlot* chart() const { return m_chart; }

private:
    void choose(ContactGate::Choice choice);

    ContactGate::Choice m_choice = ContactGate::Choice::Cancel;
    MeasurementPlot* m_chart = nullptr;
};

#endif
