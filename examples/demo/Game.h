// The demo's game logic, free of OpenGL so tests can run it without a window:
// the ship, its shots and the targets on the 2D layer, and the script that
// plays the game when no one is at the controls. Fixed arrays only: Update
// never allocates.
#ifndef QUILLMAR_DEMO_GAME_H
#define QUILLMAR_DEMO_GAME_H

#include <Quillmar.h>

namespace demo {

// One frame's requests, from the devices or from the Script.
struct Controls {
    bool steering = false;     // a heading is asked for
    float steerHeading = 0.0f; // degrees, the heading wanted for the ship
    bool boost = false;
    bool fireNose = false;     // along the ship's heading
    bool fireTurret = false;   // along the turret, which turns toward aim
    bool fireFan = false;      // five shots fanned around the turret
    Vector2D aim;              // window pixels, origin bottom-left
    float cameraMove = 0.0f;   // -1..1, forward
    float cameraTurn = 0.0f;   // -1..1, positive turns right
    float cameraTilt = 0.0f;   // -1..1, positive looks down
    float zoom = 0.0f;         // wheel position: each step narrows the view
};

struct Ship {
    Vector2D position;
    Vector2D velocity;
    float heading = 90.0f;        // degrees, 0 along +x
    float turretHeading = 90.0f;  // degrees
    bool thrusting = false;
    float shield = 0.0f;    // 1 just after a crash, fading to 0
    float cooldown = 0.0f;  // seconds until the guns may fire again
};

struct Shot {
    Vector2D position;
    Vector2D previous;  // position one step before: the swept segment
    Vector2D velocity;
    float life = 0.0f;
    bool active = false;
};

struct Target {
    Vector2D position;
    Vector2D velocity;
    float radius = 0.0f;
    float spin = 0.0f;     // degrees, for the drawing
    float respawn = 0.0f;  // seconds until it returns, while not alive
    float hue = 0.0f;      // 0..1
    bool alive = false;
};

// What is left of a destroyed target, for the drawing.
struct Burst {
    Vector2D position;
    float radius = 0.0f;
    float age = 0.0f;
    float hue = 0.0f;
    bool active = false;
};

// Heading from the arrows (or a stick): false when nothing is pressed.
bool HeadingFromStick(float x, float y, float deadZone, float& heading);

// Turns the ship toward the wanted heading at a bounded rate; thrust only when
// its nose is within the thrust cone of that heading.
void SteerShip(Ship& ship, bool steering, float wantedHeading, float dt);

class Game {
public:
    static constexpr int kMaxShots = 128;
    static constexpr int kMaxTargets = 12;
    static constexpr int kMaxBursts = 24;

    static constexpr float kShipRadius = 16.0f;
    static constexpr float kTurnRate = 220.0f;         // degrees per second
    static constexpr float kTurretRate = 540.0f;       // degrees per second
    static constexpr float kThrustCone = 50.0f;        // degrees either side
    static constexpr float kThrust = 520.0f;           // pixels per second squared
    static constexpr float kMaxSpeed = 340.0f;         // pixels per second
    static constexpr float kShotSpeed = 880.0f;        // pixels per second
    static constexpr float kShotLife = 1.1f;           // seconds
    static constexpr float kFireInterval = 0.11f;      // seconds
    static constexpr float kRespawnDelay = 1.4f;       // seconds
    static constexpr float kBurstLife = 0.9f;          // seconds

    // Starts a round in an arena of width x height pixels.
    void Reset(float width, float height, unsigned seed);
    void Update(const Controls& controls, float dt);

    // A shot from `from` along `heading`; false when every slot is in flight.
    bool Fire(Vector2D from, float heading);
    // Index of the live target nearest to point, or -1.
    int NearestTarget(Vector2D point);
    int ActiveShots();
    int LiveTargets();

    Ship ship;
    Shot shots[kMaxShots];
    Target targets[kMaxTargets];
    Burst bursts[kMaxBursts];
    float width = 0.0f;
    float height = 0.0f;
    float time = 0.0f;
    int score = 0;
    int hits = 0;
    int crashes = 0;
    int fired = 0;

private:
    float Random();  // 0..1, from the game's own sequence (rand() is reseeded by Open)
    void Spawn(Target& target);
    void Destroy(Target& target);
    void MoveShots(float dt);
    void MoveTargets(float dt);
    void FindHits();

    unsigned state = 1;
};

// Plays the game: the ship flies a tour of waypoints, the turret tracks the
// nearest target and fires, the camera drifts across the field.
class Script {
public:
    Controls Next(Game& game, float dt);

private:
    float time = 0.0f;
    int waypoint = 0;
    Vector2D aim;
    bool aimed = false;
};

}  // namespace demo

#endif
