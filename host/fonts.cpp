// Font numbers to cell shapes for the built-in fonts (tables in font_data.cpp).
#include "host/fonts.h"

namespace host {

FontShape fontShape(int fontNumber) {
    switch (fontNumber) {
    case 8:
        return {font8x8(), 64, 0, 8, 8, false};
    case 9:
        return {font8x8(), 64, 0, 16, 8, true};
    case 14:
        return {font8x16(), 128, 1, 8, 14, false};
    case 15:
        return {font8x16(), 128, 1, 16, 14, true};
    case 17:
        return {font8x16(), 128, 0, 16, 16, true};
    default:
        return {font8x16(), 128, 0, 8, 16, false};
    }
}

} // namespace host
