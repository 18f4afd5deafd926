#include "CModelCheckDlg.h"

#include "CMSFlexGrid.h"
#include "ElementPresentation.h"
#include "model/CShipModel.h"
#include "model/MeshCheck.h"
#include "platform/NumberText.h"
#include "ui/app/UiLayer.h"

#include <QHeaderView>
#include <QLabel>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const char* const kHeaders[CModelCheckDlg::colCount] = {"Tipo",
                                                        "Nome",
                                                        "Attivo",
                                                        "Facce",
                                                        "Chiusa",
                                                        "Coerente",
                                                        "Verso l'esterno",
                                                        "Spigoli di bordo",
                                                        "Bordo [m]",
                                                        "Spigoli a 3+ facce",
                                                        "Giunzioni a T",
                                                        "Volume [m^3]"};

const char* const kKinds[] = {"", "scafo", "compartimento", "cassa"};

QString YesNo(bool yes) {
    return yes ? QString("Sì") : QString("No");
}

QString Number(double value) {
    return QString::fromStdString(FormatC("%.6g", value));
}

// The cells of an element's row: an orientation or a sign means nothing
// where there are no faces, nor a sign where the surface is open.
QStringList RowTexts(const CShipElement& element, int kind, const CSurfaceCheck& s) {
    QStringList cells;
    cells << kKinds[kind] << ElementNameText(element.GetName()) << YesNo(element.IsEnabled())
          << QString::number(s.faces) << YesNo(s.IsClosed())
          << (s.faces == 0 ? QString("-") : YesNo(s.IsConsistent()))
          << (s.IsClosed() ? YesNo(s.IsOutward()) : QString("-"))
          << QString::number(s.boundary_edges) << Number(s.boundary_length)
          << QString::number(s.non_manifold) << QString::number(s.t_junctions) << Number(s.volume);
    return cells;
}

// The problems in the words of the properties dialog; an element without
// faces encloses nothing, which a calculation would take for no volume.
QStringList RowProblems(const CSurfaceCheck& s, int kind) {
    if (s.faces == 0)
        return {"nessuna faccia: l'elemento è vuoto"};
    return SurfaceProblemTexts(s, kind);
}

} // namespace

CModelCheckDlg::CModelCheckDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Verifica modello");
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);

    m_grid = new CMSFlexGrid(1, colCount, 1, 0);
    m_grid->setObjectName("checkGrid");
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    for (int c = 0; c < colCount; ++c)
        m_grid->SetTextMatrix(0, c, kHeaders[c]);
    m_grid->resizeColumnsToContents();

    m_summary = new QLabel;
    m_summary->setObjectName("summary");
    auto* legend = new QLabel("Nella vista: spigoli di bordo e comuni a tre o più facce in "
                              "magenta, contorni delle facce orientate al contrario in "
                              "arancione; selezionando una riga, solo quelli del suo elemento.");
    legend->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_summary);
    layout->addWidget(legend);

    connect(m_grid, &QTableWidget::itemSelectionChanged, this, &CModelCheckDlg::faultsChanged);

    resize(1000, 320);
}

CModelCheckDlg::~CModelCheckDlg() = default;

void CModelCheckDlg::SetModel(const CShipModel* model) {
    m_pModel = model;
    ModelChanged();
}

void CModelCheckDlg::ModelChanged() {
    if (!isVisible() || m_refresh_queued)
        return;
    m_refresh_queued = true;
    QTimer::singleShot(0, this, [this] {
        m_refresh_queued = false;
        if (isVisible())
            Refresh();
    });
}

void CModelCheckDlg::Refresh() {
    const CWaitCursor wait;
    // The element selected stays selected, wherever its row goes.
    const CRow* selected = SelectedRow();
    const int selectedKind = selected ? selected->kind : 0;
    const std::string selectedName = selected ? selected->name : std::string();

    std::vector<CRow> rows;
    std::vector<QStringList> texts, problems;
    if (m_pModel != nullptr) {
        const auto check = [&](const auto& list, int kind) {
            for (int i = 1; i <= list.GetCount(); ++i) {
                const CShipElement& element = *list.GetAt(i);
                // The meshes together only: each alone would double the time.
                CElementCheck result = CheckElement(element, false);
                texts.push_back(RowTexts(element, kind, result.surface));
                problems.push_back(RowProblems(result.surface, kind));
                rows.push_back(
                    {kind, element.GetName(), element.IsEnabled(), std::move(result.faults)});
            }
        };
        check(m_pModel->HullElements(), kindHull);
        check(m_pModel->Compartments(), kindCompartment);
        check(m_pModel->Tanks(), kindTank);
    }
    m_rows = std::move(rows);

    {
        const QSignalBlocker blocker(m_grid);
        m_grid->setUpdatesEnabled(false);
        // Rows removed under the current cell would move the selection to
        // another element.
        m_grid->selectionModel()->clear();
        m_grid->SetRows(1 + static_cast<int>(m_rows.size()));
        int faulty = 0;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const int row = 1 + static_cast<int>(i);
            const bool marked = !problems[i].isEmpty();
            faulty += marked;
            for (int c = 0; c < colCount; ++c) {
                m_grid->SetTextMatrix(row, c, texts[i][c]);
                QTableWidgetItem* item = m_grid->item(row, c);
                item->setForeground(marked ? QBrush(Qt::red) : m_grid->palette().text());
                item->setToolTip(problems[i].join("\n"));
                if (c == colKind || c == colName)
                    item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            }
        }
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            if (m_rows[i].kind == selectedKind && m_rows[i].name == selectedName) {
                m_grid->selectRow(1 + static_cast<int>(i));
                break;
            }
        m_grid->resizeColumnsToContents();
        m_grid->setUpdatesEnabled(true);
        m_summary->setText(m_rows.empty() ? QString("Nessun elemento")
                           : faulty == 0  ? QString("Nessun problema")
                           : faulty == 1  ? QString("1 elemento con problemi")
                                          : QString("%1 elementi con problemi").arg(faulty));
    }
    emit faultsChanged();
}

std::vector<const CSurfaceFaults*> CModelCheckDlg::ShownFaults() const {
    std::vector<const CSurfaceFaults*> shown;
    if (!isVisible())
        return shown;
    if (const CRow* selected = SelectedRow()) {
        shown.push_back(&selected->faults);
        return shown;
    }
    for (const CRow& r : m_rows)
        if (r.enabled && !r.faults.Empty())
            shown.push_back(&r.faults);
    return shown;
}

const CModelCheckDlg::CRow* CModelCheckDlg::SelectedRow() const {
    const QList<QTableWidgetItem*> selected = m_grid->selectedItems();
    const int row = selected.isEmpty() ? 0 : selected.first()->row();
    if (row < 1 || row > static_cast<int>(m_rows.size()))
        return nullptr;
    return &m_rows[static_cast<std::size_t>(row - 1)];
}

QString CModelCheckDlg::Summary() const {
    return m_summary->text();
}

void CModelCheckDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Restored from the task bar, the window shows what it showed.
    if (!event->spontaneous())
        Refresh();
}

void CModelCheckDlg::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous())
        return;
    // The faults of a large ship are many: nothing is kept while hidden.
    for (CRow& r : m_rows)
        r.faults = CSurfaceFaults();
    emit faultsChanged();
}
