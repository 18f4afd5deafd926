#include "CShipModel.h"
#include "LoadNotes.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <string_view>

#include "ShipFileIO.h"
#include "geometry/CSectionContour.h"

void CShipModel::Clear() {
    m_tanks.RemoveAll();
    m_compartments.RemoveAll();
    m_hull.RemoveAll();
    m_sea_specific_weight = kSeaWaterSpecificWeight;
}

void CShipModel::Swap(CShipModel& other) noexcept {
    m_hull.Swap(other.m_hull);
    m_tanks.Swap(other.m_tanks);
    m_compartments.Swap(other.m_compartments);
    std::swap(m_sea_specific_weight, other.m_sea_specific_weight);
}

CShipElement* CShipModel::AddElement(int kind) {
    switch (kind) {
    case kindHull:
        return m_hull.Append(std::make_unique<CShipElement>());
    case kindCompartment:
        return m_compartments.Append(std::make_unique<CCompartment>());
    case kindTank:
        return m_tanks.Append(std::make_unique<CTank>());
    default:
        return nullptr;
    }
}

namespace {
template <class List> int FindIn(const List& list, const std::string& name) {
    for (int i = 1; i <= list.GetCount(); ++i)
        if (list.GetAt(i)->GetName() == name)
            return i;
    return 0;
}
} // namespace

CShipElement* CShipModel::FindElement(const std::string& name, int* kind) {
    const CShipModel& self = *this;
    return const_cast<CShipElement*>(self.FindElement(name, kind));
}

const CShipElement* CShipModel::FindElement(const std::string& name, int* kind) const {
    if (int i = FindIn(m_hull, name)) {
        if (kind)
            *kind = kindHull;
        return m_hull.GetAt(i);
    }
    if (int i = FindIn(m_compartments, name)) {
        if (kind)
            *kind = kindCompartment;
        return m_compartments.GetAt(i);
    }
    if (int i = FindIn(m_tanks, name)) {
        if (kind)
            *kind = kindTank;
        return m_tanks.GetAt(i);
    }
    return nullptr;
}

bool CShipModel::DeleteElement(const std::string& name) {
    if (int i = FindIn(m_hull, name))
        return m_hull.RemoveAt(i);
    if (int i = FindIn(m_compartments, name))
        return m_compartments.RemoveAt(i);
    if (int i = FindIn(m_tanks, name))
        return m_tanks.RemoveAt(i);
    return false;
}

bool CShipModel::LocateElement(const CShipElement* element, int& kind, int& index) const {
    const auto search = [&](const auto& list, int code) {
        for (int i = 1; i <= list.GetCount(); ++i)
            if (list.GetAt(i) == element) {
                kind = code;
                index = i;
                return true;
            }
        return false;
    };
    return element != nullptr &&
           (search(m_hull, kindHull) || search(m_compartments, kindCompartment) ||
            search(m_tanks, kindTank));
}

std::unique_ptr<CShipElement> CShipModel::DetachElement(int kind, int index) {
    switch (kind) {
    case kindHull:
        return m_hull.Release(index);
    case kindCompartment:
        return m_compartments.Release(index);
    case kindTank:
        return m_tanks.Release(index);
    default:
        return nullptr;
    }
}

namespace {
// The element moved into list at index when it is of the list's class.
template <class T>
T* InsertAs(COwningList<T>& list, int index, std::unique_ptr<CShipElement>& element) {
    T* item = dynamic_cast<T*>(element.get());
    if (item == nullptr)
        return nullptr;
    element.release();
    return list.InsertAt(index, std::unique_ptr<T>(item));
}
} // namespace

CShipElement* CShipModel::InsertElement(int kind, int index,
                                        std::unique_ptr<CShipElement>& element) {
    if (!element)
        return nullptr;
    switch (kind) {
    case kindHull:
        // A compartment or a tank in the hull list would lose its own values
        // at the next save.
        if (dynamic_cast<CCompartment*>(element.get()) || dynamic_cast<CTank*>(element.get()))
            return nullptr;
        return InsertAs(m_hull, index, element);
    case kindCompartment:
        return InsertAs(m_compartments, index, element);
    case kindTank:
        return InsertAs(m_tanks, index, element);
    default:
        return nullptr;
    }
}

int CShipModel::GetElementCount() const {
    return m_hull.GetCount() + m_compartments.GetCount() + m_tanks.GetCount();
}

namespace {
// Each element record takes at least this many bytes: enabled flag, colour,
// name length and mesh count.
constexpr std::uint64_t kMinElementBytes = 13;

template <class T> void LoadList(CFile& file, COwningList<T>& list, shipfile::CFieldName what) {
    const std::uint64_t at = file.GetPosition();
    const std::int32_t count = shipfile::ReadI32(file, what);
    if (count < 0)
        loadnotes::Note({FormatC("%s at byte %llu is negative (%d): read as none", what.english,
                                 static_cast<unsigned long long>(at), count),
                         FormatC("%s al byte %llu è negativo (%d): letto come nessuno",
                                 what.italian, static_cast<unsigned long long>(at), count)});
    for (std::int32_t i = 1; i <= count; ++i) {
        shipfile::Require(file, kMinElementBytes,
                          {"an element record", "il record di un elemento"});
        list.Append(std::make_unique<T>())->Load(file);
    }
}

template <class T> void StoreList(CFile& file, const COwningList<T>& list) {
    shipfile::WriteI32(file, list.GetCount());
    for (int i = 1; i <= list.GetCount(); ++i)
        list.GetAt(i)->Store(file);
}
} // namespace

bool CShipModel::HullExtents(CVector3& min, CVector3& max) const {
    return ExtentsOf(m_hull, min, max);
}

bool CShipModel::Section(double x, CSectionContour& contour) const {
    for (int i = 1; i <= m_hull.GetCount(); ++i)
        if (m_hull.GetAt(i)->IsEnabled())
            m_hull.GetAt(i)->AddSections(x, contour);
    return contour.GetCount() > 0;
}

void CShipModel::Load(CFile& file) {
    file.SeekToBegin();
    Clear();
    try {
        LoadList(file, m_hull, {"the hull element count", "il numero di elementi scafo"});
        LoadList(file, m_compartments, {"the compartment count", "il numero di compartimenti"});
        LoadList(file, m_tanks, {"the tank count", "il numero di casse"});
    } catch (...) {
        Clear();
        throw;
    }
    const std::uint64_t end = file.GetPosition(), length = file.GetLength();
    if (end < length)
        loadnotes::Note(BRELUND_SAY("%llu bytes after the last tank, from byte %llu, were not read",
                                    "%llu byte dopo l'ultima cassa, dal byte %llu, non sono stati "
                                    "letti",
                                    static_cast<unsigned long long>(length - end),
                                    static_cast<unsigned long long>(end)));
    // Names identify elements; a file may still hold two of one name.
    std::vector<std::string_view> names;
    names.reserve(static_cast<std::size_t>(GetElementCount()));
    const auto collect = [&](const auto& list) {
        for (int i = 1; i <= list.GetCount(); ++i)
            names.emplace_back(list.GetAt(i)->GetName());
    };
    collect(m_hull);
    collect(m_compartments);
    collect(m_tanks);
    std::sort(names.begin(), names.end());
    for (std::size_t i = 1; i < names.size(); ++i)
        if (names[i] == names[i - 1] && (i < 2 || names[i - 2] != names[i])) {
            const std::string name(names[i]);
            loadnotes::Note({"two or more elements are named '" + name +
                                 "': commands by name reach the first of them only",
                             "due o più elementi si chiamano '" + name +
                                 "': i comandi per nome raggiungono solo il primo"});
        }
}

void CShipModel::Store(CFile& file) const {
    file.SeekToBegin();
    StoreList(file, m_hull);
    StoreList(file, m_compartments);
    StoreList(file, m_tanks);
}
