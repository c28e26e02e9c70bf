// Drawing of the demo with OpenGL 1.x immediate mode and the library's 2D
// helpers. Game state comes in read-only in spirit; nothing here allocates.
#ifndef QUILLMAR_DEMO_RENDER_H
#define QUILLMAR_DEMO_RENDER_H

#include "Field.h"
#include "Game.h"
#include "Text.h"

namespace demo {

struct HudInfo {
    float framesPerSecond = 0.0f;
    float frameTime = 0.0f;  // seconds
    int drawn = 0;
    int culled = 0;
    float fieldOfView = 0.0f;
    int score = 0;
    int hits = 0;
    int fired = 0;
    bool scripted = false;
};

// Builds the shape meshes; call once, after the window opens.
void InitScene();

// Sky and horizon glow behind everything, on the 2D layer (after Render2D).
void DrawBackdrop(int width, int height, Camera& camera);
// After Render3D: loads the camera's view into the model-view matrix.
void ApplyCamera(Camera& camera);
// The ground and the objects that survived the latest Cull.
void DrawField(Field& field);
// After Render2D: ship, shots, targets, bursts and the aim reticle.
void DrawArena(Game& game, Vector2D aim);
void DrawHud(HudInfo& info, FrameHistory& history, int width, int height);
// Top view of the field: drawn objects bright, culled ones dim, the view wedge.
void DrawMinimap(Field& field, Camera& camera, float aspect);

}  // namespace demo

#endif
