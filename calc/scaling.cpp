#include "scaling.hpp"

namespace kadrimo {

double height_for_width(double target_width, double target_height, double source_width) {
    const double ratio = target_height / target_width;
    return ratio * source_width;
}

double width_for_height(double target_width, double target_height, double source_height) {
    const double ratio = target_width / target_height;
    return ratio * source_height;
}

}  // namespace kadrimo
