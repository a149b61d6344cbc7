// Code page 437: the character set of the text screen.
//
// cp437ToUnicode[n] is the Unicode code point of the glyph the font draws for
// character n: 1..31 and 127 are the PC's picture glyphs (☺ ☻ ♥ ... ▼, ⌂),
// 128..255 the accented letters, box drawing and symbols, 255 the no-break
// space. Character 0 draws as a blank and is given as 0. The keyboard model
// maps typed characters back through it (first match wins); the renderer and
// the replay driver use it to name glyphs.
#pragma once

#include <cstdint>

namespace host {

extern const std::uint16_t cp437ToUnicode[256];

} // namespace host
