#include "tools/shots/fileviewer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>

#include <cstdio>

void FileViewer::open(const QString& path)
{
    m_path = path;
    findChild<QPushButton*>(QStringLiteral("open_button"))->click();
}

void FileViewer::pressKey(int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(tree(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(tree(), &release);
}

void FileViewer::showInformation(QWidget* parent, const QString& title, const QString& text)
{
    Q_UNUSED(parent)
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
}

QStringList FileViewer::chooseFiles()
{
    return {m_path};
}
