#ifndef WINDOWSESSION_H
#define WINDOWSESSION_H

#include "app/tervexmodel.h"
#include "ui/tervexwidget.h"

#include "../app/runfixture.h"

#include <QPushButton>
#include <QtTest>

#include <memory>

// What the window tests share: finding and pressing buttons, and a window on a 1024x700 field
// laptop screen connected to a simulated station on loopback.
inline QPushButton* buttonIn(QWidget* root, const QString& text)
{
    for (QPushButton* button : root->findChildren<QPushButton*>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

inline void click(QPushButton* button)
{
    QVERIFY(button);
    QVERIFY2(button->isEnabled(), qPrintable(button->text()));
    QTest::mouseClick(button, Qt::LeftButton);
}

struct WindowSession
{
    std::unique_ptr<RunFixture> fixture;
    std::unique_ptr<TervexWidget> window;

    // Starts the station, opens the window and connects; true once the station's settings arrived.
    bool connect(const SimulatorOptions& options)
    {
        fixture.reset(new RunFixture(options));
        if (!fixture->ok)
            return false;
        window.reset(new TervexWidget(fixture->model.get(), false));
        window->resize(1024, 700);
        window->show();
        QSignalSpy updated(fixture->model.get(), &TervexModel::settingsUpdated);
        QTest::mouseClick(buttonIn(window.get(), QCoreApplication::translate("TervexWidget", "Подключить")), Qt::LeftButton);
        return updated.wait(5000);
    }
};

#endif
