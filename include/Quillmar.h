// Quillmar: real-time rendering for 2D and 3D games. The umbrella header.
#ifndef QUILLMAR_H
#define QUILLMAR_H

#include "Angles.h"
#include "Collision.h"
#include "Color4f.h"
#include "Core.h"
#include "Diagnostics.h"
#include "Draw2D.h"
#include "Extensions.h"
#include "Gamepad.h"
#include "Font.h"
#include "JoystickManager.h"
#include "KeyboardManager.h"
#include "Keys.h"
#include "MouseManager.h"
#include "Native.h"
#include "RenderingManager.h"
#include "Screenshot.h"
#include "TimeManager.h"
#include "Shapes.h"
#include "Sprite.h"
#include "Texture.h"
#include "ToString.h"
#include "Vector2D.h"
#include "Vector3D.h"
#include "ViewFrustum.h"
#include "WindowManager.h"

#endif
