// The few places where the application asks a person something: message
// boxes, the open and save file dialogs, and the wait cursor. Everything goes
// through one object, so that tests answer in the person's place.
#pragma once

#include <QPoint>
#include <QString>

class QAction;
class QMenu;
class QWidget;

// Answers of a message box.
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Buttons and icon of a message box, combined with |.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};

class CUserDialogs {
public:
    virtual ~CUserDialogs() = default;
    // Shows text with the buttons of type; returns the button pressed
    // (IDCANCEL when the box is closed otherwise).
    virtual int MessageBox(QWidget* parent, const QString& text, const QString& caption,
                           unsigned type) = 0;
    // The chosen file, or an empty string when the person cancels. filters is
    // in Qt's form: "File Nave (*.nav);;Tutti i file (*.*)".
    virtual QString GetOpenFileName(QWidget* parent, const QString& caption,
                                    const QString& filters) = 0;
    virtual QString GetSaveFileName(QWidget* parent, const QString& caption,
                                    const QString& proposed, const QString& filters) = 0;
    // Shows a popup menu at a screen position until the person chooses an
    // item (returned) or dismisses it (null).
    virtual QAction* TrackPopupMenu(QMenu& menu, const QPoint& screenPos) = 0;
};

// The dialogs in use: the real ones unless a test installed its own.
CUserDialogs& UserDialogs();
// Installs dialogs (null puts the real ones back); returns those in use before.
CUserDialogs* SetUserDialogs(CUserDialogs* dialogs);

// A message box over the active window, captioned with the application's name.
int AfxMessageBox(const QString& text, unsigned type = MB_OK);

// The wait cursor for the life of the object.
class CWaitCursor {
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// Makes the application's icons available (the resource file is linked from
// a static library, whose initialiser the linker may leave out).
void LoadAppResources();

// Paths between Qt and the file layer: the bytes the system uses.
std::string ToFilePath(const QString& path);
QString FromFilePath(const std::string& path);
