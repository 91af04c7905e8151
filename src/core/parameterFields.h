#pragma once
// The parameter block's fields by name, with the range each value may take, for the command
// line (--set NAME=VALUE, --help) and for repairing a block read from a damaged file.
#include "core/parameterBlock.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vellora {

enum class FieldKind { Integer, Path };

struct ParameterField {
    std::string_view name;         // e.g. "tileCountWide", "cropLeft", "userFilterMask"
    std::size_t offset;            // byte offset in ParameterBlock
    int count;                     // consecutive 32-bit values (1, 3, 4, 25), 1 for Path
    FieldKind kind;
    std::int64_t minimum, maximum; // inclusive range of each value
    std::string_view help;         // one line for --help
};

// Every field in block order; cropLeft, cropBottom, cropRight and cropTop follow cropRect as
// single-value names for its four values.
std::span<const ParameterField> parameterFields();
const ParameterField* findParameterField(std::string_view name);

// The range of value `index` of a field. Lists of different lengths share one field in places
// (colorChoice, edgeDetectChoice), so a value's range can be narrower than the field's.
std::int64_t valueMinimum(const ParameterField& field, int index);
std::int64_t valueMaximum(const ParameterField& field, int index);

// Value `index` of an integer field as stored (signed fields read as signed).
std::int64_t fieldValue(const ParameterBlock& block, const ParameterField& field, int index);

// NAME=VALUE: comma-separated values for multi-value fields; false + message on error, and the
// block unchanged.
bool setParameter(ParameterBlock& block, std::string_view name, std::string_view value,
                  std::string& error);
// The value as setParameter takes it: "8,6,5", "64", a path's text.
std::string parameterValueText(const ParameterBlock& block, const ParameterField& field);
// Out-of-range values -> the field's default; a path without its terminating zero -> empty.
void repairParameterBlock(ParameterBlock& block);
// One line per field: name, range, default and help, for --help.
std::string describeParameterFields();

} // namespace vellora
