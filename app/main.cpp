// vantor: the desktop program. Wires the application together and runs it.

#include <cstdio>
#include <new>

#include "CVtrApp.h"
#include "PlaneSolver.h"

int main(int argc, char** argv) {
    vantor::app::CVtrApp app(argc, argv);
    vantor::app::StartOptions options;
    QString error;
    if (!app.ParseCommandLine(options, error)) {
        std::fprintf(stderr, "vantor: %s\n", error.toLocal8Bit().constData());
        return 2;
    }
    int status = 0;
    try {
        status = app.Start(options);
    } catch (const std::bad_alloc&) {
        // Start with a file, or --print: the window's own errors go to its box.
        std::fprintf(stderr, "vantor: %s\n", vantor::kNotEnoughMemory);
        return 1;
    }
    return status >= 0 ? status : app.exec();
}
