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
    Toggle toggle({QStringLiteral("Все"), QStringLiteral("Гор."), QStringLiteral("Верт."), QStringLiteral("d")},
                  {3, 1, 2, 4}, 70, 26, QColor(119, 119, 119), QColor(204, 204, 204));
    const QList<QPushButton*> buttons = buttonsOf(toggle);
    QCOMPARE(buttons.size(), 4);
    const QStringList names = {QStringLiteral("leftToggleBtn"), QStringLiteral("innerToggleBtn"),
                               QStringLiteral("innerToggleBtn"), QStringLiteral("rightToggleBtn")};
    for (int i = 0; i < buttons.size(); ++i) {
        QPushButton* button = buttons.at(i);
        QCOMPARE(button->objectName(), names.at(i));
        QCOMPARE(button->isChecked(), i == 0);
        QCOMPARE(button->size(), QSize(70, 26));
        // Both rules of a button select its own name and carry the colours given.
        const QString sheet = button->styleSheet();
        QVERIFY2(sheet.startsWith(QStringLiteral("QPushButton#%1 {").arg(names.at(i))), qPrintable(sheet));
        QVERIFY2(sheet.endsWith(QStringLiteral("QPushButton#%1:checked {background-color:#777777; color:white}")
                                    .arg(names.at(i))),
                 qPrintable(sheet));
        QVERIFY(sheet.contains(QStringLiteral("background-color:#cccccc}")));
    }
    QCOMPARE(toggle.button(3), buttons.at(0));
    QCOMPARE(toggle.button(4), buttons.at(3));
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
    auto* content = new QVBoxLayout;
    auto* inside = new QLabel(QStringLiteral("внутри"));
    content->addWidget(inside);
    Panel panel(QStringLiteral("Станция"), content);
    auto* frame = panel.findChild<QFrame*>(QStringLiteral("panel_content"));
    QVERIFY(frame);
    QCOMPARE(frame->layout(), content);
    QCOMPARE(inside->parentWidget(), frame);

    panel.setContentLayout(nullptr);
    QCOMPARE(panel.contentLayout(), content);
    QCOMPARE(frame->layout(), content);
    QCOMPARE(content->indexOf(inside), 0);

    // A later layout replaces the first one on the content frame.
    auto* replacement = new QHBoxLayout;
    panel.setContentLayout(replacement);
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
