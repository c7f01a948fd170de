#include "testsupport.h"
#include "ui/clickablelabel.h"
#include "ui/panel.h"
#include "ui/toggle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

class TestSmallWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { TestSupport::isolateSettings(); }

    void toggleWithOneLabelHasOneCheckedLeftButton();
    void toggleButtonsFormOneBar();
    void toggleCustomSizeAndColours();
    void toggleReportsOnlyTheNewlyCheckedId();
    void toggleWithoutIdsUsesIndices();
    void panelKeepsContentOnNullLayout();
    void clickableLabelReportsEveryPress();
};

static QList<QPushButton*> buttonsOf(const Toggle& toggle)
{
    return toggle.findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly);
}

void TestSmallWidgets::toggleWithOneLabelHasOneCheckedLeftButton()
{
    Toggle toggle({QStringLiteral("Один")});
    const QList<QPushButton*> buttons = buttonsOf(toggle);
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(buttons.first()->objectName(), QStringLiteral("leftToggleBtn"));
    QVERIFY(buttons.first()->isCheckable());
    QVERIFY(buttons.first()->isChecked());
    QVERIFY(buttons.first()->styleSheet().contains(QStringLiteral("QPushButton#leftToggleBtn:checked")));
}

void TestSmallWidgets::toggleButtonsFormOneBar()
{
    Toggle toggle({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});
    const QList<QPushButton*> buttons = buttonsOf(toggle);
    QCOMPARE(buttons.size(), 4);
    const QStringList names = {QStringLiteral("leftToggleBtn"), QStringLiteral("innerToggleBtn"),
                               QStringLiteral("innerToggleBtn"), QStringLiteral("rightToggleBtn")};
    for (int i = 0; i < buttons.size(); ++i) {
        QPushButton* button = buttons.at(i);
        QCOMPARE(button->objectName(), names.at(i));
        QCOMPARE(button->isChecked(), i == 0);
        QCOMPARE(button->size(), QSize(120, 32));
        QCOMPARE(button->minimumSize(), button->maximumSize());
        QCOMPARE(button->focusPolicy(), Qt::NoFocus);
        // Each button's rules select its own object name, with the default colours filled in.
        const QString sheet = button->styleSheet();
        QVERIFY2(sheet.startsWith(QStringLiteral("QPushButton#%1 {").arg(names.at(i))), qPrintable(sheet));
        QVERIFY(sheet.contains(QStringLiteral("QPushButton#%1:checked {background-color:#007aff; color:white}")
                                   .arg(names.at(i))));
        QVERIFY(sheet.contains(QStringLiteral("background-color:#ebebf3}")));
        QVERIFY(!sheet.contains(QLatin1Char('%')));
    }
    // Only the outer corners are rounded; the inner and right buttons drop their left border.
    QVERIFY(buttons.at(0)->styleSheet().contains(QStringLiteral("border-top-left-radius: 3px")));
    QVERIFY(!buttons.at(1)->styleSheet().contains(QStringLiteral("radius: 3px")));
    QVERIFY(buttons.at(1)->styleSheet().contains(QStringLiteral("border-left: 0px")));
    QVERIFY(buttons.at(3)->styleSheet().contains(QStringLiteral("border-bottom-right-radius: 3px")));
    QVERIFY(buttons.at(3)->styleSheet().contains(QStringLiteral("border-left: 0px")));

    auto* layout = qobject_cast<QHBoxLayout*>(toggle.layout());
    QVERIFY(layout);
    QCOMPARE(layout->spacing(), 0);
    QCOMPARE(layout->contentsMargins(), QMargins());
    QVERIFY(layout->itemAt(0)->spacerItem()); // the stretch stands before the buttons
}

void TestSmallWidgets::toggleCustomSizeAndColours()
{
    Toggle toggle({QStringLiteral("Все"), QStringLiteral("Гор."), QStringLiteral("Верт.")}, {3, 1, 2}, 70, 26,
                  QColor(119, 119, 119), QColor(204, 204, 204));
    const QList<QPushButton*> buttons = buttonsOf(toggle);
    QCOMPARE(buttons.size(), 3);
    QCOMPARE(buttons.at(2)->size(), QSize(70, 26));
    QVERIFY(buttons.at(1)->styleSheet().contains(QStringLiteral("border: 1px solid #777777")));
    QVERIFY(buttons.at(1)->styleSheet().contains(QStringLiteral("background-color:#cccccc}")));
    QCOMPARE(toggle.button(3), buttons.at(0));
    QCOMPARE(toggle.button(1), buttons.at(1));
    QCOMPARE(toggle.button(2), buttons.at(2));
    QCOMPARE(buttons.at(1)->text(), QStringLiteral("Гор."));
}

void TestSmallWidgets::toggleReportsOnlyTheNewlyCheckedId()
{
    Toggle toggle({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, {10, 20, 30});
    toggle.show();
    QSignalSpy spy(&toggle, &Toggle::toggled);
    const QList<QPushButton*> buttons = buttonsOf(toggle);

    QTest::mouseClick(buttons.at(1), Qt::LeftButton);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 20);
    QVERIFY(!buttons.at(0)->isChecked());
    QVERIFY(buttons.at(1)->isChecked());

    // Clicking the checked button again changes nothing in an exclusive group.
    QTest::mouseClick(buttons.at(1), Qt::LeftButton);
    QCOMPARE(spy.size(), 1);
    QVERIFY(buttons.at(1)->isChecked());

    QTest::mouseClick(buttons.at(2), Qt::LeftButton);
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), 30);
    QCOMPARE(buttons.at(0)->isChecked() + buttons.at(1)->isChecked() + buttons.at(2)->isChecked(), 1);
}

void TestSmallWidgets::toggleWithoutIdsUsesIndices()
{
    Toggle toggle({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, 50, 20);
    toggle.show();
    QSignalSpy spy(&toggle, &Toggle::toggled);
    QTest::mouseClick(toggle.button(2), Qt::LeftButton);
    QTest::mouseClick(toggle.button(0), Qt::LeftButton);
    QCOMPARE(spy.size(), 2);
    QCOMPARE(spy.at(0).at(0).toInt(), 2);
    QCOMPARE(spy.at(1).at(0).toInt(), 0);
    QCOMPARE(toggle.button(1)->size(), QSize(50, 20));
}

void TestSmallWidgets::panelKeepsContentOnNullLayout()
{
    Panel empty;
    QVERIFY(!empty.contentLayout());
    auto* titleLabel = empty.findChild<QLabel*>(QStringLiteral("panel_title"));
    QVERIFY(titleLabel);
    QVERIFY(titleLabel->text().isEmpty());
    QCOMPARE(titleLabel->height(), 26);
    QCOMPARE(empty.sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    QCOMPARE(empty.sizePolicy().verticalPolicy(), QSizePolicy::Expanding);

    auto* content = new QVBoxLayout;
    auto* inside = new QLabel(QStringLiteral("внутри"));
    content->addWidget(inside);
    Panel panel(QStringLiteral("Станция"), content);
    auto* frame = panel.findChild<QFrame*>(QStringLiteral("panel_content"));
    QVERIFY(frame);
    QCOMPARE(panel.contentLayout(), content);
    QCOMPARE(frame->layout(), content);
    QCOMPARE(inside->parentWidget(), frame);
    QCOMPARE(panel.title(), QStringLiteral("Станция"));

    panel.setContentLayout(nullptr);
    QCOMPARE(panel.contentLayout(), content);
    QCOMPARE(frame->layout(), content);
    QCOMPARE(content->indexOf(inside), 0);

    panel.setTitle(QStringLiteral("Настройки"));
    QCOMPARE(panel.findChild<QLabel*>(QStringLiteral("panel_title"))->text(), QStringLiteral("Настройки"));

    // A later layout replaces the first one on the content frame.
    auto* replacement = new QHBoxLayout;
    panel.setContentLayout(replacement);
    QCOMPARE(panel.contentLayout(), replacement);
    QCOMPARE(frame->layout(), replacement);
}

void TestSmallWidgets::clickableLabelReportsEveryPress()
{
    ClickableLabel label(QStringLiteral("55°45'"));
    QCOMPARE(label.text(), QStringLiteral("55°45'"));
    label.show();
    QSignalSpy spy(&label, &ClickableLabel::clicked);
    QTest::mousePress(&label, Qt::LeftButton);
    QTest::mouseRelease(&label, Qt::LeftButton);
    QTest::mousePress(&label, Qt::RightButton);
    QCOMPARE(spy.size(), 2);
}

QTEST_MAIN(TestSmallWidgets)
#include "tst_smallwidgets.moc"
