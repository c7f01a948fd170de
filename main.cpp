#include "app/startup.h"
#include "app/tervexmodel.h"
#include "ui/tervexwidget.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(tervex);
    app.setStyleSheet(Startup::styleSheet());
    app.setWindowIcon(QIcon(QStringLiteral(":/tervex.svg")));
    const QString missing = Startup::installTranslations(&app, Startup::interfaceLanguage());
    if (!missing.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(missing));
    const bool relayMode = Startup::isRelayMode(argc, argv);

    // The window is destroyed before the model, which closes the station connections.
    TervexModel model;
    TervexWidget window(&model, relayMode);
    window.setWindowTitle(QStringLiteral("Tervex-M1"));
    // Field laptops have small screens: the window takes the screen's whole working area.
    window.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    window.show();
    return app.exec();
}
