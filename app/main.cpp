#include "app/commandlineanswer.h"
#include "app/startup.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    // --help and --version need no display: they are answered before QApplication, which ends
    // the program where it finds none. A text that cannot be written (a full disk) is a failure.
    if (const std::optional<QString> answer = brevik::ui::commandLineAnswer(argc, argv)) {
        const bool written = std::fputs(answer->toLocal8Bit().constData(), stdout) >= 0;
        return written && std::fflush(stdout) == 0 ? 0 : 1;
    }
    QApplication app(argc, argv);
    brevik::ui::startProgram();
    return QApplication::exec();
}
