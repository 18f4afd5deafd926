// The document: the one ship the application has open, read from and
// written to its ship file.
//
// The model object lives as long as the document: New empties it and Open
// reads the new ship aside and swaps it in only when it was read whole, so
// everything that holds a pointer to the model stays valid and a file that
// cannot be read leaves the ship shown as it was.
#pragma once

#include "model/CLoadingCondition.h"
#include "model/CShipModel.h"
#include "platform/FileIdentity.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

class CBrelundDoc : public QObject {
    Q_OBJECT
public:
    CBrelundDoc();
    ~CBrelundDoc() override;

    CShipModel& GetModel() { return m_model; }
    const CShipModel& GetModel() const { return m_model; }

    // The ship file's path; empty for a ship never saved.
    const QString& GetPathName() const { return m_path; }
    // The file's name, or "Senza titolo".
    QString GetTitle() const;

    bool IsModified() const { return m_modified; }
    // The title shows it and nothing is thrown away without asking. The
    // undo stack sets it: a change marks the ship changed, and undoing
    // back to the ship as saved (or opened) clears the mark.
    void SetModifiedFlag(bool modified = true);

    // The ship's loading conditions, read from and written to the
    // conditions file beside the ship file with it.
    const CLoadingConditions& GetConditions() const { return m_conditions; }
    // False after an open whose conditions file could not be read: the
    // document then holds none, leaves that file as it is on disk at every
    // save, and refuses new conditions until a ship is opened again.
    bool ConditionsWritable() const { return m_conditions_writable; }
    // Why they are not: the reading's failure in the application's words;
    // empty when they are writable.
    const QString& ConditionsFault() const { return m_conditions_fault; }
    // Replaces the conditions as one change that undo takes back (text:
    // what the undo menu calls it); false, nothing changed, when the
    // conditions are not writable.
    bool SetConditions(const CLoadingConditions& conditions, const QString& text);

    // Every change made to the ship, to undo and redo; emptied by New and
    // Open, and clean where the ship was saved.
    QUndoStack& UndoStack() { return m_undo; }

    // An empty ship, untitled.
    void OnNewDocument();
    // Reads the ship file; on failure says why and keeps the ship shown.
    bool OnOpenDocument(const QString& path);
    // Writes the ship file; on failure says why and keeps the previous file.
    bool OnSaveDocument(const QString& path);

    // Save: to the ship's own file, asking for a name when it has none and
    // before overwriting a file another program changed since it was read;
    // that look, the question and the save all happen under the ship's lock.
    bool DoFileSave();
    // Save as: asks for a name (empty proposes the ship's own) and saves there.
    bool DoSave(const QString& path, bool replace = true);
    // Before the ship is replaced or the program ends: asks whether to save a
    // changed ship. False when the person cancels or the save failed.
    bool SaveModified();

    // The desktop's mail composer with the ship file attached, when the
    // desktop offers one.
    static bool CanSendMail();
    void OnFileSendMail();

    // The calculation commands, each on this document's model.
    void OnUprightHulls();
    void OnInclinedHulls();
    void OnBonjean();
    void OnSubmergedTrim();
    void OnHydrostaticCurves();
    // "Tabelle casse", its tanks sounded along the conditions' pipes.
    void OnTankTables();
    // "Stampa relazione…": the stability booklet of the ship and its
    // conditions, previewed, printed or saved as PDF.
    void OnPrintReport();

signals:
    // The title or the changed mark is different.
    void titleChanged();
    // New or Open replaced the ship: views start over.
    void initialUpdate();
    // The ship changed: views redraw.
    void updateAllViews();
    // The loading conditions changed (an edit, its undo, New or Open).
    void conditionsChanged();

private:
    void SetPathName(const QString& path);
    // True when the file at m_path is no longer the one read or last saved.
    bool ChangedOnDisk() const;

    friend class CConditionsCommand;
    void PutConditions(const CLoadingConditions& conditions);

    CShipModel m_model;
    CLoadingConditions m_conditions;
    bool m_conditions_writable = true;
    QString m_conditions_fault;
    QString m_path;
    bool m_modified = false;
    CFileIdentity m_identity;
    QUndoStack m_undo;
};
