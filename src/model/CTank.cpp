#include "CTank.h"

#include "ShipFileIO.h"

void CTank::SetLoadVolume(double x) {
    const double volume = Volume();
    if (volume == 0) {
        m_load_volume = 0;
        m_filling_ratio = 0;
        return;
    }
    m_load_volume = x;
    if (volume < x)
        m_load_volume = volume;
    if (x <= 0)
        m_load_volume = 0;
    m_filling_ratio = m_load_volume / volume;
}

void CTank::SetFillingRatio(double x) {
    const double volume = Volume();
    if (volume <= 0) {
        SetLoadVolume(0);
        return;
    }
    m_filling_ratio = x > 1 ? 1 : (x < 0 ? 0 : x);
    m_load_volume = volume * m_filling_ratio;
}

void CTank::Load(CFile& file) {
    using namespace shipfile;
    m_specific_weight = ReadF64(file, "the specific weight of a tank");
    m_load_volume = ReadF64(file, "the load volume of a tank");
    m_filling_ratio = ReadF64(file, "the filling ratio of a tank");
    CShipElement::Load(file);
}

void CTank::Store(CFile& file) const {
    using namespace shipfile;
    WriteF64(file, m_specific_weight);
    WriteF64(file, m_load_volume);
    WriteF64(file, m_filling_ratio);
    CShipElement::Store(file);
}
