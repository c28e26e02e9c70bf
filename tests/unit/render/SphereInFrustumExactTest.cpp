// SphereInFrustum tests all six planes together (two per packed double
// register): every slot must still reject on its own, and each distance must
// be the double sum ((a*x + b*y) + c*z) + d rounded to float once.
#include "ViewFrustum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// Planes that never reject a sphere of radius up to 2 at the origin region.
frustum_t Open() {
    frustum_t f{};
    for (plane_t& p : f.planes) p = plane_t{0, 0, 0, 4};
    return f;
}

TEST(SphereInFrustumExactTest, EachSlotRejectsOnItsOwnAndTouchingIsOutside) {
    for (int slot = 0; slot < 6; ++slot) {
        frustum_t f = Open();
        f.planes[slot] = plane_t{1, 0, 0, 0};  // x >= 0 is inside
        EXPECT_FALSE(SphereInFrustum(Vector3D(-3, 0, 0), 1.0f, f)) << "slot " << slot;
        EXPECT_FALSE(SphereInFrustum(Vector3D(-1, 0, 0), 1.0f, f)) << "touching, slot " << slot;
        EXPECT_TRUE(SphereInFrustum(Vector3D(-0.5f, 0, 0), 1.0f, f)) << "slot " << slot;
    }
    EXPECT_TRUE(SphereInFrustum(Vector3D(0, 0, 0), 1.0f, Open()));
}

TEST(SphereInFrustumExactTest, DistanceIsTheDoubleSumRoundedToFloatOnce) {
    // 1 + 2^-24 + 2^-40 rounds up to 1 + 2^-23; float steps would tie to 1
    // first and then stay there, and 1 <= limit 1 would reject.
    const float half = std::ldexp(1.0f, -24), tiny = std::ldexp(1.0f, -40);
    for (int slot = 0; slot < 6; ++slot) {
        frustum_t f = Open();
        f.planes[slot] = plane_t{1, 1, 1, 0};
        EXPECT_TRUE(SphereInFrustum(Vector3D(1, half, tiny), -1.0f, f)) << "slot " << slot;
        // Exactly 1 + 2^-24 is a tie and rounds to 1: rejected.
        EXPECT_FALSE(SphereInFrustum(Vector3D(1, half, 0), -1.0f, f)) << "slot " << slot;
    }
}

TEST(SphereInFrustumExactTest, TermsAreAddedInOrderAThenBThenCThenD) {
    // 2^60 + 1 loses the 1 in double, so (2^60 + 1) - 2^60 is 0, while any
    // other order keeps it; 0 <= limit 0.5 rejects, 1 would not.
    const float big = std::ldexp(1.0f, 30);
    for (int slot = 0; slot < 6; ++slot) {
        frustum_t f = Open();
        f.planes[slot] = plane_t{big, 1, -big, 0};
        EXPECT_FALSE(SphereInFrustum(Vector3D(big, 1, big), -0.5f, f)) << "slot " << slot;
        f.planes[slot] = plane_t{0, big, 1, -std::ldexp(1.0f, 60)};
        // (0 + 2^60) + 1 rounds to 2^60; + d gives 0, again rejected.
        EXPECT_FALSE(SphereInFrustum(Vector3D(0, big, 1), -0.5f, f)) << "slot " << slot;
    }
}

TEST(SphereInFrustumExactTest, NonFiniteInputsFollowTheComparison) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    frustum_t f = Open();
    f.planes[5] = plane_t{1, 0, 0, 0};
    // A NaN distance or limit never compares <= : nothing rejects.
    EXPECT_TRUE(SphereInFrustum(Vector3D(nan, 0, 0), 1.0f, f));
    EXPECT_TRUE(SphereInFrustum(Vector3D(-100, 0, 0), nan, f));
    EXPECT_TRUE(SphereInFrustum(Vector3D(-1e30f, 0, 0), inf, f));
    // A limit of +inf rejects every finite distance; -inf distance meets -inf limit.
    EXPECT_FALSE(SphereInFrustum(Vector3D(0, 0, 0), -inf, f));
    EXPECT_FALSE(SphereInFrustum(Vector3D(-inf, 0, 0), inf, f));
    // The unused upper lanes must not reject when the limit is above zero.
    EXPECT_TRUE(SphereInFrustum(Vector3D(2, 0, 0), -1.0f, f));
}

}  // namespace
