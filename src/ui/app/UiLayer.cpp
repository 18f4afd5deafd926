#include "UiLayer.h"

#include "CommandTable.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

namespace {

class CQtDialogs final : public CUserDialogs {
public:
    int MessageBox(QWidget* parent, const QString& text, const QString& caption,
                   unsigned type) override {
        QMessageBox box(parent);
        box.setWindowTitle(caption);
        box.setText(text);
        switch (type & 0xF0u) {
        case MB_ICONERROR:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONWARNING:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONINFORMATION:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
        }
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton escape = QMessageBox::Ok;
        switch (type & 0x0Fu) {
        case MB_OKCANCEL:
            buttons = QMessageBox::Ok | QMessageBox::Cancel;
            escape = QMessageBox::Cancel;
            break;
        case MB_YESNOCANCEL:
            buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            escape = QMessageBox::Cancel;
            break;
        case MB_YESNO:
            buttons = QMessageBox::Yes | QMessageBox::No;
            escape = QMessageBox::No;
            break;
        default:
            break;
        }
        box.setStandardButtons(buttons);
        box.setEscapeButton(escape);
        switch (box.exec()) {
        case QMessageBox::Ok:
            return IDOK;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            return (type & 0x0Fu) == MB_OK ? IDOK : IDCANCEL;
        }
    }

    QString GetOpenFileName(QWidget* parent, const QString& caption,
                            const QString& filters) override {
        return QFileDialog::getOpenFileName(parent, caption, QString(), filters);
    }

    QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& proposed,
                            const QString& filters) override {
        return QFileDialog::getSaveFileName(parent, caption, proposed, filters);
    }

    QAction* TrackPopupMenu(QMenu& menu, const QPoint& screenPos) override {
        return menu.exec(screenPos);
    }
};

CQtDialogs g_qtDialogs;
CUserDialogs* g_dialogs = &g_qtDialogs;

} // namespace

CUserDialogs& UserDialogs() {
    return *g_dialogs;
}

CUserDialogs* SetUserDialogs(CUserDialogs* dialogs) {
    CUserDialogs* previous = g_dialogs;
    g_dialogs = dialogs ? dialogs : &g_qtDialogs;
    return previous;
}

int AfxMessageBox(const QString& text, unsigned type) {
    return UserDialogs().MessageBox(QApplication::activeWindow(), text, kAppTitle, type);
}

CWaitCursor::CWaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}
CWaitCursor::~CWaitCursor() {
    QApplication::restoreOverrideCursor();
}

void LoadAppResources() {
    static const bool loaded = [] {
        Q_INIT_RESOURCE(brelund);
        return true;
    }();
    (void)loaded;
}

std::string ToFilePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString FromFilePath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
