#include "Extensions.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The 36 members in lookup order, with their addresses for reading back.
struct Member {
    const char* name;
    void** slot;
    bool required;
};

#define QM_MEMBER(n, req) Member{#n, reinterpret_cast<void**>(&ext::n), req}
const std::vector<Member>& Members() {
    static const std::vector<Member> members = {
        QM_MEMBER(glCreateProgramObjectARB, true), QM_MEMBER(glCreateShaderObjectARB, true),
        QM_MEMBER(glCompileShaderARB, true),       QM_MEMBER(glLinkProgramARB, true),
        QM_MEMBER(glGetInfoLogARB, true),          QM_MEMBER(glDeleteObjectARB, true),
        QM_MEMBER(glUseProgramObjectARB, true),    QM_MEMBER(glShaderSourceARB, true),
        QM_MEMBER(glAttachObjectARB, true),        QM_MEMBER(glDetachObjectARB, false),
        QM_MEMBER(glGetObjectParameterivARB, true), QM_MEMBER(glGetUniformLocationARB, true),
        QM_MEMBER(glGetAttribLocationARB, false),  QM_MEMBER(glUniform4fARB, true),
        QM_MEMBER(glUniform1fARB, false),          QM_MEMBER(glUniform1iARB, true),
        QM_MEMBER(glEnableVertexAttribArrayARB, false), QM_MEMBER(glVertexAttribPointerARB, false),
        QM_MEMBER(glActiveTextureARB, false),      QM_MEMBER(glMultiTexCoord2fARB, false),
        QM_MEMBER(glMultiTexCoord3fARB, false),    QM_MEMBER(glSecondaryColor3fEXT, false),
        QM_MEMBER(glSecondaryColorPointerEXT, false), QM_MEMBER(glBlendEquationEXT, false),
        QM_MEMBER(wglSwapIntervalEXT, false),      QM_MEMBER(glGenFramebuffersEXT, false),
        QM_MEMBER(glBindFramebufferEXT, false),    QM_MEMBER(glGenRenderbuffersEXT, false),
        QM_MEMBER(glBindRenderbufferEXT, false),   QM_MEMBER(glRenderbufferStorageEXT, false),
        QM_MEMBER(glFramebufferRenderbufferEXT, false), QM_MEMBER(glFramebufferTexture2DEXT, false),
        QM_MEMBER(glCheckFramebufferStatusEXT, false), QM_MEMBER(glDeleteFramebuffersEXT, false),
        QM_MEMBER(glDeleteRenderbuffersEXT, false), QM_MEMBER(glDrawBuffers, false),
    };
    return members;
}
#undef QM_MEMBER

const char* const kSwapControl = "wglSwapIntervalEXT";

class ExtensionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        for (const Member& m : Members()) *m.slot = nullptr;  // as at library load
    }
    static std::vector<std::string> LookedUp() {
        std::vector<std::string> names;
        for (const fake::Call& c : fake::CallsNamed("GetProcAddress")) names.push_back(c.text);
        return names;
    }
    static std::vector<std::string> NamesFrom(size_t first, size_t last) {
        std::vector<std::string> names;
        for (size_t i = first; i <= last; ++i)
            if (Members()[i].name != std::string(kSwapControl)) names.push_back(Members()[i].name);
        return names;
    }
};

TEST_F(ExtensionsTest, FullDriverLoadsEveryGroupInTableOrder) {
    EXPECT_TRUE(InitExtensions());
    EXPECT_EQ(LookedUp(), NamesFrom(0, 35));
    for (const Member& m : Members()) EXPECT_NE(*m.slot, nullptr) << m.name;
    EXPECT_EQ(fake::Count("glGetString"), 1u) << "the extension string is read once";
    EXPECT_EQ(fake::Count("ShowMessage"), 0u);
}

TEST_F(ExtensionsTest, MissingShaderExtensionsFailSilentlyWithoutLookups) {
    const char* strings[] = {"GL_ARB_shader_objects GL_ARB_multitexture",
                             "GL_ARB_shading_language_100 GL_ARB_multitexture", ""};
    for (const char* s : strings) {
        fake::Reset();
        fake::script.glExtensions = s;
        EXPECT_FALSE(InitExtensions()) << s;
        EXPECT_EQ(fake::Count("GetProcAddress"), 0u) << s;
        EXPECT_EQ(fake::Count("ShowMessage"), 0u) << s;
        EXPECT_EQ(ext::wglSwapIntervalEXT, nullptr);
    }
}

TEST_F(ExtensionsTest, NoCurrentContextIsTreatedAsNoExtensions) {
    fake::script.noContext = true;
    EXPECT_FALSE(InitExtensions());
    EXPECT_EQ(fake::Count("GetProcAddress"), 0u);
}

TEST_F(ExtensionsTest, ExtensionNamesMatchAsPlainSubstrings) {
    fake::script.glExtensions = "GL_ARB_shading_language_100_extra GL_ARB_shader_objectsX";
    EXPECT_TRUE(InitExtensions());
}

TEST_F(ExtensionsTest, EachMissingRequiredPointerShowsTheMessageAndStopsAfterGroupOne) {
    for (const Member& missing : Members()) {
        if (!missing.required) continue;
        SetUp();
        fake::script.missingProcs = {missing.name};
        EXPECT_FALSE(InitExtensions()) << missing.name;
        std::vector<fake::Call> messages = fake::CallsNamed("ShowMessage");
        ASSERT_EQ(messages.size(), 1u) << missing.name;
        EXPECT_EQ(messages[0].text, "Error...|Error loading GLSlang shader functions.");
        EXPECT_EQ(LookedUp(), NamesFrom(0, 17)) << "group 1 only";
        EXPECT_EQ(ext::glGenFramebuffersEXT, nullptr);
        EXPECT_EQ(ext::wglSwapIntervalEXT, nullptr);
    }
}

TEST_F(ExtensionsTest, OptionalPointersMayBeMissing) {
    fake::script.missingProcs = {"glDetachObjectARB", "glGetAttribLocationARB", "glUniform1fARB",
                                 "glEnableVertexAttribArrayARB", "glVertexAttribPointerARB",
                                 "glBlendEquationEXT", "glDrawBuffers"};
    EXPECT_TRUE(InitExtensions());
    for (const Member& m : Members()) {
        bool shouldBeNull = fake::script.missingProcs.count(m.name) > 0;
        EXPECT_EQ(*m.slot == nullptr, shouldBeNull) << m.name;
    }
    EXPECT_EQ(fake::Count("ShowMessage"), 0u);
}

TEST_F(ExtensionsTest, SwapControlIsLoadedOnlyWhenOffered) {
    fake::script.swapControl = false;
    EXPECT_TRUE(InitExtensions());
    EXPECT_EQ(ext::wglSwapIntervalEXT, nullptr);
    EXPECT_EQ(fake::Count("GetSwapIntervalProc"), 0u);
    std::vector<fake::Call> asked = fake::CallsNamed("HasSwapControl");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text, fake::script.glExtensions) << "decided from the same string";

    fake::script.swapControl = true;
    EXPECT_TRUE(InitExtensions());
    ASSERT_NE(ext::wglSwapIntervalEXT, nullptr);
    EXPECT_EQ(ext::wglSwapIntervalEXT(1), 1);

    // A later driver without it keeps the earlier pointer.
    auto earlier = ext::wglSwapIntervalEXT;
    fake::script.swapControl = false;
    EXPECT_TRUE(InitExtensions());
    EXPECT_EQ(ext::wglSwapIntervalEXT, earlier);
}

TEST_F(ExtensionsTest, ASecondCallGivesTheSameResultAndPointers) {
    ASSERT_TRUE(InitExtensions());
    std::vector<void*> first;
    for (const Member& m : Members()) first.push_back(*m.slot);
    ASSERT_TRUE(InitExtensions());
    for (size_t i = 0; i < Members().size(); ++i) EXPECT_EQ(*Members()[i].slot, first[i]);
}

TEST_F(ExtensionsTest, EarlierPointersSurviveLaterFailures) {
    ASSERT_TRUE(InitExtensions());
    void* framebuffers = reinterpret_cast<void*>(ext::glGenFramebuffersEXT);

    fake::script.missingProcs = {"glUniform1iARB"};
    EXPECT_FALSE(InitExtensions());
    EXPECT_EQ(ext::glUniform1iARB, nullptr) << "group 1 holds the new lookups";
    EXPECT_EQ(reinterpret_cast<void*>(ext::glGenFramebuffersEXT), framebuffers);

    fake::script.glExtensions = "";
    EXPECT_FALSE(InitExtensions());
    EXPECT_EQ(reinterpret_cast<void*>(ext::glGenFramebuffersEXT), framebuffers);
}

}  // namespace
