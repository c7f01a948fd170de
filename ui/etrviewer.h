#ifndef ETRVIEWER_H
#define ETRVIEWER_H

#include "survey/linemetadata.h"
#include "survey/surveydatum.h"

#include <QDialog>
#include <QFileDialog>
#include <QPair>
#include <QStringList>
#include <QVector>

class EtrController;
class ErrorView;
class QCheckBox;
class QCPAxisRect;
class QCPGraph;
class QCustomPlot;
class QLabel;
class QMouseEvent;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class PseudosectionView;
class ViewerModelPage;
class TervexModel;
class Toggle;

// The off-line page: opens a survey data file, lists its records as blocks and channels, plots the
// selected channel's potential under its block's current, shows the channel's values and converts
// the file into a text table. The file logic is the controller's; this is presentation and wiring.
class EtrViewer : public QDialog
{
    Q_OBJECT

public:
    explicit EtrViewer(TervexModel* model, QWidget* parent = nullptr);
    ~EtrViewer() override;

    EtrController* controller() const { return m_controller; }
    QCustomPlot* plot() const { return m_plot; }
    QCPAxisRect* potentialRect() const { return m_potentialRect; }
    QCPAxisRect* currentRect() const { return m_currentRect; }
    QCPGraph* potentialGraph() const { return m_potentialGraph; }
    QCPGraph* currentGraph() const { return m_currentGraph; }
    QTreeWidget* tree() const { return m_tree; }
    PseudosectionView* pseudosection() const { return m_pseudosection; }
    ErrorView* errorView() const { return m_errorView; }
    ViewerModelPage* modelPage() const { return m_modelPage; }
    // The records the last click on a model cell marked in the tree, as (block, channel).
    const QVector<QPair<int, int>>& markedRecords() const { return m_markedRecords; }
    const QFileDialog& fileDialog() const { return m_fileDialog; }

Q_SIGNALS:
    void backClicked();

public Q_SLOTS:
    void reject() override;
    void onOpenClicked();
    void onProcessClicked();
    void onPolarizationClicked();
    void onItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
    void onSelectionChanged();
    void onPlotUpdated();
    void onChannelValuesUpdated(float i, float v, float k, float r, float q);
    void onShowCurrentClicked(bool checked);
    void onPlotMouseMove(QMouseEvent* evt);
    void onPlotMouseDoubleClick(QMouseEvent* evt);
    void onSetDragAndZoom(int orientation);

protected:
    // Leaving the viewer stops an inversion going on.
    void hideEvent(QHideEvent* event) override;
    // Every box of the viewer goes through here (parent null for the loader's messages).
    virtual void showInformation(QWidget* parent, const QString& title, const QString& text);
    // Runs the open dialog in the data directory; the chosen files, none when cancelled.
    virtual QStringList chooseFiles();

private Q_SLOTS:
    void onControllerLoadMessage(const QString& title, const QString& text);

private:
    void setUpPlot();
    QWidget* createHeader();
    void showMetadata(const LineMetadata& metadata);
    void showSection();
    QWidget* createPlotFrame();
    void createTree();
    QWidget* createInfoBar();
    void loadFile(const QString& path);
    void fillTree();
    void placeRects(bool withCurrent);
    void markRecords(const QVector<SurveyDatum>& data);

    TervexModel* m_model;
    QFileDialog m_fileDialog;
    QLabel* m_fileNameLabel = nullptr;
    QLabel* m_metadataLabel = nullptr;
    QLabel* m_pulseLabel = nullptr;
    QLabel* m_pauseLabel = nullptr;
    QLabel* m_periodsLabel = nullptr;
    QLabel* m_iLabel = nullptr;
    QLabel* m_vLabel = nullptr;
    QLabel* m_rhoLabel = nullptr;
    QLabel* m_kLabel = nullptr;
    QLabel* m_qLabel = nullptr;
    QLabel* m_xLabel = nullptr;
    QLabel* m_yLabel = nullptr;
    QCheckBox* m_polarizationCheck = nullptr;
    QPushButton* m_openButton = nullptr;
    QPushButton* m_processButton = nullptr;
    QPushButton* m_backButton = nullptr;
    QPushButton* m_showCurrentButton = nullptr;
    Toggle* m_dragZoomToggle = nullptr;
    QCustomPlot* m_plot = nullptr;
    QCPAxisRect* m_potentialRect = nullptr;
    QCPAxisRect* m_currentRect = nullptr;
    QCPGraph* m_potentialGraph = nullptr;
    QCPGraph* m_currentGraph = nullptr;
    QTreeWidget* m_tree = nullptr;
    // The file's pseudosection, shown instead of the signal plots on the operator's choice.
    PseudosectionView* m_pseudosection = nullptr;
    // The reciprocal errors and the filter's rules.
    ErrorView* m_errorView = nullptr;
    // The inverted section of the file (and of the line's other files).
    ViewerModelPage* m_modelPage = nullptr;
    QVector<QPair<int, int>> m_markedRecords;
    Toggle* m_viewToggle = nullptr;
    EtrController* m_controller = nullptr;
    // The last opening succeeded; after a failed one the controller's file object is empty.
    bool m_fileLoaded = false;
};

#endif
