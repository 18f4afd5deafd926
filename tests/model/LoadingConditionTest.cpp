// Loading conditions: their totals against hand sums, and the conditions
// file kept beside the ship: read back as written, damage refused.
#include "TestShips.h"
#include "support/ByteBuilder.h"

#include "model/CShipModel.h"
#include "model/ConditionsFile.h"
#include "model/ShipFile.h"
#include "platform/CFileException.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>

namespace {

std::string Text(const std::string& path) {
    const auto bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

// A 30 x 8 x 3 m box with two 4 x 3 x 2 m box tanks, from z 0.5 to 2.5,
// their loads stored: "fore" at x 10..14 0.4 full of 0.95 t/m^3, "aft" at
// x 2..6 holding 6 m^3 of 1 t/m^3.
void BoxShipWithTanks(CShipModel& ship) {
    ship.AddElement(kindHull)->Append(BoxMesh(0, -4, 0, 30, 4, 3));
    auto* fore = static_cast<CTank*>(ship.AddElement(kindTank));
    fore->SetName("fore");
    fore->Append(BoxMesh(10, -1.5, 0.5, 14, 1.5, 2.5));
    fore->SetSpecificWeight(950);
    fore->SetFillingRatio(0.4);
    auto* aft = static_cast<CTank*>(ship.AddElement(kindTank));
    aft->SetName("aft");
    aft->Append(BoxMesh(2, -1.5, 0.5, 6, 1.5, 2.5));
    aft->SetSpecificWeight(1000);
    aft->SetLoadVolume(6);
}

} // namespace

TEST(LoadingCondition, TotalsAreTheHandSumsAndTheShipKeepsItsLoads) {
    CShipModel ship;
    BoxShipWithTanks(ship);
    CLoadingCondition c;
    c.name = "half";
    c.lightship = 100;
    c.lcg = 15;
    c.vcg = 2;
    c.items = {{"stores", 10, 20, 1, 3}};
    // "fore" half full of 1.025 t/m^3: 12 m^3 at (12, 0, 1.0); "aft" keeps
    // its 6 m^3 of 1 t/m^3 at (4, 0, 0.75); "none" is no tank of the ship.
    c.tanks = {{"fore", CConditionTankLoad::Given::filling, 0.5, 1.025},
               {"none", CConditionTankLoad::Given::volume, 3, 1}};
    const CConditionTotals t = ConditionTotals(ship, c);
    const double fore = 12 * 1.025, aft = 6, d = 100 + 10 + fore + aft;
    ASSERT_TRUE(t.centre_found);
    EXPECT_NEAR(t.displacement, d, 1e-12);
    EXPECT_NEAR(t.g.X(), (100 * 15 + 10 * 20 + fore * 12 + aft * 4) / d, 1e-12);
    EXPECT_NEAR(t.g.Y(), 10.0 / d, 1e-12);
    EXPECT_NEAR(t.g.Z(), (100 * 2 + 10 * 3 + fore * 1.0 + aft * 0.75) / d, 1e-12);
    EXPECT_EQ(UnknownTanks(ship, c), std::vector<std::string>{"none"});
    const CTank& stored = *ship.Tanks().GetAt(1);
    EXPECT_EQ(stored.GetLoadVolume(), 0.4 * 24);
    EXPECT_EQ(stored.GetSpecificWeight(), 950);
    // A load that does not fit its tank leaves the centre unknown, the
    // weight standing.
    c.tanks[0] = {"fore", CConditionTankLoad::Given::volume, 30, 1};
    const CConditionTotals over = ConditionTotals(ship, c);
    EXPECT_FALSE(over.centre_found);
    EXPECT_NEAR(over.displacement, 100 + 10 + 30 + aft, 1e-12);
}

TEST(ConditionsFile, ReadsBackWhatItWroteBitForBit) {
    EXPECT_EQ(ConditionsPathOf("dir/SHIP.nav"), "dir/SHIP.conditions.json");
    EXPECT_EQ(ConditionsPathOf("dir.nav/ship"), "dir.nav/ship.conditions.json");
    EXPECT_EQ(ConditionsPathOf("ship.nav.bak"), "ship.nav.bak.conditions.json");

    const std::string ship = TestPath("round-trip.nav");
    CLoadingConditions none;
    ASSERT_TRUE(none.Add(CLoadingCondition{.name = "stale"}));
    std::remove(ConditionsPathOf(ship).c_str());
    EXPECT_FALSE(LoadConditionsFile(ship, none));
    EXPECT_TRUE(none.Empty());

    CLoadingConditions conditions;
    CLoadingCondition a;
    a.name = "Partenza \"piena\"\n\xc3\xa8";
    a.lightship = 0.1 + 0.2; // 0.30000000000000004
    a.lcg = 1.0 / 3;
    a.tcg = -0.0;
    a.vcg = 5e-324;
    a.items = {{"stores", 12.5, 1e-7, -2, 3.25}, {"", 0, 0, 0, 0}};
    a.tanks = {{"cassa 1", CConditionTankLoad::Given::filling, 0.7, 0.85},
               {"cassa 2", CConditionTankLoad::Given::volume, 21.6, 1.0 / 7}};
    a.water_density = 1.0 + 1e-15;
    a.flooding = 35.5;
    a.windage = {{"tuga", 0.1 + 0.7, 1.0 / 3}, {"gru", 12, -0.0}};
    a.bilge_keel_area = 2.0 / 3;
    a.sharp_bilges = true;
    ASSERT_TRUE(conditions.Add(a));
    CLoadingCondition b;
    b.name = "Arrivo";
    b.lightship = 300;
    ASSERT_TRUE(conditions.Add(b));
    EXPECT_FALSE(conditions.Add(b));
    conditions.Openings() = {{"porta", 50.5, -4, 7.25, false}, {"boccaporto", 1.0 / 3, 0, 9, true}};
    conditions.DamageCases() = {{"sala macchine", {{"sala macchine", 0.85}, {"stiva", {}}}, 8.5},
                                {"prua", {{"gavone", {}}}, {}}};
    conditions.SoundingPipes() = {{"cassa 1", 10, 1, 0.5, 0.1, 0, 1}};
    StoreConditionsFile(conditions, ship);

    CLoadingConditions read;
    ASSERT_TRUE(LoadConditionsFile(ship, read));
    EXPECT_EQ(read, conditions);
    const CLoadingCondition& r = read.All().at(0);
    const double exact = 0.1 + 0.2;
    EXPECT_EQ(std::memcmp(&r.lightship, &exact, sizeof exact), 0);
    EXPECT_TRUE(std::signbit(r.tcg));
    EXPECT_EQ(r.vcg, 5e-324);
    EXPECT_FALSE(read.All().at(1).flooding);
    // A condition without windage, bilge keels or sharp bilges is written
    // without their keys, as before they were kept.
    CLoadingConditions plain;
    ASSERT_TRUE(plain.Add(b));
    const std::string text = ConditionsText(plain);
    for (const char* key : {"windage", "bilge_keel_area_m2", "sharp_bilges"})
        EXPECT_EQ(text.find(key), std::string::npos) << key;
}

TEST(ConditionsFile, RefusesDamageNamingItAndChangesNothing) {
    const std::string ship = TestPath("damaged.nav"), path = ConditionsPathOf(ship);
    const std::string good = R"({"format": 1, "conditions": [
        {"name": "A", "lightship": {"weight_t": 300, "lcg_m": 15, "vcg_m": 2},
         "tanks": [{"tank": "nowhere", "filling_ratio": 0.5, "density_t_m3": 1}]}]})";
    // A tank the ship lacks is no damage: the file is read.
    WriteText(path, good);
    CLoadingConditions kept;
    ASSERT_TRUE(LoadConditionsFile(ship, kept));
    ASSERT_EQ(kept.All().size(), 1u);
    EXPECT_EQ(kept.All()[0].tcg, 0);
    EXPECT_EQ(kept.All()[0].water_density, 1.025);

    const auto condition = [](const std::string& body) {
        return R"({"format": 1, "conditions": [{"name": "A", "lightship": {"weight_t": 300, )"
               R"("lcg_m": 15, "vcg_m": 2})" +
               body + "}]}";
    };
    const struct {
        std::string text, says;
    } cases[] = {
        {"{\"format\": 1,\n \"conditions\": [}",
         "not JSON text: at line 2, column 17: syntax error while parsing value"},
        {R"({"format": 2, "conditions": []})", "format 2 is not one this version reads (format 1)"},
        {R"({"conditions": []})", "the file: no \"format\""},
        {R"({"format": 1, "conditions": [{"lightship": {}}]})", "condition 1: no \"name\""},
        {condition(R"(, "water_density_t_m3": "1")"),
         "condition 1 ('A'): water_density_t_m3 is a string, not a number"},
        {condition(R"(, "draught": 2)"), "condition 1 ('A'): unknown key 'draught'"},
        {condition(R"(, "items": [{"name": "x", "weight_t": -1, "x_m": 0, "y_m": 0, "z_m": 0}])"),
         "condition 1 ('A'): item 'x': weight_t -1 is negative"},
        {condition(R"(, "tanks": [{"tank": "t", "filling_ratio": 1.5, "density_t_m3": 1}])"),
         "condition 1 ('A'): tank 't': filling_ratio 1.5 lies outside 0 to 1"},
        {condition(R"(, "tanks": [{"tank": "t", "volume_m3": 1, "density_t_m3": 0}])"),
         "condition 1 ('A'): tank 't': density_t_m3 0 is not above 0"},
        {condition(R"(, "tanks": [{"tank": "t", "volume_m3": 1, "filling_ratio": 1, )"
                   R"("density_t_m3": 1}])"),
         "condition 1 ('A'): tank 1: both filling_ratio and volume_m3: give one"},
        {condition(R"(, "flooding_angle_deg": 1e999)"), "number overflow parsing '1e999'"},
        {condition(R"(, "windage": [{"name": "tuga", "area_m2": -3, "height_m": 6}])"),
         "condition 1 ('A'): windage item 'tuga': area_m2 -3 is negative"},
        {condition(R"(, "windage": [{"name": "tuga", "area_m2": 3, "height_m": 6}, )"
                   R"({"name": "tuga", "area_m2": 1, "height_m": 7}])"),
         "condition 1 ('A'): windage item 'tuga': listed twice"},
        {condition(R"(, "windage": [{"name": "tuga", "area_m2": 3}])"),
         "condition 1 ('A'): windage item 1: no \"height_m\""},
        {condition(R"(, "bilge_keel_area_m2": -2)"),
         "condition 1 ('A'): bilge_keel_area_m2 -2 is negative"},
        {condition(R"(, "sharp_bilges": 1)"),
         "condition 1 ('A'): sharp_bilges is a number, not a boolean"},
        {R"({"format": 1, "conditions": [], "damage_cases": [{"name": "D", "compartments": [)"
         R"({"compartment": "k", "permeability": 1.2}]}]})",
         "damage case 'D': compartment 'k': permeability 1.2 lies outside 0 to 1"},
        {R"({"format": 1, "conditions": [], "sounding_pipes": [{"tank": "t", "x_m": 0, "y_m": 0, "z_m": 0, )"
         R"("direction_x": 1, "direction_y": 0, "direction_z": 0}]})",
         "sounding pipe of tank 't': the direction does not point upward"},
        {R"({"format": 1, "conditions": [{"name": "A", "lightship": {"weight_t": 1, "lcg_m": 0, )"
         R"("vcg_m": 0}}, {"name": "A", "lightship": {"weight_t": 1, "lcg_m": 0, "vcg_m": 0}}]})",
         "condition 2: the name 'A' is that of an earlier condition"},
    };
    for (const auto& c : cases) {
        WriteText(path, c.text);
        try {
            LoadConditionsFile(ship, kept);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::damaged) << c.text;
            EXPECT_EQ(e.m_file_name, path);
            EXPECT_NE(e.m_detail.find(c.says), std::string::npos) << e.m_detail;
            EXPECT_EQ(e.m_detail.find('\n'), std::string::npos) << e.m_detail;
            // The application shows the detail in Italian.
            EXPECT_FALSE(e.m_detail_italian.empty()) << e.m_detail;
        }
        EXPECT_EQ(Text(path), c.text);
        ASSERT_EQ(kept.All().size(), 1u);
        EXPECT_EQ(kept.All()[0].name, "A");
    }

    // Nor is an impossible condition written: the file stays as it was.
    WriteText(path, good);
    CLoadingConditions bad;
    ASSERT_TRUE(bad.Add(CLoadingCondition{.name = "B", .lightship = -1}));
    EXPECT_THROW(StoreConditionsFile(bad, ship), CFileException);
    EXPECT_EQ(Text(path), good);
}
