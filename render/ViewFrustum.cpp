// SphereInFrustum and FrustumCheck are the header's inline definitions, compiled here as
// the exported out-of-line copies.
#define QM_VIEWFRUSTUM_OUT_OF_LINE
#include "ViewFrustum.h"

#include "core/Report.h"

#include <GL/gl.h>

#include <cmath>

void ExtractPlane(plane_t& plane, float* m, int row) {
    // Only rows 1..4 exist; any other selector would read outside the matrix.
    if (row == 0 || row < -4 || row > 4) {
        qmdiag::Report(Diagnostic::PlaneRowIgnored, row);
        return;
    }
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
    if (mode == 0) {
        qmdiag::Report(Diagnostic::FrustumWithoutContext);
        return;
    }
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
