// How the vector and culling headers define their hot operations inline.
//
// Vector2D, Vector3D and the sphere test of ViewFrustum define their small operations in
// the headers, so that a game's compiler inlines them into its loops. The library keeps
// exported out-of-line copies of the very same definitions (a game built against an
// older header still links), compiled once in the file that owns each class.
//
// An inlined operation gives the same floats, bit for bit, as the library's copy, whatever
// flags the game compiles with (-O0 to -O3, -march=native, -ffp-contract=fast, the
// vectorisers). Each definition uses only
//   - single float operations (+ - * / and the square root), each rounded once, and
//   - products of two floats held in double, which are exact, so fusing them into
//     multiply-adds cannot change a sum;
// and every float product or float rounded from double that an operation hands back goes
// through Rounded() below. Operations whose exactness rests on more than that (the
// rotations, the angle conversions) stay out of line.
//
// -ffast-math, and any of its parts (-fassociative-math, -freciprocal-math,
// -ffinite-math-only, -fno-signed-zeros), is outside this promise, as is x87 arithmetic
// (32-bit x86 without SSE).
#ifndef QUILLMAR_INLINE_H
#define QUILLMAR_INLINE_H

namespace quillmar_detail {

// Returns v unchanged, as a value the optimiser cannot see into. Without it,
// -ffp-contract=fast fuses a float product with the add that uses it (pos += vel * dt
// becomes one fused multiply-add, the product's rounding lost), and GCC 12's vectoriser
// drops the rounding of a float that is widened back to double (a cross product that is
// normalised next).
inline float Rounded(float v)
{
#if defined(__GNUC__) && defined(__SSE_MATH__)
    __asm__("" : "+x"(v));
#elif defined(__GNUC__) && defined(__aarch64__)
    __asm__("" : "+w"(v));
#elif defined(__GNUC__)
    __asm__("" : "+m"(v));
#endif
    return v;
}

}  // namespace quillmar_detail

#endif
