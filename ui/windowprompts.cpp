#include "ui/windowprompts.h"

#include "ui/contactcheckdialog.h"
#include "ui/freshdialogguard.h"

#include <QCoreApplication>
#include <QInputDialog>

namespace {

void standardMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(parent);
    box.setIcon(icon);
    box.setWindowTitle(title);
    box.setText(text);
    new FreshDialogGuard(&box);
    if (parent) {
        box.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
        box.setStyleSheet(QStringLiteral("QMessageBox {background: #FCFCFC;}"));
        box.setModal(true);
    }
    box.exec();
}

bool standardTextInput(QWidget* parent, const QString& title, const QString& label, const QString& current,
                       QString* text)
{
    bool ok = false;
    *text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, current, &ok);
    return ok;
}

bool standardQuestion(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

ContactGate::Choice standardContactCheck(QWidget* parent, const ContactGate& gate,
                                         const QVector<TestPlanEntry>& plan, const QVector<TestResult>& results)
{
    ContactCheckDialog dialog(gate, plan, results, parent);
    new FreshDialogGuard(&dialog);
    dialog.exec();
    return dialog.choice();
}

WindowPrompts::ContactCheckHandler& contactCheckHandler()
{
    static WindowPrompts::ContactCheckHandler handler = standardContactCheck;
    return handler;
}

WindowPrompts::QuestionHandler& questionHandler()
{
    static WindowPrompts::QuestionHandler handler = standardQuestion;
    return handler;
}

WindowPrompts::MessageHandler& messageHandler()
{
    static WindowPrompts::MessageHandler handler = standardMessage;
    return handler;
}

WindowPrompts::TextInputHandler& textInputHandler()
{
    static WindowPrompts::TextInputHandler handler = standardTextInput;
    return handler;
}

} // namespace

void WindowPrompts::setMessageHandler(const MessageHandler& handler)
{
    messageHandler() = handler ? handler : MessageHandler(standardMessage);
}

void WindowPrompts::setQuestionHandler(const QuestionHandler& handler)
{
    questionHandler() = handler ? handler : QuestionHandler(standardQuestion);
}

void WindowPrompts::setContactCheckHandler(const ContactCheckHandler& handler)
{
    contactCheckHandler() = handler ? handler : ContactCheckHandler(standardContactCheck);
}

ContactGate::Choice WindowPrompts::contactCheck(QWidget* parent, const ContactGate& gate,
                                                const QVector<TestPlanEntry>& plan, const QVector<TestResult>& results)
{
    return contactCheckHandler()(parent, gate, plan, results);
}

void WindowPrompts::setTextInputHandler(const TextInputHandler& handler)
{
    textInputHandler() = handler ? handler : TextInputHandler(standardTextInput);
}

void WindowPrompts::message(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text)
{
    messageHandler()(parent, icon, title, text);
}

bool WindowPrompts::textInput(QWidget* parent, const QString& title, const QString& label, const QString& current,
                              QString* text)
{
    return textInputHandler()(parent, title, label, current, text);
}

bool WindowPrompts::question(QWidget* parent, const QString& title, const QString& text)
{
    return questionHandler()(parent, title, text);
}

QString WindowPrompts::windowTitle()
{
    // Translated when shown: the interface language is chosen after static initialisation.
    return QCoreApplication::translate("TervexWidget", "Тервекс-М1");
}

void WindowPrompts::warning(QWidget* parent, const QString& text)
{
    message(parent, QMessageBox::Warning, windowTitle(), text);
}

QString WindowPrompts::htmlLines(const QString& text)
{
    return text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}
