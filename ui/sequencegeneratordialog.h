#ifndef SEQUENCEGENERATORDIALOG_H
#define SEQUENCEGENERATORDIALOG_H

#include "survey/sequencegenerator.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// Makes a sequence file from an electrode array: the generator's choices, a summary that follows
// every change, and "Создать", which writes the file into the sequence folder.
class SequenceGeneratorDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SequenceGeneratorDialog(QWidget* parent = nullptr);

    // Folder the file is written to; timing and channel count for the summary and the grouping.
    void setTarget(const QString& directory);
    void setSurveyTiming(int pulseMs, int pauseMs, int periods, int channels);

    // The file written by the last successful "Создать".
    QString writtenPath() const { return m_writtenPath; }
    QString summaryText() const;
    SequenceGenerator::Options options() const;

    QComboBox* arrayBox() const { return m_array; }
    QSpinBox* lastBox() const { return m_last; }
    QSpinBox* aMaxBox() const { return m_aMax; }
    QSpinBox* nMaxBox() const { return m_nMax; }
    QCheckBox* reciprocalBox() const { return m_reciprocal; }
    QLineEdit* nameEdit() const { return m_name; }
    QPushButton* createButton() const { return m_create; }

public Q_SLOTS:
    // Writes the file; the dialog is accepted when it was written, otherwise it says why.
    void onCreateClicked();

private:
    void updateSummary();
    void proposeName();

    SequenceGenerator m_generator;
    QString m_directory;
    QString m_writtenPath;
    int m_pulse = 500;
    int m_pause = 500;
    int m_periods = 2;
    bool m_nameEdited = false;
    QComboBox* m_array = nullptr;
    QSpinBox* m_electrodes = nullptr;
    QDoubleSpinBox* m_spacing = nullptr;
    QSpinBox* m_first = nullptr;
    QSpinBox* m_last = nullptr;
    QSpinBox* m_aMin = nullptr;
    QSpinBox* m_aMax = nullptr;
    QSpinBox* m_nMin = nullptr;
    QSpinBox* m_nMax = nullptr;
    QSpinBox* m_channels = nullptr;
    QCheckBox* m_reciprocal = nullptr;
    QCheckBox* m_ipOrder = nullptr;
    QLineEdit* m_elevation = nullptr;
    QLineEdit* m_name = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_create = nullptr;
};

#endif
