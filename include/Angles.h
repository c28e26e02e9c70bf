// Heading arithmetic in degrees for steering in the plane. A positive turn increases
// the heading. Finite headings always give results in range (360 is reached only through
// float rounding); a NaN or infinite heading gives NaN.
// Not reentrant: intermediates live in static storage.
#ifndef QUILLMAR_ANGLES_H
#define QUILLMAR_ANGLES_H

#include "QuillmarExport.h"

// Turns current toward target by at most maxStep, never past it (a negative maxStep
// turns away). The direction is chosen from the whole degrees of (current - target),
// so within a degree of the target, or of the opposite heading, the turn can go the
// longer way.
QM_API float RotateToward(float current, float target, float maxStep);

// Signed shortest turn from first to second, in (-180, 180]; exactly opposite gives +180.
QM_API float DirectionDifference(float first, float second);

// The same heading brought into [0, 360].
QM_API float DirectionInRange(float heading);

#endif
