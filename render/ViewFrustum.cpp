#include "ViewFrustum.h"

#include <GL/gl.h>

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

void ExtractPlane(plane_t& plane, float* m, int row) {
    // Only rows 1..4 exist; any other selector would read outside the matrix.
    if (row == 0 || row < -4 || row > 4) return;
    float sign = row >= 0 ? 1.0f : -1.0f;
    int i = (row >= 0 ? row : -row) - 1;
    plane.a = float(double(m[3]) + double(sign) * m[i]);
    plane.b = float(double(m[7]) + double(sign) * m[i + 4]);
    plane.c = float(double(m[11]) + double(sign) * m[i + 8]);
    plane.d = float(double(m[15]) + double(sign) * m[i + 12]);
    // The offset takes no part in the length, so d becomes a true distance.
    float sum = float(double(plane.a) * plane.a + double(plane.b) * plane.b +
                      double(plane.c) * plane.c);
    float length = float(std::sqrt(double(sum)));
    plane.a = float(double(plane.a) / length);
    plane.b = float(double(plane.b) / length);
    plane.c = float(double(plane.c) / length);
    plane.d = float(double(plane.d) / length);
}

#if defined(__SSE2__)

namespace {

// The distances of planes p and q, one per lane: each lane makes the scalar
// test's double operations in the same order, so the floats are bit-identical.
inline __m128 DistancesOfPair(const plane_t& p, const plane_t& q, __m128d x, __m128d y,
                              __m128d z) {
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

}  // namespace

bool SphereInFrustum(Vector3D center, float radius, frustum_t frustum) {
    // All six planes at once, without the early exit: for scattered spheres
    // the exit branch is mispredicted so often that it costs more than the
    // planes it skips. Same result for every input, NaN included (a NaN
    // distance never compares <= the limit).
    const __m128d x = _mm_set1_pd(center.x);
    const __m128d y = _mm_set1_pd(center.y);
    const __m128d z = _mm_set1_pd(center.z);
    const __m128 limit = _mm_set1_ps(-radius);
    const plane_t* p = frustum.planes;
    const __m128 first4 = _mm_movelh_ps(DistancesOfPair(p[0], p[1], x, y, z),
                                        DistancesOfPair(p[2], p[3], x, y, z));
    const __m128 last2 = DistancesOfPair(p[4], p[5], x, y, z);
    // Touching a plane from outside counts as outside.
    const int outside = _mm_movemask_ps(_mm_cmple_ps(first4, limit)) |
                        (_mm_movemask_ps(_mm_cmple_ps(last2, limit)) & 0x3);
    return outside == 0;
}

#else

bool SphereInFrustum(Vector3D center, float radius, frustum_t frustum) {
    float limit = -radius;
    for (const plane_t& p : frustum.planes) {
        float distance = float(double(p.a) * center.x + double(p.b) * center.y +
                               double(p.c) * center.z + double(p.d));
        // Touching a plane from outside counts as outside.
        if (distance <= limit) return false;
    }
    return true;
}

#endif

namespace {

// One element of P x M: row i of P times column j of M, summed from the
// first term on with every product and sum rounded to float, as GL's own
// matrix multiply forms it, so that the planes are those GL's product gave.
inline float RowTimesColumn(const float* p, int i, const float* m, int j) {
    const float* column = m + 4 * j;
    float sum = float(p[i] * column[0]);
    sum = float(sum + float(p[4 + i] * column[1]));
    sum = float(sum + float(p[8 + i] * column[2]));
    return float(sum + float(p[12 + i] * column[3]));
}

}  // namespace

void ViewFrustum::Step() {
    // A current context always names a matrix mode, never 0: nothing written
    // means there is no context, and the planes are kept as they were.
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    if (mode == 0) return;
    float modelview[16];
    float combined[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    float* q = modelview;  // outside model-view mode the planes are those of M alone
    if (mode == GL_MODELVIEW) {
        // The product is formed here rather than on the game's matrix stack:
        // a full stack stays untouched, and GL loads, multiplies and reads
        // back nothing more.
        float projection[16];
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i)
                combined[4 * j + i] = RowTimesColumn(projection, i, modelview, j);
        q = combined;
    }
    ExtractPlane(frustum.leftPlane, q, 1);
    ExtractPlane(frustum.rightPlane, q, -1);
    ExtractPlane(frustum.bottomPlane, q, 2);
    ExtractPlane(frustum.topPlane, q, -2);
    ExtractPlane(frustum.nearPlane, q, 3);
    ExtractPlane(frustum.farPlane, q, -3);
}

bool ViewFrustum::FrustumCheck(Vector3D center, float radius) {
    return SphereInFrustum(center, radius, frustum);
}
