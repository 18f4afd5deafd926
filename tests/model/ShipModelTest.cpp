#include "TestShips.h"

#include "model/CShipModel.h"
#include "model/ElementEditing.h"

#include <gtest/gtest.h>

TEST(CShipModel, NewElementsTakeTheirKindsDefaults) {
    CShipModel ship;
    EXPECT_EQ(ship.GetSeaSpecificWeight(), 1025.0);
    CShipElement* hull = ship.AddElement(kindHull);
    auto* room = static_cast<CCompartment*>(ship.AddElement(kindCompartment));
    auto* tank = static_cast<CTank*>(ship.AddElement(kindTank));
    EXPECT_EQ(ship.AddElement(4), nullptr);
    EXPECT_EQ(ship.AddElement(0), nullptr);
    for (const CShipElement* e :
         {hull, static_cast<CShipElement*>(room), static_cast<CShipElement*>(tank)}) {
        EXPECT_TRUE(e->IsEnabled());
        EXPECT_EQ(e->GetName(), "");
        EXPECT_EQ(e->GetCount(), 0);
    }
    EXPECT_EQ(hull->GetColour(), 0x808080u);
    EXPECT_EQ(room->GetColour(), 0xC00000u);
    EXPECT_EQ(tank->GetColour(), 0x0000C0u);
    EXPECT_EQ(room->GetPermeability(), 1.0);
    EXPECT_EQ(tank->GetLoadVolume(), 0);
    EXPECT_EQ(tank->GetFillingRatio(), 0);
    EXPECT_EQ(tank->GetSpecificWeight(), 1.0);
    EXPECT_EQ(ship.GetElementCount(), 3);
    ship.Clear();
    EXPECT_EQ(ship.GetElementCount(), 0);
    EXPECT_EQ(ship.GetSeaSpecificWeight(), 1025.0);
}

TEST(CShipModel, FindElementSearchesHullThenCompartmentsThenTanks) {
    CShipModel ship;
    ship.AddElement(kindTank)->SetName("A");
    ship.AddElement(kindCompartment)->SetName("A");
    ship.AddElement(kindCompartment)->SetName("B");
    CShipElement* hull = ship.AddElement(kindHull);
    hull->SetName("A");
    int kind = 0;
    EXPECT_EQ(ship.FindElement("A", &kind), hull);
    EXPECT_EQ(kind, kindHull);
    EXPECT_EQ(ship.FindElement("B", &kind), ship.Compartments().GetAt(2));
    EXPECT_EQ(kind, kindCompartment);
    EXPECT_EQ(ship.FindElement("a"), nullptr); // case-sensitive
    EXPECT_FALSE(ship.ContainsName("A "));
    // Deleting by name removes the first match only, in the same order.
    EXPECT_TRUE(ship.DeleteElement("A"));
    EXPECT_EQ(ship.HullElements().GetCount(), 0);
    EXPECT_TRUE(ship.DeleteElement("A"));
    EXPECT_EQ(ship.Compartments().GetCount(), 1);
    EXPECT_EQ(ship.FindElement("A", &kind), ship.Tanks().GetAt(1));
    EXPECT_EQ(kind, kindTank);
    EXPECT_TRUE(ship.DeleteElement("A"));
    EXPECT_FALSE(ship.DeleteElement("A"));
}

TEST(CShipElement, VolumeSumsEveryMeshAndFollowsOrientation) {
    CShipElement e;
    e.Append(BoxMesh(0, 0, 0, 4, 3, 2));    // 24 m^3
    e.Append(BoxMesh(10, 0, -1, 11, 1, 1)); // 2 m^3, partly below z = 0
    EXPECT_NEAR(e.Volume(), 26.0, 1e-12);
    EXPECT_EQ(e.GetFaceCount(), 24);
    e.InvertNormals();
    EXPECT_NEAR(e.Volume(), -26.0, 1e-12);
    e.InvertNormals();
    EXPECT_NEAR(e.Volume(), 26.0, 1e-12);
}

TEST(CTank, LoadSettersClampToTheTankVolume) {
    CTank tank;
    // Without meshes the volume is 0: every load is 0.
    tank.SetLoadVolume(5);
    EXPECT_EQ(tank.GetLoadVolume(), 0);
    EXPECT_EQ(tank.GetFillingRatio(), 0);
    tank.SetFillingRatio(0.5);
    EXPECT_EQ(tank.GetLoadVolume(), 0);

    tank.Append(BoxMesh(0, 0, 0, 4, 3, 2)); // 24 m^3
    tank.SetLoadVolume(6);
    EXPECT_NEAR(tank.GetLoadVolume(), 6, 1e-12);
    EXPECT_NEAR(tank.GetFillingRatio(), 0.25, 1e-12);
    tank.SetLoadVolume(100); // more than the tank holds
    EXPECT_EQ(tank.GetLoadVolume(), tank.Volume());
    EXPECT_EQ(tank.GetFillingRatio(), 1);
    tank.SetLoadVolume(-3);
    EXPECT_EQ(tank.GetLoadVolume(), 0);
    EXPECT_EQ(tank.GetFillingRatio(), 0);
    tank.SetFillingRatio(1.7);
    EXPECT_EQ(tank.GetFillingRatio(), 1);
    EXPECT_EQ(tank.GetLoadVolume(), tank.Volume());
    tank.SetFillingRatio(-0.2);
    EXPECT_EQ(tank.GetFillingRatio(), 0);
    EXPECT_EQ(tank.GetLoadVolume(), 0);
    tank.SetFillingRatio(0.4);
    EXPECT_NEAR(tank.GetLoadVolume(), 9.6, 1e-12);

    tank.SetSpecificWeight(-3);
    EXPECT_EQ(tank.GetSpecificWeight(), 0);
    tank.SetSpecificWeight(850);
    EXPECT_NEAR(tank.GetLoadWeight(), 0.850 * 9.6, 1e-12); // [t]

    // A tank meshed inwards has a negative volume: a filling ratio gives no load.
    tank.InvertNormals();
    tank.SetFillingRatio(0.5);
    EXPECT_EQ(tank.GetLoadVolume(), 0);
}

TEST(CShipModel, SwapExchangesWholeShipsWithoutMovingElements) {
    CShipModel shown;
    CShipModel read;
    CShipElement* hull = shown.AddElement(kindHull);
    hull->SetName("old hull");
    CShipElement* tank = read.AddElement(kindTank);
    tank->SetName("new tank");
    read.AddElement(kindCompartment)->SetName("new room");

    shown.Swap(read);
    EXPECT_EQ(shown.GetElementCount(), 2);
    EXPECT_EQ(shown.Tanks().GetAt(1), tank); // the same object, not a copy
    EXPECT_EQ(shown.HullElements().GetCount(), 0);
    EXPECT_EQ(read.GetElementCount(), 1);
    EXPECT_EQ(read.FindElement("old hull"), hull);
}

TEST(CShipModel, DetachedElementGoesBackWholeAtItsPlace) {
    CShipModel ship;
    for (const char* name : {"t1", "t2", "t3"})
        ship.AddElement(kindTank)->SetName(name);
    auto* tank = static_cast<CTank*>(ship.Tanks().GetAt(2));
    tank->Append(BoxMesh(0, 0, 0, 4, 3, 2)); // 24 m^3
    tank->SetSpecificWeight(850);
    tank->SetFillingRatio(0.25);
    int kind = 0, index = 0;
    ASSERT_TRUE(ship.LocateElement(tank, kind, index));
    EXPECT_EQ(kind, kindTank);
    EXPECT_EQ(index, 2);

    std::unique_ptr<CShipElement> taken = ship.DetachElement(kindTank, 2);
    EXPECT_EQ(taken.get(), tank);
    EXPECT_FALSE(ship.LocateElement(tank, kind, index));
    EXPECT_EQ(ship.Tanks().GetAt(2)->GetName(), "t3");
    EXPECT_EQ(ship.DetachElement(kindTank, 3), nullptr);
    EXPECT_EQ(ship.DetachElement(4, 1), nullptr);

    // Only a list of its own class takes it: a tank is no compartment or hull.
    EXPECT_EQ(ship.InsertElement(kindCompartment, 1, taken), nullptr);
    EXPECT_EQ(ship.InsertElement(kindHull, 1, taken), nullptr);
    ASSERT_EQ(taken.get(), tank);
    EXPECT_EQ(ship.InsertElement(kindTank, 2, taken), tank);
    EXPECT_EQ(taken, nullptr);
    EXPECT_EQ(ship.Tanks().GetAt(2), tank);
    EXPECT_EQ(ship.Tanks().GetAt(3)->GetName(), "t3");
    EXPECT_NEAR(tank->Volume(), 24, 1e-12);
    EXPECT_NEAR(tank->GetLoadVolume(), 6, 1e-12); // 0.25 * 24
    EXPECT_EQ(tank->GetSpecificWeight(), 850);
}

TEST(ElementEditing, RestoredValuesAreTheValuesReadBitForBit) {
    CShipModel ship;
    ship.AddElement(kindTank)->SetName("a");
    auto* tank = static_cast<CTank*>(ship.AddElement(kindTank));
    tank->SetName("b");
    tank->Append(BoxMesh(0, 0, 0, 3, 1, 1)); // 3 m^3
    // As a ship file may hold them: a load and ratio not derived from each
    // other, a specific weight below 0 that the setter would make 0.
    tank->SetStoredLoad(-5, 1.0, 0.3);
    tank->SetEnabled(false);
    const CElementValues before = LoadElementValues(*tank, kindTank);

    CElementValues asked = before;
    asked.name = "a"; // taken: stored as "a_"
    asked.enabled = 1;
    asked.colour = 0x123456;
    asked.specific_weight = 1000;
    asked.filling_ratio = 0.5;
    StoreElementValues(ship, *tank, asked);
    const CElementValues after = LoadElementValues(*tank, kindTank);
    EXPECT_EQ(after.name, "a_");
    EXPECT_NEAR(after.load_volume, 1.5, 1e-12);

    RestoreElementValues(*tank, before);
    EXPECT_EQ(tank->GetName(), "b");
    EXPECT_FALSE(tank->IsEnabled());
    EXPECT_EQ(tank->GetColour(), before.colour);
    EXPECT_EQ(tank->GetSpecificWeight(), -5);
    EXPECT_EQ(tank->GetLoadVolume(), 1.0);
    EXPECT_EQ(tank->GetFillingRatio(), 0.3);
    RestoreElementValues(*tank, after);
    EXPECT_EQ(tank->GetName(), "a_");
    EXPECT_EQ(tank->GetLoadVolume(), after.load_volume);
    EXPECT_EQ(tank->GetFillingRatio(), 0.5);

    auto* room = static_cast<CCompartment*>(ship.AddElement(kindCompartment));
    CElementValues roomValues = LoadElementValues(*room, kindCompartment);
    roomValues.permeability = 0.85;
    RestoreElementValues(*room, roomValues);
    EXPECT_EQ(room->GetPermeability(), 0.85);
}
