#include "TestShips.h"
#include "support/ByteBuilder.h"

#include "model/CShipModel.h"
#include "model/ShipFile.h"
#include "platform/CFileException.h"

#include <cmath>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<unsigned char> Stored(const CShipModel& ship, const std::string& name) {
    const std::string path = TestPath(name);
    StoreShipFile(ship, path);
    return ReadBytes(path);
}

// Loads bytes written by hand into ship; returns the exception's cause, or -1.
int LoadBytes(CShipModel& ship, const std::vector<unsigned char>& bytes, const std::string& name) {
    const std::string path = TestPath(name);
    WriteBytes(path, bytes);
    try {
        LoadShipFile(ship, path);
    } catch (const CFileException& e) {
        return e.m_cause;
    }
    return -1;
}

// A model with every element kind and both mesh kinds.
void FillFullShip(CShipModel& ship) {
    CShipElement* hull = ship.AddElement(kindHull);
    hull->SetName("scafo");
    hull->Append(BoxMesh(0, -4, 0, 30, 4, 3));
    hull->Append(SmallGrid());
    CShipElement* off = ship.AddElement(kindHull);
    off->SetName("appendice \xe0\xe8\xf9 \xc3\xa9"); // Latin-1 and UTF-8 bytes
    off->SetEnabled(false);
    off->SetColour(0x00123456);
    auto* room = static_cast<CCompartment*>(ship.AddElement(kindCompartment));
    room->SetName("sala macchine");
    room->SetPermeability(0.85);
    auto grid = SmallGrid();
    grid->InvertNormals();
    room->Append(std::move(grid));
    auto* tank = static_cast<CTank*>(ship.AddElement(kindTank));
    tank->SetName("cassa 1");
    tank->Append(BoxMesh(10, -1.5, 0.5, 14, 1.5, 2.5));
    tank->SetSpecificWeight(950);
    tank->SetFillingRatio(0.4);
}

// read() calls of this process so far; -1 where the kernel does not count them.
long ReadCalls() {
    std::ifstream io("/proc/self/io");
    std::string key;
    long value = 0;
    while (io >> key >> value)
        if (key == "syscr:")
            return value;
    return -1;
}

} // namespace

TEST(ShipFile, EmptyModelIsThreeZeroCounts) {
    CShipModel ship;
    EXPECT_EQ(Stored(ship, "empty.nav"), std::vector<unsigned char>(12, 0));
    ship.AddElement(kindHull);
    // 4 (H) + 13 (enabled, colour, name count 0, mesh count 0) + 4 (K) + 4 (T).
    EXPECT_EQ(Stored(ship, "bare-hull.nav").size(), 25u);
}

TEST(ShipFile, OneTriangleModelIsExactly122Bytes) {
    CShipModel ship;
    CShipElement* hull = ship.AddElement(kindHull);
    hull->SetName("h");
    auto mesh = std::make_unique<CPolyfaceMesh>();
    mesh->Allocate(3, 1);
    mesh->GetVertex(1)->Set(0, 0, 0);
    mesh->GetVertex(2)->Set(1, 0, 0);
    mesh->GetVertex(3)->Set(0, 1, 0.5);
    mesh->SetFace(1, 1, 2, 3);
    hull->Append(std::move(mesh));

    ByteBuilder expected;
    expected.I32(1).Body(true, 0x808080, "h", 1).I32(1).I32(3).I32(1);
    expected.Vertex(0, 0, 0).Vertex(1, 0, 0).Vertex(0, 1, 0.5);
    expected.I32(1).I32(2).I32(3).I32(0).I32(0);
    ASSERT_EQ(expected.Size(), 122u);
    EXPECT_EQ(Stored(ship, "one-triangle.nav"), expected.bytes);
}

TEST(ShipFile, RecordsPutCompartmentAndTankValuesBeforeTheBody) {
    CShipModel ship;
    auto* room = static_cast<CCompartment*>(ship.AddElement(kindCompartment));
    room->SetPermeability(0.6);
    auto* tank = static_cast<CTank*>(ship.AddElement(kindTank));
    tank->SetSpecificWeight(850);
    ByteBuilder expected;
    expected.I32(0);
    expected.I32(1).F64(0.6).Body(true, 0xC00000, "", 0);
    expected.I32(1).F64(850).F64(0).F64(0).Body(true, 0x0000C0, "", 0);
    EXPECT_EQ(Stored(ship, "records.nav"), expected.bytes);
}

TEST(ShipFile, RoundTripKeepsEveryByte) {
    CShipModel ship;
    FillFullShip(ship);
    const auto first = Stored(ship, "full-1.nav");

    CShipModel loaded;
    LoadShipFile(loaded, TestPath("full-1.nav"));
    ASSERT_EQ(loaded.HullElements().GetCount(), 2);
    ASSERT_EQ(loaded.Compartments().GetCount(), 1);
    ASSERT_EQ(loaded.Tanks().GetCount(), 1);
    const CShipElement* off = loaded.HullElements().GetAt(2);
    EXPECT_EQ(off->GetName(), "appendice \xe0\xe8\xf9 \xc3\xa9");
    EXPECT_FALSE(off->IsEnabled());
    EXPECT_EQ(off->GetColour(), 0x00123456u);
    const CCompartment* room = loaded.Compartments().GetAt(1);
    EXPECT_EQ(room->GetPermeability(), 0.85);
    EXPECT_FALSE(static_cast<const CGridMesh*>(room->GetAt(1))->GetOrientation());
    const CTank* tank = loaded.Tanks().GetAt(1);
    EXPECT_EQ(tank->GetSpecificWeight(), 950);
    EXPECT_NEAR(tank->GetLoadVolume(), 9.6, 1e-12);
    EXPECT_EQ(loaded.HullElements().GetAt(1)->GetAt(2)->GetType(), CMesh::typeGrid);
    EXPECT_NEAR(loaded.HullElements().GetAt(1)->Volume(), 720, 1e-9);

    EXPECT_EQ(Stored(loaded, "full-2.nav"), first);
}

TEST(ShipFile, TankValuesAreLoadedAsStored) {
    // A tank of 8 m^3 whose stored ratio does not match its load volume.
    ByteBuilder b;
    b.I32(0).I32(0).I32(1).F64(1000).F64(3).F64(0.9).Body(true, 255, "t", 0);
    CShipModel ship;
    ASSERT_EQ(LoadBytes(ship, b.bytes, "tank-values.nav"), -1);
    const CTank* tank = ship.Tanks().GetAt(1);
    EXPECT_EQ(tank->GetSpecificWeight(), 1000);
    EXPECT_EQ(tank->GetLoadVolume(), 3);
    EXPECT_EQ(tank->GetFillingRatio(), 0.9);
    EXPECT_EQ(ship.GetSeaSpecificWeight(), 1025.0);
}

TEST(ShipFile, UnknownMeshTagEndsTheElementsMeshesOnly) {
    ByteBuilder b;
    b.I32(2);
    // First hull element claims 3 meshes: a polyface, then tag 7.
    b.Body(true, 1, "a", 3).I32(1).I32(3).I32(1);
    b.Vertex(0, 0, 0).Vertex(1, 0, 0).Vertex(0, 1, 0).I32(1).I32(2).I32(3);
    b.I32(7);
    // Reading goes on with the next element after the tag.
    b.Body(false, 2, "b", 0);
    b.I32(0).I32(0);
    CShipModel ship;
    ASSERT_EQ(LoadBytes(ship, b.bytes, "unknown-tag.nav"), -1);
    ASSERT_EQ(ship.HullElements().GetCount(), 2);
    EXPECT_EQ(ship.HullElements().GetAt(1)->GetCount(), 1);
    EXPECT_EQ(ship.HullElements().GetAt(2)->GetName(), "b");
}

TEST(ShipFile, ZeroAndNegativeCountsReadNothingMore) {
    ByteBuilder b;
    b.I32(1);
    // Name count -5: empty name, no name bytes. Two meshes:
    b.U8(1).U32(9).I32(-5).I32(3);
    b.I32(1).I32(-1).I32(5);      // polyface with nv < 0: empty, no bytes
    b.I32(2).U8(0).I32(0).I32(4); // grid with M = 0: empty, no bytes
    b.I32(1).I32(3).I32(0);       // polyface with nf = 0: empty, no bytes
    b.I32(-2);                    // negative compartment count: none
    b.I32(0);
    b.Raw("trailing bytes are ignored", 26);
    CShipModel ship;
    ASSERT_EQ(LoadBytes(ship, b.bytes, "negative.nav"), -1);
    ASSERT_EQ(ship.HullElements().GetCount(), 1);
    const CShipElement* e = ship.HullElements().GetAt(1);
    EXPECT_EQ(e->GetName(), "");
    ASSERT_EQ(e->GetCount(), 3);
    EXPECT_EQ(e->GetFaceCount(), 0);
    EXPECT_EQ(ship.Compartments().GetCount(), 0);
}

TEST(ShipFile, HugeCountFailsAtOnceNamingFileAndOffset) {
    // 33 bytes claiming two billion vertices.
    ByteBuilder b;
    b.I32(1).Body(true, 0, "", 1).I32(1).I32(2000000000).I32(1).I32(0);
    ASSERT_EQ(b.Size(), 33u);
    CShipModel ship;
    ship.AddElement(kindTank); // loading replaces whatever was there
    const std::string path = TestPath("huge.nav");
    WriteBytes(path, b.bytes);
    try {
        LoadShipFile(ship, path);
        FAIL() << "a damaged file was accepted";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::damaged);
        EXPECT_EQ(e.m_file_name, path);
        EXPECT_NE(std::string(e.what()).find("huge.nav"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find("byte 29"), std::string::npos) << e.what();
    }
    EXPECT_EQ(ship.GetElementCount(), 0);

    // The same for a grid, a name and an element count.
    ByteBuilder grid;
    grid.I32(1).Body(true, 0, "", 1).I32(2).U8(1).I32(100000).I32(100000);
    ByteBuilder name;
    name.I32(1).U8(1).U32(0).I32(0x7fffffff);
    ByteBuilder elements;
    elements.I32(0x7fffffff).I32(0);
    for (const auto* bytes : {&grid.bytes, &name.bytes, &elements.bytes})
        EXPECT_EQ(LoadBytes(ship, *bytes, "huge-other.nav"), CFileException::damaged);
}

TEST(ShipFile, FaceIndexOutsideTheVerticesIsDamageAtItsByte) {
    // The one-triangle ship of 122 bytes: its three indices at bytes 102, 106
    // and 110, each of 1..3.
    for (const auto& [corner, index] : {std::pair{2, 4}, {0, 0}, {1, -1}, {2, 999}}) {
        std::int32_t indices[3] = {1, 2, 3};
        indices[corner] = index;
        ByteBuilder b;
        b.I32(1).Body(true, 0x808080, "h", 1).I32(1).I32(3).I32(1);
        b.Vertex(0, 0, 0).Vertex(1, 0, 0).Vertex(0, 1, 0.5);
        b.I32(indices[0]).I32(indices[1]).I32(indices[2]).I32(0).I32(0);
        const std::string path = TestPath("bad-index.nav");
        WriteBytes(path, b.bytes);
        CShipModel ship;
        try {
            LoadShipFile(ship, path);
            ADD_FAILURE() << "index " << index << " was accepted";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::damaged);
            EXPECT_EQ(e.m_detail, "damaged ship file at byte " + std::to_string(102 + 4 * corner) +
                                      ": triangle 1 of a mesh of 3 vertices names vertex " +
                                      std::to_string(index));
        }
        EXPECT_EQ(ship.GetElementCount(), 0);
    }
}

TEST(ShipFile, MeshWhoseSumsWouldNotBeNumbersIsDamageNamingIt) {
    // The one-triangle ship, scaled; the mesh's type tag is at byte 19.
    const struct {
        double scale;
        const char* problem;
    } cases[] = {
        {1e200, "vertex 2: its coordinate 1e+200 is too large for the sums of areas and volumes "
                "(its square is beyond the range of numbers)"},
        {std::nan(""), "vertex 2: a coordinate is not a number"},
        {1e100, "its area is beyond the range of numbers"},
    };
    for (const auto& c : cases) {
        ByteBuilder b;
        b.I32(1).Body(true, 0x808080, "h\n", 1).I32(1).I32(3).I32(1);
        b.Vertex(0, 0, 0).Vertex(c.scale, 0, 0).Vertex(0, c.scale, 0.5 * c.scale);
        b.I32(1).I32(2).I32(3).I32(0).I32(0);
        const std::string path = TestPath("huge-vertex.nav");
        WriteBytes(path, b.bytes);
        CShipModel ship;
        try {
            LoadShipFile(ship, path);
            ADD_FAILURE() << c.scale << " was accepted";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_cause, CFileException::damaged);
            EXPECT_EQ(e.m_detail, std::string("damaged ship file at byte 19: element 'h\\n', "
                                              "mesh 1: ") +
                                      c.problem);
        }
        EXPECT_EQ(ship.GetElementCount(), 0);
    }
}

TEST(ShipFile, EveryTruncatedPrefixIsDamagedAndLeavesTheModelEmpty) {
    CShipModel ship;
    FillFullShip(ship);
    // Smaller meshes keep the number of prefixes modest.
    ship.HullElements().GetAt(1)->RemoveAt(1);
    const auto whole = Stored(ship, "prefix-source.nav");
    ASSERT_GT(whole.size(), 300u);
    for (std::size_t n = 0; n < whole.size(); ++n) {
        CShipModel loaded;
        loaded.AddElement(kindHull);
        const std::vector<unsigned char> prefix(whole.begin(), whole.begin() + n);
        ASSERT_EQ(LoadBytes(loaded, prefix, "prefix.nav"), CFileException::damaged) << n;
        ASSERT_EQ(loaded.GetElementCount(), 0) << n;
    }
    CShipModel loaded;
    EXPECT_EQ(LoadBytes(loaded, whole, "prefix.nav"), -1);
}

TEST(ShipFile, MissingFileIsReportedAndSavingKeepsThePreviousFile) {
    CShipModel ship;
    const std::string missing = TestPath("no-such-folder/ship.nav");
    try {
        LoadShipFile(ship, missing);
        FAIL();
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_file_name, missing);
    }
    // Saving into a folder that does not exist fails and creates nothing.
    ship.AddElement(kindHull);
    EXPECT_THROW(StoreShipFile(ship, missing), CFileException);
}

TEST(ShipFile, LoadingReadsInLargeBlocksAcrossWhichFieldsRunWhole) {
    // 20000 elements with names of 0 to 36 bytes: fields of every length fall
    // across the reader's block boundaries.
    const int count = 20000;
    auto name = [](int i) {
        return std::string(static_cast<std::size_t>(i % 37), char('a' + i % 26));
    };
    ByteBuilder b;
    b.I32(count);
    for (int i = 0; i < count; ++i)
        b.Body(i % 3 != 0, static_cast<std::uint32_t>(i), name(i), 0);
    b.I32(0).I32(0);
    const std::string path = TestPath("many-elements.nav");
    WriteBytes(path, b.bytes);

    const long before = ReadCalls();
    CShipModel ship;
    LoadShipFile(ship, path);
    const long after = ReadCalls();
    ASSERT_EQ(ship.HullElements().GetCount(), count);
    for (int i = 1; i <= count; ++i) {
        const CShipElement* e = ship.HullElements().GetAt(i);
        ASSERT_EQ(e->GetName(), name(i - 1)) << i;
        ASSERT_EQ(e->GetColour(), static_cast<Colour>(i - 1)) << i;
        ASSERT_EQ(e->IsEnabled(), (i - 1) % 3 != 0) << i;
    }
    if (before < 0)
        GTEST_SKIP() << "no read count in /proc/self/io";
    // About 600 kB: a few dozen reads, not several per field.
    EXPECT_LT(after - before, 100);
}

TEST(ShipFile, ReadOnlyShipIsRefusedAndPathThatIsNoFileIsNotRead) {
    CShipModel ship;
    FillFullShip(ship);
    const std::string path = TestPath("read-only.nav");
    WriteBytes(path, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    try {
        StoreShipFile(ship, path);
        ADD_FAILURE() << "a read-only ship file was overwritten";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::accessDenied);
        EXPECT_NE(std::string(e.what()).find("ship file is read-only"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(ReadBytes(path), std::vector<unsigned char>(12, 0));

    // A FIFO held open for writing by this test: loading refuses it rather
    // than reading whatever comes down the pipe.
    const std::string fifo = TestPath("ship-fifo.nav");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const int writer = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ship.AddElement(kindHull);
    try {
        LoadShipFile(ship, fifo);
        ADD_FAILURE() << "a FIFO was read as a ship";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_cause, CFileException::notRegularFile) << e.what();
        EXPECT_EQ(e.m_file_name, fifo);
    }
    EXPECT_EQ(ship.GetElementCount(), 0);
    close(writer);
}
