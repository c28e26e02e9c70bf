// Culling and vector math: Quillmar beside the same work written the way a
// GLM user would write it. Pure computation; no window is opened.
#include "vector_data.h"

#include <Quillmar.h>

#include <benchmark/benchmark.h>
#include <glm/glm.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/quaternion.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <cstdio>
#include <map>
#include <random>
#include <vector>

namespace {

// [SECTION] Culling

// What a GLM user keeps: six planes (xyz normal, w offset), and the usual
// sphere test, with the library's "touching from outside is outside" rule.
struct GlmFrustum {
    glm::vec4 planes[6];
};

inline bool GlmSphereVisible(const GlmFrustum& f, const glm::vec3& center, float radius) {
    for (const glm::vec4& p : f.planes)
        if (glm::dot(glm::vec3(p), center) + p.w <= -radius) return false;
    return true;
}

enum Layout { kScattered = 0, kAllVisible = 1 };

// The scene: a 60-degree camera at the origin looking down -z. Scattered
// spheres are about 43% visible and the rejecting plane varies from sphere
// to sphere (branches a predictor cannot learn); the all-visible spheres pass
// every plane (branches it always gets right).
struct Scene {
    frustum_t frustum{};
    GlmFrustum glmFrustum{};
    std::vector<Vector3D> centers;
    std::vector<glm::vec3> glmCenters;
    std::vector<float> radii;

    Scene(size_t count, Layout layout) {
        glm::mat4 q = glm::perspective(glm::radians(60.0f), 4.0f / 3.0f, 1.0f, 1000.0f) *
                      glm::lookAt(glm::vec3(0, 0, 0), glm::vec3(0, 0, -1), glm::vec3(0, 1, 0));
        float* m = glm::value_ptr(q);  // column-major, as OpenGL hands it to Step()
        ExtractPlane(frustum.topPlane, m, -2);
        ExtractPlane(frustum.bottomPlane, m, 2);
        ExtractPlane(frustum.leftPlane, m, 1);
        ExtractPlane(frustum.rightPlane, m, -1);
        ExtractPlane(frustum.nearPlane, m, 3);
        ExtractPlane(frustum.farPlane, m, -3);
        // The very same planes, so both sides test one frustum.
        for (int i = 0; i < 6; ++i) {
            const plane_t& p = frustum.planes[i];
            glmFrustum.planes[i] = glm::vec4(p.a, p.b, p.c, p.d);
        }

        std::mt19937 rng(7);
        const bool all = layout == kAllVisible;
        std::uniform_real_distribution<float> side(all ? -5.0f : -500.0f, all ? 5.0f : 500.0f);
        std::uniform_real_distribution<float> depth(all ? -110.0f : -1100.0f,
                                                    all ? -100.0f : 100.0f);
        std::uniform_real_distribution<float> radius(0.5f, 20.0f);
        centers.reserve(count);
        glmCenters.reserve(count);
        radii.reserve(count);
        for (size_t i = 0; i < count; ++i) {
            float x = side(rng), y = side(rng), z = depth(rng);
            centers.emplace_back(x, y, z);
            glmCenters.emplace_back(x, y, z);
            radii.push_back(radius(rng));
        }
    }
};

const Scene& SceneFor(const benchmark::State& state) {
    static std::map<std::pair<int64_t, int64_t>, Scene> scenes;
    const auto key = std::make_pair(state.range(0), state.range(1));
    auto found = scenes.find(key);
    if (found == scenes.end())
        found = scenes.emplace(key, Scene(size_t(key.first), Layout(key.second))).first;
    return found->second;
}

void Report(benchmark::State& state, size_t count, long visible) {
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(count));
    state.counters["visible"] = double(visible);
}

void BM_Cull_FrustumCheck(benchmark::State& state) {
    const Scene& scene = SceneFor(state);
    ViewFrustum view;
    view.frustum = scene.frustum;
    const size_t n = scene.centers.size();
    long visible = 0;
    for (auto _ : state) {
        visible = 0;
        for (size_t i = 0; i < n; ++i)
            visible += view.FrustumCheck(scene.centers[i], scene.radii[i]);
        benchmark::DoNotOptimize(visible);
    }
    Report(state, n, visible);
}

void BM_Cull_SphereInFrustum(benchmark::State& state) {
    const Scene& scene = SceneFor(state);
    const size_t n = scene.centers.size();
    long visible = 0;
    for (auto _ : state) {
        visible = 0;
        for (size_t i = 0; i < n; ++i)
            visible += SphereInFrustum(scene.centers[i], scene.radii[i], scene.frustum);
        benchmark::DoNotOptimize(visible);
    }
    Report(state, n, visible);
}

void BM_Cull_Glm(benchmark::State& state) {
    const Scene& scene = SceneFor(state);
    const size_t n = scene.glmCenters.size();
    long visible = 0;
    for (auto _ : state) {
        visible = 0;
        for (size_t i = 0; i < n; ++i)
            visible += GlmSphereVisible(scene.glmFrustum, scene.glmCenters[i], scene.radii[i]);
        benchmark::DoNotOptimize(visible);
    }
    Report(state, n, visible);
}

// Arguments: sphere count, layout.
void CullArgs(benchmark::internal::Benchmark* b) {
    b->Args({100000, kScattered})->Args({1000000, kScattered})->Args({100000, kAllVisible});
    b->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_Cull_FrustumCheck)->Apply(CullArgs);
BENCHMARK(BM_Cull_SphereInFrustum)->Apply(CullArgs);
BENCHMARK(BM_Cull_Glm)->Apply(CullArgs);

// [SECTION] Vector math
// The inline transcription of the library's arithmetic ("Designed") lives in
// bench_math_designed.cpp, compiled with the library's own flags.

}  // namespace

namespace qmbench {

// The mix, as a game would write it with each library: sum, scale, dot,
// cross, normalise, rotate about an axis. Returns the checksum.
float MixQuillmar(VectorData& d) {
    float sum = 0.0f;
    for (size_t i = 0; i < kVectors; ++i) {
        Vector3D v = d.a[i] + d.b[i];
        Vector3D s = v * d.scale[i];
        float dot = s.Dot(d.b[i]);
        Vector3D n = s.Cross(d.b[i]);
        n.Normalize();
        n.RotateAxis(d.degrees[i], d.axis[i]);
        sum += dot + n.x + n.y + n.z;
    }
    return sum;
}

}  // namespace qmbench

namespace {

using namespace qmbench;

float MixGlm(VectorData& d) {
    float sum = 0.0f;
    for (size_t i = 0; i < kVectors; ++i) {
        glm::vec3 s = (d.ga[i] + d.gb[i]) * d.scale[i];
        float dot = glm::dot(s, d.gb[i]);
        glm::vec3 n = glm::normalize(glm::cross(s, d.gb[i]));
        n = glm::angleAxis(glm::radians(d.degrees[i]), glm::normalize(d.gaxis[i])) * n;
        sum += dot + n.x + n.y + n.z;
    }
    return sum;
}

void BM_Vec_Mix_Quillmar(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(MixQuillmar(Vectors()));
    Items(state);
}
void BM_Vec_Mix_Glm(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(MixGlm(Vectors()));
    Items(state);
}
BENCHMARK(BM_Vec_Mix_Quillmar);
BENCHMARK(BM_Vec_Mix_Glm);

// Each operation alone, to show where the mix's time goes.
QM_VEC_BENCH(Add, Quillmar, d.out[i] = d.a[i] + d.b[i])
QM_VEC_BENCH(Add, Glm, d.gout[i] = d.ga[i] + d.gb[i])
QM_VEC_BENCH(Subtract, Quillmar, d.out[i] = d.a[i] - d.b[i])
QM_VEC_BENCH(Subtract, Glm, d.gout[i] = d.ga[i] - d.gb[i])
QM_VEC_BENCH(Scale, Quillmar, d.out[i] = d.a[i] * d.scale[i])
QM_VEC_BENCH(Scale, Glm, d.gout[i] = d.ga[i] * d.scale[i])
QM_VEC_BENCH(Dot, Quillmar, sum += d.a[i].Dot(d.b[i]))
QM_VEC_BENCH(Dot, Glm, sum += glm::dot(d.ga[i], d.gb[i]))
QM_VEC_BENCH(Cross, Quillmar, d.out[i] = d.a[i].Cross(d.b[i]))
QM_VEC_BENCH(Cross, Glm, d.gout[i] = glm::cross(d.ga[i], d.gb[i]))
QM_VEC_BENCH(Normalize, Quillmar, d.out[i] = d.a[i]; d.out[i].Normalize())
QM_VEC_BENCH(Normalize, Glm, d.gout[i] = glm::normalize(d.ga[i]))
QM_VEC_BENCH(RotateAxis, Quillmar, d.out[i] = d.a[i]; d.out[i].RotateAxis(d.degrees[i], d.axis[i]))
QM_VEC_BENCH(RotateAxis, Glm,
             d.gout[i] = glm::angleAxis(glm::radians(d.degrees[i]), glm::normalize(d.gaxis[i])) *
                         d.ga[i])

// [SECTION] Checks before timing

// Both culling tests must see the same visible set.
bool CheckCulling() {
    for (Layout layout : {kScattered, kAllVisible}) {
        Scene scene(100000, layout);
        long differ = 0;
        for (size_t i = 0; i < scene.radii.size(); ++i)
            differ += SphereInFrustum(scene.centers[i], scene.radii[i], scene.frustum) !=
                      GlmSphereVisible(scene.glmFrustum, scene.glmCenters[i], scene.radii[i]);
        if (differ) {
            std::fprintf(stderr, "bench_math: culling results differ for %ld spheres\n", differ);
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (!CheckCulling()) return 1;
    qmbench::transcriptionExact = qmbench::CheckTranscription();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
