#include "ViewFrustum.h"

#include <GL/gl.h>

#include <cmath>

void ExtractPlane(plane_t& plane, float* m, int row) {
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

void ViewFrustum::Step() {
    float projection[16];
    float modelview[16];
    float combined[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    // Let GL form projection x model-view on the current stack, then restore it.
    glPushMatrix();
    glLoadMatrixf(projection);
    glMultMatrixf(modelview);
    glGetFloatv(GL_MODELVIEW_MATRIX, combined);
    glPopMatrix();

    ExtractPlane(frustum.leftPlane, combined, 1);
    ExtractPlane(frustum.rightPlane, combined, -1);
    ExtractPlane(frustum.bottomPlane, combined, 2);
    ExtractPlane(frustum.topPlane, combined, -2);
    ExtractPlane(frustum.nearPlane, combined, 3);
    ExtractPlane(frustum.farPlane, combined, -3);
}

bool ViewFrustum::FrustumCheck(Vector3D center, float radius) {
    return SphereInFrustum(center, radius, frustum);
}
