#include "CalculationRun.h"

#include "model/CShipModel.h"
#include "model/ElementEditing.h"
#include "platform/AtomicFile.h"
#include "platform/CFileException.h"
#include "ui/app/UiLayer.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QProgressBar>
#include <QTimer>
#include <QWidget>
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

namespace {

// Drops the input meant for anything but the live widgets while a
// calculation runs; Escape goes through, for the dialog to stop and close.
class CInputDuringRun final : public QObject {
public:
    explicit CInputDuringRun(std::initializer_list<QWidget*> live) : m_live(live) {
        qApp->installEventFilter(this);
        QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~CInputDuringRun() override {
        QApplication::restoreOverrideCursor();
        qApp->removeEventFilter(this);
    }

    bool eventFilter(QObject* target, QEvent* event) override {
        // A window hands its input on to the widget meant, which is judged then.
        if (!target->isWidgetType())
            return false;
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                return false;
            [[fallthrough]];
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return !IsLive(static_cast<QWidget*>(target));
        default:
            return false;
        }
    }

private:
    bool IsLive(const QWidget* target) const {
        for (const QWidget* w : m_live)
            if (w && w->isEnabled() && (target == w || w->isAncestorOf(target)))
                return true;
        return false;
    }

    std::vector<QWidget*> m_live;
};

} // namespace

void RunCalculation(const std::function<void()>& work,
                    std::initializer_list<CProgressBarLink*> progress,
                    std::initializer_list<QWidget*> live) {
    const CInputDuringRun input(live);
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
        QCoreApplication::processEvents(QEventLoop::AllEvents, 30);
        if (!finished)
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
    }
    worker.join();
    // Input that came in while the work was ending is dropped too, not
    // played once the run is over.
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    for (CProgressBarLink* link : links)
        link->Show();
    if (failure)
        std::rethrow_exception(failure);
}

namespace {

// The model words its value problems in English for brelund-calc.
QString ValueNotANumberText(const CValueProblem& problem) {
    switch (problem.value) {
    case ElementValue::vertices:
        return QString("%1 vertici con coordinate non numeriche").arg(problem.count);
    case ElementValue::permeability:
        return "la permeabilità non è un numero";
    case ElementValue::specificWeight:
        return "il peso specifico non è un numero";
    case ElementValue::loadVolume:
        return "il volume del carico liquido non è un numero";
    case ElementValue::fillingRatio:
        return "il riempimento non è un numero";
    }
    return QString();
}

} // namespace

bool RefuseShipValuesThatAreNotNumbers(const CShipModel& ship, bool compartments, bool tanks) {
    int kind = 0;
    CValueProblem problem;
    const CShipElement* element =
        FindValueThatIsNotANumber(ship, compartments, tanks, kind, problem);
    if (!element)
        return false;
    const char* const kinds[] = {"", "scafo", "compartimento", "cassa"};
    AfxMessageBox(QString("Impossibile eseguire il calcolo: %1 '%2': %3.")
                      .arg(kinds[kind], QString::fromStdString(element->GetName()),
                           ValueNotANumberText(problem)),
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
    return AskOutputFile(parent, "File DXF(*.dxf);;Tutti i file (*)", ".dxf",
                         "Impossibile scrivere il disegno DXF.");
}

QString AskOutputFile(QWidget* parent, const QString& filters, const QString& extension,
                      const QString& refusal) {
    QString path = UserDialogs().GetSaveFileName(parent, "Salva con nome", QString(), filters);
    if (path.isEmpty())
        return path;
    if (QFileInfo(path).suffix().isEmpty())
        path += extension;
    if (!g_openShipFile.isEmpty()) {
        try {
            RefuseSameFile(ToFilePath(path), {{"ship", ToFilePath(g_openShipFile)}});
        } catch (const CFileException& e) {
            AfxMessageBox(QString("%1\n%2 è il file della nave aperta: non viene sovrascritto.")
                              .arg(refusal, path),
                          MB_OK | MB_ICONWARNING);
            return QString();
        }
    }
    return path;
}
