// 2D segment and circle tests, in any 2D unit (window pixels on the 2D layer).
// Touching counts as a hit for LineCircleCollision but not for CircleCircleCollision.
#ifndef QUILLMAR_COLLISION_H
#define QUILLMAR_COLLISION_H

#include "QuillmarExport.h"
#include "Vector2D.h"

// Point of segment a-b nearest to p. A segment shorter than 0.00001 counts as the point a.
QM_API Vector2D ClosestPointSeg(Vector2D a, Vector2D b, Vector2D p);

// True when the segment reaches the circle, boundary included (and for a NaN distance or radius).
QM_API bool LineCircleCollision(Vector2D start, Vector2D end, Vector2D centre, float radius);

// True when the circles overlap; touching, and any NaN, gives false.
// Not reentrant: keeps its intermediates in static storage.
QM_API bool CircleCircleCollision(Vector2D centre1, float radius1, Vector2D centre2, float radius2);

#endif
