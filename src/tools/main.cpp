#include "AdminCommands.h"

#include <cstdio>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kivo-admin"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return kivo::AdminCommands(out, err).Run(QCoreApplication::arguments().mid(1));
}
