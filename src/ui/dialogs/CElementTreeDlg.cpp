#include "CElementTreeDlg.h"

#include "CElementEditDlg.h"
#include "ElementCommands.h"
#include "ElementPresentation.h"
#include "FieldExchange.h"
#include "FileErrorText.h"
#include "model/CShipModel.h"
#include "model/ElementEditing.h"
#include "model/MeshCheck.h"
#include "platform/CFileException.h"
#include "platform/NumberText.h"
#include "ui/app/CommandTable.h"
#include "ui/app/UiLayer.h"

#include <QButtonGroup>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>

#include <vector>

namespace {

// An element item's name bytes. Category items hold none, so that they
// never stand for an element, whatever the elements are named.
constexpr int kNameRole = Qt::UserRole;

// The image list: enabled and disabled icon of each kind, in kind order.
int IconIndex(int kind, bool enabled) {
    return 2 * (kind - 1) + (enabled ? 0 : 1);
}

const char* const kPopupProperties = "Proprieta";
const char* const kPopupAddHull = "Add elemento scafo";
const char* const kPopupAddCompartment = "Add compartimento";
const char* const kPopupAddTank = "Add cassa";
const char* const kPopupDelete = "Delete";
const char* const kPopupInvert = "Inverti Versori";

// The drawings first, the other mesh files brelund-calc add reads, and
// every file last.
const char* const kMeshFileFilters =
    "File DXF(*.dxf);;File STL (*.stl);;File OBJ (*.obj);;Tutti i file (*)";

// The tree dialog minimised while a person answers something in another
// window, and restored after, however the command ends.
class CMinimised {
public:
    explicit CMinimised(QWidget* dialog) : m_dialog(dialog) {
        if (m_dialog->isVisible() && !m_dialog->isMinimized()) {
            m_dialog->showMinimized();
            m_minimised = true;
        }
    }
    ~CMinimised() {
        if (m_minimised)
            m_dialog->showNormal();
    }
    CMinimised(const CMinimised&) = delete;
    CMinimised& operator=(const CMinimised&) = delete;

private:
    QWidget* m_dialog;
    bool m_minimised = false;
};

bool SameValues(const CElementValues& a, const CElementValues& b) {
    return a.enabled == b.enabled && a.colour == b.colour && a.name == b.name &&
           a.permeability == b.permeability && a.specific_weight == b.specific_weight &&
           a.filling_ratio == b.filling_ratio && a.load_volume == b.load_volume;
}

// What the status bar says of an element just added from file: that the
// file held no mesh, or the problems of its surface (as brelund-calc add
// warns of them); empty when it is sound.
QString AddedElementNote(const CShipElement& element, int kind, const QString& file) {
    const QString shown = QFileInfo(file).fileName();
    if (element.GetFaceCount() == 0)
        return QString("Nessuna mesh trovata in %1: l'elemento è stato aggiunto vuoto.").arg(shown);
    const QStringList problems = ElementProblemTexts(element, kind);
    if (problems.isEmpty())
        return QString();
    QString note = QString("Elemento da %1: ").arg(shown);
    note += problems.join("; ");
    note += '.';
    return note;
}

} // namespace

CElementTreeDlg::CElementTreeDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Elementi nave: albero delle categorie");
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint);

    m_tree = new QTreeWidget;
    m_tree->setObjectName("tree");
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setIconSize(QSize(32, 32));
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setMinimumSize(260, 220);
    // The popup menu leaves the selection as it was: the right button
    // reaches the tree through eventFilter only.
    m_tree->viewport()->installEventFilter(this);
    m_tree->installEventFilter(this);
    m_tree->setContextMenuPolicy(Qt::DefaultContextMenu);
    // Long names scroll rather than being cut.
    m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_tree->header()->setStretchLastSection(false);

    auto* previewGroup = new QGroupBox("Preview Selection");
    auto* previewLayout = new QHBoxLayout(previewGroup);
    m_preview = new QButtonGroup(this);
    const struct {
        const char* text;
        const char* name;
        int mode;
    } previews[] = {{"None", "previewNone", previewNone},
                    {"Shaded", "previewShaded", previewShaded},
                    {"Versori", "previewNormals", previewNormals}};
    for (const auto& p : previews) {
        auto* radio = new QRadioButton(p.text);
        radio->setObjectName(p.name);
        m_preview->addButton(radio, p.mode);
        previewLayout->addWidget(radio);
    }
    previewLayout->addStretch(1);

    m_normal_length_box = new QLineEdit;
    m_normal_length_box->setObjectName("normalLength");
    m_normal_length_box->setToolTip("Lunghezza dei versori");
    m_normal_length_box->setAlignment(Qt::AlignRight);
    m_normal_length_box->setFixedWidth(
        m_normal_length_box->fontMetrics().horizontalAdvance("0000.000000") + 14);
    auto* lengthRow = new QHBoxLayout;
    lengthRow->addWidget(m_normal_length_box);
    lengthRow->addWidget(new QLabel("[m]"));
    lengthRow->addStretch(1);

    m_add_hull = new QPushButton("Add Elemento Scafo est.");
    m_add_hull->setObjectName("addHull");
    m_add_compartment = new QPushButton("Add Compartimento");
    m_add_compartment->setObjectName("addCompartment");
    m_add_tank = new QPushButton("Add Cassa");
    m_add_tank->setObjectName("addTank");
    // Enter in the length box must not open a file dialog.
    for (QPushButton* b : {m_add_hull, m_add_compartment, m_add_tank})
        b->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tree, 1);
    layout->addWidget(previewGroup);
    layout->addLayout(lengthRow);
    layout->addWidget(m_add_hull);
    layout->addWidget(m_add_compartment);
    layout->addWidget(m_add_tank);

    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CElementTreeDlg::OnPreviewChanged);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] { OnProperties(); });
    connect(m_preview, &QButtonGroup::idClicked, this, &CElementTreeDlg::OnPreviewChanged);
    connect(m_add_hull, &QPushButton::clicked, this, &CElementTreeDlg::OnAddHull);
    connect(m_add_compartment, &QPushButton::clicked, this, &CElementTreeDlg::OnAddCompartment);
    connect(m_add_tank, &QPushButton::clicked, this, &CElementTreeDlg::OnAddTank);

    // The controls start from the values.
    m_preview->button(m_preview_mode)->setChecked(true);
    SetFieldNumber(m_normal_length_box, m_normal_length);

    resize(340, 560);
}

CElementTreeDlg::~CElementTreeDlg() = default;

void CElementTreeDlg::SetModel(CShipModel* model, QWidget* view) {
    m_pModel = model;
    m_pView = view;
    // Nothing of the previous ship's tree carries over.
    {
        const QSignalBlocker blocker(m_tree);
        m_tree->clear();
    }
    RefreshTree();
}

QTreeWidgetItem* CElementTreeDlg::AddItem(QTreeWidgetItem* parent, const std::string& name,
                                          int icon) {
    auto* item = new QTreeWidgetItem;
    const QString text = ElementNameText(name);
    item->setText(0, text);
    item->setToolTip(0, text);
    item->setIcon(0, ElementIcon(icon / 2 + 1, icon % 2 == 0));
    item->setData(0, kNameRole, QByteArray::fromStdString(name));
    parent->addChild(item);
    return item;
}

void CElementTreeDlg::RefreshTree() {
    Rebuild(std::nullopt);
}

void CElementTreeDlg::RefreshTree(const std::string& select) {
    Rebuild(select);
}

void CElementTreeDlg::Rebuild(const std::optional<std::string>& select) {
    // A rebuild is no choice of the person's: the view is not redrawn.
    const QSignalBlocker blocker(m_tree);
    // What the person opened and chose stays as it was.
    std::vector<bool> expanded;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        expanded.push_back(m_tree->topLevelItem(i)->isExpanded());
    const std::optional<std::string> selectedName = SelectedName();
    int selectedRoot = -1;
    if (!selectedName && !m_tree->selectedItems().isEmpty())
        selectedRoot = m_tree->indexOfTopLevelItem(m_tree->selectedItems().first());
    m_tree->clear();
    if (!m_pModel)
        return;
    const auto addRoot = [this](const char* text, int kind) {
        auto* root = new QTreeWidgetItem(m_tree);
        root->setText(0, text);
        root->setIcon(0, ElementIcon(kind, true));
        return root;
    };
    QTreeWidgetItem* hull = addRoot("Elementi Scafo", kindHull);
    for (int i = 1; i <= m_pModel->HullElements().GetCount(); ++i) {
        const CShipElement& e = *m_pModel->HullElements().GetAt(i);
        AddItem(hull, e.GetName(), IconIndex(kindHull, e.IsEnabled()));
    }
    QTreeWidgetItem* compartments = addRoot("Compartimenti", kindCompartment);
    for (int i = 1; i <= m_pModel->Compartments().GetCount(); ++i) {
        const CShipElement& e = *m_pModel->Compartments().GetAt(i);
        AddItem(compartments, e.GetName(), IconIndex(kindCompartment, e.IsEnabled()));
    }
    QTreeWidgetItem* tanks = addRoot("Casse", kindTank);
    for (int i = 1; i <= m_pModel->Tanks().GetCount(); ++i) {
        const CShipElement& e = *m_pModel->Tanks().GetAt(i);
        AddItem(tanks, e.GetName(), IconIndex(kindTank, e.IsEnabled()));
    }

    for (int i = 0; i < m_tree->topLevelItemCount() && i < static_cast<int>(expanded.size()); ++i)
        m_tree->topLevelItem(i)->setExpanded(expanded[i]);
    const std::optional<std::string> name = select ? select : selectedName;
    QTreeWidgetItem* chosen = selectedRoot >= 0 ? m_tree->topLevelItem(selectedRoot) : nullptr;
    // The first item of the name, as FindElement finds the first element.
    for (int i = 0; name && !chosen && i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* root = m_tree->topLevelItem(i);
        for (int k = 0; k < root->childCount() && !chosen; ++k)
            if (root->child(k)->data(0, kNameRole).toByteArray().toStdString() == *name)
                chosen = root->child(k);
    }
    if (!chosen)
        return;
    m_tree->setCurrentItem(chosen);
    if (select) {
        if (chosen->parent())
            chosen->parent()->setExpanded(true);
        m_tree->scrollToItem(chosen);
    }
}

std::optional<std::string> CElementTreeDlg::SelectedName() const {
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const QVariant name = selected.first()->data(0, kNameRole);
    if (!name.isValid())
        return std::nullopt;
    return name.toByteArray().toStdString();
}

CShipElement* CElementTreeDlg::SelectedElement(int* kind) const {
    const std::optional<std::string> name = SelectedName();
    if (!m_pModel || !name)
        return nullptr;
    return m_pModel->FindElement(*name, kind);
}

QWidget* CElementTreeDlg::Owner() const {
    if (m_pView)
        return m_pView->window();
    return parentWidget() ? parentWidget()->window() : nullptr;
}

void CElementTreeDlg::RedrawView() {
    if (m_pView)
        m_pView->update();
}

void CElementTreeDlg::Perform(QUndoCommand* command) {
    if (m_undo) {
        m_undo->push(command); // which makes the change
        return;
    }
    command->redo();
    delete command;
}

void CElementTreeDlg::OnShipEdited(const CShipElement* select) {
    if (select)
        RefreshTree(select->GetName());
    else
        RefreshTree();
    emit modelChanged();
}

CShipEdited CElementTreeDlg::Edited() {
    return [dialog = QPointer<CElementTreeDlg>(this)](const CShipElement* select) {
        if (dialog)
            dialog->OnShipEdited(select);
    };
}

void CElementTreeDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The window system's own events (a restore from the task bar) leave the
    // tree and its selection alone.
    if (!event->spontaneous())
        RefreshTree();
}

void CElementTreeDlg::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        RefreshTree();
}

bool CElementTreeDlg::ReadFields() {
    m_preview_mode = m_preview->checkedId() < 0 ? previewNone : m_preview->checkedId();
    double length = 0;
    if (!GetFieldNumber(m_normal_length_box, length))
        return false;
    m_normal_length = static_cast<float>(length);
    return true;
}

void CElementTreeDlg::OnPreviewChanged() {
    // A length refused keeps the previous one; the preview follows the new
    // selection all the same.
    ReadFields();
    RedrawView();
}

bool CElementTreeDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tree->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
                ShowPopupMenu();
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
                return true;
            break;
        case QEvent::ContextMenu:
            // The menu key; the right button opened its menu on the press.
            if (static_cast<QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Mouse)
                ShowPopupMenu();
            return true;
        default:
            break;
        }
    } else if (watched == m_tree && event->type() == QEvent::ContextMenu) {
        if (static_cast<QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Mouse)
            ShowPopupMenu();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CElementTreeDlg::ShowPopupMenu() {
    QMenu menu(this);
    QAction* properties = menu.addAction(kPopupProperties);
    menu.addSeparator();
    QAction* addHull = menu.addAction(kPopupAddHull);
    QAction* addCompartment = menu.addAction(kPopupAddCompartment);
    QAction* addTank = menu.addAction(kPopupAddTank);
    QAction* remove = menu.addAction(kPopupDelete);
    QAction* invert = menu.addAction(kPopupInvert);
    // Always at the same place over the tree, not at the pointer.
    const QPoint at = m_tree->mapToGlobal(QPoint(0, 0)) + QPoint(50, 50);
    QAction* chosen = UserDialogs().TrackPopupMenu(menu, at);
    if (chosen == properties)
        OnProperties();
    else if (chosen == addHull)
        OnAddHull();
    else if (chosen == addCompartment)
        OnAddCompartment();
    else if (chosen == addTank)
        OnAddTank();
    else if (chosen == remove)
        OnDelete();
    else if (chosen == invert)
        OnInvertNormals();
}

void CElementTreeDlg::OnAddHull() {
    AddElement(kindHull);
}
void CElementTreeDlg::OnAddCompartment() {
    AddElement(kindCompartment);
}
void CElementTreeDlg::OnAddTank() {
    AddElement(kindTank);
}

void CElementTreeDlg::AddElement(int kind) {
    if (!m_pModel)
        return;
    const CMinimised minimised(this);
    const QString path = UserDialogs().GetOpenFileName(Owner(), "Apri", kMeshFileFilters);
    if (path.isEmpty())
        return;
    // The element is named after the file, without its folder and its
    // extension ("barge" for /.../barge.dxf), as UTF-8.
    QString name = QFileInfo(path).completeBaseName();
    if (name.isEmpty())
        name = QFileInfo(path).fileName();
    CShipElement* element = nullptr;
    try {
        const CWaitCursor wait;
        element =
            AddElementFromFile(*m_pModel, kind, ToFilePath(path), name.toUtf8().toStdString());
    } catch (const CFileException& e) {
        // Nothing was added.
        UserDialogs().MessageBox(Owner(), FileErrorMessage(e), kAppTitle, MB_OK | MB_ICONERROR);
        return;
    }
    int index = 0;
    if (element == nullptr || !m_pModel->LocateElement(element, kind, index))
        return;
    const QString note = AddedElementNote(*element, kind, path);
    // Read and named in place; the command puts the same element back in.
    Perform(new CAddElementCommand(*m_pModel, kind, index, m_pModel->DetachElement(kind, index),
                                   Edited()));
    emit statusMessage(note);
}

void CElementTreeDlg::OnProperties() {
    int kind = 0;
    CShipElement* element = SelectedElement(&kind);
    if (element == nullptr)
        return;
    const std::string name = element->GetName();
    const CElementValues loaded = LoadElementValues(*element, kind);
    CElementEditDlg dialog(Owner());
    dialog.SetValues(loaded);
    dialog.SetMeshProblems(ElementProblemTexts(*element, kind));
    const CMinimised minimised(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The event loop ran while the dialog was open: find the element again.
    int kindNow = 0;
    element = m_pModel->FindElement(name, &kindNow);
    if (element == nullptr || kindNow != kind)
        return;
    // OK on values left as they were changes nothing: storing them again
    // would only derive a tank's load from its ratio once more, rounded.
    bool changed = false;
    const CElementValues& asked = dialog.Values();
    if (!SameValues(loaded, asked)) {
        const CElementValues before = LoadElementValues(*element, kind);
        StoreElementValues(*m_pModel, *element, asked);
        CElementValues after = LoadElementValues(*element, kind);
        changed = !SameValues(before, after);
        // Stored as asked (the name made unique, the load derived); the
        // command's first redo puts the same values back, exactly.
        int index = 0;
        if (changed && m_pModel->LocateElement(element, kindNow, index))
            Perform(new CElementValuesCommand(*m_pModel, kind, index, before, std::move(after),
                                              Edited()));
    }
    if (!changed)
        RefreshTree(element->GetName());
    // A load that does not fit is kept within the tank: say what was taken.
    if (changed && kind == kindTank && asked.load_entry == 1) {
        const auto& tank = static_cast<const CTank&>(*element);
        if (tank.GetLoadVolume() != asked.load_volume) {
            const QString text =
                QString("Il volume carico liquido di %1 m^3 non sta nella cassa \"%2\": è stato "
                        "preso %3 m^3 (il carico va da 0 al volume della cassa, %4 m^3).")
                    .arg(QString::fromStdString(FormatC("%.6g", asked.load_volume)),
                         ElementNameText(tank.GetName()),
                         QString::fromStdString(FormatC("%.6g", tank.GetLoadVolume())),
                         QString::fromStdString(FormatC("%.6g", tank.Volume())));
            emit statusMessage(text);
            UserDialogs().MessageBox(Owner(), text, kAppTitle, MB_OK | MB_ICONWARNING);
        }
    }
}

void CElementTreeDlg::OnDelete() {
    const std::optional<std::string> name = SelectedName();
    const CMinimised minimised(this);
    QString question = "Confermi l'eliminazione dell'elemento selezionato";
    if (name)
        question += QString(" \"%1\"").arg(ElementNameText(*name));
    if (UserDialogs().MessageBox(Owner(), question, kAppTitle, MB_OKCANCEL | MB_ICONQUESTION) !=
        IDOK)
        return;
    int kind = 0, index = 0;
    CShipElement* element = m_pModel && name ? m_pModel->FindElement(*name) : nullptr;
    if (element && m_pModel->LocateElement(element, kind, index)) {
        Perform(new CDeleteElementCommand(*m_pModel, kind, index, Edited()));
        UserDialogs().MessageBox(Owner(), "Elemento cancellato", kAppTitle,
                                 MB_OK | MB_ICONINFORMATION);
    } else {
        UserDialogs().MessageBox(Owner(),
                                 "Non è stato cancellato alcun elemento \n Verificare la selezione",
                                 kAppTitle, MB_OK | MB_ICONWARNING);
    }
}

void CElementTreeDlg::OnInvertNormals() {
    CShipElement* element = SelectedElement();
    if (element == nullptr)
        return;
    const std::string name = element->GetName();
    QString question = "Invertire i versori a ";
    question += ElementNameText(name);
    if (AfxMessageBox(question, MB_YESNOCANCEL | MB_ICONQUESTION) != IDYES)
        return;
    element = m_pModel->FindElement(name);
    int kind = 0, index = 0;
    if (element == nullptr || !m_pModel->LocateElement(element, kind, index))
        return;
    Perform(new CInvertNormalsCommand(*m_pModel, kind, index, Edited()));
    RedrawView();
}
