// A game as a strict build compiles it: every public header through Quillmar.h, with
// the warnings a careful game turns on and -Werror. A warning from a public header
// fails the build of every such game, so it fails here first.
#include <Quillmar.h>

int main()
{
    Vector2D a(1.0f, 2.0f);
    const Vector3D b(1.0f, 2.0f, 3.0f);
    frustum_t f{};
    f.topPlane.d = 1.0f;
    return a.GetLength() + b.GetLength() + f.planes[0].d > 0.0f ? 0 : 1;
}
