// orlex-render: pictures and videos of a 3D log file without a window or a
// display server.
//
//   orlex-render FILE [--deck N|busiest] [--at TIME | --from TIME --to TIME --fps F
//                --speed S] [--size WxH] [--camera C] [--overlay O] [--caption C]
//                [--trails] [--no-origin] -o OUT
#include <QGuiApplication>
#include <cstdio>

#include "renderjob.h"
#include "renderoptions.h"

int main(int argc, char* argv[]) {
    // No window is ever shown: the offscreen platform needs no display server, and
    // the drawing goes through an EGL context when Qt's has no OpenGL.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = QGuiApplication::arguments();
    args.removeFirst();
    orlex::render::TRenderOptions options;
    QString error;
    bool help = false;
    if (!orlex::render::ParseRenderOptions(args, options, error, help)) {
        std::fprintf(stderr, "orlex-render: %s\n\n%s", qPrintable(error),
                     qPrintable(orlex::render::RenderUsage()));
        return 2;
    }
    if (help) {
        std::fputs(qPrintable(orlex::render::RenderUsage()), stdout);
        return 0;
    }
    return orlex::render::RunRender(options, stderr);
}
