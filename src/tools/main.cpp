#include "AdminCommands.h"

#include <cstdio>
#include <memory>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    // Reports are laid out with font metrics, which need a GUI application; it is offscreen,
    // so the command runs without a display. Every other command stays a console program.
    std::unique_ptr<QCoreApplication> application;
    if (argc > 1 && qstrcmp(argv[1], "report") == 0) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        application = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("kivo-admin"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return kivo::AdminCommands(out, err).Run(QCoreApplication::arguments().mid(1));
}
