#include "app/commandlineanswer.h"
#include "app/startup.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    // --help and --version need no display: they are answered before QApplication, which ends
    // the program where it finds none.
    if (const std::optional<QString> answer = brevik::ui::commandLineAnswer(argc, argv)) {
        std::fputs(answer->toLocal8Bit().constData(), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    brevik::ui::startProgram();
    return QApplication::exec();
}
