#include "ProgramStart.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    return kivo::RunProgram(application);
}
