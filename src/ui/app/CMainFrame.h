// The main window: menus, the toolbar, the status bar with its prompt and
// lock-key panes, and the view in the middle. Every command is an action
// built from the command table and routed to whoever carries it out.
#pragma once

#include "CommandTable.h"

#include <QMainWindow>
#include <map>

class CBrelundApp;
class QAction;
class QLabel;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(CBrelundApp& app);

    // The action of a command (the same in the menu and on the toolbar).
    QAction* Action(Cmd id) const;
    QToolBar* ToolBar() const { return m_toolBar; }
    QMenu* FileMenu() const { return m_fileMenu; }
    QLabel* IndicatorPane(int i) const { return m_indicators[i]; }

    // The title from the document: "<document> - Brelund", "*" after the
    // name of a changed ship.
    void UpdateTitle();
    // The recent files in the File menu, in place of "Ultimo file usato".
    void UpdateRecentFileMenu();
    // A note in the prompt pane; an empty text puts "Pronto" back.
    void SetMessageText(const QString& text);
    // Lights the MA, NUM and BS panes from the keyboard's lock state.
    void UpdateIndicators();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateStatusBar();
    void Route(Cmd id);

    CBrelundApp& m_app;
    std::map<Cmd, QAction*> m_actions;
    QMenu* m_fileMenu = nullptr;
    QAction* m_mruPlace = nullptr; // "Ultimo file usato"
    std::vector<QAction*> m_mruActions;
    QToolBar* m_toolBar = nullptr;
    QLabel* m_indicators[3] = {};
};
