// A font file as untrusted input (read by core/FileRead.h): its table
// directory checked before the font engine sees it, so that tables pointing
// outside the file and glyph counts the file cannot hold are refused with a
// reason instead of being trusted by later reads.
#ifndef QUILLMAR_DRAW2D_FONTINPUT_H
#define QUILLMAR_DRAW2D_FONTINPUT_H

#include <cstddef>
#include <vector>

namespace qmtype {

enum class InputVerdict { Ok, Unsupported, Corrupt };

// TrueType or OpenType (or a collection, whose first face is read) with a
// table directory inside the file and every table within it; otherwise
// Unsupported or Corrupt with the reason.
InputVerdict CheckFontFile(const unsigned char* data, std::size_t size, char* reason,
                           std::size_t reasonSize);

// Whether the first face's glyph count ('maxp') is covered by its glyph
// locations ('loca', sized by 'head'); true for fonts without them (CFF
// outlines). CheckFontFile must have passed.
bool CheckGlyphCount(const unsigned char* data, std::size_t size, char* reason,
                     std::size_t reasonSize);

}  // namespace qmtype

#endif
