// The view's tests need OpenGL: they run on an X server (Xvfb).
#include "KeepGraphicsDriver.h"
#include "RenderingTest.h"
#include "ViewControlTest.h"
#include "ViewNavigationTest.h"

#include "ui/view/COpenGLView.h"

#include <QApplication>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QTest>

int main(int argc, char** argv) {
    // Settings go to a folder of the test's own, never the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QSurfaceFormat::setDefaultFormat(COpenGLView::RequestedFormat());
    QApplication app(argc, argv);
    int failed = 0;
    {
        RenderingTest test;
        failed += QTest::qExec(&test, argc, argv);
    }
    {
        ViewNavigationTest test;
        failed += QTest::qExec(&test, argc, argv);
    }
    {
        ViewControlTest test;
        failed += QTest::qExec(&test, argc, argv);
    }
    KeepGraphicsDriverLoaded();
    return failed == 0 ? 0 : 1;
}
