#include "CPolygon.h"

#include "CHydroProperties.h"
#include "PolygonIntegrals.h"

double CPolygon::Volume() const {
    return polygon::Volume(Data(), GetCount());
}

void CPolygon::Properties(double& area, double& volume, CVector3& moments) const {
    polygon::Properties(Data(), GetCount(), area, volume, moments);
}

void CPolygon::ImmersedProperties(CHydroProperties& result) const {
    result.Reset();
    CImmersedSums sums;
    polygon::Immersed(Data(), GetCount(), result.m_collect, sums, &result.m_waterline);
    result.m_volume = sums.volume;
    result.m_wetted_area = sums.wetted_area;
    result.m_moments = sums.moments;
}
