#pragma once
// The one table of the parameter block's fields: per field its name, place, range, default,
// save-as-default group, named choices and help line. The defaults of a fresh block, the repair
// of a block read from a damaged file, the command line's --set and --help, and the merge of
// the save-as-default groups all come from it.
#include "core/parameterBlock.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vellora {

enum class FieldKind { Integer, Path };

// The dialog whose "save as default" flag keeps a field in the saved block, in the order of
// the flags in the block (saveHiddenMenu … saveTiling). None: the field is never kept.
enum class SaveGroup {
    None,
    HiddenMenu,
    Crop,
    Resize,
    Rotate,
    Color,
    Gray,
    BlackWhite,
    Invert,
    Poster,
    Histogram,
    Smoothing,
    EdgePreserving,
    Sharpening,
    EdgeDetect,
    DeNoise,
    UserFilter,
    Tiling,
};
inline constexpr int kSaveGroupCount = int(SaveGroup::Tiling) + 1;

struct ParameterField {
    std::string_view name; // e.g. "tileCountWide", "cropLeft", "userFilterMask"
    std::size_t offset;    // byte offset in ParameterBlock
    int count;             // consecutive 32-bit values (1, 3, 4, 25), 1 for Path
    FieldKind kind;
    std::int64_t minimum, maximum; // inclusive range of each value
    std::int64_t defaultValue;     // of every value, unless `defaults` lists them one by one
    std::span<const std::int32_t> defaults;
    SaveGroup group;
    std::span<const std::string_view> choices; // value i is named choices[i]; empty: a number
    std::string_view help;                     // one line for --help
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
// The default of value `index` of a field (a path's default is empty).
std::int64_t fieldDefault(const ParameterField& field, int index);
// Out-of-range values -> the field's default; a path without its terminating zero -> empty.
void repairParameterBlock(ParameterBlock& block);
// Where a group's save-as-default flag lies in the block (not for SaveGroup::None).
std::size_t saveFlagOffset(SaveGroup group);
// The named choices of the field `name` (empty for a number field or an unknown name); the
// dialogs' lists show them.
std::span<const std::string_view> fieldChoices(std::string_view name);
// The name of a list field's value, empty for a value no choice names.
std::string_view choiceName(const ParameterField& field, std::int64_t value);
// What a field takes: "0 … 7 (default 3)", "3 values 1 … 9 (default 8,6,5)", "PATH (default
// empty)".
std::string describeFieldValues(const ParameterField& field);
// The line of one field: name, what it takes and help.
std::string describeParameterField(const ParameterField& field);
// One line per field, for --help.
std::string describeParameterFields();

} // namespace vellora
