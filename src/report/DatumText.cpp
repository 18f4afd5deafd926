#include "DatumText.h"

#include "platform/NumberText.h"

void AddDatumColumns(CRecordTable& table) {
    table.columns.insert(table.columns.end(), {{"baseline[m]", "baseline_m"},
                                               {"AP[m]", "AP_m"},
                                               {"FP[m]", "FP_m"},
                                               {"Lpp[m]", "Lpp_m"},
                                               {"midship[m]", "midship_m"},
                                               {"perpendiculars", "perpendiculars"}});
}

void AddDatumCells(const CShipDatums& d, std::vector<CRecordCell>& row) {
    std::string source = "given";
    if (d.source == CShipDatums::Source::waterline)
        source = FormatC("waterline at T %g m", d.source_draught);
    else if (d.source == CShipDatums::Source::hull)
        source = "hull ends";
    row.insert(row.end(), {d.baseline, d.ap, d.fp, d.Lpp(), d.Midship(), source});
}

CRecordTable HydrostaticsDatums(const CShipDatums& datums, double heel, double trim,
                                double density) {
    CRecordTable head;
    AddDatumColumns(head);
    head.columns.insert(
        head.columns.end(),
        {{"heel[deg]", "heel_deg"}, {"trim[deg]", "trim_deg"}, {"density[t/m^3]", "density_t_m3"}});
    head.rows.emplace_back();
    AddDatumCells(datums, head.rows.back());
    head.rows.back().insert(head.rows.back().end(), {heel, trim, density});
    return head;
}

std::string WriteHydrostaticsReport(const CRecordTable& curves, const CShipDatums& datums,
                                    double heel, double trim, double density, RecordFormat format,
                                    int digits) {
    const CRecordTable head = HydrostaticsDatums(datums, heel, trim, density);
    return WriteRecordSections({{"datums", &head, true}, {"curves", &curves, false}}, format,
                               digits);
}
