#pragma once

#include "meter/reading.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace lumodm {

// A reading log's rows back as the readings they were written from. The
// columns are found by the header's names, so a log from before the
// address column, or one whose columns a spreadsheet reordered, reads as
// well. A row of a run repeats its meter, function, range and unit: what
// those give is worked out once and kept for the rows that follow.
class LogRowDecoder
{
  public:
    // Takes the header row; false when it names no time or no value column.
    bool takeHeader(const std::string_view* fields, int count);

    // The reading a row holds, into `out`; false for a row without a
    // reading: too few fields, or a time or a value that is no time or
    // number. An empty value is an overflow ("OVERFLO" in the readout) or
    // no reading, as the log writes them.
    bool decode(const std::string_view* fields, int count, Reading& out);

  private:
    enum Column { Time, Model, Function, Range, Value, Unit, Readout, Raw, Address, ColumnCount };

    // What a row's model, function, range and unit give.
    struct Context
    {
        std::string model, function, range, unit; // as written
        QString modelName, functionCode, unitText, baseUnit;
        MeterModel meter = MeterModel::None;
        UnitGroup group = UnitGroup::Other;
        std::optional<std::int16_t> rangeSetting;
        int exponent = 0; // of ten, from the unit to the base unit
        // The digit format by the readout's decimals; NaN until looked up.
        std::array<float, 10> formats{};
    };

    std::string_view field(const std::string_view* fields, Column column) const;
    Context& contextFor(const std::string_view* fields);
    void fill(Context& context, const std::string_view* fields) const;
    float digitFormat(Context& context, std::string_view readout) const;

    std::array<int, ColumnCount> index_{};
    int needed_ = 0;
    std::array<Context, 4> contexts_;
    std::size_t lastContext_ = 0;
    std::size_t nextContext_ = 0;
};

} // namespace lumodm
