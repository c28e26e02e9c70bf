// The library's side of Texture: the GL name to draw it with, and a record
// of stb's largest allocation so tests can see a huge claim refused early.
#ifndef QUILLMAR_DRAW2D_TEXTUREACCESS_H
#define QUILLMAR_DRAW2D_TEXTUREACCESS_H

#include "Texture.h"

#include <cstddef>

namespace qmdetail {

struct TextureAccess {
    // The texture's GL name in the current context, uploading the image or
    // the sampling first if needed; 0 when it cannot be drawn (no image, no
    // context, too large for this GL). Leaves the 2D binding as it found it.
    static unsigned Prepare(const Texture& texture);
};

// The largest single request the image decoder made since the last reset.
std::size_t LargestDecoderAllocation();
void ResetDecoderAllocationRecord();

}  // namespace qmdetail

#endif
