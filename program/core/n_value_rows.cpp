#include "core/n_value_rows.h"

#include <stdexcept>

NPoint KeptNPoint(const NGridRow& row) {
    if (row.filled && row.values.Depth > 0)
        return row.values;
    return kBlankNPoint;
}

void TakeNRows(std::vector<NPoint>& points, const std::vector<NGridRow>& rows) {
    points.resize(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        points[i] = KeptNPoint(rows[i]);
}

void TakeNRow(std::vector<NPoint>& points, int32_t row, const NGridRow& gridRow) {
    if (row < 1)
        return;
    const auto index = static_cast<size_t>(row - 1);
    if (!gridRow.filled) {
        if (index < points.size())
            points[index] = kBlankNPoint;
        return;
    }
    if (index >= points.size())
        points.resize(index + 1, kBlankNPoint);
    points[index] = KeptNPoint(gridRow);
}

std::optional<NPoint> NPointToShow(const std::vector<NPoint>& points, int32_t row) {
    if (row < 1 || static_cast<size_t>(row) > points.size())
        return std::nullopt;
    const NPoint& p = points[static_cast<size_t>(row - 1)];
    if (p.Depth <= 0)
        return std::nullopt;
    return p;
}

bool NRowHoldsValues(const NPoint& values, int32_t nConvert30, int32_t fcInputMode) {
    return values.N != 0 ||
           (nConvert30 == 1 && values.Penetration != 0 &&
            values.Penetration != kStandardPenetration) ||
           (fcInputMode == 1 && values.FC != 0);
}

NRowWithoutDepth SettleNRow(const NGridRow& row, bool typedValue, int32_t nConvert30,
                            int32_t fcInputMode) {
    if (!row.filled || row.values.Depth > 0)
        return NRowWithoutDepth::Keep;
    if (typedValue || NRowHoldsValues(row.values, nConvert30, fcInputMode))
        return NRowWithoutDepth::Refuse;
    return NRowWithoutDepth::Clear;
}

bool NRowTakesStandardPenetration(int32_t row, int32_t firstNewRow, bool filled,
                                  double penetration) {
    return (row >= firstNewRow || !filled) && penetration == 0;
}

std::optional<double> NewNRowDepth(const std::vector<NPoint>& points, int32_t row) {
    if (row == 1)
        return 0.0;
    if (row >= 2 && static_cast<size_t>(row) == points.size() + 1)
        return points[static_cast<size_t>(row - 2)].Depth + 1;
    return std::nullopt;
}

NGridRow NGridRowOf(const InputTable& table, int32_t row) {
    return {table.iFG(row) != 0,
            {table.DataD(1, row), table.DataD(2, row), table.DataD(3, row), table.DataD(4, row)}};
}

void StartNRowsBlank(InputTable& table) {
    InputRecord blank = table.BlankRecord();
    if (blank.doubles.size() < static_cast<size_t>(kNTableDoubleSlots))
        throw std::out_of_range("not the N-value grid's table");
    blank.doubles[2] = kBlankNPoint.Penetration;
    table.SetBlankRecord(blank);
    // The rows already without data are such rows too.
    for (int32_t row = 1; row <= table.Rows(); ++row)
        if (table.iFG(row) == 0)
            table.ClearRows(row, row);
}
