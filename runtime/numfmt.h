// Single to text: the one number format the player ever sees.
#pragma once

#include "runtime/strings.h"

namespace rt {

// A new temporary string: " " or "-" first, at most seven significant digits,
// no trailing zeros, no "0" before the point, scientific from 1E+07 on.
RuntimeString* singleToText(float x);

} // namespace rt
