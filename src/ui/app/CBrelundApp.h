// The application: settings, the recent-file list, and the one document,
// main window and view, from start-up to exit.
#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

class CBrelundDoc;
class CBrelundView;
class CMainFrame;
class QPrinter;
class QSettings;

class CBrelundApp : public QObject {
    Q_OBJECT
public:
    static constexpr int kRecentFileCount = 4;

    CBrelundApp();
    ~CBrelundApp() override;

    // Start-up: settings and recent files, the document, window and view,
    // then the ship named on the command line (arguments after the program's
    // name) or an empty one. The window is shown unless show is false.
    bool InitInstance(const QStringList& arguments, bool show = true);

    CBrelundDoc& GetDocument() { return *m_doc; }
    CBrelundView& GetView() { return *m_view; }
    CMainFrame& GetMainFrame() { return *m_frame; }
    QPrinter& GetPrinter();

    // Newest first, at most kRecentFileCount absolute paths.
    const QStringList& RecentFiles() const { return m_recent; }

    // Commands handled by the application.
    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppAbout();
    void OnAppExit();
    void OnRecentFile(int index);
    // Opens a ship file after asking to save a changed ship; the recent-file
    // list follows (a file that cannot be opened leaves it).
    bool OpenDocumentFile(const QString& path);

private:
    void AddToRecentFileList(const QString& path);
    void RemoveFromRecentFileList(const QString& path);
    void LoadRecentFileList();
    void SaveRecentFileList();

    std::unique_ptr<QSettings> m_settings;
    QStringList m_recent;
    std::unique_ptr<CBrelundDoc> m_doc;
    CBrelundView* m_view = nullptr;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<QPrinter> m_printer;
};
