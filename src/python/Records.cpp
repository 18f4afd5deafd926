#include "Records.h"

#include <pybind11/numpy.h>

#include <cmath>
#include <limits>

namespace py = pybind11;
using namespace pybind11::literals;

namespace {

// "T[m]" -> "m", "t/m^3" -> "", "MCT1cm[t*m/cm]" -> "t*m/cm".
std::string UnitOf(const std::string& header) {
    const std::size_t open = header.find('[');
    const std::size_t close = header.rfind(']');
    if (open == std::string::npos || close == std::string::npos || close < open)
        return {};
    return header.substr(open + 1, close - open - 1);
}

py::object CellValue(const CRecordCell& cell) {
    if (cell.IsNumber() && std::isfinite(cell.Number()))
        return py::float_(cell.Number());
    if (cell.IsText())
        return py::str(cell.Text());
    return py::none();
}

py::dict Units(const CRecordTable& table) {
    py::dict units;
    for (const CRecordColumn& c : table.columns)
        units[py::str(c.key)] = UnitOf(c.header);
    return units;
}

} // namespace

py::dict RecordColumns(const CRecordTable& table) {
    py::dict out;
    const std::size_t rows = table.rows.size();
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        bool numbers = true;
        for (const auto& row : table.rows)
            numbers = numbers && !row[c].IsText();
        if (numbers) {
            py::array_t<double> column(static_cast<py::ssize_t>(rows));
            double* data = column.mutable_data();
            for (std::size_t r = 0; r < rows; ++r) {
                const CRecordCell& cell = table.rows[r][c];
                data[r] = cell.IsNumber() ? cell.Number()
                                          : std::numeric_limits<double>::quiet_NaN();
            }
            out[py::str(table.columns[c].key)] = column;
        } else {
            py::list cells;
            for (const auto& row : table.rows)
                cells.append(CellValue(row[c]));
            out[py::str(table.columns[c].key)] =
                py::module_::import("numpy").attr("array")(cells, "dtype"_a = "object");
        }
    }
    out["units"] = Units(table);
    return out;
}

py::dict RecordRow(const CRecordTable& table) {
    py::dict out;
    for (std::size_t c = 0; c < table.columns.size(); ++c)
        out[py::str(table.columns[c].key)] =
            table.rows.empty() ? py::none() : CellValue(table.rows.front()[c]);
    out["units"] = Units(table);
    return out;
}
