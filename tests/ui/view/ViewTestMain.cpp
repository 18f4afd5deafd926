// The view's tests need OpenGL: they run on an X server (Xvfb).
#include "KeepGraphicsDriver.h"
#include "RenderingTest.h"
#include "ViewControlTest.h"
#include "ViewNavigationTest.h"
#include "X11TestSetup.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    const CX11TestSetup setup;
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
