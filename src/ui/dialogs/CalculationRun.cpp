#include "CalculationRun.h"

#include "model/CShipModel.h"
#include "model/ElementEditing.h"
#include "platform/AtomicFile.h"
#include "platform/CFileException.h"
#include "ui/app/UiLayer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProgressBar>
#include <QTimer>
#include <exception>
#include <thread>
#include <vector>

void CProgressBarLink::SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
}

void CProgressBarLink::SetPos(int pos) {
    m_pos = pos;
}

void CProgressBarLink::Show() {
    if (!m_bar)
        return;
    m_bar->setRange(m_lower, m_upper);
    m_bar->setValue(m_pos);
}

void RunCalculation(const std::function<void()>& work,
                    std::initializer_list<CProgressBarLink*> progress) {
    const CWaitCursor wait;
    const std::vector<CProgressBarLink*> links(progress);
    std::exception_ptr failure;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
    });
    while (!finished) {
        for (CProgressBarLink* link : links)
            link->Show();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 30);
        if (!finished)
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    worker.join();
    for (CProgressBarLink* link : links)
        link->Show();
    if (failure)
        std::rethrow_exception(failure);
}

bool RefuseShipValuesThatAreNotNumbers(const CShipModel& ship, bool compartments, bool tanks) {
    int kind = 0;
    std::string problem;
    const CShipElement* element =
        FindValueThatIsNotANumber(ship, compartments, tanks, kind, problem);
    if (!element)
        return false;
    const char* const kinds[] = {"", "scafo", "compartimento", "cassa"};
    AfxMessageBox(QString("Impossibile eseguire il calcolo: %1 '%2': %3.")
                      .arg(kinds[kind], QString::fromStdString(element->GetName()),
                           QString::fromStdString(problem)),
                  MB_OK | MB_ICONWARNING);
    return true;
}

namespace {
QString g_openShipFile;
}

void SetOpenShipFile(const QString& path) {
    g_openShipFile = path;
}

QString AskDrawingFile(QWidget* parent) {
    QString path = UserDialogs().GetSaveFileName(parent, "Salva con nome", QString(),
                                                 "File DXF(*.dxf);;Tutti i file (*)");
    if (path.isEmpty())
        return path;
    if (QFileInfo(path).suffix().isEmpty())
        path += ".dxf";
    if (!g_openShipFile.isEmpty()) {
        try {
            RefuseSameFile(ToFilePath(path), {{"ship", ToFilePath(g_openShipFile)}});
        } catch (const CFileException& e) {
            AfxMessageBox(QString("Impossibile scrivere il disegno DXF.\n%1")
                              .arg(QString::fromUtf8(e.what())),
                          MB_OK | MB_ICONWARNING);
            return QString();
        }
    }
    return path;
}
