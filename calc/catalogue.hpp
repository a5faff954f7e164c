#pragma once

#include <span>

namespace kadrimo {

// One row of the catalogue. A row without a menu line is accepted but not
// announced; the manual-entry row carries no dimensions of its own.
struct target_format {
    int number;
    const char* menu_line;  // Shift-JIS, or nullptr when the row is unlisted
    bool manual;
    double width;
    double height;
};

enum class target_kind { preset, manual, invalid };

struct resolved_target {
    target_kind kind;
    double width;   // meaningful for presets only
    double height;  // meaningful for presets only
};

// Every row, in number order.
std::span<const target_format> target_catalogue();

resolved_target resolve_target(int number);

}  // namespace kadrimo
