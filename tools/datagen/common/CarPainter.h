#pragma once
// A player car seen from above, pointing up, drawn from its style: the race picture and
// the car-selection showroom both use this, at their own scales.
#include "datagen/common/CarStyles.h"

#include <cairo.h>

namespace vorlane::datagen {

// Draws the car filling the race picture's box: (0, 0) to (style.imageWidth,
// style.imageHeight) in the current user space (scale or rotate cr beforehand for other
// sizes). With `shadow`, a soft drop shadow is painted under the body first.
void PaintTopDownCar(cairo_t* cr, const CarStyle& style, bool shadow);

} // namespace vorlane::datagen
