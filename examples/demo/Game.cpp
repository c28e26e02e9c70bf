#include "Game.h"

#include <cmath>

namespace demo {

namespace {

Vector2D Direction(float heading) { return Vector2D::FromAngle(heading); }

float HeadingOf(Vector2D v) {
    Vector2D unit;
    // VectorToAngle answers in about -180..180; the game keeps headings in 0..360.
    return DirectionInRange(unit.VectorToAngle(v));
}

}  // namespace

// [SECTION] Steering

bool HeadingFromStick(float x, float y, float deadZone, float& heading) {
    Vector2D stick(x, y);
    if (stick.GetLength() <= deadZone) return false;
    heading = HeadingOf(stick);
    return true;
}

void SteerShip(Ship& ship, bool steering, float wantedHeading, float dt) {
    ship.thrusting = false;
    if (!steering) return;
    ship.heading = RotateToward(ship.heading, wantedHeading, Game::kTurnRate * dt);
    // Thrusting while still facing away would push the ship sideways.
    float off = DirectionDifference(ship.heading, wantedHeading);
    ship.thrusting = std::fabs(off) <= Game::kThrustCone;
}

// [SECTION] Round

void Game::Reset(float newWidth, float newHeight, unsigned seed) {
    width = newWidth;
    height = newHeight;
    state = seed ? seed : 1u;
    time = 0.0f;
    score = hits = crashes = fired = 0;

    ship = Ship();
    ship.position = Vector2D(width * 0.5f, height * 0.5f);
    for (Shot& shot : shots) shot = Shot();
    for (Burst& burst : bursts) burst = Burst();
    for (Target& target : targets) Spawn(target);
}

float Game::Random() {
    // xorshift32: fixed sequence per seed, so scripted runs repeat exactly.
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return float(state >> 8) * (1.0f / 16777216.0f);
}

void Game::Spawn(Target& target) {
    target.radius = 15.0f + Random() * 21.0f;
    float margin = target.radius + 12.0f;
    // One draw per statement: the order of two draws within one expression is
    // unspecified, and compilers differ, so the targets would land elsewhere.
    // Not on top of the ship: a few tries, then wherever the last one landed.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const float x = margin + Random() * (width - 2.0f * margin);
        const float y = margin + Random() * (height - 2.0f * margin);
        target.position = Vector2D(x, y);
        if (Vector2D::Distance(target.position, ship.position) > 200.0f) break;
    }
    const float heading = Random() * 360.0f;
    const float speed = 35.0f + Random() * 75.0f;
    target.velocity = Direction(heading) * speed;
    target.spin = Random() * 360.0f;
    target.hue = Random();
    target.respawn = 0.0f;
    target.alive = true;
}

void Game::Destroy(Target& target) {
    target.alive = false;
    target.respawn = kRespawnDelay;
    for (Burst& burst : bursts) {
        if (burst.active) continue;
        burst.position = target.position;
        burst.radius = target.radius;
        burst.hue = target.hue;
        burst.age = 0.0f;
        burst.active = true;
        break;
    }
}

bool Game::Fire(Vector2D from, float heading) {
    for (Shot& shot : shots) {
        if (shot.active) continue;
        shot.position = from;
        shot.previous = from;
        shot.velocity = Direction(heading) * kShotSpeed;
        shot.life = kShotLife;
        shot.active = true;
        ++fired;
        return true;
    }
    return false;
}

// [SECTION] Frame

void Game::Update(const Controls& controls, float dt) {
    time += dt;

    SteerShip(ship, controls.steering, controls.steerHeading, dt);
    if (ship.thrusting)
        ship.velocity += Direction(ship.heading) * ((controls.boost ? 1.7f : 1.0f) * kThrust * dt);
    float drag = 1.0f - 0.7f * dt;
    ship.velocity = ship.velocity * (drag > 0.0f ? drag : 0.0f);
    float limit = kMaxSpeed * (controls.boost ? 1.4f : 1.0f);
    if (ship.velocity.GetLength() > limit) ship.velocity.SetLength(limit);
    ship.position += ship.velocity * dt;
    // Leaving one edge brings the ship back at the other.
    if (ship.position.x < 0.0f) ship.position.x += width;
    if (ship.position.x >= width) ship.position.x -= width;
    if (ship.position.y < 0.0f) ship.position.y += height;
    if (ship.position.y >= height) ship.position.y -= height;

    Vector2D aim = controls.aim;  // a copy: Vector2D's operators are not const
    Vector2D toAim = aim - ship.position;
    if (toAim.GetLength() > 1.0f)
        ship.turretHeading = RotateToward(ship.turretHeading, HeadingOf(toAim), kTurretRate * dt);

    ship.shield = ship.shield > dt ? ship.shield - dt : 0.0f;
    ship.cooldown -= dt;
    if (ship.cooldown <= 0.0f) {
        bool shot = false;
        Vector2D nose = ship.position + Direction(ship.heading) * 20.0f;
        if (controls.fireNose) shot |= Fire(nose, ship.heading);
        Vector2D muzzle = ship.position + Direction(ship.turretHeading) * 14.0f;
        if (controls.fireTurret) shot |= Fire(muzzle, ship.turretHeading);
        if (controls.fireFan)
            for (int k = -2; k <= 2; ++k)
                shot |= Fire(muzzle, DirectionInRange(ship.turretHeading + 9.0f * float(k)));
        if (shot) ship.cooldown = controls.fireFan ? kFireInterval * 2.5f : kFireInterval;
        else ship.cooldown = 0.0f;
    }

    MoveShots(dt);
    MoveTargets(dt);
    FindHits();

    for (Burst& burst : bursts) {
        if (!burst.active) continue;
        burst.age += dt;
        if (burst.age >= kBurstLife) burst.active = false;
    }
}

void Game::MoveShots(float dt) {
    for (Shot& shot : shots) {
        if (!shot.active) continue;
        shot.previous = shot.position;
        shot.position += shot.velocity * dt;
        shot.life -= dt;
    }
}

void Game::MoveTargets(float dt) {
    for (Target& target : targets) {
        if (!target.alive) {
            target.respawn -= dt;
            if (target.respawn <= 0.0f) Spawn(target);
            continue;
        }
        target.position += target.velocity * dt;
        target.spin = DirectionInRange(target.spin + dt * (40.0f + 1800.0f / target.radius));
        // Bounce off the arena's edges.
        float r = target.radius;
        Vector2D& p = target.position;
        Vector2D& v = target.velocity;
        if (p.x < r) { p.x = r; v.x = std::fabs(v.x); }
        if (p.x > width - r) { p.x = width - r; v.x = -std::fabs(v.x); }
        if (p.y < r) { p.y = r; v.y = std::fabs(v.y); }
        if (p.y > height - r) { p.y = height - r; v.y = -std::fabs(v.y); }
    }
}

void Game::FindHits() {
    // Swept test: a fast shot steps over a small target between two frames.
    for (Shot& shot : shots) {
        if (!shot.active) continue;
        for (Target& target : targets) {
            if (!target.alive) continue;
            if (!LineCircleCollision(shot.previous, shot.position, target.position, target.radius))
                continue;
            Destroy(target);
            shot.active = false;
            ++hits;
            score += 10 + int(50.0f - target.radius);  // smaller is worth more
            break;
        }
    }
    for (Shot& shot : shots) {
        if (!shot.active) continue;
        const float margin = 30.0f;
        if (shot.life <= 0.0f || shot.position.x < -margin || shot.position.x > width + margin ||
            shot.position.y < -margin || shot.position.y > height + margin)
            shot.active = false;
    }

    for (Target& target : targets) {
        if (!target.alive) continue;
        if (!CircleCircleCollision(ship.position, kShipRadius, target.position, target.radius))
            continue;
        Destroy(target);
        ++crashes;
        score = score > 25 ? score - 25 : 0;
        ship.shield = 1.0f;
        ship.velocity = (ship.position - target.position).WithLength(240.0f);
    }
}

// [SECTION] Queries

int Game::NearestTarget(Vector2D point) {
    int best = -1;
    float bestDistance = 0.0f;
    for (int i = 0; i < kMaxTargets; ++i) {
        if (!targets[i].alive) continue;
        Vector2D gap = targets[i].position - point;
        float distance = gap.GetLengthSq();
        if (best < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

int Game::ActiveShots() {
    int n = 0;
    for (const Shot& shot : shots) n += shot.active ? 1 : 0;
    return n;
}

int Game::LiveTargets() {
    int n = 0;
    for (const Target& target : targets) n += target.alive ? 1 : 0;
    return n;
}

// [SECTION] Script

Controls Script::Next(Game& game, float dt) {
    time += dt;
    Controls controls;

    // A tour of waypoints round the middle of the arena: each new one asks for
    // a turn, and the ship stays clear of the HUD at the edges.
    static const float kWaypoints[][2] = {{0.30f, 0.40f}, {0.62f, 0.70f}, {0.76f, 0.34f},
                                          {0.46f, 0.24f}, {0.26f, 0.64f}, {0.58f, 0.48f}};
    const int kCount = int(sizeof kWaypoints / sizeof kWaypoints[0]);
    Vector2D goal(kWaypoints[waypoint][0] * game.width, kWaypoints[waypoint][1] * game.height);
    Vector2D toGoal = goal - game.ship.position;
    if (toGoal.GetLength() < 110.0f) {
        waypoint = (waypoint + 1) % kCount;
        goal = Vector2D(kWaypoints[waypoint][0] * game.width,
                        kWaypoints[waypoint][1] * game.height);
        toGoal = goal - game.ship.position;
    }
    controls.steering = HeadingFromStick(toGoal.x, toGoal.y, 0.0f, controls.steerHeading);

    // The aim follows the nearest target the way the smoothed mouse does:
    // halfway there each frame.
    int nearest = game.NearestTarget(game.ship.position);
    Vector2D wanted = nearest >= 0 ? game.targets[nearest].position
                                   : Vector2D(game.width * 0.5f, game.height * 0.5f);
    if (!aimed) {
        aim = wanted;
        aimed = true;
    } else {
        aim += (wanted - aim) * 0.5f;
    }
    controls.aim = aim;
    controls.fireTurret = nearest >= 0;
    controls.fireNose = std::fmod(time, 0.9f) < 0.3f;
    controls.fireFan = std::fmod(time, 2.5f) < dt;

    // The camera swings right and back while it creeps over the field.
    controls.cameraMove = 0.4f;
    controls.cameraTurn = 0.22f * std::sin(time * 0.35f);
    controls.cameraTilt = 0.2f * std::sin(time * 0.8f);
    return controls;
}

}  // namespace demo
