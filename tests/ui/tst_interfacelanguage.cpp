// The window in each interface language: every text it shows — labels, buttons, tabs, headers,
// tool tips, plot axes, dialogs — is in that language. In English no Russian may be left.
#include "app/startup.h"
#include "ui/etrviewer.h"
#include "ui/exportdialog.h"
#include "ui/livemodelpage.h"
#include "ui/modelview.h"
#include "ui/tervexwidget.h"

#include "windowsession.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTimer>
#include <QtTest>

#include <qcustomplot.h>

namespace {

QString tx(const char* context, const char* source)
{
    return QCoreApplication::translate(context, source);
}

void addModelTexts(QAbstractItemModel* model, QStringList* texts)
{
    if (!model)
        return;
    for (int c = 0; c < model->columnCount(); ++c)
        texts->append(model->headerData(c, Qt::Horizontal).toString());
    for (int r = 0; r < model->rowCount(); ++r) {
        texts->append(model->headerData(r, Qt::Vertical).toString());
        for (int c = 0; c < model->columnCount(); ++c) {
            texts->append(model->index(r, c).data().toString());
            texts->append(model->index(r, c).data(Qt::ToolTipRole).toString());
        }
    }
}

void addPlotTexts(QCustomPlot* plot, QStringList* texts)
{
    for (QCPAxisRect* rect : plot->axisRects()) {
        for (QCPAxis* axis : rect->axes()) {
            texts->append(axis->label());
            if (auto ticker = axis->ticker().dynamicCast<QCPAxisTickerText>())
                texts->append(ticker->ticks().values());
        }
    }
    for (int i = 0; i < plot->plottableCount(); ++i)
        texts->append(plot->plottable(i)->name());
    for (int i = 0; i < plot->itemCount(); ++i) {
        if (auto* item = qobject_cast<QCPItemText*>(plot->item(i)))
            texts->append(item->text());
    }
    for (int i = 0; i < plot->plotLayout()->elementCount(); ++i) {
        if (auto* title = qobject_cast<QCPTextElement*>(plot->plotLayout()->elementAt(i)))
            texts->append(title->text());
    }
}

// Every text a widget and its children show, hidden pages included.
QStringList textsOf(QWidget* root)
{
    QStringList texts{root->windowTitle(), root->toolTip()};
    for (QWidget* w : root->findChildren<QWidget*>()) {
        texts << w->toolTip() << w->windowTitle() << w->statusTip() << w->whatsThis();
        if (auto* label = qobject_cast<QLabel*>(w))
            texts << label->text();
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            texts << button->text();
        else if (auto* group = qobject_cast<QGroupBox*>(w))
            texts << group->title();
        else if (auto* edit = qobject_cast<QLineEdit*>(w))
            texts << edit->placeholderText();
        else if (auto* progress = qobject_cast<QProgressBar*>(w))
            texts << progress->format() << progress->text();
        else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                texts << tabs->tabText(i) << tabs->tabToolTip(i);
        } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        } else if (auto* view = qobject_cast<QAbstractItemView*>(w))
            addModelTexts(view->model(), &texts);
        else if (auto* plot = qobject_cast<QCustomPlot*>(w))
            addPlotTexts(plot, &texts);
    }
    texts.removeAll(QString());
    texts.removeDuplicates();
    return texts;
}

// Opens a dialog that runs its own loop, takes its texts and closes it.
QStringList textsOfModal(QPushButton* opener)
{
    QStringList texts;
    QTimer::singleShot(0, [&texts]() {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        texts = textsOf(dialog);
        if (auto* d = qobject_cast<QDialog*>(dialog))
            d->reject();
    });
    if (opener)
        opener->click();
    return texts;
}

} // namespace

class InterfaceLanguageTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }
    void everyTextIsInTheLanguage_data();
    void everyTextIsInTheLanguage();
    void chosenLanguageIsReadAtTheNextStart();
};

void InterfaceLanguageTest::everyTextIsInTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("ru") << Startup::russian();
    QTest::newRow("en") << Startup::english();
}

void InterfaceLanguageTest::everyTextIsInTheLanguage()
{
    QFETCH(QString, language);
    // The translators live as long as this holder.
    QObject translators;
    const QString missing = Startup::installTranslations(&translators, language);
    QVERIFY2(missing.isEmpty() || language == Startup::russian(), qPrintable(missing));

    SimulatorOptions options;
    options.speed = 0;
    WindowSession session;
    QVERIFY(session.connect(options));
    TervexWidget* w = session.window.get();

    QStringList texts;
    for (const char* page : {"ЗАПИСЬ", "ТЕСТ", "АВТОМАТ"}) {
        click(buttonIn(w, tx("TervexWidget", page)));
        texts << textsOf(w);
    }
    texts << textsOfModal(buttonIn(w, tx("TervexWidget", "Параметры")));
    texts << textsOfModal(buttonIn(w, tx("AutoSettingsWidget", "Создать…")));
    click(buttonIn(w, tx("TervexWidget", "Обработка")));
    texts << textsOf(w);
    click(w->findChild<QPushButton*>(QStringLiteral("export_button")));
    auto* exportDialog = w->findChild<ExportDialog*>();
    QVERIFY(exportDialog);
    texts << textsOf(exportDialog);
    exportDialog->reject();

    // Longer words must not widen the window past a field laptop's screen.
    const QSize smallest = w->minimumSizeHint();
    QVERIFY2(smallest.width() <= 1024 && smallest.height() <= 700,
             qPrintable(QStringLiteral("%1x%2").arg(smallest.width()).arg(smallest.height())));

    // The model page with the longest lines of a big survey fits the window on that screen.
    w->resize(1024, 700);
    QTest::keyClick(w->findChild<EtrViewer*>(), Qt::Key_Escape);
    click(buttonIn(w, tx("TervexWidget", "ЗАПИСЬ")));
    click(buttonIn(w, tx("TervexWidget", "РАЗРЕЗ")));
    click(buttonIn(w, tx("TervexWidget", "МОДЕЛЬ")));
    auto* page = w->findChild<LiveModelPage*>();
    QVERIFY(page && page->isVisible());
    InversionResult fitted;
    fitted.used = 12345;
    fitted.iterations = {InversionIteration{0, 1234.56, 123.4, 0.0}, InversionIteration{10, 0.97, 2.6, 12.5}};
    page->view()->setModel(fitted, {}, 1234);
    page->view()->setDataCounts(12345, 12345);
    page->view()->setState(ModelView::progressText(fitted.iterations.last()));
    QApplication::processEvents();
    for (QWidget* part : page->findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(part);
        if (!part->isVisible() || !(label || qobject_cast<QAbstractButton*>(part)))
            continue;
        const QString text = label ? label->text() : qobject_cast<QAbstractButton*>(part)->text();
        const bool whole = !label ? part->fontMetrics().horizontalAdvance(text) <= part->width()
            : label->wordWrap()   ? label->heightForWidth(label->width()) <= label->height()
                                  : label->sizeHint().width() <= label->width();
        QVERIFY2(whole && w->rect().contains(QRect(part->mapTo(w, QPoint(0, 0)), part->size())), qPrintable(text));
    }

    texts.removeDuplicates();
    QVERIFY2(texts.size() > 100, qPrintable(QString::number(texts.size())));
    QStringList russian;
    for (const QString& text : texts) {
        // The language chooser names each language in itself.
        if (TestSupport::hasCyrillic(text) && text != QStringLiteral("Русский"))
            russian << text;
    }
    if (language == Startup::english())
        QVERIFY2(russian.isEmpty(), qPrintable(QStringLiteral("Russian left:\n") + russian.join(QLatin1Char('\n'))));
    else
        QVERIFY2(russian.contains(QStringLiteral("Подключить")) || russian.contains(QStringLiteral("Отключить")),
                 qPrintable(russian.join(QLatin1Char('\n'))));
}

void InterfaceLanguageTest::chosenLanguageIsReadAtTheNextStart()
{
    QStringList messages;
    TervexWidget::setMessageHandler([&messages](QWidget*, QMessageBox::Icon, const QString&, const QString& text) {
        messages << text;
    });
    TervexModel model;
    TervexWidget window(&model, false);
    window.show();
    const QString system = Startup::interfaceLanguage(QVariant(), QLocale::system());
    QStringList seen;
    QTimer::singleShot(0, [&]() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        auto* choice = dialog ? dialog->findChild<QComboBox*>(QStringLiteral("language_choice")) : nullptr;
        if (!choice)
            return;
        for (const QString& wanted : {QStringLiteral("en"), QStringLiteral("en"), QString(), QStringLiteral("ru")}) {
            const int index = choice->findData(wanted);
            choice->setCurrentIndex(index);
            Q_EMIT choice->activated(index);
            seen << Startup::interfaceLanguage();
        }
        dialog->reject();
    });
    click(buttonIn(&window, QStringLiteral("Параметры")));
    TervexWidget::setMessageHandler(nullptr);

    QCOMPARE(seen, QStringList({"en", "en", system, "ru"}));
    // Told once per change, not for choosing the same again.
    QCOMPARE(messages.size(), 3);
    QCOMPARE(messages.first(), QStringLiteral("Язык интерфейса сменится при следующем запуске программы."));
    QCOMPARE(model.settingsStore()->value(QStringLiteral("language")).toString(), QStringLiteral("ru"));
}

QTEST_MAIN(InterfaceLanguageTest)
#include "tst_interfacelanguage.moc"
