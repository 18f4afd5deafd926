#include "CPolygon.h"

double CPolygon::Volume() {
    const int n = GetCount();
    if (n < 3)
        return 0;
    double volume = 0;
    m_scratch.V(1) = *GetAt(1);
    for (int i = 2; i <= n - 1; ++i) {
        m_scratch.V(2) = *GetAt(i);
        m_scratch.V(3) = *GetAt(i + 1);
        volume += m_scratch.VolumeContribution();
    }
    return volume;
}
