#ifndef EXPORTDIALOG_H
#define EXPORTDIALOG_H

#include "etr/inversionwriters.h"

#include <QDialog>
#include <QPointer>

class EtrFile;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The viewer's "Экспорт…": asks for the inversion format and the target file, writes the opened
// data file there and says what it wrote (data count, data left out with the reason) or why it
// could not. Stays open, so the same file can go out in another format next.
class ExportDialog : public QDialog
{
    Q_OBJECT

public:
    // `file` null: nothing is opened, the dialog says so and writes nothing.
    ExportDialog(const EtrFile* file, bool withChargeability, QWidget* parent = nullptr);

    const InversionReport& report() const { return m_report; }
    // The rules the export drops data by; its error source is the dialog's proposal.
    void setDataFilter(const DataFilter& filter);

Q_SIGNALS:
    void exported(const InversionReport& report);

private Q_SLOTS:
    void onFormatChanged();
    void onBrowseClicked();
    void onWriteClicked();

private:
    InversionFormat format() const;
    QString sourcePath() const;

    QPointer<const EtrFile> m_file;
    QComboBox* m_formatCombo = nullptr;
    QLineEdit* m_targetEdit = nullptr;
    QPushButton* m_browseButton = nullptr;
    QCheckBox* m_chargeabilityCheck = nullptr;
    QCheckBox* m_repeatsCheck = nullptr;
    QComboBox* m_errorCombo = nullptr;
    DataFilter m_filter;
    QLabel* m_resultLabel = nullptr;
    QPushButton* m_writeButton = nullptr;
    InversionReport m_report;
};

#endif
