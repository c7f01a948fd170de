#include "app/startup.h"
#include "app/tervexmodel.h"
#include "ui/tervexwidget.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    Q_INIT_RESOURCE(tervex);
    app.setStyleSheet(Startup::styleSheet());
    app.setWindowIcon(QIcon(QStringLiteral(":/tervex.svg")));
    const bool relayMode = Startup::isRelayMode(argc, argv);

    // The window is destroyed before the model, which closes the station connections.
    TervexModel model;
    TervexWidget window(&model, relayMode);
    window.setWindowTitle(QStringLiteral("Tervex-M1"));
    window.move(0, 0);
    window.show();
    return app.exec();
}
