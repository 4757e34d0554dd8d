// vantor: the desktop program. Wires the application together and runs it.

#include <cstdio>

#include "CVtrApp.h"

int main(int argc, char** argv) {
    vantor::app::CVtrApp app(argc, argv);
    vantor::app::StartOptions options;
    QString error;
    if (!app.ParseCommandLine(options, error)) {
        std::fprintf(stderr, "vantor: %s\n", error.toLocal8Bit().constData());
        return 2;
    }
    const int status = app.Start(options);
    return status >= 0 ? status : app.exec();
}
