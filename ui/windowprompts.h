#ifndef WINDOWPROMPTS_H
#define WINDOWPROMPTS_H

#include "survey/contactgate.h"

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// The boxes and questions of the main window, replaceable as a whole: tests and the picture tools
// record them instead of blocking on them.
class WindowPrompts
{
public:
    // A null parent is a box of its own (the relay test's verdict).
    using MessageHandler =
        std::function<void(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)>;
    // Asks for one line of text; false when the operator cancelled.
    using TextInputHandler = std::function<bool(QWidget* parent, const QString& title, const QString& label,
                                                const QString& current, QString* text)>;
    // Asks a yes/no question; true for yes.
    using QuestionHandler = std::function<bool(QWidget* parent, const QString& title, const QString& text)>;

    // The contact check before a survey found electrodes above its limit: the operator's choice.
    using ContactCheckHandler = std::function<ContactGate::Choice(
        QWidget* parent, const ContactGate& gate, const QVector<TestPlanEntry>& plan, const QVector<TestResult>& results)>;

    // A null handler brings back the standard dialog.
    static void setMessageHandler(const MessageHandler& handler);
    static void setTextInputHandler(const TextInputHandler& handler);
    static void setQuestionHandler(const QuestionHandler& handler);
    static void setContactCheckHandler(const ContactCheckHandler& handler);

    static void message(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text);
    static bool textInput(QWidget* parent, const QString& title, const QString& label, const QString& current,
                          QString* text);
    static bool question(QWidget* parent, const QString& title, const QString& text);
    static ContactGate::Choice contactCheck(QWidget* parent, const ContactGate& gate,
                                            const QVector<TestPlanEntry>& plan, const QVector<TestResult>& results);

    // The main window's title of its boxes, "Тервекс-М1" in the interface language.
    static QString windowTitle();
    // A warning of the main window under its title.
    static void warning(QWidget* parent, const QString& text);
    // A plain text of several lines as a message box shows it.
    static QString htmlLines(const QString& text);
};

#endif
