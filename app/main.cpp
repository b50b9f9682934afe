#include "app/startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    brevik::ui::startProgram();
    return QApplication::exec();
}
