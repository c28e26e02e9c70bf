// The library's Vector3D arithmetic written out inline, operation for
// operation (double where the library widens, float rounding where it
// stores, the static scratch written as the library writes it). Not a second
// implementation to use: it splits the library's time into the call boundary
// (library minus inline) and the designed arithmetic (inline minus GLM).
// Compiled with the library's flags; CheckTranscription() proves it
// bit-identical to the library on the benchmark data before anything is timed.
#include "vector_data.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace qmbench {
namespace {

namespace designed {

float sinAngle, cosAngle;  // stand-ins for the library's scratch members

inline V3 Add(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 Subtract(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline V3 Scale(V3 a, float f) { return {a.x * f, a.y * f, a.z * f}; }
inline float Dot(V3 a, V3 b) {
    return float(double(a.y) * b.y + double(a.x) * b.x + double(a.z) * b.z);
}
inline V3 Cross(V3 a, V3 b) {
    return {float(double(a.y) * b.z - double(a.z) * b.y),
            float(double(a.z) * b.x - double(a.x) * b.z),
            float(double(a.x) * b.y - double(a.y) * b.x)};
}
inline void Normalize(V3& v) {
    const float sq = float(double(v.y) * v.y + double(v.x) * v.x + double(v.z) * v.z);
    float len = float(std::sqrt(double(sq)));
    if (len <= 0.00001f) len = 1.0f;
    const float inv = float(1.0 / len);
    v = {v.x * inv, v.y * inv, v.z * inv};
}
inline void RotateAxis(V3& v, float degrees, V3 axis) {
    Normalize(axis);
    const double ax = axis.x, ay = axis.y, az = axis.z;
    const float r = degrees * 0.01745328f;
    sinAngle = float(std::sin(double(r)));
    cosAngle = float(std::cos(double(r)));
    const double s = sinAngle, c = cosAngle;
    const double t = float(1.0 - c);
    const double m00 = float(ax * ax + (1.0 - ax * ax) * c);
    const double m01 = float(ax * ay * t - az * s);
    const double m02 = float(ax * az * t + ay * s);
    const double m10 = float(ax * ay * t + az * s);
    const double m11 = float(ay * ay + (1.0 - ay * ay) * c);
    const double m12 = float(ay * az * t - ax * s);
    const double m20 = float(ax * az * t - ay * s);
    const double m21 = float(ay * az * t + ax * s);
    const double m22 = float(az * az + (1.0 - az * az) * c);
    v = {float(m00 * v.x + m01 * v.y + m02 * v.z), float(m10 * v.x + m11 * v.y + m12 * v.z),
         float(m20 * v.x + m21 * v.y + m22 * v.z)};
}

}  // namespace designed

float MixDesigned(VectorData& d) {
    float sum = 0.0f;
    for (size_t i = 0; i < kVectors; ++i) {
        V3 s = designed::Scale(designed::Add(d.da[i], d.db[i]), d.scale[i]);
        float dot = designed::Dot(s, d.db[i]);
        V3 n = designed::Cross(s, d.db[i]);
        designed::Normalize(n);
        designed::RotateAxis(n, d.degrees[i], d.daxis[i]);
        sum += dot + n.x + n.y + n.z;
    }
    return sum;
}

void BM_Vec_Mix_Designed(benchmark::State& state) {
    if (Skip(state, "Designed")) return;
    for (auto _ : state) benchmark::DoNotOptimize(MixDesigned(Vectors()));
    Items(state);
}
BENCHMARK(BM_Vec_Mix_Designed);

QM_VEC_BENCH(Add, Designed, d.dout[i] = designed::Add(d.da[i], d.db[i]))
QM_VEC_BENCH(Subtract, Designed, d.dout[i] = designed::Subtract(d.da[i], d.db[i]))
QM_VEC_BENCH(Scale, Designed, d.dout[i] = designed::Scale(d.da[i], d.scale[i]))
QM_VEC_BENCH(Dot, Designed, sum += designed::Dot(d.da[i], d.db[i]))
QM_VEC_BENCH(Cross, Designed, d.dout[i] = designed::Cross(d.da[i], d.db[i]))
QM_VEC_BENCH(Normalize, Designed, d.dout[i] = d.da[i]; designed::Normalize(d.dout[i]))
QM_VEC_BENCH(RotateAxis, Designed,
             d.dout[i] = d.da[i]; designed::RotateAxis(d.dout[i], d.degrees[i], d.daxis[i]))

bool Same(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }
bool Same(const Vector3D& a, const V3& b) { return Same(a.x, b.x) && Same(a.y, b.y) && Same(a.z, b.z); }

}  // namespace

bool transcriptionExact = false;

bool CheckTranscription() {
    VectorData& d = Vectors();
    int wrong = 0;
    for (size_t i = 0; i < kVectors; ++i) {
        wrong += !Same(d.a[i] + d.b[i], designed::Add(d.da[i], d.db[i]));
        wrong += !Same(d.a[i] - d.b[i], designed::Subtract(d.da[i], d.db[i]));
        wrong += !Same(d.a[i] * d.scale[i], designed::Scale(d.da[i], d.scale[i]));
        wrong += !Same(d.a[i].Dot(d.b[i]), designed::Dot(d.da[i], d.db[i]));
        Vector3D q = d.a[i].Cross(d.b[i]);
        V3 r = designed::Cross(d.da[i], d.db[i]);
        wrong += !Same(q, r);
        q.Normalize();
        designed::Normalize(r);
        wrong += !Same(q, r);
        q.RotateAxis(d.degrees[i], d.axis[i]);
        designed::RotateAxis(r, d.degrees[i], d.daxis[i]);
        wrong += !Same(q, r);
    }
    wrong += !Same(MixQuillmar(d), MixDesigned(d));
    if (wrong) std::fprintf(stderr, "bench_math: transcription differs in %d results\n", wrong);
    return wrong == 0;
}

}  // namespace qmbench
