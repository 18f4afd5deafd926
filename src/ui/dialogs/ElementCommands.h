// The changes a person makes to the ship in the element tree, each as an
// undoable command of the document's undo stack: an element added or
// deleted, its properties edited, its normals turned.
//
// A command finds its element by kind and position: the stack undoes and
// redoes in order, so the ship is always as the command left it or found
// it. An element taken out of the ship (an add undone, a deletion done)
// lives in its command until the command is dropped.
#pragma once

#include "model/ElementEditing.h"

#include <QUndoCommand>

#include <functional>
#include <memory>

class CShipElement;
class CShipModel;

// Called after every do, undo and redo with the element to select in the
// tree (the one added, restored or edited), or null to keep the selection.
using CShipEdited = std::function<void(const CShipElement* select)>;

class CElementCommand : public QUndoCommand {
protected:
    CElementCommand(const QString& text, CShipModel& ship, int kind, int index, CShipEdited edited);
    CShipElement* Element() const;
    void Edited(const CShipElement* select) const;

    CShipModel& m_ship;
    int m_kind;
    int m_index;

private:
    CShipEdited m_edited;
};

// "Aggiungi elemento": element, read from its file and named already, put
// into the kind's list at index; undo takes it back out.
class CAddElementCommand : public CElementCommand {
public:
    CAddElementCommand(CShipModel& ship, int kind, int index, std::unique_ptr<CShipElement> element,
                       CShipEdited edited);
    void redo() override;
    void undo() override;

private:
    std::unique_ptr<CShipElement> m_element; // while not in the ship
};

// "Elimina elemento": the element at index of the kind's list taken out;
// undo puts it back there with its meshes and values.
class CDeleteElementCommand : public CElementCommand {
public:
    CDeleteElementCommand(CShipModel& ship, int kind, int index, CShipEdited edited);
    void redo() override;
    void undo() override;

private:
    std::unique_ptr<CShipElement> m_element; // while not in the ship
};

// "Proprietà elemento": the element's values as read before the edit and
// after it, each put back exactly (RestoreElementValues).
class CElementValuesCommand : public CElementCommand {
public:
    CElementValuesCommand(CShipModel& ship, int kind, int index, CElementValues before,
                          CElementValues after, CShipEdited edited);
    void redo() override;
    void undo() override;

private:
    CElementValues m_before;
    CElementValues m_after;
};

// "Inverti Versori": every face of the element reversed; its own inverse.
class CInvertNormalsCommand : public CElementCommand {
public:
    CInvertNormalsCommand(CShipModel& ship, int kind, int index, CShipEdited edited);
    void redo() override;
    void undo() override;
};
