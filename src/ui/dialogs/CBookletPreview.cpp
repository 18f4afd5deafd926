#include "CBookletPreview.h"

#include "CalculationRun.h"
#include "FileErrorText.h"

#include "booklet/BookletContents.h"
#include "booklet/BookletPainter.h"
#include "platform/AtomicFile.h"
#include "platform/CFileException.h"
#include "ui/app/UiLayer.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

#include <atomic>

namespace {

// Why the booklet could not be computed, in the application's words (the
// calculation's own in English after them).
QString FailureText(const CBookletFailure& e) {
    using What = CBookletFailure::What;
    const QString name = QString::fromStdString(e.Name());
    switch (e.Kind()) {
    case What::condition:
        return QString::fromUtf8("La condizione di carico '%1' non si può calcolare (%2).")
            .arg(name, e.what());
    case What::damage:
        return QString::fromUtf8("Il caso di avaria '%1' della condizione '%2' non si può "
                                 "calcolare (%3).")
            .arg(name, QString::fromStdString(e.Condition()), e.what());
    case What::ship:
        return QString::fromUtf8("Le tabelle della nave non si possono calcolare (%1).")
            .arg(e.what());
    default:
        return QString::fromUtf8("'%1' non c'è nel file delle condizioni.").arg(name);
    }
}

} // namespace

CBookletPreview::CBookletPreview(CBooklet booklet, QWidget* parent)
    : QPrintPreviewDialog(parent), m_booklet(std::move(booklet)),
      m_layout(LayOutBooklet(m_booklet)) {
    // The dialog's own printer, on A4 with the whole page to draw on: the
    // booklet keeps its own margins.
    printer()->setFullPage(true);
    printer()->setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    setWindowTitle(QString::fromUtf8("Relazione di stabilità - %1")
                       .arg(QString::fromStdString(m_booklet.ship)));
    connect(this, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { PaintBooklet(m_booklet, m_layout, *p); });
    m_save = new QAction(QString::fromUtf8("Salva PDF…"), this);
    m_save->setObjectName("saveBookletPdf");
    connect(m_save, &QAction::triggered, this, [this] { OnSavePdf(); });
    if (QToolBar* bar = findChild<QToolBar*>()) {
        bar->addSeparator();
        bar->addAction(m_save);
    } else {
        addAction(m_save);
    }
}

CBookletPreview::~CBookletPreview() = default;

void CBookletPreview::WritePdf(const QString& path) const {
    const QByteArray pdf = BookletPdf(m_booklet, m_layout);
    if (pdf.isEmpty())
        throw std::runtime_error("the booklet could not be drawn");
    WriteFileAtomically(
        ToFilePath(path),
        [&](CFile& file) { file.Write(pdf.constData(), static_cast<std::size_t>(pdf.size())); },
        {.kind = "booklet"});
}

bool CBookletPreview::OnSavePdf() {
    const QString path =
        AskOutputFile(this, "File PDF (*.pdf)", ".pdf", "Impossibile scrivere la relazione.");
    if (path.isEmpty())
        return false;
    try {
        CWaitCursor wait;
        WritePdf(path);
    } catch (const CFileException& e) {
        AfxMessageBox(FileErrorMessage(e), MB_OK | MB_ICONERROR);
        return false;
    } catch (const std::exception& e) {
        AfxMessageBox(
            QString::fromUtf8("Impossibile scrivere la relazione.\n%1").arg(FailureMessage(e)),
            MB_OK | MB_ICONERROR);
        return false;
    }
    return true;
}

namespace {

QListWidget* CheckList(const QString& title, const std::vector<std::string>& names,
                       QHBoxLayout* row) {
    auto* box = new QGroupBox(title);
    auto* list = new QListWidget;
    for (const std::string& n : names) {
        auto* item = new QListWidgetItem(QString::fromStdString(n), list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    auto* inner = new QVBoxLayout(box);
    inner->addWidget(list);
    row->addWidget(box);
    return list;
}

// The checked names; all set when every one is checked.
void Checked(const QListWidget* list, bool& all, std::vector<std::string>& names) {
    names.clear();
    for (int k = 0; k < list->count(); ++k)
        if (list->item(k)->checkState() == Qt::Checked)
            names.push_back(list->item(k)->text().toStdString());
    all = static_cast<int>(names.size()) == list->count();
    if (all)
        names.clear();
}

} // namespace

CBookletChoiceDlg::CBookletChoiceDlg(const CLoadingConditions& conditions, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("Stampa relazione"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QString::fromUtf8("Condizioni di carico e casi di avaria da mettere nella relazione:")));
    auto* row = new QHBoxLayout;
    std::vector<std::string> names;
    for (const CLoadingCondition& c : conditions.All())
        names.push_back(c.name);
    m_conditions = CheckList(QString::fromUtf8("Condizioni di carico"), names, row);
    names.clear();
    for (const CDamageCase& d : conditions.DamageCases())
        names.push_back(d.name);
    m_damage = CheckList(QString::fromUtf8("Casi di avaria"), names, row);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Cancel)->setText("Annulla");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

CBookletRequest CBookletChoiceDlg::Request() const {
    CBookletRequest request;
    Checked(m_conditions, request.all_conditions, request.conditions);
    Checked(m_damage, request.all_damage, request.damage);
    return request;
}

bool ComputeBookletShown(const CShipModel& ship, const QString& name,
                         const CLoadingConditions& conditions, QWidget* parent, CBooklet& out,
                         const CBookletRequest& request) {
    if (RefuseShipValuesThatAreNotNumbers(ship, true, true))
        return false;
    QDialog window(parent);
    window.setWindowTitle(QString::fromUtf8("Stampa relazione"));
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QString::fromUtf8("Calcolo della relazione di stabilità…")));
    auto* bar = new QProgressBar;
    bar->setMinimumWidth(360);
    layout->addWidget(bar);
    auto* stopButton = new QPushButton("Interrompi");
    layout->addWidget(stopButton, 0, Qt::AlignRight);
    CStopRequest stop;
    QObject::connect(stopButton, &QPushButton::clicked, &window, [&stop] { stop.Request(); });
    window.show();
    CProgressBarLink link(bar);
    CBookletData data;
    bool done = false;
    try {
        RunCalculation(
            [&] {
                data = ComputeBooklet(ship, name.toStdString(), conditions, request, &stop,
                                      [&](int step, int steps, const std::string&) {
                                          link.SetRange(0, steps);
                                          link.SetPos(step);
                                      });
                done = true;
            },
            {&link}, {stopButton});
    } catch (const CCalculationStopped&) {
        return false;
    } catch (const CBookletFailure& e) {
        window.hide();
        AfxMessageBox(
            QString::fromUtf8("Impossibile preparare la relazione.\n%1").arg(FailureText(e)),
            MB_OK | MB_ICONERROR);
        return false;
    } catch (const std::exception& e) {
        window.hide();
        AfxMessageBox(
            QString::fromUtf8("Impossibile preparare la relazione.\n%1").arg(FailureMessage(e)),
            MB_OK | MB_ICONERROR);
        return false;
    }
    if (!done)
        return false;
    out = BuildBooklet(data);
    return true;
}

void ShowBookletPreview(const CShipModel& ship, const QString& name,
                        const CLoadingConditions& conditions, QWidget* parent) {
    CBookletRequest request;
    if (!conditions.All().empty() || !conditions.DamageCases().empty()) {
        CBookletChoiceDlg choice(conditions, parent);
        if (choice.exec() != QDialog::Accepted)
            return;
        request = choice.Request();
    }
    CBooklet booklet;
    if (!ComputeBookletShown(ship, name, conditions, parent, booklet, request))
        return;
    CBookletPreview preview(std::move(booklet), parent);
    preview.exec();
}
