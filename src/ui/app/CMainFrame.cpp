#include "CMainFrame.h"

#include "CBrelundApp.h"
#include "CBrelundDoc.h"
#include "CBrelundView.h"
#include "LockKeys.h"
#include "UiLayer.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>
#include <QUrl>

#include <algorithm>
#include <iterator>

namespace {

// The edit commands: the window has nothing to cut, copy or paste, so Route
// passes them over and their items show greyed. Undo and redo follow the
// document's undo stack.
constexpr Cmd kNothingToDo[] = {Cmd::EditCut, Cmd::EditCopy, Cmd::EditPaste};

// The status-bar prompt: the text before the line feed.
QString StatusPrompt(const char* prompt) {
    if (!prompt)
        return QString();
    return QString::fromUtf8(prompt).section('\n', 0, 0);
}

// The tool tip: the text after the line feed; none when there is no line feed.
QString ToolTip(const char* prompt) {
    const QString text = QString::fromUtf8(prompt ? prompt : "");
    return text.contains('\n') ? text.section('\n', 1) : QString();
}

// The local ship files among dropped URLs.
QStringList DroppedShipFiles(const QMimeData* data) {
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && url.toLocalFile().endsWith(kShipExtension, Qt::CaseInsensitive))
            files << url.toLocalFile();
    return files;
}

QString ElideMiddle(const QString& text, int max) {
    if (text.size() <= max)
        return text;
    const int half = (max - 3) / 2;
    return text.left(half) + "..." + text.right(max - 3 - half);
}

} // namespace

CMainFrame::CMainFrame(CBrelundApp& app) : m_app(app) {
    LoadAppResources();
    setObjectName("mainFrame");
    setWindowIcon(QIcon(":/icons/brelund.png"));
    setAcceptDrops(true);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateStatusBar();
    resize(1024, 720);
}

QAction* CMainFrame::Action(Cmd id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainFrame::CreateActions() {
    for (const MenuInfo& menu : Menus())
        for (const MenuItem& item : menu.items)
            if (item.label && item.id != Cmd::FileMruFile1) {
                auto* action = new QAction(QString::fromUtf8(item.label), this);
                m_actions[item.id] = action;
            }
    // Commands reached only from the toolbar.
    const std::pair<Cmd, const char*> toolbarOnly[] = {
        {Cmd::AutoZoom, "Auto zoom"}, {Cmd::ZoomIn, "Zoom in"}, {Cmd::ZoomOut, "Zoom out"}};
    for (const auto& [id, text] : toolbarOnly)
        m_actions[id] = new QAction(text, this);

    for (const auto& [id, action] : m_actions) {
        const CommandInfo& info = CommandFor(id);
        action->setObjectName(QString("cmd%1").arg(static_cast<int>(id)));
        action->setStatusTip(StatusPrompt(info.prompt));
        const QString tip = ToolTip(info.prompt);
        if (!tip.isEmpty())
            action->setToolTip(tip);
        if (info.icon)
            action->setIcon(QIcon(QString(":/icons/%1.png").arg(info.icon)));
        if (std::find(std::begin(kNothingToDo), std::end(kNothingToDo), id) !=
            std::end(kNothingToDo))
            action->setEnabled(false);
        connect(action, &QAction::triggered, this, [this, id = id] { Route(id); });
    }
    Action(Cmd::FileSendMail)->setEnabled(CBrelundDoc::CanSendMail());
    QUndoStack& undo = m_app.GetDocument().UndoStack();
    connect(&undo, &QUndoStack::canUndoChanged, Action(Cmd::EditUndo), &QAction::setEnabled);
    connect(&undo, &QUndoStack::canRedoChanged, Action(Cmd::EditRedo), &QAction::setEnabled);
    Action(Cmd::EditUndo)->setEnabled(undo.canUndo());
    Action(Cmd::EditRedo)->setEnabled(undo.canRedo());
    for (QAction* a : {Action(Cmd::ViewToolbar), Action(Cmd::ViewStatusBar)}) {
        a->setCheckable(true);
        a->setChecked(true);
    }

    // The accelerator table: keys bound apart from the labels the menus show.
    for (const Accelerator& acc : Accelerators()) {
        auto* shortcut = new QShortcut(QKeySequence(QString(acc.keys)), this);
        const Cmd id = acc.id;
        connect(shortcut, &QShortcut::activated, this, [this, id] {
            QAction* action = Action(id);
            if (action && action->isEnabled())
                action->trigger();
        });
    }
}

void CMainFrame::CreateMenus() {
    for (const MenuInfo& info : Menus()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(info.title));
        for (const MenuItem& item : info.items) {
            if (!item.label) {
                menu->addSeparator();
            } else if (item.id == Cmd::FileMruFile1) {
                m_mruPlace = menu->addAction(QString::fromUtf8(item.label));
                m_mruPlace->setEnabled(false);
                m_fileMenu = menu;
            } else {
                menu->addAction(Action(item.id));
            }
        }
    }
}

void CMainFrame::CreateToolBar() {
    m_toolBar = new QToolBar("Barra degli strumenti", this);
    m_toolBar->setObjectName("toolBar");
    m_toolBar->setIconSize(QSize(32, 32));
    m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_toolBar->setMovable(true);
    m_toolBar->setFloatable(true);
    for (Cmd id : ToolbarButtons()) {
        if (id == Cmd::None)
            m_toolBar->addSeparator();
        else
            m_toolBar->addAction(Action(id));
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    connect(m_toolBar, &QToolBar::visibilityChanged, Action(Cmd::ViewToolbar),
            &QAction::setChecked);
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* bar = statusBar();
    const char* const names[] = {"MA", "NUM", "BS"};
    for (int i = 0; i < 3; ++i) {
        auto* pane = new QLabel(names[i], bar);
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance("NUM") + 16);
        pane->setEnabled(false);
        bar->addPermanentWidget(pane);
        m_indicators[i] = pane;
    }
    bar->showMessage(kIdlePrompt);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &CMainFrame::UpdateIndicators);
    timer->start(300);
    UpdateIndicators();
}

void CMainFrame::SetMessageText(const QString& text) {
    statusBar()->showMessage(text.isEmpty() ? QString(kIdlePrompt) : text);
}

void CMainFrame::UpdateIndicators() {
    const LockKeyState state = QueryLockKeys();
    const bool on[] = {state.caps, state.num, state.scroll};
    for (int i = 0; i < 3; ++i)
        m_indicators[i]->setEnabled(state.known && on[i]);
}

bool CMainFrame::event(QEvent* event) {
    // The prompt pane shows the pointed command's prompt, "Pronto" otherwise.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        statusBar()->showMessage(tip.isEmpty() ? QString(kIdlePrompt) : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::Route(Cmd id) {
    CBrelundDoc& doc = m_app.GetDocument();
    CBrelundView& view = m_app.GetView();
    switch (id) {
    case Cmd::FileNew:
        m_app.OnFileNew();
        break;
    case Cmd::FileOpen:
        m_app.OnFileOpen();
        break;
    case Cmd::FileSave:
        doc.DoFileSave();
        break;
    case Cmd::FileSaveAs:
        doc.DoSave(QString());
        break;
    case Cmd::FilePrint:
        view.OnFilePrint(m_app.GetPrinter());
        break;
    case Cmd::FilePrintPreview:
        view.OnFilePrintPreview(m_app.GetPrinter());
        break;
    case Cmd::FilePrintSetup:
        m_app.OnFilePrintSetup();
        break;
    case Cmd::FileSendMail:
        doc.OnFileSendMail();
        break;
    case Cmd::AppExit:
        m_app.OnAppExit();
        break;
    case Cmd::ViewToolbar:
        m_toolBar->setVisible(!m_toolBar->isVisible());
        Action(Cmd::ViewToolbar)->setChecked(m_toolBar->isVisible());
        break;
    case Cmd::ViewStatusBar:
        statusBar()->setVisible(!statusBar()->isVisible());
        Action(Cmd::ViewStatusBar)->setChecked(statusBar()->isVisible());
        break;
    case Cmd::ViewControl:
        view.OnViewControl();
        break;
    case Cmd::ViewAxes:
        view.OnViewAxes();
        break;
    case Cmd::ElementTree:
        view.OnElementTree();
        break;
    case Cmd::ModelCheck:
        view.OnModelCheck();
        break;
    case Cmd::Conditions:
        view.OnConditions();
        break;
    case Cmd::AutoZoom:
        view.OnAutoZoom();
        break;
    case Cmd::ZoomIn:
        view.OnZoomIn();
        break;
    case Cmd::ZoomOut:
        view.OnZoomOut();
        break;
    case Cmd::UprightHulls:
        doc.OnUprightHulls();
        break;
    case Cmd::InclinedHulls:
        doc.OnInclinedHulls();
        break;
    case Cmd::Bonjean:
        doc.OnBonjean();
        break;
    case Cmd::SubmergedTrim:
        doc.OnSubmergedTrim();
        break;
    case Cmd::HydrostaticCurves:
        doc.OnHydrostaticCurves();
        break;
    case Cmd::TankTables:
        doc.OnTankTables();
        break;
    case Cmd::PrintReport:
        doc.OnPrintReport();
        break;
    case Cmd::Stability:
        view.OnStability();
        break;
    case Cmd::DamageStability:
        view.OnDamageStability();
        break;
    case Cmd::EditUndo:
        doc.UndoStack().undo();
        break;
    case Cmd::EditRedo:
        doc.UndoStack().redo();
        break;
    case Cmd::AppAbout:
        m_app.OnAppAbout();
        break;
    default:
        break; // cut, copy, paste and the pane keys do nothing
    }
}

void CMainFrame::UpdateTitle() {
    const CBrelundDoc& doc = m_app.GetDocument();
    setWindowTitle(QString("%1[*] - %2").arg(doc.GetTitle(), kAppTitle));
    setWindowModified(doc.IsModified());
}

void CMainFrame::UpdateRecentFileMenu() {
    for (QAction* a : m_mruActions) {
        m_fileMenu->removeAction(a);
        a->deleteLater();
    }
    m_mruActions.clear();
    const QStringList& files = m_app.RecentFiles();
    m_mruPlace->setVisible(files.isEmpty());
    for (int i = 0; i < files.size(); ++i) {
        auto* action = new QAction(
            QString("&%1 %2").arg(i + 1).arg(ElideMiddle(files[i], 60).replace("&", "&&")), this);
        action->setStatusTip(kRecentFilePrompt);
        action->setObjectName(QString("recentFile%1").arg(i + 1));
        connect(action, &QAction::triggered, this, [this, i] { m_app.OnRecentFile(i); });
        m_fileMenu->insertAction(m_mruPlace, action);
        m_mruActions.push_back(action);
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_app.GetDocument().SaveModified())
        event->accept();
    else
        event->ignore();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedShipFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedShipFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    activateWindow();
    m_app.OpenDocumentFile(files.first());
}
