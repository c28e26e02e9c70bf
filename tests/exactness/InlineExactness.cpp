// The header-inline vector math and sphere test, compiled the way a game compiles them,
// against the library's exported out-of-line copies, looked up by name in
// libQuillmar.so. CMake builds this file several times, once per set of game flags
// (-O2; -O3 -march=native; -ffp-contract=fast on FMA hardware; forced vectorisation).
// The inline side runs in plain loops over arrays, so the optimiser may vectorise and
// fuse across operations as it would in a game; the exported side is called one by one.
// Every float must match bit for bit; the one freedom is which NaN comes out where the
// result is NaN (a compiler may swap the operands of a commutative operation).
// Each result is widened to double on the way out, as a game may do with it.
//
//   qm_exact_<flags> [library] [rounds]
#include <Quillmar.h>

#include <dlfcn.h>

#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#ifndef QM_LIBRARY_FILE
#error "QM_LIBRARY_FILE names the library under test"
#endif
#ifndef QM_FLAGS
#define QM_FLAGS "?"
#endif

namespace {

// [SECTION] The library's exported copies

void* library = nullptr;

void* Symbol(const char* mangled)
{
    void* p = dlsym(library, mangled);
    if (!p) {
        std::fprintf(stderr, "exported symbol missing: %s\n", mangled);
        std::exit(2);
    }
    return p;
}

// A member function pointer to the exported definition (Itanium ABI: address, then a
// this-adjustment of zero).
template <class M>
M Member(const char* mangled)
{
    struct {
        void* address;
        std::ptrdiff_t adjustment;
    } raw{Symbol(mangled), 0};
    static_assert(sizeof(M) == sizeof raw, "Itanium member function pointer");
    M m;
    std::memcpy(&m, &raw, sizeof m);
    return m;
}

template <class F>
F Function(const char* mangled)
{
    return reinterpret_cast<F>(Symbol(mangled));
}

struct Exported {
    void (Vector3D::*assign3)(const Vector3D&) = Member<decltype(assign3)>("_ZN8Vector3DaSERKS_");
    bool (Vector3D::*equal3)(const Vector3D&) = Member<decltype(equal3)>("_ZN8Vector3DeqERKS_");
    void (Vector3D::*addTo3)(const Vector3D&) = Member<decltype(addTo3)>("_ZN8Vector3DpLERKS_");
    void (Vector3D::*subFrom3)(const Vector3D&) = Member<decltype(subFrom3)>("_ZN8Vector3DmIERKS_");
    void (Vector3D::*mulBy3)(const Vector3D&) = Member<decltype(mulBy3)>("_ZN8Vector3DmLERKS_");
    void (Vector3D::*divBy3)(const Vector3D&) = Member<decltype(divBy3)>("_ZN8Vector3DdVERKS_");
    Vector3D (Vector3D::*plus3)(const Vector3D&) = Member<decltype(plus3)>("_ZN8Vector3DplERKS_");
    Vector3D (Vector3D::*minus3)(const Vector3D&) = Member<decltype(minus3)>("_ZN8Vector3DmiERKS_");
    Vector3D (Vector3D::*times3)(const Vector3D&) = Member<decltype(times3)>("_ZN8Vector3DmlERKS_");
    Vector3D (Vector3D::*over3)(const Vector3D&) = Member<decltype(over3)>("_ZN8Vector3DdvERKS_");
    Vector3D (Vector3D::*scale3)(float) = Member<decltype(scale3)>("_ZN8Vector3DmlEf");
    Vector3D (Vector3D::*shrink3)(float) = Member<decltype(shrink3)>("_ZN8Vector3DdvEf");
    void (Vector3D::*add3)(const Vector3D&, const Vector3D&) = Member<decltype(add3)>("_ZN8Vector3D3AddERKS_S1_");
    void (Vector3D::*subtract3)(const Vector3D&, const Vector3D&) = Member<decltype(subtract3)>("_ZN8Vector3D8SubtractERKS_S1_");
    void (Vector3D::*multiply3)(const Vector3D&, const Vector3D&) = Member<decltype(multiply3)>("_ZN8Vector3D8MultiplyERKS_S1_");
    void (Vector3D::*divide3)(const Vector3D&, const Vector3D&) = Member<decltype(divide3)>("_ZN8Vector3D6DivideERKS_S1_");
    void (Vector3D::*multiplyF3)(const Vector3D&, float) = Member<decltype(multiplyF3)>("_ZN8Vector3D8MultiplyERKS_f");
    void (Vector3D::*divideF3)(const Vector3D&, float) = Member<decltype(divideF3)>("_ZN8Vector3D6DivideERKS_f");
    float (Vector3D::*dot3)(const Vector3D&) = Member<decltype(dot3)>("_ZN8Vector3D3DotERKS_");
    float (Vector3D::*length3)() = Member<decltype(length3)>("_ZN8Vector3D9GetLengthEv");
    void (Vector3D::*normalize3)() = Member<decltype(normalize3)>("_ZN8Vector3D9NormalizeEv");
    Vector3D (Vector3D::*cross3)(const Vector3D&) = Member<decltype(cross3)>("_ZN8Vector3D5CrossERKS_");
    void (Vector3D::*negate3)() = Member<decltype(negate3)>("_ZN8Vector3D6NegateEv");

    void (Vector2D::*assign2)(const Vector2D&) = Member<decltype(assign2)>("_ZN8Vector2DaSERKS_");
    bool (Vector2D::*equal2)(const Vector2D&) = Member<decltype(equal2)>("_ZN8Vector2DeqERKS_");
    void (Vector2D::*addTo2)(const Vector2D&) = Member<decltype(addTo2)>("_ZN8Vector2DpLERKS_");
    void (Vector2D::*subFrom2)(const Vector2D&) = Member<decltype(subFrom2)>("_ZN8Vector2DmIERKS_");
    void (Vector2D::*mulBy2)(const Vector2D&) = Member<decltype(mulBy2)>("_ZN8Vector2DmLERKS_");
    void (Vector2D::*divBy2)(const Vector2D&) = Member<decltype(divBy2)>("_ZN8Vector2DdVERKS_");
    Vector2D (Vector2D::*plus2)(const Vector2D&) = Member<decltype(plus2)>("_ZN8Vector2DplERKS_");
    Vector2D (Vector2D::*minus2)(const Vector2D&) = Member<decltype(minus2)>("_ZN8Vector2DmiERKS_");
    Vector2D (Vector2D::*times2)(const Vector2D&) = Member<decltype(times2)>("_ZN8Vector2DmlERKS_");
    Vector2D (Vector2D::*over2)(const Vector2D&) = Member<decltype(over2)>("_ZN8Vector2DdvERKS_");
    Vector2D (Vector2D::*scale2)(float) = Member<decltype(scale2)>("_ZN8Vector2DmlEf");
    Vector2D (Vector2D::*shrink2)(float) = Member<decltype(shrink2)>("_ZN8Vector2DdvEf");
    float (Vector2D::*dot2)(const Vector2D&) = Member<decltype(dot2)>("_ZN8Vector2D3DotERKS_");
    float (Vector2D::*length2)() = Member<decltype(length2)>("_ZN8Vector2D9GetLengthEv");
    float (Vector2D::*lengthSq2)() = Member<decltype(lengthSq2)>("_ZN8Vector2D11GetLengthSqEv");
    void (Vector2D::*normalize2)() = Member<decltype(normalize2)>("_ZN8Vector2D9NormalizeEv");
    void (Vector2D::*setLength2)(float) = Member<decltype(setLength2)>("_ZN8Vector2D9SetLengthEf");
    Vector2D (Vector2D::*perp2)() = Member<decltype(perp2)>("_ZN8Vector2D4PerpEv");

    bool (*sphereInFrustum)(Vector3D, float, frustum_t) =
        Function<decltype(sphereInFrustum)>("_Z15SphereInFrustum8Vector3Df9frustum_t");
    bool (ViewFrustum::*frustumCheck)(Vector3D, float) =
        Member<decltype(frustumCheck)>("_ZN11ViewFrustum12FrustumCheckE8Vector3Df");
};

// [SECTION] Inputs

constexpr std::size_t kBatch = 4096;

float FromBits(std::uint32_t u)
{
    float f;
    std::memcpy(&f, &u, sizeof f);
    return f;
}

// Values where float and double arithmetic part ways: zeros, infinities, NaNs, the
// denormal range, the ends of the range, squares that overflow or vanish in float,
// and the normalisation threshold with its neighbours.
std::vector<float> EdgeValues()
{
    std::vector<float> edges = {0.0f, 1.0f, 0.5f, 3.0f, 1e-5f, 1e-19f, 1e19f, 1.8446743e19f,
                                FLT_MIN, FLT_MAX, FLT_EPSILON, FromBits(0x00000001),
                                FromBits(0x007fffff), FromBits(0x7f800000),
                                FromBits(0x7fc00000), FromBits(0x7fa00001),
                                FromBits(0x7fc12345), std::nextafter(1e-5f, 0.0f),
                                std::nextafter(1e-5f, 1.0f), 5.7735e-6f, 7.0710678e-6f};
    const std::size_t n = edges.size();
    for (std::size_t i = 0; i < n; ++i)
        edges.push_back(-edges[i]);
    return edges;
}

class Source {
public:
    explicit Source(unsigned seed) : rng_(seed), edges_(EdgeValues()) {}

    // Raw bit patterns, edge values, and the magnitudes games use, mixed.
    float Next()
    {
        const unsigned kind = rng_() % 16;
        if (kind < 4)
            return FromBits(std::uint32_t(rng_()));
        if (kind < 6)
            return edges_[rng_() % edges_.size()];
        if (kind < 7)  // near the normalisation threshold
            return std::uniform_real_distribution<float>(-2e-5f, 2e-5f)(rng_);
        if (kind < 12)
            return std::uniform_real_distribution<float>(-1000.0f, 1000.0f)(rng_);
        return std::uniform_real_distribution<float>(-1.0f, 1.0f)(rng_);
    }

    // An ordinary plane: a unit normal and an offset, or now and then raw floats.
    plane_t Plane()
    {
        if (rng_() % 8 == 0)
            return plane_t{Next(), Next(), Next(), Next()};
        std::uniform_real_distribution<float> u(-1.0f, 1.0f);
        const float a = u(rng_), b = u(rng_), c = u(rng_);
        const float len = std::sqrt(a * a + b * b + c * c) + 1e-3f;
        return plane_t{a / len, b / len, c / len, std::uniform_real_distribution<float>(
                                                      -100.0f, 100.0f)(rng_)};
    }

    std::mt19937& Engine() { return rng_; }

private:
    std::mt19937 rng_;
    std::vector<float> edges_;
};

struct Inputs {
    std::vector<Vector3D> a, b;
    std::vector<Vector2D> p, q;
    std::vector<float> f;
    frustum_t frustum;

    Inputs() : a(kBatch), b(kBatch), p(kBatch), q(kBatch), f(kBatch), frustum() {}

    void Fill(Source& source)
    {
        for (std::size_t i = 0; i < kBatch; ++i) {
            a[i] = Vector3D(source.Next(), source.Next(), source.Next());
            b[i] = Vector3D(source.Next(), source.Next(), source.Next());
            // Some pairs nearly parallel, so cross products cancel.
            if (i % 8 == 0)
                b[i] = Vector3D(a[i].x * 3.0f, a[i].y * 3.0f, a[i].z * 3.0000002f);
            p[i] = Vector2D(source.Next(), source.Next());
            q[i] = Vector2D(source.Next(), source.Next());
            f[i] = source.Next();
        }
        for (plane_t& plane : frustum.planes)
            plane = source.Plane();
    }
};

// [SECTION] Comparison

// Results are written as doubles: a float widens exactly, and the widening is itself
// what a game does with a result (GCC 12's vectoriser can drop the float rounding of a
// value that is widened again).
std::vector<double> got(kBatch * 4), want(kBatch * 4);
long compared = 0;
int failures = 0;

std::uint64_t Bits(double d)
{
    std::uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    return u;
}

void Compare(const char* name, std::size_t width)
{
    for (std::size_t i = 0; i < kBatch * width; ++i) {
        ++compared;
        const bool same = Bits(got[i]) == Bits(want[i]) ||
                          (std::isnan(got[i]) && std::isnan(want[i]));
        if (!same && ++failures <= 20)
            std::fprintf(stderr, "%s [%s]: input %zu, component %zu: inline %a, library %a\n",
                         name, QM_FLAGS, i / width, i % width, got[i], want[i]);
    }
}

void Put(double* o, const Vector3D& v)
{
    o[0] = v.x;
    o[1] = v.y;
    o[2] = v.z;
}

void Put(double* o, const Vector2D& v)
{
    o[0] = v.x;
    o[1] = v.y;
}

// Runs the inline form over the whole batch in one loop (for the vectorisers), then the
// exported form input by input, and compares the floats each wrote.
template <class Inline, class Library>
void Check(const char* name, std::size_t width, Inline inlineForm, Library libraryForm)
{
    double* g = got.data();
    for (std::size_t i = 0; i < kBatch; ++i)
        inlineForm(i, g + i * width);
    double* w = want.data();
    for (std::size_t i = 0; i < kBatch; ++i)
        libraryForm(i, w + i * width);
    Compare(name, width);
}

// [SECTION] The operations

void CheckVector3D(Inputs& in, const Exported& x)
{
    std::vector<Vector3D>& a = in.a;
    std::vector<Vector3D>& b = in.b;
    std::vector<float>& f = in.f;

    Check("Vector3D =", 3, [&](std::size_t i, double* o) { Vector3D r; r = a[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Vector3D r; (r.*x.assign3)(a[i]); Put(o, r); });
    Check("Vector3D ==", 1, [&](std::size_t i, double* o) { *o = double(a[i] == b[i]) + double(a[i] == a[i]); },
          [&](std::size_t i, double* o) { *o = double((a[i].*x.equal3)(b[i])) + double((a[i].*x.equal3)(a[i])); });
    Check("Vector3D +=", 3, [&](std::size_t i, double* o) { Vector3D r = a[i]; r += b[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Vector3D r = a[i]; (r.*x.addTo3)(b[i]); Put(o, r); });
    Check("Vector3D -=", 3, [&](std::size_t i, double* o) { Vector3D r = a[i]; r -= b[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Vector3D r = a[i]; (r.*x.subFrom3)(b[i]); Put(o, r); });
    Check("Vector3D *=", 3, [&](std::size_t i, double* o) { Vector3D r = a[i]; r *= b[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Vector3D r = a[i]; (r.*x.mulBy3)(b[i]); Put(o, r); });
    Check("Vector3D /=", 3, [&](std::size_t i, double* o) { Vector3D r = a[i]; r /= b[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Vector3D r = a[i]; (r.*x.divBy3)(b[i]); Put(o, r); });
    Check("Vector3D +", 3, [&](std::size_t i, double* o) { Put(o, a[i] + b[i]); },
          [&](std::size_t i, double* o) { Put(o, (a[i].*x.plus3)(b[i])); });
    Check("Vector3D -", 3, [&](std::size_t i, double* o) { Put(o, a[i] - b[i]); },
          [&](std::size_t i, double* o) { Put(o, (a[i].*x.minus3)(b[i])); });
    Check("Vector3D * vector", 3, [&](std::size_t i, double* o) { Put(o, a[i] * b[i]); },
          [&](std::size_t i, double* o) { Put(o, (a[i].*x.times3)(b[i])); });
    Check("Vector3D / vector", 3, [&](std::size_t i, double* o) { Put(o, a[i] / b[i]); },
          [&](std::size_t i, double* o) { Put(o, (a[i].*x.over3)(b[i])); });
    Check("Vector3D * float", 3, [&](std::size_t i, double* o) { Put(o, a[i] * f[i]); },
          [&](std::size_t i, double* o) { Put(o, (a[i].*x.scale3)(f[i])); });
    Check("Vector3D / float", 3, [&](std::size_t i, double* o) { Put(o, a[i] / f[i]); },
          [&](std::size_t i, double* o) { Put(o, (a[i].*x.shrink3)(f[i])); });
    Check("Vector3D::Add", 3, [&](std::size_t i, double* o) { Vector3D r; r.Add(a[i], b[i]); Put(o, r); },
          [&](std::size_t i, double* o) { Vector3D r; (r.*x.add3)(a[i], b[i]); Put(o, r); });
    Check("Vector3D::Subtract", 3, [&](std::size_t i, double* o) { Vector3D r; r.Subtract(a[i], b[i]); Put(o, r); },
          [&](std::size_t i, double* o) { Vector3D r; (r.*x.subtract3)(a[i], b[i]); Put(o, r); });
    Check("Vector3D::Multiply vector", 3, [&](std::size_t i, double* o) { Vector3D r; r.Multiply(a[i], b[i]); Put(o, r); },
          [&](std::size_t i, double* o) { Vector3D r; (r.*x.multiply3)(a[i], b[i]); Put(o, r); });
    Check("Vector3D::Divide vector", 3, [&](std::size_t i, double* o) { Vector3D r; r.Divide(a[i], b[i]); Put(o, r); },
          [&](std::size_t i, double* o) { Vector3D r; (r.*x.divide3)(a[i], b[i]); Put(o, r); });
    Check("Vector3D::Multiply float", 3, [&](std::size_t i, double* o) { Vector3D r; r.Multiply(a[i], f[i]); Put(o, r); },
          [&](std::size_t i, double* o) { Vector3D r; (r.*x.multiplyF3)(a[i], f[i]); Put(o, r); });
    Check("Vector3D::Divide float", 3, [&](std::size_t i, double* o) { Vector3D r; r.Divide(a[i], f[i]); Put(o, r); },
          [&](std::size_t i, double* o) { Vector3D r; (r.*x.divideF3)(a[i], f[i]); Put(o, r); });
    Check("Vector3D::Dot", 1, [&](std::size_t i, double* o) { *o = a[i].Dot(b[i]); },
          [&](std::size_t i, double* o) { *o = (a[i].*x.dot3)(b[i]); });
    Check("Vector3D::GetLength", 1, [&](std::size_t i, double* o) { *o = a[i].GetLength(); },
          [&](std::size_t i, double* o) { *o = (a[i].*x.length3)(); });
    Check("Vector3D::Normalize", 3, [&](std::size_t i, double* o) { Vector3D r = a[i]; r.Normalize(); Put(o, r); },
          [&](std::size_t i, double* o) { Vector3D r = a[i]; (r.*x.normalize3)(); Put(o, r); });
    Check("Vector3D::Cross", 3, [&](std::size_t i, double* o) { Put(o, a[i].Cross(b[i])); },
          [&](std::size_t i, double* o) { Put(o, (a[i].*x.cross3)(b[i])); });
    Check("Vector3D::Negate", 3, [&](std::size_t i, double* o) { Vector3D r = a[i]; r.Negate(); Put(o, r); },
          [&](std::size_t i, double* o) { Vector3D r = a[i]; (r.*x.negate3)(); Put(o, r); });

    // What games chain, where inlining lets the compiler merge one operation into the
    // next: a product into a sum (a fused multiply-add), a double-rounded result into
    // the next widening (the vectoriser), the benchmarks' mix.
    Check("pos += vel * dt", 3, [&](std::size_t i, double* o) { Vector3D r = a[i]; r += b[i] * f[i]; Put(o, r); },
          [&](std::size_t i, double* o) {
              Vector3D r = a[i];
              (r.*x.addTo3)((b[i].*x.scale3)(f[i]));
              Put(o, r);
          });
    Check("a - b * c", 3, [&](std::size_t i, double* o) { Vector3D r = b[i] * a[i]; Put(o, a[i] - r); },
          [&](std::size_t i, double* o) { Vector3D r = (b[i].*x.times3)(a[i]); Put(o, (a[i].*x.minus3)(r)); });
    // The conveniences beside the designed operators, against the designed exported forms.
    Check("Vector3D unary -", 3, [&](std::size_t i, double* o) { Put(o, -a[i]); },
          [&](std::size_t i, double* o) { Vector3D r = a[i]; (r.*x.negate3)(); Put(o, r); });
    Check("float * Vector3D", 3, [&](std::size_t i, double* o) { Put(o, f[i] * a[i]); },
          [&](std::size_t i, double* o) { Put(o, (a[i].*x.scale3)(f[i])); });
    Check("Vector3D *= float", 3, [&](std::size_t i, double* o) { Vector3D r = a[i]; r *= f[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Put(o, (a[i].*x.scale3)(f[i])); });
    Check("Vector3D /= float", 3, [&](std::size_t i, double* o) { Vector3D r = a[i]; r /= f[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Put(o, (a[i].*x.shrink3)(f[i])); });
    Check("Vector3D !=", 1, [&](std::size_t i, double* o) { *o = double(a[i] != b[i]) + double(a[i] != a[i]); },
          [&](std::size_t i, double* o) { *o = double(!(a[i].*x.equal3)(b[i])) + double(!(a[i].*x.equal3)(a[i])); });
    Check("Vector3D::Distance", 1, [&](std::size_t i, double* o) { *o = Vector3D::Distance(a[i], b[i]); },
          [&](std::size_t i, double* o) { Vector3D d = (a[i].*x.minus3)(b[i]); *o = (d.*x.length3)(); });
    Check("Vector3D::Normalized", 3, [&](std::size_t i, double* o) { Put(o, a[i].Normalized()); },
          [&](std::size_t i, double* o) { Vector3D r = a[i]; (r.*x.normalize3)(); Put(o, r); });
    Check("normalised cross", 3, [&](std::size_t i, double* o) { Vector3D n = a[i].Cross(b[i]); n.Normalize(); Put(o, n); },
          [&](std::size_t i, double* o) { Vector3D n = (a[i].*x.cross3)(b[i]); (n.*x.normalize3)(); Put(o, n); });
    Check("mix", 4,
          [&](std::size_t i, double* o) {
              Vector3D s = (a[i] + b[i]) * f[i];
              o[3] = s.Dot(b[i]) + s.GetLength();
              Vector3D n = s.Cross(b[i]);
              n.Normalize();
              Put(o, n);
          },
          [&](std::size_t i, double* o) {
              Vector3D s = ((a[i].*x.plus3)(b[i]).*x.scale3)(f[i]);
              o[3] = (s.*x.dot3)(b[i]) + (s.*x.length3)();
              Vector3D n = (s.*x.cross3)(b[i]);
              (n.*x.normalize3)();
              Put(o, n);
          });
}

void CheckVector2D(Inputs& in, const Exported& x)
{
    std::vector<Vector2D>& p = in.p;
    std::vector<Vector2D>& q = in.q;
    std::vector<float>& f = in.f;

    Check("Vector2D =", 2, [&](std::size_t i, double* o) { Vector2D r; r = p[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Vector2D r; (r.*x.assign2)(p[i]); Put(o, r); });
    Check("Vector2D ==", 1, [&](std::size_t i, double* o) { *o = double(p[i] == q[i]) + double(p[i] == p[i]); },
          [&](std::size_t i, double* o) { *o = double((p[i].*x.equal2)(q[i])) + double((p[i].*x.equal2)(p[i])); });
    Check("Vector2D +=", 2, [&](std::size_t i, double* o) { Vector2D r = p[i]; r += q[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Vector2D r = p[i]; (r.*x.addTo2)(q[i]); Put(o, r); });
    Check("Vector2D -=", 2, [&](std::size_t i, double* o) { Vector2D r = p[i]; r -= q[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Vector2D r = p[i]; (r.*x.subFrom2)(q[i]); Put(o, r); });
    Check("Vector2D *=", 2, [&](std::size_t i, double* o) { Vector2D r = p[i]; r *= q[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Vector2D r = p[i]; (r.*x.mulBy2)(q[i]); Put(o, r); });
    Check("Vector2D /=", 2, [&](std::size_t i, double* o) { Vector2D r = p[i]; r /= q[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Vector2D r = p[i]; (r.*x.divBy2)(q[i]); Put(o, r); });
    Check("Vector2D +", 2, [&](std::size_t i, double* o) { Put(o, p[i] + q[i]); },
          [&](std::size_t i, double* o) { Put(o, (p[i].*x.plus2)(q[i])); });
    Check("Vector2D -", 2, [&](std::size_t i, double* o) { Put(o, p[i] - q[i]); },
          [&](std::size_t i, double* o) { Put(o, (p[i].*x.minus2)(q[i])); });
    Check("Vector2D * vector", 2, [&](std::size_t i, double* o) { Put(o, p[i] * q[i]); },
          [&](std::size_t i, double* o) { Put(o, (p[i].*x.times2)(q[i])); });
    Check("Vector2D / vector", 2, [&](std::size_t i, double* o) { Put(o, p[i] / q[i]); },
          [&](std::size_t i, double* o) { Put(o, (p[i].*x.over2)(q[i])); });
    Check("Vector2D * float", 2, [&](std::size_t i, double* o) { Put(o, p[i] * f[i]); },
          [&](std::size_t i, double* o) { Put(o, (p[i].*x.scale2)(f[i])); });
    Check("Vector2D / float", 2, [&](std::size_t i, double* o) { Put(o, p[i] / f[i]); },
          [&](std::size_t i, double* o) { Put(o, (p[i].*x.shrink2)(f[i])); });
    Check("Vector2D::Dot", 1, [&](std::size_t i, double* o) { *o = p[i].Dot(q[i]); },
          [&](std::size_t i, double* o) { *o = (p[i].*x.dot2)(q[i]); });
    Check("Vector2D::GetLength", 1, [&](std::size_t i, double* o) { *o = p[i].GetLength(); },
          [&](std::size_t i, double* o) { *o = (p[i].*x.length2)(); });
    Check("Vector2D::GetLengthSq", 1, [&](std::size_t i, double* o) { *o = p[i].GetLengthSq(); },
          [&](std::size_t i, double* o) { *o = (p[i].*x.lengthSq2)(); });
    Check("Vector2D::Normalize", 2, [&](std::size_t i, double* o) { Vector2D r = p[i]; r.Normalize(); Put(o, r); },
          [&](std::size_t i, double* o) { Vector2D r = p[i]; (r.*x.normalize2)(); Put(o, r); });
    Check("Vector2D::SetLength", 2, [&](std::size_t i, double* o) { Vector2D r = p[i]; r.SetLength(f[i]); Put(o, r); },
          [&](std::size_t i, double* o) { Vector2D r = p[i]; (r.*x.setLength2)(f[i]); Put(o, r); });
    Check("Vector2D::Perp", 2, [&](std::size_t i, double* o) { Put(o, p[i].Perp()); },
          [&](std::size_t i, double* o) { Put(o, (p[i].*x.perp2)()); });

    // The conveniences beside the designed operators, against the designed exported forms.
    Check("Vector2D unary -", 2, [&](std::size_t i, double* o) { Put(o, -p[i]); },
          [&](std::size_t i, double* o) { Put(o, (p[i].*x.scale2)(-1.0f)); });
    Check("float * Vector2D", 2, [&](std::size_t i, double* o) { Put(o, f[i] * p[i]); },
          [&](std::size_t i, double* o) { Put(o, (p[i].*x.scale2)(f[i])); });
    Check("Vector2D *= float", 2, [&](std::size_t i, double* o) { Vector2D r = p[i]; r *= f[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Put(o, (p[i].*x.scale2)(f[i])); });
    Check("Vector2D /= float", 2, [&](std::size_t i, double* o) { Vector2D r = p[i]; r /= f[i]; Put(o, r); },
          [&](std::size_t i, double* o) { Put(o, (p[i].*x.shrink2)(f[i])); });
    Check("Vector2D !=", 1, [&](std::size_t i, double* o) { *o = double(p[i] != q[i]) + double(p[i] != p[i]); },
          [&](std::size_t i, double* o) { *o = double(!(p[i].*x.equal2)(q[i])) + double(!(p[i].*x.equal2)(p[i])); });
    Check("Vector2D::Distance", 1, [&](std::size_t i, double* o) { *o = Vector2D::Distance(p[i], q[i]); },
          [&](std::size_t i, double* o) { Vector2D d = (p[i].*x.minus2)(q[i]); *o = (d.*x.length2)(); });
    Check("Vector2D::WithLength", 2, [&](std::size_t i, double* o) { Put(o, p[i].WithLength(f[i])); },
          [&](std::size_t i, double* o) { Vector2D r = p[i]; (r.*x.setLength2)(f[i]); Put(o, r); });
    Check("Vector2D::Normalized", 2, [&](std::size_t i, double* o) { Put(o, p[i].Normalized()); },
          [&](std::size_t i, double* o) { Vector2D r = p[i]; (r.*x.normalize2)(); Put(o, r); });
    Check("2D pos -= vel * dt, scaled", 2,
          [&](std::size_t i, double* o) { Vector2D r = p[i]; r *= f[i]; Put(o, r + -(f[i] * q[i])); },
          [&](std::size_t i, double* o) {
              Vector2D r = (p[i].*x.scale2)(f[i]);
              Put(o, (r.*x.plus2)(((q[i].*x.scale2)(f[i]).*x.scale2)(-1.0f)));
          });

    Check("2D pos += vel * dt", 2, [&](std::size_t i, double* o) { Vector2D r = p[i]; r += q[i] * f[i]; Put(o, r); },
          [&](std::size_t i, double* o) {
              Vector2D r = p[i];
              (r.*x.addTo2)((q[i].*x.scale2)(f[i]));
              Put(o, r);
          });
    Check("2D dot of a product", 1, [&](std::size_t i, double* o) { *o = (p[i] * q[i]).Dot(q[i]) + p[i].GetLengthSq(); },
          [&](std::size_t i, double* o) { *o = ((p[i].*x.times2)(q[i]).*x.dot2)(q[i]) + (p[i].*x.lengthSq2)(); });
}

void CheckCulling(Inputs& in, const Exported& x)
{
    std::vector<Vector3D>& a = in.a;
    std::vector<float>& f = in.f;
    ViewFrustum view;
    view.frustum = in.frustum;
    // Centres within reach of the planes, so both answers occur.
    std::vector<Vector3D> centres(kBatch);
    for (std::size_t i = 0; i < kBatch; ++i)
        centres[i] = i % 4 == 0 ? a[i] : Vector3D(std::remainder(a[i].x, 200.0f),
                                                  std::remainder(a[i].y, 200.0f),
                                                  std::remainder(a[i].z, 200.0f));
    Check("SphereInFrustum", 1,
          [&](std::size_t i, double* o) { *o = double(SphereInFrustum(centres[i], f[i], in.frustum)); },
          [&](std::size_t i, double* o) { *o = double(x.sphereInFrustum(centres[i], f[i], in.frustum)); });
    Check("FrustumCheck", 1, [&](std::size_t i, double* o) { *o = double(view.FrustumCheck(centres[i], f[i])); },
          [&](std::size_t i, double* o) { *o = double((view.*x.frustumCheck)(centres[i], f[i])); });
}

}  // namespace

int main(int argc, char** argv)
{
    const char* file = argc > 1 ? argv[1] : QM_LIBRARY_FILE;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 256;
    library = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "cannot open %s: %s\n", file, dlerror());
        return 2;
    }
    const Exported exported;
    Source source(20261208);
    Inputs inputs;
    for (int round = 0; round < rounds && failures == 0; ++round) {
        inputs.Fill(source);
        CheckVector3D(inputs, exported);
        CheckVector2D(inputs, exported);
        CheckCulling(inputs, exported);
    }
    std::printf("%s: %ld floats compared, %d differ\n", QM_FLAGS, compared, failures);
    return failures == 0 ? 0 : 1;
}
