#include "Angles.h"

#include <cmath>

namespace {

// [SECTION] Whole-degree helpers
//
// The heading arithmetic works with whole parts (truncation toward zero to a 32-bit int)
// and their remainders by 360. Casting NaN, an infinity or anything outside the int range
// is undefined behaviour, so the helpers cast only inside that range and there match the
// plain cast exactly. Outside it they behave as if the int were wide enough: every finite
// value that large is already whole, and fmod gives its exact remainder, so a finite
// heading still wraps into [0, 360]. NaN and infinities have no whole part; they count
// as 0 there and reach the result as NaN through the fraction or through fmod.

bool FitsInt(double v)
{
    return v >= -2147483648.0 && v < 2147483648.0;  // false for NaN
}

// Remainder of the whole part of v by 360, with the sign of v.
int WholeRemainder(double v)
{
    if (FitsInt(v))
        return int(v) % 360;
    if (std::isfinite(v))
        return int(std::fmod(std::trunc(v), 360.0));
    return 0;
}

// v less its whole part (exact); NaN for NaN and infinities.
double Fraction(double v)
{
    return v - std::trunc(v);
}

// Remainder of v by 360 in the form v - 360 * (whole part of v / 360).
float WrapByQuotient(double v)
{
    const double q = v / 360.0;
    if (FitsInt(q))
        return float(v - 360.0 * int(q));
    return float(std::fmod(v, 360.0));  // exact; NaN for NaN and infinities
}

// The float sum or difference of two finite headings can overflow to infinity. Such
// headings mean nothing as angles, but a finite input should still give a finite
// heading, so the wrap then works on the double value instead.
double Widened(float rounded, double exact)
{
    return (std::isinf(rounded) && std::isfinite(exact)) ? exact : double(rounded);
}

// Intermediates shared by DirectionInRange and DirectionDifference.
float wrapped;
int whole;

float WrapToRange(double v)
{
    whole = WholeRemainder(v);
    wrapped = float(Fraction(v) + whole);
    if (wrapped < 0.0f)
        wrapped = float(double(wrapped) + 360.0);
    return wrapped;
}

} // namespace

float DirectionInRange(float heading)
{
    return WrapToRange(heading);
}

float DirectionDifference(float first, float second)
{
    static float result;

    const double exact = double(second) - first;
    result = WrapToRange(Widened(float(exact), exact));
    if (result > 180.0f)
        result = float((360.0 - result) * -1.0);  // a wrap to exactly 360 returns -0
    return result;
}

float RotateToward(float current, float target, float maxStep)
{
    static float angle;  // the difference, then the angle between the two headings
    static int turn;     // whole-degree remainder of the difference: picks the direction

    const double exact = double(current) - target;
    const double difference = Widened(float(exact), exact);
    turn = WholeRemainder(difference);
    angle = WrapByQuotient(difference);
    if (angle < 0.0f)
        angle = float(double(angle) + 360.0);
    if (angle > 180.0f)
        angle = float(360.0 - angle);
    if (turn < 0)
        turn += 360;

    // Dropping the fraction before the remainder is what sends the turn the longer way
    // within a degree of the target (from below) or of the opposite heading (from above).
    // A NaN maxStep fails the comparison and takes the whole angle.
    const float step = (maxStep < angle) ? maxStep : angle;
    const double moved = (turn > 180) ? double(current) + step : double(current) - step;
    float heading = WrapByQuotient(Widened(float(moved), moved));
    if (heading < 0.0f)
        heading = float(double(heading) + 360.0);
    return heading;
}
