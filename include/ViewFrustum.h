// View-frustum culling of bounding spheres against the six planes of the
// current OpenGL view volume.
#ifndef QUILLMAR_VIEWFRUSTUM_H
#define QUILLMAR_VIEWFRUSTUM_H

#include "QuillmarExport.h"
#include "Vector3D.h"

// a*x + b*y + c*z + d: signed distance, positive inside, with (a, b, c) unit length.
struct plane_t {
    float a;
    float b;
    float c;
    float d;
};

// The six planes by slot (planes[0..5]) or by name, in slot order.
union frustum_t {
    plane_t planes[6];
    struct {
        plane_t topPlane;
        plane_t bottomPlane;
        plane_t leftPlane;
        plane_t rightPlane;
        plane_t nearPlane;
        plane_t farPlane;
    };
};

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

#endif
