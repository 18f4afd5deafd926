#include "ElementCommands.h"

#include "model/CShipModel.h"

#include <utility>

CElementCommand::CElementCommand(const QString& text, CShipModel& ship, int kind, int index,
                                 CShipEdited edited)
    : QUndoCommand(text), m_ship(ship), m_kind(kind), m_index(index), m_edited(std::move(edited)) {}

CShipElement* CElementCommand::Element() const {
    switch (m_kind) {
    case kindHull:
        return m_ship.HullElements().GetAt(m_index);
    case kindCompartment:
        return m_ship.Compartments().GetAt(m_index);
    case kindTank:
        return m_ship.Tanks().GetAt(m_index);
    default:
        return nullptr;
    }
}

void CElementCommand::Edited(const CShipElement* select) const {
    if (m_edited)
        m_edited(select);
}

CAddElementCommand::CAddElementCommand(CShipModel& ship, int kind, int index,
                                       std::unique_ptr<CShipElement> element, CShipEdited edited)
    : CElementCommand("Aggiungi elemento", ship, kind, index, std::move(edited)),
      m_element(std::move(element)) {}

void CAddElementCommand::redo() {
    const CShipElement* added = m_ship.InsertElement(m_kind, m_index, m_element);
    Edited(added);
}

void CAddElementCommand::undo() {
    m_element = m_ship.DetachElement(m_kind, m_index);
    Edited(nullptr);
}

CDeleteElementCommand::CDeleteElementCommand(CShipModel& ship, int kind, int index,
                                             CShipEdited edited)
    : CElementCommand("Elimina elemento", ship, kind, index, std::move(edited)) {}

void CDeleteElementCommand::redo() {
    m_element = m_ship.DetachElement(m_kind, m_index);
    Edited(nullptr);
}

void CDeleteElementCommand::undo() {
    const CShipElement* restored = m_ship.InsertElement(m_kind, m_index, m_element);
    Edited(restored);
}

CElementValuesCommand::CElementValuesCommand(CShipModel& ship, int kind, int index,
                                             CElementValues before, CElementValues after,
                                             CShipEdited edited)
    : CElementCommand("Proprietà elemento", ship, kind, index, std::move(edited)),
      m_before(std::move(before)), m_after(std::move(after)) {}

void CElementValuesCommand::redo() {
    CShipElement* element = Element();
    if (element)
        RestoreElementValues(*element, m_after);
    Edited(element);
}

void CElementValuesCommand::undo() {
    CShipElement* element = Element();
    if (element)
        RestoreElementValues(*element, m_before);
    Edited(element);
}

CInvertNormalsCommand::CInvertNormalsCommand(CShipModel& ship, int kind, int index,
                                             CShipEdited edited)
    : CElementCommand("Inverti Versori", ship, kind, index, std::move(edited)) {}

void CInvertNormalsCommand::redo() {
    if (CShipElement* element = Element())
        element->InvertNormals();
    Edited(nullptr);
}

void CInvertNormalsCommand::undo() {
    redo();
}
