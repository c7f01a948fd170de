#ifndef VIEWERMODELPAGE_H
#define VIEWERMODELPAGE_H

#include "inversion/inversiondata.h"
#include "survey/datafilter.h"
#include "survey/surveydatum.h"

#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

class EtrFile;
class InversionOptionsPanel;
class InversionWorker;
class ModelView;
class QLabel;
class QPushButton;

// The viewer's "Модель": the inverted section of the opened file, with the line's other files
// when the operator adds them, computed in a worker thread when the page is first shown or on
// "Пересчитать", with its options, progress, cancelling and the export of the model. A click on a
// cell names the data most sensitive to it.
class ViewerModelPage : public QWidget
{
    Q_OBJECT

public:
    explicit ViewerModelPage(QWidget* parent = nullptr);
    ~ViewerModelPage() override;

    ModelView* view() const { return m_view; }
    InversionOptionsPanel* options() const { return m_options; }
    // The opened file (null: none) at `path`; the line's other files are forgotten.
    void setFile(const EtrFile* file, const QString& path);
    // Adds files of the same line to the model; false, naming the files, when one cannot be read.
    bool addLineFiles(const QStringList& paths);
    void setDataFilter(const DataFilter& filter);
    // The data the model was computed from and their reasons for leaving data out.
    const InversionData& data() const { return m_data; }
    bool isComputing() const;
    // The line shown under the section: an export's result, the files of the line.
    QString message() const;

    // Writes the model as CSV, VTK, PNG or PDF by the suffix of `path`; never over a data file
    // or an input. The result is the message.
    bool exportModel(const QString& path);

public Q_SLOTS:
    void compute();
    void cancel();

Q_SIGNALS:
    // The data most sensitive to the clicked cell, most sensitive first.
    void dataChosen(const QVector<SurveyDatum>& data);
    // A model was computed (or failed, cancelled: the result says).
    void computed();

protected:
    void showEvent(QShowEvent* event) override;
    // Asks for the model's file; empty when cancelled.
    virtual QString chooseExportPath(const QString& proposed);
    // Asks for further files of the line; none when cancelled.
    virtual QStringList chooseLineFiles();

private:
    QVector<const EtrFile*> files() const;
    QStringList paths() const;
    void setMessage(const QString& text, bool failure = false);
    void onFinished(const InversionResult& result);

    InversionWorker* m_worker = nullptr;
    ModelView* m_view = nullptr;
    InversionOptionsPanel* m_options = nullptr;
    QPushButton* m_computeButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_exportButton = nullptr;
    QLabel* m_message = nullptr;
    const EtrFile* m_file = nullptr;
    QString m_path;
    std::vector<std::unique_ptr<EtrFile>> m_lineFiles;
    QStringList m_linePaths;
    DataFilter m_filter;
    // The data of the run going on or of the model shown.
    InversionData m_data;
    InversionData m_running;
    // The shown model is not the one of the files and options as they are now.
    bool m_stale = true;
};

#endif
