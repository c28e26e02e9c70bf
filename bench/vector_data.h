// The vectors of the vector-math benchmarks, the same values for Quillmar,
// GLM and the inline transcription of the library's arithmetic.
#ifndef QUILLMAR_BENCH_VECTOR_DATA_H
#define QUILLMAR_BENCH_VECTOR_DATA_H

#include <Quillmar.h>

#include <benchmark/benchmark.h>
#include <glm/glm.hpp>

#include <random>
#include <string>
#include <vector>

namespace qmbench {

constexpr size_t kVectors = 1024;  // small enough to stay in cache: arithmetic, not memory

// Plain three floats, for the transcription.
struct V3 {
    float x, y, z;
};

struct VectorData {
    std::vector<Vector3D> a, b, axis, out;
    std::vector<glm::vec3> ga, gb, gaxis, gout;
    std::vector<V3> da, db, daxis, dout;
    std::vector<float> scale, degrees;

    VectorData() {
        std::mt19937 rng(11);
        std::uniform_real_distribution<float> component(-100.0f, 100.0f);
        std::uniform_real_distribution<float> factor(0.25f, 4.0f);
        std::uniform_real_distribution<float> angle(-360.0f, 360.0f);
        for (size_t i = 0; i < kVectors; ++i) {
            float v[9];
            for (float& c : v) c = component(rng);
            a.emplace_back(v[0], v[1], v[2]);
            b.emplace_back(v[3], v[4], v[5]);
            axis.emplace_back(v[6], v[7], v[8]);
            ga.emplace_back(v[0], v[1], v[2]);
            gb.emplace_back(v[3], v[4], v[5]);
            gaxis.emplace_back(v[6], v[7], v[8]);
            da.push_back({v[0], v[1], v[2]});
            db.push_back({v[3], v[4], v[5]});
            daxis.push_back({v[6], v[7], v[8]});
            scale.push_back(factor(rng));
            degrees.push_back(angle(rng));
        }
        out.resize(kVectors);
        gout.resize(kVectors);
        dout.resize(kVectors);
    }
};

inline VectorData& Vectors() {
    static VectorData data;
    return data;
}

inline void Items(benchmark::State& state) {
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(kVectors));
}

// Set by main from CheckTranscription(): the inline transcription is timed
// only while it gives the library's results.
extern bool transcriptionExact;

// True (and the run marked skipped) for the transcription's benchmarks when
// it does not match the library, e.g. against an older build of the library.
inline bool Skip(benchmark::State& state, const char* side) {
    if (transcriptionExact || std::string(side) != "Designed") return false;
    state.SkipWithError("the transcription does not match this library build");
    return true;
}

// One operation over all vectors per iteration.
#define QM_VEC_BENCH(Name, Side, body)                              \
    void BM_Vec_##Name##_##Side(benchmark::State& state) {          \
        if (Skip(state, #Side)) return;                             \
        VectorData& d = Vectors();                                  \
        float sum = 0.0f;                                           \
        for (auto _ : state) {                                      \
            for (size_t i = 0; i < kVectors; ++i) { body; }         \
            benchmark::ClobberMemory();                             \
        }                                                           \
        benchmark::DoNotOptimize(sum);                              \
        Items(state);                                               \
    }                                                               \
    BENCHMARK(BM_Vec_##Name##_##Side);

// The mix through the library, shared by the benchmark and the check of the
// transcription.
float MixQuillmar(VectorData& d);

// True when the transcription gives the library's floats bit for bit.
bool CheckTranscription();

}  // namespace qmbench

#endif
