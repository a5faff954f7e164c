#pragma once

namespace kadrimo {

// Both divide the target dimensions first and only then scale the source
// dimension: the two roundings in that order are what the program promises,
// down to the last printed digit (640 x 1136 with width 569 gives 1009.97).
double height_for_width(double target_width, double target_height, double source_width);
double width_for_height(double target_width, double target_height, double source_height);

}  // namespace kadrimo
