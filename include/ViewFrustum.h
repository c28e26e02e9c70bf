// View-frustum culling of bounding spheres against the six planes of the
// current OpenGL view volume.
//
// The sphere test is defined inline below and gives the library's answer for every
// input under any flags but -ffast-math (see QuillmarInline.h).
#ifndef QUILLMAR_VIEWFRUSTUM_H
#define QUILLMAR_VIEWFRUSTUM_H

#include "QuillmarExport.h"
#include "QuillmarInline.h"
#include "Vector3D.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

// a*x + b*y + c*z + d: signed distance, positive inside, with (a, b, c) unit length.
struct plane_t {
    float a;
    float b;
    float c;
    float d;
};

// The names share the slots through an anonymous struct, an extension every
// supported compiler has; __extension__ keeps strict game builds (-Wpedantic) quiet.
#if defined(__GNUC__) || defined(__clang__)
#define QM_ANONYMOUS_STRUCT __extension__ struct
#else
#define QM_ANONYMOUS_STRUCT struct
#endif

// The six planes by slot (planes[0..5]) or by name, in slot order.
union frustum_t {
    plane_t planes[6];
    QM_ANONYMOUS_STRUCT {
        plane_t topPlane;
        plane_t bottomPlane;
        plane_t leftPlane;
        plane_t rightPlane;
        plane_t nearPlane;
        plane_t farPlane;
    };
};
#undef QM_ANONYMOUS_STRUCT

class QM_API ViewFrustum {
public:
    // Refills the planes from the GL projection and model-view matrices
    // (their product P x M is formed here; the matrix stacks are not
    // touched). Call in GL_MODELVIEW mode (as Render3D leaves it), after the
    // camera transform is loaded: the planes are then in world coordinates.
    // In another matrix mode the planes are those of the model-view alone.
    // With no current GL context the planes are left as they were.
    void Step();
    // False when the sphere lies wholly outside one plane (touching counts as
    // outside); conservative near edges and corners.
    bool FrustumCheck(Vector3D center, float radius);

    frustum_t frustum;
};

// Fills plane from the fourth row of the column-major matrix m plus (row > 0)
// or minus (row < 0) row |row| (1..3; 4 is allowed), normalised by the
// normal's length. Any other row (0, beyond +-4) leaves the plane unchanged.
QM_API void ExtractPlane(plane_t& plane, float* m, int row);
QM_API bool SphereInFrustum(Vector3D center, float radius, frustum_t frustum);

// [SECTION] Inline definitions
// Each distance is a·x + b·y + c·z + d in double, rounded to float once: the products of
// two floats are exact in double, so a fused multiply-add cannot change the sum.

namespace quillmar_detail {

#if defined(__SSE2__) || defined(_M_X64)

// The distances of planes p and q, one per lane: each lane makes the scalar test's
// double operations in the same order, so the floats are bit-identical.
inline __m128 DistancesOfPair(const plane_t& p, const plane_t& q, __m128d x, __m128d y,
                              __m128d z)
{
    const __m128 pv = _mm_loadu_ps(&p.a);
    const __m128 qv = _mm_loadu_ps(&q.a);
    const __m128 ab = _mm_unpacklo_ps(pv, qv);  // p.a q.a p.b q.b
    const __m128 cd = _mm_unpackhi_ps(pv, qv);  // p.c q.c p.d q.d
    const __m128d a = _mm_cvtps_pd(ab);
    const __m128d b = _mm_cvtps_pd(_mm_movehl_ps(ab, ab));
    const __m128d c = _mm_cvtps_pd(cd);
    const __m128d d = _mm_cvtps_pd(_mm_movehl_ps(cd, cd));
    const __m128d sum = _mm_add_pd(
        _mm_add_pd(_mm_add_pd(_mm_mul_pd(a, x), _mm_mul_pd(b, y)), _mm_mul_pd(c, z)), d);
    return _mm_cvtpd_ps(sum);  // lanes 0 and 1; the upper two are zero
}

// All six planes at once, without an exit per plane: for scattered spheres that branch
// is mispredicted so often that it costs more than the planes it skips. Same result for
// every input, NaN included (a NaN distance never compares <= the limit).
inline bool SphereInPlanes(const plane_t* p, const Vector3D& center, float radius)
{
    const __m128d x = _mm_set1_pd(center.x);
    const __m128d y = _mm_set1_pd(center.y);
    const __m128d z = _mm_set1_pd(center.z);
    const __m128 limit = _mm_set1_ps(-radius);
    const __m128 first4 = _mm_movelh_ps(DistancesOfPair(p[0], p[1], x, y, z),
                                        DistancesOfPair(p[2], p[3], x, y, z));
    const __m128 last2 = DistancesOfPair(p[4], p[5], x, y, z);
    // Touching a plane from outside counts as outside.
    const int outside = _mm_movemask_ps(_mm_cmple_ps(first4, limit)) |
                        (_mm_movemask_ps(_mm_cmple_ps(last2, limit)) & 0x3);
    return outside == 0;
}

#else

inline bool SphereInPlanes(const plane_t* planes, const Vector3D& center, float radius)
{
    const float limit = -radius;
    for (int i = 0; i < 6; ++i) {
        const plane_t& p = planes[i];
        const float distance = float(double(p.a) * center.x + double(p.b) * center.y +
                                     double(p.c) * center.z + double(p.d));
        // Touching a plane from outside counts as outside.
        if (distance <= limit)
            return false;
    }
    return true;
}

#endif

}  // namespace quillmar_detail

// Inline for the game; in the library only ViewFrustum.cpp sees them, and compiles them
// as the exported out-of-line copies.
#if !defined(QUILLMAR_BUILDING)
#define QM_VIEWFRUSTUM_INLINE inline
#elif defined(QM_VIEWFRUSTUM_OUT_OF_LINE)
#define QM_VIEWFRUSTUM_INLINE
#endif

#ifdef QM_VIEWFRUSTUM_INLINE

QM_VIEWFRUSTUM_INLINE bool SphereInFrustum(Vector3D center, float radius, frustum_t frustum)
{
    return quillmar_detail::SphereInPlanes(frustum.planes, center, radius);
}

// Reads the planes in place: the same answer as handing a copy to SphereInFrustum.
QM_VIEWFRUSTUM_INLINE bool ViewFrustum::FrustumCheck(Vector3D center, float radius)
{
    return quillmar_detail::SphereInPlanes(frustum.planes, center, radius);
}

#undef QM_VIEWFRUSTUM_INLINE
#endif

#endif
