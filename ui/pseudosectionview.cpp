#include "ui/pseudosectionview.h"

#include "survey/outputfile.h"
#include "ui/windowparts.h"

#include <QButtonGroup>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>


PseudosectionView::PseudosectionView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pseudosection_view"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 0);
    bar->setSpacing(8);
    m_quantityGroup = new QButtonGroup(this);
    const QString names[2] = {tr("ρа"), QStringLiteral("η")};
    for (int id = 0; id < 2; ++id) {
        QPushButton* button = WindowParts::barButton(names[id], id == 0 ? QStringLiteral("resistivity_button")
                                                           : QStringLiteral("chargeability_button"), this);
        button->setCheckable(true);
        button->setChecked(id == 0);
        m_quantityGroup->addButton(button, id);
        bar->addWidget(button);
    }
    bar->addSpacing(12);
    bar->addWidget(new QLabel(tr("Крест: разброс более"), this));
    m_limit = new QDoubleSpinBox(this);
    m_limit->setObjectName(QStringLiteral("deviation_limit"));
    m_limit->setRange(0.1, 100.0);
    m_limit->setDecimals(1);
    m_limit->setSuffix(QStringLiteral(" %"));
    m_limit->setValue(PseudosectionPlot::DefaultDeviationLimit);
    m_limit->setFixedHeight(26);
    bar->addWidget(m_limit);
    bar->addStretch();
    QPushButton* png = WindowParts::barButton(QStringLiteral("PNG"), QStringLiteral("save_png_button"), this);
    QPushButton* pdf = WindowParts::barButton(QStringLiteral("PDF"), QStringLiteral("save_pdf_button"), this);
    bar->addWidget(png);
    bar->addWidget(pdf);
    layout->addLayout(bar);

    m_plot = new PseudosectionPlot(this);
    layout->addWidget(m_plot, 1);

    connect(m_quantityGroup, &QButtonGroup::idClicked, this, [this](int id) {
        m_plot->setQuantity(id == 0 ? PseudosectionPlot::Quantity::Resistivity
                                    : PseudosectionPlot::Quantity::Chargeability);
    });
    connect(m_limit, QOverload<double>::of(&QDoubleSpinBox::valueChanged), m_plot,
            &PseudosectionPlot::setDeviationLimit);
    connect(png, &QPushButton::clicked, this, [this]() { onSaveClicked(QStringLiteral("png")); });
    connect(pdf, &QPushButton::clicked, this, [this]() { onSaveClicked(QStringLiteral("pdf")); });
}

bool PseudosectionView::savePicture(const QString& path)
{
    QString refused;
    if (!OutputFile::mayWrite(path, {}, &refused))
        return false;
    if (QFileInfo(path).suffix().toLower() == QLatin1String("pdf"))
        return m_plot->savePdf(path);
    return m_plot->savePng(path);
}

QString PseudosectionView::chooseSavePath(const QString& format)
{
    const QString proposed = (m_saveName.isEmpty() ? QStringLiteral("pseudosection") : m_saveName)
        + QLatin1Char('.') + format;
    return QFileDialog::getSaveFileName(this, tr("Сохранить разрез"), proposed,
                                        QStringLiteral("%1 (*.%2)").arg(format.toUpper(), format));
}

void PseudosectionView::onSaveClicked(const QString& format)
{
    QString path = chooseSavePath(format);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + format;
    const QString native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (savePicture(path))
        showSaveResult(true, tr("Разрез сохранён в %1").arg(native));
    else
        showSaveResult(false, tr("Не удалось записать файл %1.").arg(native));
}

void PseudosectionView::showSaveResult(bool saved, const QString& text)
{
    if (saved)
        QMessageBox::information(this, tr("Сохранить разрез"), text);
    else
        QMessageBox::warning(this, tr("Сохранить разрез"), text);
}
