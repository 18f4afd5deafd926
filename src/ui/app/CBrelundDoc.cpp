#include "CBrelundDoc.h"

#include "CommandTable.h"
#include "UiLayer.h"
#include "model/ConditionsFile.h"
#include "model/LoadNotes.h"
#include "model/ShipFile.h"
#include "platform/CFileException.h"
#include "platform/ShipLock.h"
#include "ui/dialogs/CBonjeanDlg.h"
#include "ui/dialogs/CBookletPreview.h"
#include "ui/dialogs/CHydrostaticCurvesDlg.h"
#include "ui/dialogs/CInclinedHullsDlg.h"
#include "ui/dialogs/CSubmergedTrimDlg.h"
#include "ui/dialogs/CTankTablesDlg.h"
#include "ui/dialogs/CUprightHullsDlg.h"
#include "ui/dialogs/CalculationRun.h"
#include "ui/dialogs/FileErrorText.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUndoCommand>

#include <cstring>
#include <optional>
#include <vector>

namespace {

const char* const kOpenFailed = "Impossibile aprire il documento.";
const char* const kSaveFailed = "Impossibile salvare il documento.";
// Notes on damage the file format lets through, shown after an open.
constexpr int kMaxNotesShown = 12;

// The engine's own text is English: the reason is worded here, by cause.
QString Reason(const std::exception& e) {
    return FailureMessage(e);
}

QString ShipFilters() {
    return QString("%1;;%2").arg(kShipFilter, kAllFilesFilter);
}

} // namespace

// A change of the loading conditions: the whole set before and after.
class CConditionsCommand : public QUndoCommand {
public:
    CConditionsCommand(CBrelundDoc& doc, CLoadingConditions after, const QString& text)
        : QUndoCommand(text), m_doc(doc), m_before(doc.GetConditions()), m_after(std::move(after)) {
    }
    void redo() override { m_doc.PutConditions(m_after); }
    void undo() override { m_doc.PutConditions(m_before); }

private:
    CBrelundDoc& m_doc;
    CLoadingConditions m_before, m_after;
};

CBrelundDoc::CBrelundDoc() {
    connect(&m_undo, &QUndoStack::cleanChanged, this,
            [this](bool clean) { SetModifiedFlag(!clean); });
}

CBrelundDoc::~CBrelundDoc() {
    // The stack empties itself as it goes, signalling to a document and
    // windows already half gone.
    m_undo.disconnect();
}

bool CBrelundDoc::SetConditions(const CLoadingConditions& conditions, const QString& text) {
    if (!m_conditions_writable)
        return false;
    m_undo.push(new CConditionsCommand(*this, conditions, text));
    return true;
}

void CBrelundDoc::PutConditions(const CLoadingConditions& conditions) {
    m_conditions = conditions;
    emit conditionsChanged();
}

QString CBrelundDoc::GetTitle() const {
    return m_path.isEmpty() ? QString(kUntitled) : QFileInfo(m_path).fileName();
}

void CBrelundDoc::SetModifiedFlag(bool modified) {
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit titleChanged();
}

void CBrelundDoc::SetPathName(const QString& path) {
    m_path = path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
    // The calculations' drawings never replace the ship file.
    SetOpenShipFile(m_path);
    emit titleChanged();
}

void CBrelundDoc::OnNewDocument() {
    // The commands hold elements of the ship going away.
    m_undo.clear();
    m_model.Clear();
    m_conditions = {};
    m_conditions_writable = true;
    m_conditions_fault.clear();
    m_identity = {};
    m_modified = false;
    SetPathName(QString());
    emit initialUpdate();
    emit conditionsChanged();
}

bool CBrelundDoc::OnOpenDocument(const QString& path) {
    CShipModel ship;
    std::vector<CMessage> notes;
    try {
        const CWaitCursor wait;
        const loadnotes::Collect collect(notes);
        LoadShipFile(ship, ToFilePath(path));
    } catch (const std::exception& e) {
        AfxMessageBox(QString("%1\n%2").arg(kOpenFailed, Reason(e)), MB_OK | MB_ICONERROR);
        return false;
    }
    // The conditions come with the ship; a file of them that cannot be read
    // costs them, not the ship, and stays on disk as it is.
    CLoadingConditions conditions;
    QString conditionsFault;
    try {
        LoadConditionsFile(ToFilePath(path), conditions);
    } catch (const std::exception& e) {
        conditions = {};
        conditionsFault = Reason(e);
    }
    m_undo.clear();
    m_model.Swap(ship);
    m_conditions = std::move(conditions);
    m_conditions_writable = conditionsFault.isEmpty();
    m_conditions_fault = conditionsFault;
    m_identity = CFileIdentity::Of(ToFilePath(path));
    m_modified = false;
    SetPathName(path);
    emit initialUpdate();
    emit conditionsChanged();
    if (!conditionsFault.isEmpty())
        AfxMessageBox(QString("Impossibile leggere le condizioni di carico della nave: il file "
                              "resta com'è e non verrà sovrascritto.\n%1")
                          .arg(conditionsFault),
                      MB_OK | MB_ICONWARNING);
    if (!notes.empty()) {
        QString text = QString("%1:\n").arg(QFileInfo(path).fileName());
        for (int i = 0; i < static_cast<int>(notes.size()) && i < kMaxNotesShown; ++i)
            text += "\n" + QString::fromUtf8(notes[static_cast<std::size_t>(i)].italian);
        if (static_cast<int>(notes.size()) > kMaxNotesShown)
            text += QString("\n... (%1 in tutto)").arg(notes.size());
        AfxMessageBox(text, MB_OK | MB_ICONWARNING);
    }
    return true;
}

bool CBrelundDoc::OnSaveDocument(const QString& path) {
    try {
        const CWaitCursor wait;
        // The same lock brelund-calc takes to change a ship, so that a save
        // never interleaves with a command-line edit.
        const CShipLock lock(ToFilePath(path));
        StoreShipFile(m_model, ToFilePath(path));
        // A ship without conditions gets no file of them, but one it had
        // is emptied rather than left behind with conditions deleted.
        const std::string conditionsPath = ConditionsPathOf(ToFilePath(path));
        if (m_conditions_writable &&
            (!m_conditions.Empty() || QFileInfo::exists(FromFilePath(conditionsPath))))
            StoreConditionsFile(m_conditions, ToFilePath(path));
    } catch (const std::exception& e) {
        AfxMessageBox(QString("%1\n%2").arg(kSaveFailed, Reason(e)), MB_OK | MB_ICONERROR);
        return false;
    }
    m_identity = CFileIdentity::Of(ToFilePath(path));
    m_undo.setClean();
    m_modified = false;
    emit titleChanged();
    return true;
}

bool CBrelundDoc::ChangedOnDisk() const {
    if (m_path.isEmpty() || !m_identity.exists)
        return false;
    const CFileIdentity now = CFileIdentity::Of(ToFilePath(m_path));
    return now.exists && !(now == m_identity);
}

bool CBrelundDoc::DoFileSave() {
    if (m_path.isEmpty())
        return DoSave(QString());
    // The file is looked at and written under one lock (the save's own
    // nests in it), question included: an edit landing between the look and
    // the save would otherwise be overwritten without asking.
    std::optional<CShipLock> lock;
    try {
        lock.emplace(ToFilePath(m_path));
    } catch (const std::exception& e) {
        AfxMessageBox(QString("%1\n%2").arg(kSaveFailed, Reason(e)), MB_OK | MB_ICONERROR);
        return false;
    }
    if (ChangedOnDisk()) {
        const QString question =
            QString("Il file %1 è stato modificato da un altro programma dopo l'apertura.\n"
                    "Sovrascriverlo con la nave aperta?")
                .arg(m_path);
        if (AfxMessageBox(question, MB_YESNO | MB_ICONWARNING) != IDYES)
            return false;
    }
    return DoSave(m_path);
}

bool CBrelundDoc::DoSave(const QString& path, bool replace) {
    QString target = path;
    if (target.isEmpty()) {
        const QString proposed = m_path.isEmpty() ? GetTitle() + kShipExtension : m_path;
        target = UserDialogs().GetSaveFileName(QApplication::activeWindow(), "Salva con nome",
                                               proposed, ShipFilters());
        if (target.isEmpty())
            return false;
        if (QFileInfo(target).suffix().isEmpty())
            target += kShipExtension;
    }
    if (!OnSaveDocument(target))
        return false;
    if (replace && QFileInfo(target).absoluteFilePath() != m_path)
        SetPathName(target);
    return true;
}

bool CBrelundDoc::SaveModified() {
    if (!m_modified)
        return true;
    const QString question = QString("Salvare le modifiche apportate a %1?").arg(GetTitle());
    switch (AfxMessageBox(question, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
        return DoFileSave();
    case IDNO:
        return true;
    default:
        return false;
    }
}

bool CBrelundDoc::CanSendMail() {
    return !QStandardPaths::findExecutable("xdg-email").isEmpty();
}

void CBrelundDoc::OnFileSendMail() {
    if (!CanSendMail())
        return;
    // The mail carries the ship as it is on disk: a changed or untitled ship
    // is saved first.
    if ((m_modified || m_path.isEmpty()) && !DoFileSave())
        return;
    if (!QProcess::startDetached("xdg-email", {"--attach", m_path}))
        AfxMessageBox("Impossibile avviare il programma di posta elettronica (xdg-email).",
                      MB_OK | MB_ICONERROR);
}

namespace {

// A calculation dialog, fresh at every opening, on the document's ship.
template <class Dialog> void RunCalculationDialog(CShipModel& model) {
    Dialog dialog(QApplication::activeWindow());
    dialog.SetModel(&model);
    dialog.exec();
}

} // namespace

void CBrelundDoc::OnUprightHulls() {
    RunCalculationDialog<CUprightHullsDlg>(m_model);
}
void CBrelundDoc::OnInclinedHulls() {
    RunCalculationDialog<CInclinedHullsDlg>(m_model);
}
void CBrelundDoc::OnBonjean() {
    RunCalculationDialog<CBonjeanDlg>(m_model);
}
void CBrelundDoc::OnSubmergedTrim() {
    RunCalculationDialog<CSubmergedTrimDlg>(m_model);
}
void CBrelundDoc::OnHydrostaticCurves() {
    RunCalculationDialog<CHydrostaticCurvesDlg>(m_model);
}
void CBrelundDoc::OnTankTables() {
    CTankTablesDlg dialog(QApplication::activeWindow());
    dialog.SetModel(&m_model);
    dialog.SetSoundingPipes(m_conditions.SoundingPipes());
    dialog.exec();
}

void CBrelundDoc::OnPrintReport() {
    if (!m_conditions_writable)
        AfxMessageBox(QString::fromUtf8("La relazione non avrà condizioni di carico: %1")
                          .arg(m_conditions_fault),
                      MB_OK | MB_ICONWARNING);
    QString name = GetTitle();
    if (name.endsWith(kShipExtension))
        name.chop(static_cast<int>(std::strlen(kShipExtension)));
    ShowBookletPreview(m_model, name, m_conditions, QApplication::activeWindow());
}
