#ifndef FILEVIEWER_H
#define FILEVIEWER_H

#include "ui/etrviewer.h"

// The viewer driven by a program instead of an operator: opens the file it is given as if it had
// been chosen in the open dialog, and prints its boxes on standard error instead of waiting for a click.
class FileViewer : public EtrViewer
{
    Q_OBJECT

public:
    using EtrViewer::EtrViewer;

    void open(const QString& path);
    // One arrow key press on the tree, as the operator gives it.
    void pressKey(int key);

protected:
    void showInformation(QWidget* parent, const QString& title, const QString& text) override;
    QStringList chooseFiles() override;

private:
    QString m_path;
};

#endif
