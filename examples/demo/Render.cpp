#include "Render.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace demo {

namespace {

const float kPi = 3.14159265f;
// The horizon glow and the fog share one colour, so far objects melt into it.
const float kHorizon[4] = {0.17f, 0.06f, 0.26f, 1.0f};
// Unit octagon, counter-clockwise seen from above (+x toward -z).
const float kOctagon[8][2] = {{1.0f, 0.0f},     {0.7071f, -0.7071f}, {0.0f, -1.0f},
                              {-0.7071f, -0.7071f}, {-1.0f, 0.0f},     {-0.7071f, 0.7071f},
                              {0.0f, 1.0f},     {0.7071f, 0.7071f}};

// [SECTION] Meshes

struct Mesh {
    static constexpr int kMaxTriangles = 12;
    static constexpr int kMaxEdges = 18;
    float triangles[kMaxTriangles][3][3];
    float normals[kMaxTriangles][3];
    int triangleCount;
    float edges[kMaxEdges][2][3];
    int edgeCount;
};

Mesh meshes[4];  // by Shape

void Store(float* out, Vector3D v) {
    out[0] = v.x;
    out[1] = v.y;
    out[2] = v.z;
}

bool Same(const float* p, Vector3D v) { return p[0] == v.x && p[1] == v.y && p[2] == v.z; }

void AddEdge(Mesh& mesh, Vector3D a, Vector3D b) {
    for (int i = 0; i < mesh.edgeCount; ++i) {
        const float* p = mesh.edges[i][0];
        const float* q = mesh.edges[i][1];
        if ((Same(p, a) && Same(q, b)) || (Same(p, b) && Same(q, a))) return;
    }
    if (mesh.edgeCount == Mesh::kMaxEdges) return;
    Store(mesh.edges[mesh.edgeCount][0], a);
    Store(mesh.edges[mesh.edgeCount][1], b);
    ++mesh.edgeCount;
}

// Every shape is convex around the origin: wind each triangle so its normal
// points away from the origin, which makes it a front face for GL_CULL_FACE.
void AddTriangle(Mesh& mesh, Vector3D a, Vector3D b, Vector3D c) {
    if (mesh.triangleCount == Mesh::kMaxTriangles) return;
    Vector3D normal;
    normal.Normalize(a, b, c);
    Vector3D centre = a + b;
    centre += c;
    if (normal.Dot(centre) < 0.0f) {
        Vector3D swap = b;
        b = c;
        c = swap;
        normal.Negate();
    }
    float(&t)[3][3] = mesh.triangles[mesh.triangleCount];
    Store(t[0], a);
    Store(t[1], b);
    Store(t[2], c);
    Store(mesh.normals[mesh.triangleCount], normal);
    ++mesh.triangleCount;
}

// A flat polygon given by its corners in order round the outline.
void AddFace(Mesh& mesh, const Vector3D* corners, int n) {
    for (int i = 1; i + 1 < n; ++i) AddTriangle(mesh, corners[0], corners[i], corners[i + 1]);
    for (int i = 0; i < n; ++i) AddEdge(mesh, corners[i], corners[(i + 1) % n]);
}

void BuildBox(Mesh& mesh, float hx, float hy, float hz) {
    const float half[3] = {hx, hy, hz};
    const float su[4] = {-1, 1, 1, -1};
    const float sv[4] = {-1, -1, 1, 1};
    for (int axis = 0; axis < 3; ++axis) {
        int u = (axis + 1) % 3, v = (axis + 2) % 3;
        for (float side = -1.0f; side <= 1.0f; side += 2.0f) {
            Vector3D corners[4];
            for (int k = 0; k < 4; ++k) {
                float p[3];
                p[axis] = side * half[axis];
                p[u] = su[k] * half[u];
                p[v] = sv[k] * half[v];
                corners[k] = Vector3D(p[0], p[1], p[2]);
            }
            AddFace(mesh, corners, 4);
        }
    }
}

void BuildPyramid(Mesh& mesh) {
    Vector3D base[4] = {Vector3D(-1, -1, -1), Vector3D(1, -1, -1), Vector3D(1, -1, 1),
                        Vector3D(-1, -1, 1)};
    Vector3D apex(0.0f, 1.2f, 0.0f);
    AddFace(mesh, base, 4);
    for (int i = 0; i < 4; ++i) {
        Vector3D side[3] = {base[i], base[(i + 1) % 4], apex};
        AddFace(mesh, side, 3);
    }
}

void BuildDiamond(Mesh& mesh) {
    Vector3D ring[4] = {Vector3D(1, 0, 0), Vector3D(0, 0, 1), Vector3D(-1, 0, 0),
                        Vector3D(0, 0, -1)};
    Vector3D tips[2] = {Vector3D(0.0f, 1.3f, 0.0f), Vector3D(0.0f, -1.3f, 0.0f)};
    for (Vector3D& tip : tips)
        for (int i = 0; i < 4; ++i) {
            Vector3D side[3] = {ring[i], ring[(i + 1) % 4], tip};
            AddFace(mesh, side, 3);
        }
}

void DrawSolid(Mesh& mesh) {
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < mesh.triangleCount; ++i) {
        glNormal3fv(mesh.normals[i]);
        for (int k = 0; k < 3; ++k) glVertex3fv(mesh.triangles[i][k]);
    }
    glEnd();
}

void DrawEdges(Mesh& mesh) {
    glBegin(GL_LINES);
    for (int i = 0; i < mesh.edgeCount; ++i) {
        glVertex3fv(mesh.edges[i][0]);
        glVertex3fv(mesh.edges[i][1]);
    }
    glEnd();
}

void PlaceObject(FieldObject& object) {
    glTranslatef(object.position.x, object.position.y, object.position.z);
    glRotatef(object.spin, 0.0f, 1.0f, 0.0f);
    glScalef(object.size, object.size, object.size);
}

// [SECTION] 2D helpers

Vector2D Direction(float degrees) { return Vector2D::FromAngle(degrees); }

// The game's own GL state: what the library has queued (sprites, shapes,
// text) is drawn first, under the state it was queued in.
void Additive() {
    FlushSprites();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}
void Translucent() {
    FlushSprites();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

// A bright core over a wide faint halo; needs additive blending.
void GlowLine(Vector2D a, Vector2D b, float r, float g, float bl, float width, float alpha = 1.0f) {
    glColor4f(r, g, bl, 0.18f * alpha);
    DrawLine(a, b, width * 3.5f);
    glColor4f(r, g, bl, alpha);
    DrawLine(a, b, width);
}

void GlowCircle(Vector2D centre, float radius, float r, float g, float b, float width,
                float alpha = 1.0f) {
    glColor4f(r, g, b, 0.18f * alpha);
    DrawCircle(centre, radius, width * 3.5f);
    glColor4f(r, g, b, alpha);
    DrawCircle(centre, radius, width);
}

void Begin2D() {
    FlushSprites();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
}

void Panel(float x0, float y0, float x1, float y1) {
    Translucent();
    SetColor(0.015f, 0.02f, 0.06f, 0.7f);
    FillRect(Vector2D(x0, y0), Vector2D(x1 - x0, y1 - y0));
    SetColor(0.3f, 0.85f, 1.0f, 0.45f);
    DrawLine(Vector2D(x0, y0), Vector2D(x1, y0), 1.2f);
    DrawLine(Vector2D(x1, y0), Vector2D(x1, y1), 1.2f);
    DrawLine(Vector2D(x1, y1), Vector2D(x0, y1), 1.2f);
    DrawLine(Vector2D(x0, y1), Vector2D(x0, y0), 1.2f);
}

// [SECTION] HUD text
// The HUD writes in DejaVu Sans when the font file is found (beside the
// program, in fonts/ as the web page packs it, or where Debian's
// fonts-dejavu-core puts it), in the library's stroke font otherwise.
// Heights are capital heights in pixels, as the stroke font takes them;
// DejaVu's capitals are 0.73 of its em.
Font hudFont;
constexpr float kEmPerCap = 1.0f / 0.73f;

void LoadHudFont() {
    if (hudFont.IsLoaded()) return;
    const char* const paths[] = {"DejaVuSans.ttf", "fonts/DejaVuSans.ttf",
                                  "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"};
    for (const char* path : paths) {
        if (std::FILE* f = std::fopen(path, "rb")) {
            std::fclose(f);
            if (hudFont.LoadFromFile(path)) return;
        }
    }
}

void HudText(const char* text, Vector2D at, float height, float lineWidth, Color4f colour) {
    if (hudFont.IsLoaded()) {
        hudFont.Draw(text, at, height * kEmPerCap, colour);
        return;
    }
    SetColor(colour.r, colour.g, colour.b, colour.a);
    DrawString(text, at, height, lineWidth);
}

float HudWidth(const char* text, float height) {
    return hudFont.IsLoaded() ? hudFont.Measure(text, height * kEmPerCap).width
                              : GetStringWidth(text, height);
}

const Color4f kLabel = {0.62f, 0.68f, 0.8f, 1.0f};

// A label in small grey letters, then its value in colour.
void Readout(float x, float y, const char* label, const char* value, float r, float g, float b,
             float valueHeight) {
    HudText(label, Vector2D(x, y), 12.0f, 1.3f, kLabel);
    HudText(value, Vector2D(x + 86.0f, y), valueHeight, 2.0f, {r, g, b, 1.0f});
}

}  // namespace

// [SECTION] Textures
// Made here rather than shipped: a soft spark, and a target's emblem (a ring
// with three notches, white so a tint colours it). Both outlive the window.

Texture spark;
Texture emblem;

unsigned char Byte(float v) { return static_cast<unsigned char>(v <= 0.0f ? 0 : v >= 1.0f ? 255 : v * 255.0f); }

void MakeTextures() {
    static unsigned char pixels[64 * 64 * 4];
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            float dx = (x + 0.5f - 16.0f) / 16.0f, dy = (y + 0.5f - 16.0f) / 16.0f;
            float d = std::sqrt(dx * dx + dy * dy);
            unsigned char* p = &pixels[(y * 32 + x) * 4];
            p[0] = p[1] = p[2] = 255;
            p[3] = Byte((1.0f - d) * (1.0f - d) * 1.4f);
        }
    spark.LoadFromPixels(pixels, 32, 32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            float dx = x + 0.5f - 32.0f, dy = 32.0f - (y + 0.5f);
            float d = std::sqrt(dx * dx + dy * dy);
            float angle = std::atan2(dy, dx) * 180.0f / kPi;
            float sector = std::fmod(angle + 360.0f + 30.0f, 120.0f);
            bool notch = sector < 20.0f && d > 18.0f;
            float ring = 1.0f - std::fabs(d - 24.0f) / 6.0f;
            float core = 1.0f - d / 9.0f;
            unsigned char* p = &pixels[(y * 64 + x) * 4];
            p[0] = p[1] = p[2] = 255;
            p[3] = Byte(notch ? 0.0f : std::max(ring, 0.6f * core));
        }
    emblem.LoadFromPixels(pixels, 64, 64);
}

// [SECTION] Scene

void InitScene() {
    MakeTextures();
    LoadHudFont();
    for (Mesh& mesh : meshes) {
        mesh.triangleCount = 0;
        mesh.edgeCount = 0;
    }
    BuildBox(meshes[int(Shape::Cube)], 1.0f, 1.0f, 1.0f);
    BuildPyramid(meshes[int(Shape::Pyramid)]);
    BuildDiamond(meshes[int(Shape::Diamond)]);
    BuildBox(meshes[int(Shape::Tower)], 0.6f, 1.8f, 0.6f);

    const float diffuse[4] = {0.95f, 0.92f, 0.9f, 1.0f};
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    const float ambient[4] = {0.32f, 0.3f, 0.42f, 1.0f};
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightfv(GL_LIGHT0, GL_SPECULAR, black);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glEnable(GL_LIGHT0);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    // The objects are scaled, and scaling would change the normals' length.
    glEnable(GL_NORMALIZE);

    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 55.0f);
    glFogf(GL_FOG_END, 205.0f);
    glFogfv(GL_FOG_COLOR, kHorizon);
}

void DrawBackdrop(int width, int height, Camera& camera) {
    Begin2D();
    glDisable(GL_BLEND);
    float w = float(width), h = float(height);
    // Where the level horizon lands for this tilt and field of view.
    float horizon = h * 0.5f * (1.0f + std::tan(camera.pitch * kPi / 180.0f) /
                                           std::tan(camera.fieldOfView * kPi / 360.0f));
    float band = horizon + 0.3f * h;
    glBegin(GL_QUADS);
    glColor3f(kHorizon[0], kHorizon[1], kHorizon[2]);
    glVertex3f(0.0f, -h, -4.0f);
    glVertex3f(w, -h, -4.0f);
    glVertex3f(w, horizon, -4.0f);
    glVertex3f(0.0f, horizon, -4.0f);

    glVertex3f(0.0f, horizon, -4.0f);
    glVertex3f(w, horizon, -4.0f);
    glColor3f(0.04f, 0.025f, 0.12f);
    glVertex3f(w, band, -4.0f);
    glVertex3f(0.0f, band, -4.0f);

    glVertex3f(0.0f, band, -4.0f);
    glVertex3f(w, band, -4.0f);
    glColor3f(0.0f, 0.0f, 0.025f);
    glVertex3f(w, 2.0f * h, -4.0f);
    glVertex3f(0.0f, 2.0f * h, -4.0f);
    glEnd();

    // Stars on a fixed pattern that slides as the camera turns.
    glEnable(GL_BLEND);
    Additive();
    glPointSize(2.0f);
    glBegin(GL_POINTS);
    unsigned s = 12345u;
    for (int i = 0; i < 160; ++i) {
        s = s * 1664525u + 1013904223u;
        float u = float(s >> 8) / 16777216.0f;
        s = s * 1664525u + 1013904223u;
        float v = float(s >> 8) / 16777216.0f;
        float x = std::fmod(u * w * 2.0f - camera.yaw / 90.0f * w + 8.0f * w, 2.0f * w);
        float y = horizon + 20.0f + v * h;
        if (x > w || y > h) continue;
        float bright = 0.35f + 0.65f * float((s >> 4) & 255u) / 255.0f;
        glColor4f(0.8f, 0.85f, 1.0f, bright);
        glVertex3f(x, y, -4.0f);
    }
    glEnd();
}

void ApplyCamera(Camera& camera) {
    // View = tilt, then turn, then move the world so the camera sits at the origin.
    glRotatef(camera.pitch, 1.0f, 0.0f, 0.0f);
    glRotatef(camera.yaw, 0.0f, 1.0f, 0.0f);
    glTranslatef(-camera.position.x, -camera.position.y, -camera.position.z);
}

void DrawField(Field& field) {
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glEnable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LINE_SMOOTH);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ZERO);
    glEnable(GL_FOG);

    // A w = 0 position is a direction, taken through the current (camera) matrix: world space.
    const float sun[4] = {0.45f, 1.0f, 0.6f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, sun);

    // Ground and grid in cells: fog is worked out at the vertices, so one huge
    // quad would take the fog of its far corners everywhere.
    const float step = Field::kSpacing;
    const int cells = int((field.Extent() + 70.0f) / step);
    glDisable(GL_LIGHTING);
    glColor3f(0.02f, 0.015f, 0.05f);
    for (int row = -cells; row < cells; ++row) {
        float z0 = float(row) * step, z1 = z0 + step;
        glBegin(GL_QUAD_STRIP);
        for (int column = -cells; column <= cells; ++column) {
            float x = float(column) * step;
            glVertex3f(x, 0.0f, z0);
            glVertex3f(x, 0.0f, z1);
        }
        glEnd();
    }

    // Smoothed lines need blending; the solids below turn it back off.
    glEnable(GL_LINE_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(1.5f);
    glColor3f(0.0f, 0.55f, 0.75f);
    for (int i = -cells; i <= cells; ++i) {
        float p = float(i) * step;
        glBegin(GL_LINE_STRIP);
        for (int k = -cells; k <= cells; ++k) glVertex3f(p, 0.02f, float(k) * step);
        glEnd();
        glBegin(GL_LINE_STRIP);
        for (int k = -cells; k <= cells; ++k) glVertex3f(float(k) * step, 0.02f, p);
        glEnd();
    }

    // A glow on the ground under each drawn object, in its colour.
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDepthMask(GL_FALSE);
    for (int i = 0; i < field.count; ++i) {
        FieldObject& o = field.objects[i];
        if (!o.visible) continue;
        float r = o.size * 2.2f, x = o.position.x, z = o.position.z;
        glBegin(GL_TRIANGLE_FAN);
        glColor4f(o.red, o.green, o.blue, 0.38f);
        glVertex3f(x, 0.04f, z);
        glColor4f(o.red, o.green, o.blue, 0.0f);
        for (int k = 0; k <= 8; ++k)
            glVertex3f(x + r * kOctagon[k % 8][0], 0.04f, z + r * kOctagon[k % 8][1]);
        glEnd();
    }
    glDepthMask(GL_TRUE);
    glBlendFunc(GL_ONE, GL_ZERO);

    glEnable(GL_LIGHTING);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);  // keeps the edge lines in front of their own faces
    for (int i = 0; i < field.count; ++i) {
        FieldObject& o = field.objects[i];
        if (!o.visible) continue;
        glPushMatrix();
        PlaceObject(o);
        glColor3f(o.red * 0.7f, o.green * 0.7f, o.blue * 0.7f);
        DrawSolid(meshes[int(o.shape)]);
        glPopMatrix();
    }
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_LIGHTING);

    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(1.5f);
    for (int i = 0; i < field.count; ++i) {
        FieldObject& o = field.objects[i];
        if (!o.visible) continue;
        glPushMatrix();
        PlaceObject(o);
        glColor3f(0.35f + 0.5f * o.red, 0.35f + 0.5f * o.green, 0.35f + 0.5f * o.blue);
        DrawEdges(meshes[int(o.shape)]);
        glPopMatrix();
    }
    glDisable(GL_FOG);
}

// [SECTION] Arena

void DrawArena(Game& game, Vector2D aim) {
    Begin2D();
    Additive();

    for (Target& target : game.targets) {
        if (!target.alive) continue;
        float r, g, b;
        HueToRgb(target.hue, r, g, b);
        r = 0.25f + 0.75f * r;
        g = 0.25f + 0.75f * g;
        b = 0.25f + 0.75f * b;
        Sprite body;
        body.texture = &emblem;
        body.position = target.position;
        body.size = Vector2D(1.7f * target.radius, 1.7f * target.radius);
        body.pivot = Vector2D(0.5f, 0.5f);  // turns about its centre
        body.rotation = target.spin;
        body.tint = Color4f{r, g, b, 0.85f};
        DrawSprite(body);
        GlowCircle(target.position, target.radius, r, g, b, 2.5f);
        glColor4f(r, g, b, 0.6f);
        DrawCircle(target.position, target.radius * 0.55f, 1.5f);
        for (int k = 0; k < 3; ++k) {
            Vector2D spoke = Direction(target.spin + 120.0f * float(k));
            DrawLine(target.position + spoke * (target.radius * 0.55f),
                     target.position + spoke * (target.radius * 0.9f), 2.0f);
        }
        glColor4f(1.0f, 1.0f, 1.0f, 0.9f);
        DrawCircle(target.position, 2.0f, 2.0f);
    }

    for (Burst& burst : game.bursts) {
        if (!burst.active) continue;
        float k = burst.age / Game::kBurstLife, fade = 1.0f - k;
        float r, g, b;
        HueToRgb(burst.hue, r, g, b);
        GlowCircle(burst.position, burst.radius * (1.0f + 2.2f * k), r, g, b, 0.5f + 3.0f * fade,
                   fade);
        glColor4f(1.0f, 0.9f, 0.7f, 0.6f * fade);
        DrawCircle(burst.position, burst.radius * (0.4f + 3.2f * k), 1.5f);
        for (int i = 0; i < 10; ++i) {
            Vector2D ray = Direction(36.0f * float(i) + burst.hue * 360.0f);
            GlowLine(burst.position + ray * (burst.radius * (0.4f + 2.0f * k)),
                     burst.position + ray * (burst.radius * (0.8f + 2.9f * k)), 1.0f,
                     0.5f + 0.5f * g, 0.4f, 1.8f, fade);
            Sprite flare;
            flare.texture = &spark;
            flare.position = burst.position + ray * (burst.radius * (1.0f + 3.4f * k));
            flare.pivot = Vector2D(0.5f, 0.5f);
            flare.tint = Color4f{1.0f, 0.6f + 0.4f * g, 0.35f, fade};
            DrawSprite(flare);
        }
    }

    for (Shot& shot : game.shots) {
        if (!shot.active) continue;
        Vector2D dir = shot.velocity;
        dir.Normalize();
        GlowLine(shot.position - dir * 26.0f, shot.position, 1.0f, 0.93f, 0.5f, 2.6f);
    }

    // Ship: an arrowhead around its position, nose along the heading.
    Ship& ship = game.ship;
    Vector2D outline[4] = {Vector2D(32, 0), Vector2D(-19, 18), Vector2D(-10, 0),
                           Vector2D(-19, -18)};
    for (Vector2D& p : outline) {
        p.Rotate(ship.heading);
        p += ship.position;
    }
    SetColor(0.1f, 0.55f, 0.8f, 0.45f);
    FillTriangle(outline[2], outline[3], outline[0]);
    FillTriangle(outline[2], outline[0], outline[1]);
    Additive();
    if (ship.thrusting) {
        float flicker = 0.65f + 0.35f * std::sin(game.time * 53.0f);
        Vector2D tail(-13.0f - 28.0f * flicker, 0.0f), left(-13.0f, 7.0f), right(-13.0f, -7.0f);
        tail.Rotate(ship.heading);
        left.Rotate(ship.heading);
        right.Rotate(ship.heading);
        GlowLine(ship.position + left, ship.position + tail, 1.0f, 0.55f, 0.15f, 2.0f);
        GlowLine(ship.position + right, ship.position + tail, 1.0f, 0.55f, 0.15f, 2.0f);
    }
    for (int i = 0; i < 4; ++i)
        GlowLine(outline[i], outline[(i + 1) % 4], 0.55f, 0.95f, 1.0f, 2.2f);
    GlowLine(ship.position, ship.position + Direction(ship.turretHeading) * 20.0f, 0.85f, 1.0f,
             0.55f, 3.0f);
    if (ship.shield > 0.0f)
        GlowCircle(ship.position, 28.0f + 12.0f * (1.0f - ship.shield), 0.45f, 0.8f, 1.0f, 2.0f,
                   ship.shield);

    // Reticle at the aim point, with a faint sight line from the ship.
    glColor4f(0.6f, 1.0f, 0.6f, 0.12f);
    DrawLine(ship.position, aim, 1.0f);
    glColor4f(0.6f, 1.0f, 0.6f, 0.9f);
    DrawCircle(aim, 13.0f, 1.6f);
    for (int k = 0; k < 4; ++k) {
        Vector2D arm = Direction(45.0f + 90.0f * float(k));
        DrawLine(aim + arm * 7.0f, aim + arm * 19.0f, 1.6f);
    }
}

// [SECTION] HUD

void DrawHud(HudInfo& info, FrameHistory& history, int width, int height) {
    Begin2D();
    float w = float(width), h = float(height);
    char value[32];

    // Performance panel, top left.
    float x0 = 16.0f, top = h - 16.0f;
    Panel(x0, top - 214.0f, x0 + 276.0f, top);
    float x = x0 + 14.0f, y = top - 34.0f;
    Translucent();
    FormatInt(value, sizeof value, int(info.framesPerSecond + 0.5f));
    Readout(x, y, "FPS", value, 0.35f, 1.0f, 0.45f, 20.4f);
    y -= 32.0f;
    int n = FormatFixed(value, sizeof value - 3, info.frameTime * 1000.0f, 1);
    value[n] = ' ';
    value[n + 1] = 'M';
    value[n + 2] = 'S';
    value[n + 3] = '\0';
    Readout(x, y, "FRAME", value, 1.0f, 0.85f, 0.3f, 15.6f);

    // Frame-time bars, newest at the right, up to 50 ms; guides at 60 and 30 frames per second.
    y -= 48.0f;
    float graphH = 38.0f, scale = graphH / 0.05f;
    SetColor(0.5f, 0.6f, 0.8f, 0.35f);
    DrawLine(Vector2D(x, y + 0.01667f * scale), Vector2D(x + 240.0f, y + 0.01667f * scale), 1.0f);
    DrawLine(Vector2D(x, y + 0.03333f * scale), Vector2D(x + 240.0f, y + 0.03333f * scale), 1.0f);
    for (int i = 0; i < history.Count(); ++i) {
        float t = history.Get(i);
        float bar = t * scale > graphH ? graphH : t * scale;
        if (t < 0.0175f) SetColor(0.3f, 0.95f, 0.45f, 0.9f);
        else if (t < 0.034f) SetColor(1.0f, 0.8f, 0.25f, 0.9f);
        else SetColor(1.0f, 0.3f, 0.3f, 0.9f);
        float bx = x + float(FrameHistory::kSize - history.Count() + i) * 2.0f;
        DrawLine(Vector2D(bx, y), Vector2D(bx, y + bar + 1.0f), 1.5f);
    }

    y -= 32.0f;
    FormatInt(value, sizeof value, info.drawn);
    Readout(x, y, "DRAWN", value, 0.3f, 0.9f, 1.0f, 15.6f);
    y -= 28.0f;
    FormatInt(value, sizeof value, info.culled);
    Readout(x, y, "CULLED", value, 1.0f, 0.4f, 0.75f, 15.6f);
    y -= 28.0f;
    FormatFixed(value, sizeof value, info.fieldOfView, 0);
    Readout(x, y, "FOV", value, 0.8f, 0.8f, 1.0f, 15.6f);

    // Score panel, top right.
    float px = w - 262.0f;
    Panel(px - 14.0f, top - 96.0f, w - 16.0f, top);
    HudText("SCORE", Vector2D(px, top - 30.0f), 12.0f, 1.3f, kLabel);
    HudText("HITS", Vector2D(px, top - 78.0f), 12.0f, 1.3f, kLabel);
    HudText("SHOTS", Vector2D(px + 116.0f, top - 78.0f), 12.0f, 1.3f, kLabel);
    FormatInt(value, sizeof value, info.score);
    HudText(value, Vector2D(px + 80.0f, top - 36.0f), 24.0f, 2.4f, {1.0f, 0.9f, 0.35f, 1.0f});
    FormatInt(value, sizeof value, info.hits);
    HudText(value, Vector2D(px + 58.0f, top - 78.0f), 12.0f, 1.6f, {1.0f, 0.5f, 0.4f, 1.0f});
    FormatInt(value, sizeof value, info.fired);
    HudText(value, Vector2D(px + 184.0f, top - 78.0f), 12.0f, 1.6f, {1.0f, 0.93f, 0.5f, 1.0f});

    // Title, and a note when the script is playing.
    const char* title = "QUILLMAR";
    HudText(title, Vector2D(0.5f * (w - HudWidth(title, 18.0f)), h - 38.0f), 18.0f, 2.0f,
            {0.55f, 0.9f, 1.0f, 0.95f});
    if (info.scripted) {
        const char* note = "SCRIPTED INPUT";
        HudText(note, Vector2D(0.5f * (w - HudWidth(note, 9.6f)), h - 60.0f), 9.6f, 1.2f,
                {1.0f, 0.55f, 0.8f, 0.9f});
    }

    // Two lines, centred as a block by the wider one, the lower line's bottom at 18.
    const char* help = "ARROWS STEER   SPACE FIRE   MOUSE AIM   CLICK FIRE\n"
                       "WASD RF CAMERA   MIDDLE DRAG LOOK   WHEEL ZOOM   ESC QUIT";
    float helpHeight = 9.0f;  // pixels; smaller when the window is narrow
    if (HudWidth(help, helpHeight) > w - 240.0f)
        helpHeight = (w - 240.0f) / HudWidth(help, 1.0f);
    const float helpTop = hudFont.IsLoaded()
                              ? 18.0f + hudFont.GetLineHeight(helpHeight * kEmPerCap)
                              : 18.0f + GetStringHeight(help, helpHeight) - helpHeight;
    HudText(help, Vector2D(0.5f * (w - HudWidth(help, helpHeight)) + 110.0f, helpTop), helpHeight,
            1.1f, {0.6f, 0.65f, 0.8f, 0.75f});
}

void DrawMinimap(Field& field, Camera& camera, float aspect) {
    Begin2D();
    const float size = 190.0f, x0 = 16.0f, y0 = 16.0f;
    Panel(x0, y0, x0 + size, y0 + size);
    float cx = x0 + 0.5f * size, cy = y0 + 0.5f * size;
    float scale = (0.5f * size - 10.0f) / field.Extent();

    FlushSprites();
    glEnable(GL_SCISSOR_TEST);
    glScissor(int(x0), int(y0), int(size), int(size));

    // The view wedge: the horizontal field of view out to the fog's end.
    float halfWide = std::atan(std::tan(camera.fieldOfView * kPi / 360.0f) * aspect) * 180.0f / kPi;
    Vector2D eye(cx + camera.position.x * scale, cy - camera.position.z * scale);
    Vector2D left(std::sin((camera.yaw - halfWide) * kPi / 180.0f),
                  std::cos((camera.yaw - halfWide) * kPi / 180.0f));
    Vector2D right(std::sin((camera.yaw + halfWide) * kPi / 180.0f),
                   std::cos((camera.yaw + halfWide) * kPi / 180.0f));
    float reach = 205.0f * scale;
    Translucent();
    glColor4f(0.3f, 0.85f, 1.0f, 0.14f);
    glBegin(GL_TRIANGLES);
    glVertex3f(eye.x, eye.y, -4.0f);
    glVertex3f(eye.x + left.x * reach, eye.y + left.y * reach, -4.0f);
    glVertex3f(eye.x + right.x * reach, eye.y + right.y * reach, -4.0f);
    glEnd();

    glPointSize(3.0f);
    glBegin(GL_POINTS);
    for (int i = 0; i < field.count; ++i) {
        FieldObject& o = field.objects[i];
        if (o.visible)
            glColor4f(0.4f + 0.6f * o.red, 0.4f + 0.6f * o.green, 0.4f + 0.6f * o.blue, 1.0f);
        else glColor4f(0.32f, 0.32f, 0.42f, 0.7f);
        glVertex3f(cx + o.position.x * scale, cy - o.position.z * scale, -4.0f);
    }
    glEnd();

    Additive();
    GlowLine(eye, eye + left * reach, 0.3f, 0.85f, 1.0f, 1.2f);
    GlowLine(eye, eye + right * reach, 0.3f, 0.85f, 1.0f, 1.2f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    DrawCircle(eye, 3.0f, 2.0f);
    glDisable(GL_SCISSOR_TEST);
}

}  // namespace demo
