#include "ui/measurementstablemodel.h"

#include "measurement/tervexcalculator.h"
#include "survey/surveydatamanager.h"

namespace {

struct ResultColumn
{
    int valueIndex;
    float scale;
};

// Rho, U (volts shown as mV), q, K, Pm, Pn.
constexpr ResultColumn Columns[] = {{1, 1.0f}, {2, 1000.0f}, {3, 1.0f}, {0, 1.0f}, {67, 1.0f}, {68, 1.0f}};

}

MeasurementsTableModel::MeasurementsTableModel(SurveyDataManager* manager, QObject* parent)
    : HeaderTableModel({QStringLiteral("Rho, Ω"), QStringLiteral("U, mV"), QStringLiteral("q, %"),
                        QStringLiteral("K"), QStringLiteral("Pm"), QStringLiteral("Pn")},
                       parent),
      m_manager(manager)
{
}

int MeasurementsTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_manager || !m_manager->calculator())
        return 0;
    return m_manager->calculator()->channelResults().size();
}

QVariant MeasurementsTableModel::cellData(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();

    const QMap<int, ChannelResult> results = m_manager->calculator()->channelResults();
    const ChannelResult& result = *std::next(results.cbegin(), index.row());
    const ResultColumn& column = Columns[index.column()];
    return TervexCalculator::formatValue(result.value(column.valueIndex), column.scale);
}
