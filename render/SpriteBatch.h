// The sprite queue's hooks for the rest of the library.
#ifndef QUILLMAR_RENDER_SPRITEBATCH_H
#define QUILLMAR_RENDER_SPRITEBATCH_H

namespace qmsprite {

// Draws the queued sprites (FlushSprites); every non-batched drawing call of
// the library calls it first.
void Flush();
// Flush, if the queue draws with this GL texture name (it is about to change
// or go).
void FlushIfUsing(unsigned glName);
// Forgets the queue without drawing (the window is closing).
void Discard();

}  // namespace qmsprite

#endif
