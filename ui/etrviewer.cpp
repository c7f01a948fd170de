#include "ui/etrviewer.h"

#include "app/tervexmodel.h"
#include "etr/etrcontroller.h"
#include "etr/etrfile.h"
#include "ui/errorview.h"
#include "ui/exportdialog.h"
#include "ui/pseudosectionview.h"
#include "ui/toggle.h"
#include "ui/modelview.h"
#include "ui/viewermodelpage.h"

#include <QCoreApplication>
#include <qcustomplot.h>

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QSet>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <cmath>

namespace {

QString processTitle()
{
    return QCoreApplication::translate("EtrViewer", "Преобразование etr в txt");
}

// Why a table could not be written, in the operator's words: the export only says that it failed.
QString writeFailureReason(const QString& path)
{
    const QFileInfo target(path);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return QCoreApplication::translate("EtrViewer", "папка %1 не найдена").arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    if (target.isDir())
        return QCoreApplication::translate("EtrViewer", "на месте файла находится папка с тем же именем");
    if (target.exists() && !target.isWritable())
        return QCoreApplication::translate("EtrViewer", "файл защищён от записи");
    if (!target.exists() && !folder.isWritable())
        return QCoreApplication::translate("EtrViewer", "нет прав на запись в папку");
    return QCoreApplication::translate("EtrViewer", "ошибка записи на диск");
}

QLabel* addBarLabel(QHBoxLayout* layout, const QString& objectName, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFixedHeight(28);
    layout->addWidget(label);
    return label;
}

// "<b>label</b>: value" lines of the fields named (all when none are named) that have a value.
QString metadataLines(const LineMetadata& metadata, const QStringList& keys)
{
    QStringList lines;
    for (const auto& field : metadata.fields()) {
        if (field.second.isEmpty() || (!keys.isEmpty() && !keys.contains(field.first)))
            continue;
        lines << QStringLiteral("<b>%1</b>: %2").arg(LineMetadata::label(field.first).toHtmlEscaped(),
                                                      field.second.toHtmlEscaped());
    }
    return lines.join(QStringLiteral("<br>"));
}

// What the crew needs to recognise the line at a glance; everything is in the tool tip. A header
// area written by another program is shown, cut short, for what it is.
QString metadataSummary(const LineMetadata& metadata)
{
    if (metadata.state() == LineMetadata::State::Foreign) {
        QString text = metadata.text().simplified();
        if (text.size() > 120)
            text = text.left(120) + QChar(0x2026);
        return QCoreApplication::translate("EtrViewer", "Заголовок файла содержит посторонний текст:")
               + QStringLiteral("<br><i>%1</i>").arg(text.toHtmlEscaped());
    }
    return metadataLines(metadata, {LineMetadata::LineName, LineMetadata::Operator, LineMetadata::StartTime,
                                    LineMetadata::Note});
}

QPushButton* createButton(const QString& text, const QString& objectName, int width, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setFixedSize(width, 32);
    return button;
}

}

EtrViewer::EtrViewer(TervexModel* model, QWidget* parent)
    : QDialog(parent)
    , m_model(model)
    , m_fileDialog(nullptr, QString(), m_model->dataPath(), tr("Данные Тервекс (*.etr)"))
{
    m_fileDialog.setFileMode(QFileDialog::ExistingFile);
    m_controller = new EtrController(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(createHeader());

    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(7, 7, 7, 7);
    middle->setSpacing(7);
    middle->addWidget(createPlotFrame(), 1);
    createTree();
    // The line's description from the file's header, above its blocks.
    auto* side = new QVBoxLayout;
    side->setSpacing(7);
    m_metadataLabel = new QLabel(this);
    m_metadataLabel->setObjectName(QStringLiteral("metadata_label"));
    m_metadataLabel->setWordWrap(true);
    m_metadataLabel->setTextFormat(Qt::RichText);
    m_metadataLabel->setStyleSheet(QStringLiteral("QLabel {border: 2px solid #CCCCCC; border-radius: 3px; "
                                                  "background-color: #FCFCFC; padding: 4px; color: #474747;}"));
    m_metadataLabel->hide();
    side->addWidget(m_metadataLabel, 0);
    side->addWidget(m_tree, 1);
    middle->addLayout(side, 0);
    layout->addLayout(middle, 1);
    layout->addWidget(createInfoBar());

    setWindowTitle(tr("Просмотр ETR"));
    setObjectName(QStringLiteral("mainWindow"));
    setStyleSheet(QStringLiteral("QWidget#mainWindow {background-color: #F3F3F3}"));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    resize(int(screen.width() * 0.8), int(screen.height() * 0.8));

    connect(m_controller, &EtrController::plotUpdated, this, &EtrViewer::onPlotUpdated);
    connect(m_controller, &EtrController::channelValuesUpdated, this, &EtrViewer::onChannelValuesUpdated);
    connect(m_controller, &EtrController::loadMessage, this, &EtrViewer::onControllerLoadMessage);
    connect(m_plot, &QCustomPlot::mouseMove, this, &EtrViewer::onPlotMouseMove);
    connect(m_plot, &QCustomPlot::mouseDoubleClick, this, &EtrViewer::onPlotMouseDoubleClick);
    const auto rangeChanged = QOverload<const QCPRange&>::of(&QCPAxis::rangeChanged);
    const auto setRange = QOverload<const QCPRange&>::of(&QCPAxis::setRange);
    connect(m_potentialGraph->keyAxis(), rangeChanged, m_currentGraph->keyAxis(), setRange);
    connect(m_currentGraph->keyAxis(), rangeChanged, m_potentialGraph->keyAxis(), setRange);
    connect(m_showCurrentButton, &QPushButton::clicked, this, &EtrViewer::onShowCurrentClicked);
    connect(m_dragZoomToggle, &Toggle::toggled, this, &EtrViewer::onSetDragAndZoom);
    connect(m_openButton, &QPushButton::clicked, this, &EtrViewer::onOpenClicked);
    connect(m_processButton, &QPushButton::clicked, this, &EtrViewer::onProcessClicked);
    connect(m_polarizationCheck, &QCheckBox::clicked, this, &EtrViewer::onPolarizationClicked);
    connect(m_backButton, &QPushButton::clicked, this, &EtrViewer::backClicked);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &EtrViewer::onSelectionChanged);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &EtrViewer::onItemChanged);
}

EtrViewer::~EtrViewer()
{
    // Both rectangles go back into the plot's layout, which then frees them with the graphs' axes.
    if (!m_currentRect->layout())
        placeRects(true);
}

QWidget* EtrViewer::createHeader()
{
    // A frame, so that the style sheet's header rule gives it the main window's look.
    auto* header = new QFrame(this);
    header->setObjectName(QStringLiteral("header"));
    header->setFixedHeight(50);
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(10);
    layout->addSpacing(10);
    m_openButton = createButton(tr("Открыть"), QStringLiteral("open_button"), 110, header);
    layout->addWidget(m_openButton);
    m_processButton = createButton(tr("Обработать"), QStringLiteral("process_button"), 110, header);
    layout->addWidget(m_processButton);
    auto* exportButton = createButton(tr("Экспорт…"), QStringLiteral("export_button"), 90, header);
    layout->addWidget(exportButton);
    connect(exportButton, &QPushButton::clicked, this, [this] {
        auto* dialog = new ExportDialog(m_fileLoaded ? m_controller->file() : nullptr, m_polarizationCheck->isChecked(), this);
        dialog->setDataFilter(m_errorView->filter());
        dialog->open();
    });
    m_polarizationCheck = new QCheckBox(tr("Учесть поляризацию"), header);
    m_polarizationCheck->setObjectName(QStringLiteral("polarization_check"));
    // At least the width of the layout, more when the font needs it: the text must not be cut.
    m_polarizationCheck->setFixedHeight(32);
    m_polarizationCheck->setMinimumWidth(150);
    // A transparent check box background loses the indicator's frame; the page colour keeps it.
    m_polarizationCheck->setStyleSheet(QStringLiteral("QCheckBox {background-color: #F3F3F3}"));
    m_polarizationCheck->setChecked(m_model->usePolar());
    layout->addWidget(m_polarizationCheck);
    layout->addSpacing(8);
    // The signal plots of the selected channel, the pseudosection, the errors or the model of the whole file.
    m_viewToggle = new Toggle({tr("Сигналы"), tr("Разрез"), tr("Погрешности"), tr("Модель")}, {0, 1, 2, 3}, 95, 32,
                              QColor(119, 119, 119), QColor(204, 204, 204), header);
    m_viewToggle->setObjectName(QStringLiteral("view_toggle"));
    // Each button as wide as its text: four of one width leave the header no room on a 1024 px screen.
    for (int id : {0, 1, 2, 3}) {
        QAbstractButton* button = m_viewToggle->button(id);
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + 10);
    }
    layout->addWidget(m_viewToggle);
    layout->addStretch();
    m_backButton = createButton(tr("Управление"), QStringLiteral("back_button"), 110, header);
    layout->addWidget(m_backButton);
    layout->addSpacing(5);
    return header;
}

QWidget* EtrViewer::createPlotFrame()
{
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("plotFrame"));
    frame->setStyleSheet(QStringLiteral("QFrame#plotFrame {border: 2px solid #CCCCCC; border-top-left-radius: 3px; "
                                        "border-top-right-radius: 3px;}"));
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* bar = new QFrame(frame);
    bar->setStyleSheet(QStringLiteral("QFrame {background-color: #CCCCCC}"));
    bar->setFixedHeight(36);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->setSpacing(20);
    barLayout->addSpacing(20);
    m_fileNameLabel = new QLabel(bar);
    m_fileNameLabel->setObjectName(QStringLiteral("file_name_label"));
    m_fileNameLabel->setStyleSheet(QStringLiteral("QLabel {color: #369;}"));
    barLayout->addWidget(m_fileNameLabel);
    m_pulseLabel = addBarLabel(barLayout, QStringLiteral("pulse_label"), bar);
    m_pauseLabel = addBarLabel(barLayout, QStringLiteral("pause_label"), bar);
    m_periodsLabel = addBarLabel(barLayout, QStringLiteral("periods_label"), bar);
    barLayout->addStretch();
    m_showCurrentButton = new QPushButton(tr("Ток"), bar);
    m_showCurrentButton->setObjectName(QStringLiteral("show_current_button"));
    // At least as wide as before, wider where the interface language needs it.
    m_showCurrentButton->setFixedHeight(26);
    m_showCurrentButton->setFixedWidth(
        qMax(70, m_showCurrentButton->fontMetrics().horizontalAdvance(m_showCurrentButton->text()) + 30));
    m_showCurrentButton->setFocusPolicy(Qt::NoFocus);
    m_showCurrentButton->setCheckable(true);
    m_showCurrentButton->setChecked(true);
    barLayout->addWidget(m_showCurrentButton);
    m_dragZoomToggle = new Toggle({tr("Все"), tr("Гор."), tr("Верт.")},
                                  {int(Qt::Horizontal | Qt::Vertical), int(Qt::Horizontal), int(Qt::Vertical)},
                                  70, 26, QColor(119, 119, 119), QColor(204, 204, 204), bar);
    m_dragZoomToggle->setObjectName(QStringLiteral("drag_zoom_toggle"));
    barLayout->addWidget(m_dragZoomToggle);
    barLayout->addSpacing(20);
    layout->addWidget(bar);

    m_plot = new QCustomPlot(frame);
    m_plot->setObjectName(QStringLiteral("etr_plot"));
    setUpPlot();
    auto* views = new QStackedWidget(frame);
    views->addWidget(m_plot);
    m_pseudosection = new PseudosectionView(views);
    views->addWidget(m_pseudosection);
    m_errorView = new ErrorView(m_model->dataFilter(), views);
    views->addWidget(m_errorView);
    connect(m_errorView, &ErrorView::filterChanged, m_model, &TervexModel::setDataFilter);
    connect(m_errorView, &ErrorView::filterChanged, this, &EtrViewer::showSection);
    m_modelPage = new ViewerModelPage(views);
    m_modelPage->setDataFilter(m_errorView->filter());
    views->addWidget(m_modelPage);
    connect(m_errorView, &ErrorView::filterChanged, m_modelPage, &ViewerModelPage::setDataFilter);
    connect(m_modelPage, &ViewerModelPage::dataChosen, this, &EtrViewer::markRecords);
    // The model's colours by default those of the pseudosection's resistivity, to compare the two.
    m_modelPage->view()->followPseudosection(m_pseudosection->plot());
    layout->addWidget(views, 1);
    connect(m_viewToggle, &Toggle::toggled, views, &QStackedWidget::setCurrentIndex);
    // Current and drag directions belong to the signal plots only.
    connect(m_viewToggle, &Toggle::toggled, this, [this](int view) {
        m_showCurrentButton->setVisible(view == 0);
        m_dragZoomToggle->setVisible(view == 0);
    });
    connect(m_pseudosection->plot(), &PseudosectionPlot::datumClicked, this, [this](int record, int channel) {
        QTreeWidgetItem* block = m_tree->topLevelItem(record);
        if (!block || channel >= block->childCount())
            return;
        m_tree->collapseAll();
        block->setExpanded(true);
        m_tree->setCurrentItem(block->child(channel));
    });
    return frame;
}

void EtrViewer::setUpPlot()
{
    m_plot->plotLayout()->clear();
    m_plot->plotLayout()->setRowSpacing(0);

    m_currentRect = new QCPAxisRect(m_plot);
    m_potentialRect = new QCPAxisRect(m_plot);
    auto* marginGroup = new QCPMarginGroup(m_plot);
    for (QCPAxisRect* rect : {m_currentRect, m_potentialRect}) {
        rect->setAutoMargins(QCP::msNone);
        rect->setMargins(QMargins(80, 5, 5, 20));
        rect->setMarginGroup(QCP::msLeft, marginGroup);
    }
    m_currentRect->axis(QCPAxis::atBottom)->setTickLabels(false);
    // One sample per millisecond; the station streams amperes and volts.
    m_currentRect->axis(QCPAxis::atLeft)->setLabel(tr("I, А"));
    m_potentialRect->axis(QCPAxis::atLeft)->setLabel(tr("U, В"));
    m_potentialRect->axis(QCPAxis::atBottom)->setLabel(tr("t, мс"));
    m_plot->plotLayout()->addElement(0, 0, m_currentRect);
    m_plot->plotLayout()->addElement(1, 0, m_potentialRect);

    m_potentialGraph = m_plot->addGraph(m_potentialRect->axis(QCPAxis::atBottom),
                                        m_potentialRect->axis(QCPAxis::atLeft));
    m_currentGraph = m_plot->addGraph(m_currentRect->axis(QCPAxis::atBottom), m_currentRect->axis(QCPAxis::atLeft));
    m_currentGraph->setPen(QPen(QColor(QStringLiteral("green"))));

    m_plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
}

void EtrViewer::createTree()
{
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("etr_tree"));
    m_tree->setStyleSheet(QStringLiteral(
        "QTreeWidget{font-size:16px;border:2px solid #CCCCCC;border-radius:0px;border-top-left-radius:3px;"
        "border-top-right-radius:3px;background-color:#FCFCFC;} QTreeWidget::item{height:26px}"));
    m_tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setColumnCount(2);
    m_tree->setHeaderLabels({tr("Электроды"), tr("Запись")});
    m_tree->setColumnWidth(0, 100);
    // fillTree() widens the tree to its columns.
    m_tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tree->header()->setStyleSheet(QStringLiteral(
        "QHeaderView{border:0;background-color:#CCCCCC;border-top-left-radius:1px;border-top-right-radius:1px} "
        "QHeaderView::section{font-size: 16px; height:36px;background-color:#CCCCCC;color:#474747;"
        "padding-left:4px;border:0;border-radius:3px}"));
}

QWidget* EtrViewer::createInfoBar()
{
    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("infoFrame"));
    frame->setStyleSheet(
        QStringLiteral("QFrame#infoFrame{background-color:#CCCCCC;border:0;border-top:1px solid #909090;}"));
    frame->setFixedHeight(42);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(5, 5, 5, 5);
    layout->setSpacing(20);
    layout->addSpacing(20);
    m_iLabel = addBarLabel(layout, QStringLiteral("i_label"), frame);
    m_vLabel = addBarLabel(layout, QStringLiteral("v_label"), frame);
    m_rhoLabel = addBarLabel(layout, QStringLiteral("rho_label"), frame);
    m_kLabel = addBarLabel(layout, QStringLiteral("k_label"), frame);
    m_qLabel = addBarLabel(layout, QStringLiteral("q_label"), frame);
    layout->addStretch();
    auto* readOut = new QHBoxLayout;
    readOut->setSpacing(5);
    m_xLabel = new QLabel(frame);
    m_xLabel->setObjectName(QStringLiteral("x_label"));
    m_xLabel->setFixedSize(120, 28);
    m_xLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    readOut->addWidget(m_xLabel);
    m_yLabel = new QLabel(frame);
    m_yLabel->setObjectName(QStringLiteral("y_label"));
    m_yLabel->setFixedSize(120, 28);
    m_yLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    readOut->addWidget(m_yLabel);
    layout->addLayout(readOut);
    layout->addSpacing(20);
    return frame;
}

void EtrViewer::showInformation(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox::information(parent, title, text, QMessageBox::Ok);
}

QStringList EtrViewer::chooseFiles()
{
    m_fileDialog.setDirectory(m_model->dataPath());
    if (m_fileDialog.exec() != QDialog::Accepted)
        return {};
    return m_fileDialog.selectedFiles();
}

void EtrViewer::onControllerLoadMessage(const QString& title, const QString& text)
{
    showInformation(nullptr, title, text);
}

void EtrViewer::onOpenClicked()
{
    const QStringList files = chooseFiles();
    if (files.isEmpty())
        return;
    const QFileInfo info(files.first());
    m_model->setDataPath(info.absolutePath());
    loadFile(files.first());
}

void EtrViewer::loadFile(const QString& path)
{
    m_fileLoaded = m_controller->open(path);
    if (m_fileLoaded) {
        const EtrFile* file = m_controller->file();
        m_fileNameLabel->setText(QFileInfo(path).fileName());
        m_pulseLabel->setText(tr("Импульс: <b>%1</b>").arg(file->pulse()));
        m_pauseLabel->setText(tr("Пауза: <b>%1</b>").arg(file->pause()));
        m_periodsLabel->setText(tr("Периоды: <b>%1</b>").arg(file->repeats()));
        showMetadata(file->metadata());
        m_pseudosection->setSaveName(QFileInfo(path).path() + QLatin1Char('/') + QFileInfo(path).completeBaseName());
        m_errorView->setData(file->surveyData(0));
        showSection();
        fillTree();
        m_modelPage->setFile(file, path);
        return;
    }
    m_modelPage->setFile(nullptr, QString());
    m_pseudosection->plot()->setData({});
    showMetadata(LineMetadata());
    m_errorView->setData({});
    // Nothing of the previously shown file may stay on screen under the failed one.
    for (QLabel* label : {m_fileNameLabel, m_pulseLabel, m_pauseLabel, m_periodsLabel, m_iLabel, m_vLabel, m_rhoLabel,
                          m_kLabel, m_qLabel, m_xLabel, m_yLabel})
        label->clear();
    m_tree->reset();
    m_tree->clearSelection();
    m_tree->clear();
    m_potentialGraph->data()->clear();
    m_currentGraph->data()->clear();
    m_plot->replot();
}

void EtrViewer::showSection()
{
    // The section shows what the filter keeps, as the exports and the inversion do.
    const QVector<SurveyDatum> data = m_fileLoaded ? m_controller->file()->surveyData(0) : QVector<SurveyDatum>();
    m_pseudosection->plot()->setData(m_errorView->errors().kept(data));
}

void EtrViewer::showMetadata(const LineMetadata& metadata)
{
    m_metadataLabel->setVisible(metadata.state() != LineMetadata::State::None);
    m_metadataLabel->setText(metadataSummary(metadata));
    m_metadataLabel->setToolTip(metadata.state() == LineMetadata::State::Foreign
                                    ? metadata.text().toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"))
                                    : metadataLines(metadata, {}));
}

void EtrViewer::fillTree()
{
    m_markedRecords.clear();
    m_tree->reset();
    m_tree->clearSelection();
    m_tree->clear();

    const QBrush blockBrush{QColor(QStringLiteral("navy"))};
    const QBrush recordBrush{QColor(QStringLiteral("grey"))};
    QList<QTreeWidgetItem*> blockItems;
    // Quadrupoles measured more than once: every record of them is marked, the best one kept by
    // the export and the pseudosection apart.
    const QVector<SurveyDatum> data = m_controller->file()->surveyData(0);
    QHash<quint64, int> measured;
    for (const SurveyDatum& datum : data)
        ++measured[quadrupoleKey(datum.electrodes)];
    QSet<QPair<int, int>> best;
    for (const SurveyDatum& datum : bestOfRepeats(data)) {
        if (measured.value(quadrupoleKey(datum.electrodes)) > 1)
            best.insert({datum.record, datum.channel});
    }
    QHash<QPair<int, int>, bool> repeated;
    for (const SurveyDatum& datum : data) {
        if (measured.value(quadrupoleKey(datum.electrodes)) > 1)
            repeated.insert({datum.record, datum.channel}, best.contains({datum.record, datum.channel}));
    }
    int record = 1;
    int blockIndex = 0;
    for (const EtrBlock& block : m_controller->file()->blocks()) {
        auto* blockItem = new QTreeWidgetItem;
        blockItem->setFlags(Qt::ItemIsEnabled);
        blockItem->setText(0, QStringLiteral("Ca:%1 Cb:%2").arg(block.a).arg(block.b));
        blockItem->setForeground(0, blockBrush);
        blockItem->setText(1, block.channels.size() == 1
                                  ? QString::number(record)
                                  : QStringLiteral("%1..%2").arg(record).arg(record + block.channels.size() - 1));
        blockItem->setForeground(1, recordBrush);
        for (int c = 0; c < block.channels.size(); ++c) {
            const EtrChannel& channel = block.channels.at(c);
            auto* channelItem = new QTreeWidgetItem(blockItem);
            channelItem->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            channelItem->setText(0, QStringLiteral("Pm:%1 Pn:%2").arg(channel.m).arg(channel.n));
            QString number = QString::number(record++);
            const auto mark = repeated.constFind({blockIndex, c});
            if (mark != repeated.constEnd()) {
                number += *mark ? QStringLiteral(" ✓") : QStringLiteral(" ↻");
                channelItem->setToolTip(1, *mark ? tr("Повторённый квадруполь: лучшая запись (наименьший разброс)")
                                                 : tr("Повторённый квадруполь: повтор"));
            }
            channelItem->setText(1, number);
            channelItem->setForeground(1, recordBrush);
        }
        blockItems.append(blockItem);
        ++blockIndex;
    }
    m_tree->addTopLevelItems(blockItems);

    m_tree->expandAll();
    m_tree->resizeColumnToContents(0);
    m_tree->setColumnWidth(0, m_tree->columnWidth(0) + 13);
    // The tree takes the room its two columns need, so the record numbers are not cut off.
    const QAbstractItemView* view = m_tree;
    const int recordWidth = qMax(view->sizeHintForColumn(1), m_tree->header()->sectionSizeHint(1));
    m_tree->setMinimumWidth(m_tree->columnWidth(0) + recordWidth + m_tree->verticalScrollBar()->sizeHint().width()
                            + 2 * m_tree->frameWidth());
    m_tree->collapseAll();

    if (blockItems.isEmpty())
        return;
    QTreeWidgetItem* first = blockItems.first();
    m_tree->setCurrentItem(first);
    onItemChanged(first, first);
}

void EtrViewer::onItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
    if (!current || !previous)
        return;
    if (QTreeWidgetItem* block = current->parent()) {
        m_controller->selectChannel(m_tree->indexOfTopLevelItem(block), block->indexOfChild(current));
        m_pseudosection->plot()->selectRecord(m_tree->indexOfTopLevelItem(block), block->indexOfChild(current));
        return;
    }

    // A block line became current: walk on to a channel, so the keys move from channel to channel
    // across the block borders and only the block of the current channel stays open.
    m_tree->collapseAll();
    const int index = m_tree->indexOfTopLevelItem(current);
    QTreeWidgetItem* target = nullptr;
    if (previous->parent() == current && index > 0) {
        // Up from the block's first channel: the last channel of the block before.
        QTreeWidgetItem* above = m_tree->topLevelItem(index - 1);
        above->setExpanded(true);
        if (above->childCount() > 0)
            target = above->child(above->childCount() - 1);
        else
            target = above;
    } else if (!previous->parent() && m_tree->indexOfTopLevelItem(previous) == index + 1) {
        // Up from a block without channels: the last channel of this one.
        current->setExpanded(true);
        if (current->childCount() > 0)
            target = current->child(current->childCount() - 1);
    } else {
        current->setExpanded(true);
        if (current->childCount() > 0)
            target = current->child(0);
    }
    if (target)
        m_tree->setCurrentItem(target);
}

void EtrViewer::onSelectionChanged()
{
    m_tree->selectionModel()->select(m_tree->currentIndex(),
                                     QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void EtrViewer::onPlotUpdated()
{
    const ChannelPlotManager* series = m_controller->plotManager();
    m_potentialGraph->setData(series->keys(), series->potentialValues(), true);
    m_currentGraph->setData(series->keys(), series->currentValues(), true);
    for (QCPAxisRect* rect : {m_potentialRect, m_currentRect}) {
        rect->axis(QCPAxis::atBottom)->rescale();
        rect->axis(QCPAxis::atLeft)->rescale();
    }
    m_plot->replot();
}

void EtrViewer::onChannelValuesUpdated(float i, float v, float k, float r, float q)
{
    m_iLabel->setText(tr("I=<b>%1</b>мА").arg(QString::number(double(i) * 1000.0, 'f', 3)));
    m_vLabel->setText(tr("V=<b>%1</b>мВ").arg(QString::number(double(v) * 1000.0, 'f', 3)));
    m_kLabel->setText(QStringLiteral("K=<b>%1</b>").arg(QString::number(double(k), 'g', 6)));
    m_rhoLabel->setText(tr("Rho=<b>%1</b>Ом").arg(QString::number(double(r), 'f', 3)));
    m_qLabel->setText(QStringLiteral("q=<b>%1</b>%").arg(QString::number(double(q), 'f', 3)));
}

void EtrViewer::placeRects(bool withCurrent)
{
    QCPLayoutGrid* layout = m_plot->plotLayout();
    for (QCPAxisRect* rect : {m_currentRect, m_potentialRect}) {
        if (rect->layout())
            layout->take(rect);
    }
    m_currentRect->setVisible(withCurrent);
    m_currentGraph->setVisible(withCurrent);
    if (withCurrent) {
        layout->addElement(0, 0, m_currentRect);
        layout->addElement(1, 0, m_potentialRect);
    } else {
        layout->addElement(0, 0, m_potentialRect);
    }
    layout->simplify();
}

void EtrViewer::onShowCurrentClicked(bool checked)
{
    placeRects(checked);
    m_plot->replot();
}

void EtrViewer::onPlotMouseMove(QMouseEvent* evt)
{
    const double px = std::round(evt->localPos().x());
    const double py = std::round(evt->localPos().y());
    for (int i = 0; i < m_plot->graphCount(); ++i) {
        const QCPGraph* graph = m_plot->graph(i);
        if (!graph->visible())
            continue;
        const double x = graph->keyAxis()->pixelToCoord(px);
        const double y = graph->valueAxis()->pixelToCoord(py);
        if (graph->keyAxis()->range().contains(x) && graph->valueAxis()->range().contains(y)) {
            m_xLabel->setText(QStringLiteral("X: <b>%1</b>").arg(int(x)));
            m_yLabel->setText(QStringLiteral("Y: <b>%1</b>").arg(QString::number(y, 'g', 6)));
            return;
        }
    }
    m_xLabel->clear();
    m_yLabel->clear();
}

void EtrViewer::onPlotMouseDoubleClick(QMouseEvent* evt)
{
    Q_UNUSED(evt)
    onPlotUpdated();
}

void EtrViewer::onSetDragAndZoom(int orientation)
{
    const Qt::Orientations orientations(orientation);
    for (QCPAxisRect* rect : {m_potentialRect, m_currentRect}) {
        rect->setRangeDrag(orientations);
        rect->setRangeZoom(orientations);
    }
}

void EtrViewer::onPolarizationClicked()
{
    m_model->setUsePolar(m_polarizationCheck->isChecked());
}

void EtrViewer::onProcessClicked()
{
    const EtrFile* file = m_controller->file();
    if (!file)
        return;
    if (!m_fileLoaded) {
        showInformation(this, processTitle(),
                        tr("Файл не открыт: преобразовывать нечего.\nОткройте файл etr кнопкой «Открыть»."));
        return;
    }

    bool withPolarisation = m_polarizationCheck->isChecked();
    if (withPolarisation && file->polarisationInvalid()) {
        showInformation(this, processTitle(),
                        tr("Некорректное значение поляризации\n"
                                       "Будет выполнено преобразование без поляризации"));
        withPolarisation = false;
    }
    QString result;
    if (file->exportText(withPolarisation)) {
        result = withPolarisation ? tr("Преобразование с поляризацией успешно завершено")
                                  : tr("Преобразование успешно завершено");
        result += QLatin1Char('\n')
                  + tr("Таблица записана в %1")
                        .arg(QDir::toNativeSeparators(QFileInfo(file->textPath(withPolarisation)).absoluteFilePath()));
    } else {
        const QString path = file->textPath(withPolarisation);
        result = tr("Не удалось записать файл %1: %2")
                     .arg(QDir::toNativeSeparators(path), writeFailureReason(path));
    }
    showInformation(this, processTitle(), result);
}

void EtrViewer::markRecords(const QVector<SurveyDatum>& data)
{
    for (const auto& record : qAsConst(m_markedRecords)) {
        if (QTreeWidgetItem* block = m_tree->topLevelItem(record.first)) {
            if (QTreeWidgetItem* channel = block->child(record.second))
                channel->setBackground(0, QBrush());
        }
    }
    m_markedRecords.clear();
    QTreeWidgetItem* first = nullptr;
    m_tree->collapseAll();
    // The other files of the line are not in the tree.
    for (const SurveyDatum& datum : data) {
        QTreeWidgetItem* block = datum.source == 0 ? m_tree->topLevelItem(datum.record) : nullptr;
        QTreeWidgetItem* channel = block ? block->child(datum.channel) : nullptr;
        if (!channel)
            continue;
        channel->setBackground(0, QColor(255, 236, 160));
        block->setExpanded(true);
        m_markedRecords.append({datum.record, datum.channel});
        if (!first)
            first = channel;
    }
    // The most sensitive datum becomes the current channel: its signals, its pseudosection cell.
    if (first) {
        m_tree->setCurrentItem(first);
        m_tree->scrollToItem(first);
    }
}

void EtrViewer::hideEvent(QHideEvent* event)
{
    m_modelPage->cancel();
    QDialog::hideEvent(event);
}

void EtrViewer::reject()
{
    // The viewer is a page of the main window: Esc must not hide it and leave an empty window.
    // Like "Управление", it goes back to the controls.
    Q_EMIT backClicked();
}
