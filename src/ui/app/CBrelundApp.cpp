#include "CBrelundApp.h"

#include "CAboutDlg.h"
#include "CBrelundDoc.h"
#include "CBrelundView.h"
#include "CMainFrame.h"
#include "CommandTable.h"
#include "QtTranslations.h"
#include "UiLayer.h"
#include "ui/dialogs/CElementTreeDlg.h"

#include <QApplication>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QSettings>

#include <clocale>

namespace {
const char* const kRecentSection = "Recent File List";
}

CBrelundApp::CBrelundApp() = default;
CBrelundApp::~CBrelundApp() = default;

bool CBrelundApp::InitInstance(const QStringList& arguments, bool show) {
    // Qt takes the user's locale for the whole process when it starts; the
    // numbers the core formats and parses keep the C conventions.
    std::setlocale(LC_NUMERIC, "C");
    // The interface speaks Italian whatever the user's locale; without Qt's
    // catalogue only Qt's own buttons and dialogs stay in English.
    InstallQtItalian();
    QCoreApplication::setOrganizationName(kSettingsKey);
    QCoreApplication::setApplicationName(kAppTitle);
    m_settings = std::make_unique<QSettings>(kSettingsKey, kAppTitle);
    LoadRecentFileList();

    m_doc = std::make_unique<CBrelundDoc>();
    m_frame = std::make_unique<CMainFrame>(*this);
    m_view = new CBrelundView(*m_doc, m_frame.get());
    m_view->setObjectName("view");
    m_frame->setCentralWidget(m_view);

    connect(m_doc.get(), &CBrelundDoc::titleChanged, m_frame.get(), &CMainFrame::UpdateTitle);
    connect(m_doc.get(), &CBrelundDoc::initialUpdate, m_view, &CBrelundView::OnInitialUpdate);
    connect(m_doc.get(), &CBrelundDoc::updateAllViews, m_view, &CBrelundView::OnUpdate);
    connect(m_view->ElementTree(), &CElementTreeDlg::statusMessage, m_frame.get(),
            &CMainFrame::SetMessageText);

    m_frame->UpdateRecentFileMenu();

    // The ship named on the command line, or an empty one. A file that cannot
    // be opened is reported and the program starts on an empty ship.
    QString file;
    for (const QString& argument : arguments)
        if (!argument.startsWith('-')) {
            file = argument;
            break;
        }
    m_doc->OnNewDocument();
    if (!file.isEmpty())
        OpenDocumentFile(file);
    m_frame->UpdateTitle();

    if (show) {
        m_frame->show();
        m_frame->activateWindow();
    }
    return true;
}

QPrinter& CBrelundApp::GetPrinter() {
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

void CBrelundApp::OnFileNew() {
    if (!m_doc->SaveModified())
        return;
    m_doc->OnNewDocument();
}

void CBrelundApp::OnFileOpen() {
    const QString path = UserDialogs().GetOpenFileName(
        m_frame.get(), "Apri", QString("%1;;%2").arg(kShipFilter, kAllFilesFilter));
    if (!path.isEmpty())
        OpenDocumentFile(path);
}

bool CBrelundApp::OpenDocumentFile(const QString& path) {
    if (!m_doc->SaveModified())
        return false;
    if (!m_doc->OnOpenDocument(path)) {
        RemoveFromRecentFileList(path);
        return false;
    }
    AddToRecentFileList(path);
    return true;
}

void CBrelundApp::OnRecentFile(int index) {
    if (index >= 0 && index < m_recent.size())
        OpenDocumentFile(m_recent[index]);
}

void CBrelundApp::OnFilePrintSetup() {
    QPageSetupDialog dialog(&GetPrinter(), m_frame.get());
    dialog.exec();
}

void CBrelundApp::OnAppAbout() {
    CAboutDlg about(m_frame.get());
    about.exec();
}

void CBrelundApp::OnAppExit() {
    m_frame->close();
}

void CBrelundApp::AddToRecentFileList(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_recent.removeAll(absolute);
    m_recent.prepend(absolute);
    while (m_recent.size() > kRecentFileCount)
        m_recent.removeLast();
    SaveRecentFileList();
}

void CBrelundApp::RemoveFromRecentFileList(const QString& path) {
    if (m_recent.removeAll(QFileInfo(path).absoluteFilePath()) > 0)
        SaveRecentFileList();
}

void CBrelundApp::LoadRecentFileList() {
    m_recent.clear();
    m_settings->beginGroup(kRecentSection);
    for (int i = 1; i <= kRecentFileCount; ++i) {
        const QString file = m_settings->value(QString("File%1").arg(i)).toString();
        if (!file.isEmpty() && !m_recent.contains(file))
            m_recent << file;
    }
    m_settings->endGroup();
}

void CBrelundApp::SaveRecentFileList() {
    m_settings->beginGroup(kRecentSection);
    m_settings->remove("");
    for (int i = 0; i < m_recent.size(); ++i)
        m_settings->setValue(QString("File%1").arg(i + 1), m_recent[i]);
    m_settings->endGroup();
    m_settings->sync();
    if (m_frame)
        m_frame->UpdateRecentFileMenu();
}
