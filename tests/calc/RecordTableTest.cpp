#include "report/RecordText.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

CRecordTable Sample() {
    CRecordTable t;
    t.columns = {{"T[m]", "T_m"}, {"name, \"quoted\"", "name"}, {"V[m^3]", "volume_m3"}};
    t.rows.push_back({CRecordCell(1.5), CRecordCell("a,b \"c\"\nd"), CRecordCell(-0.0)});
    t.rows.push_back({CRecordCell(2.0 / 3), CRecordCell("tab\there"), CRecordCell()});
    t.rows.push_back({CRecordCell(std::nan("")), CRecordCell("plain"), CRecordCell(1e300 * 1e10)});
    return t;
}

} // namespace

TEST(RecordTable, TsvHasOneLinePerRowAndMarksMissingValues) {
    EXPECT_EQ(WriteRecords(Sample(), RecordFormat::tsv, 6), "T[m]\tname, \"quoted\"\tV[m^3]\n"
                                                            "1.5\ta,b \"c\" d\t0\n"
                                                            "0.666667\ttab here\t-\n"
                                                            "-\tplain\t-\n");
    EXPECT_NE(WriteRecords(Sample(), RecordFormat::tsv, 17).find("0.66666666666666663"),
              std::string::npos);
}

TEST(RecordTable, CsvQuotesAsRfc4180) {
    EXPECT_EQ(WriteRecords(Sample(), RecordFormat::csv, 6),
              "T[m],\"name, \"\"quoted\"\"\",V[m^3]\r\n"
              "1.5,\"a,b \"\"c\"\"\nd\",0\r\n"
              "0.666667,tab\there,-\r\n"
              "-,plain,-\r\n");
}

TEST(RecordTable, JsonIsAnArrayOfObjectsWithNullForMissingValues) {
    EXPECT_EQ(WriteRecords(Sample(), RecordFormat::json, 6),
              "[\n"
              "  {\"T_m\": 1.5, \"name\": \"a,b \\\"c\\\"\\nd\", \"volume_m3\": 0},\n"
              "  {\"T_m\": 0.666667, \"name\": \"tab\\there\", \"volume_m3\": null},\n"
              "  {\"T_m\": null, \"name\": \"plain\", \"volume_m3\": null}\n"
              "]\n");
    EXPECT_EQ(WriteRecords(CRecordTable(), RecordFormat::json, 6), "[]\n");
    RecordFormat f = RecordFormat::tsv;
    EXPECT_TRUE(ParseRecordFormat("json", f));
    EXPECT_EQ(f, RecordFormat::json);
    EXPECT_FALSE(ParseRecordFormat("xml", f));
}

TEST(RecordTable, SectionsAreTablesInTurnOrNamedPartsOfOneObject) {
    CRecordTable one, none;
    one.columns = {{"GM[m]", "GM_m"}, {"ok", "ok"}};
    one.rows.push_back({CRecordCell(0.25), CRecordCell("pass")});
    none.columns = one.columns;
    const std::vector<CRecordSection> parts = {
        {"points", &one, false}, {"summary", &one, true}, {"empty", &none, true}};
    EXPECT_EQ(WriteRecordSections(parts, RecordFormat::tsv, 6),
              "GM[m]\tok\n0.25\tpass\n\nGM[m]\tok\n0.25\tpass\n\nGM[m]\tok\n");
    EXPECT_EQ(WriteRecordSections(parts, RecordFormat::csv, 6),
              "GM[m],ok\r\n0.25,pass\r\n\r\nGM[m],ok\r\n0.25,pass\r\n\r\nGM[m],ok\r\n");
    EXPECT_EQ(WriteRecordSections(parts, RecordFormat::json, 6),
              "{\n  \"points\": [\n    {\"GM_m\": 0.25, \"ok\": \"pass\"}\n  ],\n"
              "  \"summary\": {\"GM_m\": 0.25, \"ok\": \"pass\"},\n  \"empty\": null\n}\n");
    // One table alone is what WriteRecords writes.
    EXPECT_EQ(WriteRecordSections({{"points", &one, false}}, RecordFormat::tsv, 6),
              WriteRecords(one, RecordFormat::tsv, 6));
}
