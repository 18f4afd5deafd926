// brelund: the desktop application.
#include "CBrelundApp.h"

#include <QApplication>
#include <QSurfaceFormat>

int main(int argc, char** argv) {
    // The 3D view draws with the fixed-function pipeline: a compatibility
    // context with a depth buffer.
    QSurfaceFormat format;
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(16);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication qapp(argc, argv);

    CBrelundApp app;
    if (!app.InitInstance(QApplication::arguments().mid(1)))
        return 1;
    return QApplication::exec();
}
