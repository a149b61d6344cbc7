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
#include <string>

namespace host {

extern const std::uint16_t cp437ToUnicode[256];

// Appends code point u as UTF-8.
void appendUtf8(std::string& out, std::uint32_t u);
// Appends the glyph of character ch as UTF-8, as the hosts that show the
// page as text name it: characters 0 and 255 as a blank, every other one as
// its Unicode character (so no control character is ever written).
void appendGlyph(std::string& out, std::uint8_t ch);

} // namespace host
