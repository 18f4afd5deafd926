// brelund: the desktop application.
#include "CBrelundApp.h"

#include "ui/view/COpenGLView.h"

#include <QApplication>
#include <QSurfaceFormat>

int main(int argc, char** argv) {
    // The 3D view draws with the fixed-function pipeline: a compatibility
    // context with a depth buffer.
    QSurfaceFormat::setDefaultFormat(COpenGLView::RequestedFormat());

    QApplication qapp(argc, argv);

    CBrelundApp app;
    if (!app.InitInstance(QApplication::arguments().mid(1)))
        return 1;
    return QApplication::exec();
}
