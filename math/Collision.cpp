#include "Collision.h"

#include <cmath>

#if defined(__clang__)
#pragma STDC FP_CONTRACT OFF
#endif

Vector2D ClosestPointSeg(Vector2D a, Vector2D b, Vector2D p)
{
    Vector2D d = b - a;
    const Vector2D e = p - a;
    const float length = d.GetLength();
    if (length < 0.00001f)
        return a;

    // At exactly the threshold Normalize falls back to (1, 0); that direction is used as is.
    Vector2D n = d;
    n.Normalize();
    const float t = float(double(n.x) * e.x + double(n.y) * e.y);

    // Written so that a NaN t or length selects neither end.
    if (t <= 0.0f)
        return a;
    if (t >= length)
        return b;
    return a + n * t;
}

bool LineCircleCollision(Vector2D start, Vector2D end, Vector2D centre, float radius)
{
    const Vector2D q = ClosestPointSeg(start, end, centre);
    const float dx = centre.x - q.x;
    const float dy = centre.y - q.y;
    const float distance = float(std::sqrt(double(float(double(dx) * dx + double(dy) * dy))));
    // Not "distance <= radius": a NaN must count as a hit.
    return !(radius < distance);
}

bool CircleCircleCollision(Vector2D centre1, float radius1, Vector2D centre2, float radius2)
{
    // Static intermediates; both are overwritten before every read.
    static Vector2D delta;  // constant-initialized: no guard needed
    static float reach;

    delta.x = centre1.x - centre2.x;
    delta.y = centre1.y - centre2.y;
    reach = radius1 + radius2;
    reach = reach * reach;
    // Compare squares: no square root, and touching circles do not collide.
    return reach > float(double(delta.x) * delta.x + double(delta.y) * delta.y);
}
