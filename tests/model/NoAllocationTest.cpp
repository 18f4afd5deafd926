// The engine's evaluations walk every face of the ship many times per
// table: once its scratch space has grown, an evaluation must not touch the
// heap at all. This program counts every operator new.
#include "TestShips.h"

#include "geometry/CHydroProperties.h"
#include "geometry/CMatrix.h"
#include "geometry/ExactIntegrals.h"
#include "geometry/IntegrationRules.h"
#include "geometry/Scalar.h"
#include "model/CShipModel.h"

#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <new>

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

TEST(EngineEvaluations, AllocateNothingOnceWarm) {
    CShipModel ship;
    CShipElement* hull = ship.AddElement(kindHull);
    AddGridBox(*hull, {0, -4, 0}, {20, 4, 4}, 16, 8, 8);
    hull->Append(BoxMesh(30, -2, 0, 40, 2, 3));
    auto* room = static_cast<CCompartment*>(ship.AddElement(kindCompartment));
    room->Append(BoxMesh(5, -1, 1, 8, 1, 3));
    CRotationMatrix r;
    r.SetRotation(DegToRad(12), DegToRad(-2), 0);
    CHydroProperties p, exact;
    double sink = 0;
    auto evaluate = [&] {
        ship.ImmersedProperties(p, 2.2, r);
        sink += p.m_volume + ship.ImmersedVolume(r, 2.2) + ship.TotalVolume();
        double zmin, zmax, area, volume;
        ship.ZRange(r, zmin, zmax);
        CVector3 c;
        ship.VolumeCentroid(area, volume, c);
        sink += zmin + zmax + area + volume;
        constexpr CHydroMethod kExact = CHydroMethod::Exact();
        exact.SetCollect(false);
        ship.ImmersedProperties(exact, 2.2, r, kExact);
        ship.VolumeCentroid(area, volume, c, kExact);
        sink += exact.Volume() + ship.ImmersedVolume(r, 2.2, kExact) + ship.TotalVolume(kExact) +
                volume;
    };
    evaluate(); // grows the scratch space and the waterline
    const long before = g_allocations.load();
    for (int k = 0; k < 3; ++k)
        evaluate();
    EXPECT_EQ(g_allocations.load() - before, 0);
    EXPECT_GT(p.m_waterline.GetCount(), 40);
    EXPECT_NE(sink, 0);
}
