// What a test program that shows the OpenGL view sets up before its
// QApplication: a settings folder of its own, never the user's; Qt's X11
// platform unless another one is asked for; the view's surface format.
#pragma once

#include "ui/view/COpenGLView.h"

#include <QSurfaceFormat>
#include <QTemporaryDir>

class CX11TestSetup {
public:
    CX11TestSetup() {
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "xcb");
        QSurfaceFormat::setDefaultFormat(COpenGLView::RequestedFormat());
    }

private:
    QTemporaryDir m_config;
};
