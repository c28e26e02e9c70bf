// Screenshots against a hostile GL state and hostile files: the game's pack
// parameters and bindings, a framebuffer that lags the window's size, and
// targets that cannot (or must not) be written.
#include "Diagnostics.h"
#include "Screenshot.h"

#include "fakes/Fakes.h"
#include "support/PngFile.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#if !defined(_WIN32)
#include <dirent.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

constexpr GLenum kPackParameters[] = {GL_PACK_SWAP_BYTES, GL_PACK_LSB_FIRST, GL_PACK_ROW_LENGTH,
                                      GL_PACK_SKIP_ROWS, GL_PACK_SKIP_PIXELS, GL_PACK_ALIGNMENT};

std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

class ScreenshotSafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        ClearDiagnostic();
        fake::script.windowOpen = true;
        fake::script.windowWidth = 16;
        fake::script.windowHeight = 12;
    }
    void TearDown() override { std::remove(path.c_str()); }

    // The image saved is the window's back buffer: the fake's gradient, blue 0.
    void ExpectTheWindowsPixels() {
        testpng::Image image;
        std::string why;
        ASSERT_TRUE(testpng::Read(path, image, why)) << why;
        ASSERT_EQ(image.width, 16);
        ASSERT_EQ(image.height, 12);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x) {
                const unsigned char* p = &image.rgb[std::size_t((11 - y) * 16 + x) * 3];
                ASSERT_EQ(p[0], x);
                ASSERT_EQ(p[1], y);
                ASSERT_EQ(p[2], 0) << "read from the game's framebuffer object";
            }
    }

    // One file per test: CTest runs the unit tests in parallel.
    std::string path = ::testing::TempDir() + "qm_unit_shot_safety_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
};

TEST_F(ScreenshotSafetyTest, ReadsWithDefaultPackStateAndBindingsAndGivesTheGamesBack) {
    const int game[] = {1, 1, 64, 12, 5, 8};  // the order of kPackParameters
    struct Context {
        const char* version;
        std::string extensions;
        GLenum framebufferTarget;  // what unbinds the game's framebuffer for reading
        unsigned packBuffer;       // the game's; none where the context has none
    } contexts[] = {
        {"1.5", "GL_EXT_framebuffer_object", 0x8D40, 0},
        {"4.5 (Compatibility Profile) Mesa", "GL_ARB_shader_objects", 0x8CA8, 5},
    };
    for (const Context& c : contexts) {
        SCOPED_TRACE(c.version);
        fake::Reset();
        SetUp();
        for (int i = 0; i < 6; ++i) fake::pixels.pack[kPackParameters[i]] = game[i];
        fake::pixels.version = c.version;
        fake::script.glExtensions = c.extensions;
        fake::pixels.packBuffer = c.packBuffer;
        fake::pixels.readFramebuffer = 9;
        fake::pixels.readBuffer = GL_FRONT;

        ASSERT_TRUE(SaveScreenshot(path.c_str())) << GetLastDiagnosticMessage();
        ExpectTheWindowsPixels();
        for (int i = 0; i < 6; ++i) EXPECT_EQ(fake::pixels.pack[kPackParameters[i]], game[i]);
        EXPECT_EQ(fake::pixels.packBuffer, c.packBuffer);
        EXPECT_EQ(fake::pixels.readFramebuffer, 9u);
        EXPECT_EQ(fake::pixels.readBuffer, unsigned(GL_FRONT));
        const std::vector<fake::Call> binds = fake::CallsNamed("glBindFramebuffer");
        ASSERT_EQ(binds.size(), 2u);
        EXPECT_EQ(binds[0].args, (std::vector<double>{double(c.framebufferTarget), 0}));
    }

    // A binding that cannot be undone (no entry point) fails the read; and a
    // GL 1.x context is never asked about tokens it does not know.
    fake::Reset();
    SetUp();
    fake::script.glExtensions = "GL_EXT_framebuffer_object";
    fake::script.missingProcs = {"glBindFramebufferEXT"};
    fake::pixels.readFramebuffer = 9;
    EXPECT_FALSE(SaveScreenshot(path.c_str()));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::ScreenshotUnreadable);
    for (const fake::Call& call : fake::CallsNamed("glGetIntegerv")) {
        EXPECT_NE(call.args[0], 0x88ED) << "pixel-pack buffer binding asked of GL 1.x";
        EXPECT_NE(call.args[0], 0x8CAA) << "read framebuffer binding asked of GL 1.x";
    }
    EXPECT_EQ(fake::pixels.readFramebuffer, 9u);
    EXPECT_EQ(fake::pixels.pack[GL_PACK_ALIGNMENT], 4) << "pack state given back on failure";
}

// After SetSize in the same frame the framebuffer keeps its old size until the
// swap: the rest of the image would be bytes nobody read.
TEST_F(ScreenshotSafetyTest, AFramebufferSmallerThanTheWindowIsNotSaved) {
    Put(path, "earlier");
    fake::pixels.framebufferWidth = 4;
    EXPECT_FALSE(SaveScreenshot(path.c_str()));
    EXPECT_EQ(GetLastDiagnostic(), Diagnostic::ScreenshotUnreadable);
    EXPECT_NE(std::string(GetLastDiagnosticMessage()).find("16 x 12"), std::string::npos)
        << GetLastDiagnosticMessage();
    EXPECT_EQ(Contents(path), "earlier");

    fake::pixels.framebufferWidth = 16;
    fake::pixels.framebufferHeight = 11;
    EXPECT_FALSE(SaveScreenshot(path.c_str()));
    fake::pixels.framebufferHeight = 0;
    EXPECT_TRUE(SaveScreenshot(path.c_str()));
    ExpectTheWindowsPixels();
}

#if !defined(_WIN32)

std::set<std::string> Entries(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) names.insert(e->d_name);
        closedir(d);
    }
    return names;
}

// Runs `body` in a child process (its limits and identity stay there); its
// exit status, 0 when every check in it held.
template <typename Body>
int InChild(Body body) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class ScreenshotFileTest : public ScreenshotSafetyTest {
protected:
    void SetUp() override {
        ScreenshotSafetyTest::SetUp();
        char pattern[] = "/tmp/qm_shot_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        path = dir + "/shot.png";
    }
    void TearDown() override {
        chmod(dir.c_str(), 0755);
        for (const std::string& name : Entries(dir))
            if (name != "." && name != "..") std::remove((dir + "/" + name).c_str());
        rmdir(dir.c_str());
    }
    std::string dir;
};

TEST_F(ScreenshotFileTest, TargetsThatAreNoRegularFileAreRefusedWithoutBlocking) {
    const std::string fifo = dir + "/pipe.png";
#if defined(__EMSCRIPTEN__)
    // A web page's file system (MEMFS) has no named pipes.
    if (mkfifo(fifo.c_str(), 0644) != 0) GTEST_SKIP() << "no named pipes in this file system";
#else
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
#endif
    const std::string sub = dir + "/sub.png";
    ASSERT_EQ(mkdir(sub.c_str(), 0755), 0);
    const std::string link = dir + "/link.png";
    ASSERT_EQ(symlink("/dev/null", link.c_str()), 0);
    // A FIFO with no reader would block an ordinary open for writing forever.
    for (const std::string& target : {fifo, sub, link, std::string("/dev/null"),
                                      std::string("/dev/full")}) {
        ClearDiagnostic();
        EXPECT_FALSE(SaveScreenshot(target.c_str())) << target;
        EXPECT_EQ(GetLastDiagnostic(), Diagnostic::ScreenshotNotAFile) << target;
    }
    struct stat info{};
    ASSERT_EQ(lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_EQ(Entries(dir), (std::set<std::string>{".", "..", "pipe.png", "sub.png", "link.png"}));

    // /proc's files read as regular but take no new file beside them.
    for (const char* target : {"/proc/version", "/proc/self/status"}) {
        ClearDiagnostic();
        EXPECT_FALSE(SaveScreenshot(target)) << target;
        EXPECT_EQ(GetLastDiagnostic(), Diagnostic::ScreenshotWriteFailed) << target;
    }

    // A link to a regular file: the file is replaced, the link kept.
    Put(path, "earlier");
    const std::string toFile = dir + "/latest.png";
    ASSERT_EQ(symlink(path.c_str(), toFile.c_str()), 0);
    ASSERT_TRUE(SaveScreenshot(toFile.c_str())) << GetLastDiagnosticMessage();
    ASSERT_EQ(lstat(toFile.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ExpectTheWindowsPixels();
}

TEST_F(ScreenshotFileTest, AFailedWriteReportsTheReasonAndLeavesTheEarlierFile) {
    Put(path, "earlier");

    // A file-size limit: the write fails part way (EFBIG, SIGXFSZ ignored).
    EXPECT_EQ(InChild([&] {
                  signal(SIGXFSZ, SIG_IGN);
                  rlimit limit{40, 40};  // inside the first data chunk
                  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
                  if (SaveScreenshot(path.c_str())) return 11;
                  if (GetLastDiagnostic() != Diagnostic::ScreenshotWriteFailed) return 12;
                  if (!std::strstr(GetLastDiagnosticMessage(), std::strerror(EFBIG))) return 13;
                  return 0;
              }),
              0);
    EXPECT_EQ(Contents(path), "earlier");
    EXPECT_EQ(Entries(dir), (std::set<std::string>{".", "..", "shot.png"})) << "a partial file left";

    // A directory that takes no new file (root is let in anywhere: not in the child).
    ASSERT_EQ(chmod(dir.c_str(), 0555), 0);
    const int result = InChild([&] {
        if (geteuid() == 0 && setuid(65534) != 0) return 77;
        if (SaveScreenshot(path.c_str())) return 11;
        if (GetLastDiagnostic() != Diagnostic::ScreenshotWriteFailed) return 12;
        if (!std::strstr(GetLastDiagnosticMessage(), std::strerror(EACCES))) return 13;
        return 0;
    });
    if (result == 77) GTEST_SKIP() << "cannot drop root to test a read-only directory";
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Contents(path), "earlier");
}

#endif  // !_WIN32

}  // namespace
