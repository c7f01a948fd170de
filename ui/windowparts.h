#ifndef WINDOWPARTS_H
#define WINDOWPARTS_H

#include <QCoreApplication>

class QPushButton;
class QTableView;
class QWidget;

// What the main window's pages share: the window's translation context, so that its texts are
// found under one name whichever page shows them, and the pieces more than one page is built of.
struct WindowParts
{
    Q_DECLARE_TR_FUNCTIONS(TervexWidget)

public:
    // A flat checkable tab of the window's toggles and of the run types.
    static QPushButton* tabButton(const QString& text, QWidget* parent);
    // A small button of a section page's bar (ρ/η, PNG, PDF): fixed size, never takes the focus.
    static QPushButton* barButton(const QString& text, const QString& objectName, QWidget* parent);
    // A station table ("sts_table") without scroll bars: it is sized to its rows.
    static QTableView* stationTable(QWidget* parent);
    // Rows 30 px high and room for `channels` of them below the header.
    static void fitStationTable(QTableView* table, int channels);
};

#endif
