#ifndef AUTOSETTINGSWIDGET_H
#define AUTOSETTINGSWIDGET_H

#include "survey/repeatpolicy.h"

#include <QDateTime>
#include <QStringList>
#include <QWidget>

#include <functional>

class QCheckBox;
class QDoubleSpinBox;
class QFileDialog;
class SequenceGeneratorDialog;
class QLineEdit;
class QPushButton;
class QSpinBox;

// Chooses the sequence file (or a data file to continue) and the data file a survey writes.
class AutoSettingsWidget : public QWidget
{
    Q_OBJECT

public:
    // Runs a prepared file dialog and returns the chosen files, empty when the operator cancels.
    using DialogRunner = std::function<QStringList(QFileDialog* dialog)>;
    using Clock = std::function<QDateTime()>;
    // Runs the prepared generator dialog; true when it wrote a file.
    using GeneratorRunner = std::function<bool(SequenceGeneratorDialog* dialog)>;

    explicit AutoSettingsWidget(QWidget* parent = nullptr);

    QString sequencePath() const { return m_sequencePath; }
    QString targetPath() const { return m_targetPath; }
    QString startDirectory() const { return m_startDirectory; }
    void setStartDirectory(const QString& directory) { m_startDirectory = directory; }
    // Where the data file goes when the sequence file's folder cannot be written.
    void setFallbackDirectory(const QString& directory) { m_fallbackDirectory = directory; }
    // Why the proposed data file is not beside the sequence file; empty when it is.
    QString targetNote() const { return m_targetNote; }

    // A ".txt" sequence gets a fresh time-stamped target beside it; an ".etr" file is continued.
    void setSequence(const QString& path);
    // Called before the panel is shown again: a new target for a sequence, nothing for a data file.
    void resetChoice();

    // "yyMMdd_hhmmss.etr" in the directory of the sequence file.
    static QString timeStampedTarget(const QString& sequencePath, const QDateTime& when);

    // "Макс. разброс, %" and "Повторов" of the survey to start.
    RepeatPolicy repeatPolicy() const;
    void setRepeatPolicy(const RepeatPolicy& policy);
    // Line name, operator and note a new data file keeps (a continued file keeps its own).
    QString lineName() const;
    QString lineOperator() const;
    QString lineNote() const;
    void setLineDescription(const QString& name, const QString& lineOperator, const QString& note);
    // "Проверить контакты перед съёмкой" and its limit in kOhm.
    bool contactCheck() const;
    double contactLimitKOhm() const;
    void setContactCheck(bool on, double limitKOhm);

    void setDialogRunner(DialogRunner runner);
    void setClock(Clock clock);
    void setGeneratorRunner(GeneratorRunner runner);
    // Timing and channel count the generator groups and estimates with.
    void setSurveyTiming(int pulseMs, int pauseMs, int periods, int channels);

Q_SIGNALS:
    void executeClicked();
    void cancelClicked();
    // The full path of the proposed target data file; empty when there is none.
    void targetChanged(const QString& path);

public Q_SLOTS:
    void onSeqChooseClicked();
    void onTargetChooseClicked();
    // "Создать…": a generated sequence file in the start directory becomes the chosen sequence.
    void onGenerateClicked();

private:
    void showTargetFolder();
    QString m_sequencePath;
    QString m_targetPath;
    QString m_startDirectory;
    QString m_fallbackDirectory;
    QString m_targetNote;
    DialogRunner m_runDialog;
    Clock m_clock;
    GeneratorRunner m_runGenerator;
    int m_pulse = 500;
    int m_pause = 500;
    int m_periods = 2;
    int m_channels = 10;
    QLineEdit* m_sequenceEdit = nullptr;
    QLineEdit* m_targetEdit = nullptr;
    QPushButton* m_sequenceButton = nullptr;
    QPushButton* m_targetButton = nullptr;
    QDoubleSpinBox* m_maxScatter = nullptr;
    QSpinBox* m_maxRepeats = nullptr;
    QLineEdit* m_lineName = nullptr;
    QLineEdit* m_lineOperator = nullptr;
    QLineEdit* m_lineNote = nullptr;
    QCheckBox* m_contactCheck = nullptr;
    QDoubleSpinBox* m_contactLimit = nullptr;
};

#endif
