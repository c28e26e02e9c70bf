#include "Extensions.h"

#include "system.h"

#include <GL/gl.h>

#include <cstring>

// [SECTION] The entry points, null until loaded
#define QM_EXT(ret, name, params) ret(QM_GLAPIENTRY* ext::name) params = nullptr;
QM_EXT(unsigned int, glCreateProgramObjectARB, ())
QM_EXT(unsigned int, glCreateShaderObjectARB, (unsigned int))
QM_EXT(void, glCompileShaderARB, (unsigned int))
QM_EXT(void, glLinkProgramARB, (unsigned int))
QM_EXT(void, glGetInfoLogARB, (unsigned int, int, int*, char*))
QM_EXT(void, glDeleteObjectARB, (unsigned int))
QM_EXT(void, glUseProgramObjectARB, (unsigned int))
QM_EXT(void, glShaderSourceARB, (unsigned int, int, const char**, const int*))
QM_EXT(void, glAttachObjectARB, (unsigned int, unsigned int))
QM_EXT(void, glDetachObjectARB, (unsigned int, unsigned int))
QM_EXT(void, glGetObjectParameterivARB, (unsigned int, unsigned int, int*))
QM_EXT(int, glGetUniformLocationARB, (unsigned int, const char*))
QM_EXT(int, glGetAttribLocationARB, (unsigned int, const char*))
QM_EXT(void, glUniform4fARB, (int, float, float, float, float))
QM_EXT(void, glUniform1fARB, (int, float))
QM_EXT(void, glUniform1iARB, (int, int))
QM_EXT(void, glEnableVertexAttribArrayARB, (unsigned int))
QM_EXT(void, glVertexAttribPointerARB, (unsigned int, int, unsigned int, unsigned char, int, const void*))
QM_EXT(void, glActiveTextureARB, (unsigned int))
QM_EXT(void, glMultiTexCoord2fARB, (unsigned int, float, float))
QM_EXT(void, glMultiTexCoord3fARB, (unsigned int, float, float, float))
QM_EXT(void, glSecondaryColor3fEXT, (float, float, float))
QM_EXT(void, glSecondaryColorPointerEXT, (int, unsigned int, int, const void*))
QM_EXT(void, glBlendEquationEXT, (unsigned int))
QM_EXT(int, wglSwapIntervalEXT, (int))
QM_EXT(void, glGenFramebuffersEXT, (int, unsigned int*))
QM_EXT(void, glBindFramebufferEXT, (unsigned int, unsigned int))
QM_EXT(void, glGenRenderbuffersEXT, (int, unsigned int*))
QM_EXT(void, glBindRenderbufferEXT, (unsigned int, unsigned int))
QM_EXT(void, glRenderbufferStorageEXT, (unsigned int, unsigned int, int, int))
QM_EXT(void, glFramebufferRenderbufferEXT, (unsigned int, unsigned int, unsigned int, unsigned int))
QM_EXT(void, glFramebufferTexture2DEXT, (unsigned int, unsigned int, unsigned int, unsigned int, int))
QM_EXT(unsigned int, glCheckFramebufferStatusEXT, (unsigned int))
QM_EXT(void, glDeleteFramebuffersEXT, (int, const unsigned int*))
QM_EXT(void, glDeleteRenderbuffersEXT, (int, const unsigned int*))
QM_EXT(void, glDrawBuffers, (int, const unsigned int*))
#undef QM_EXT

// [SECTION] Loading

namespace {
template <typename Proc>
void Load(Proc& member, const char* name) {
    member = reinterpret_cast<Proc>(qmsys::GetProcAddress(name));
}
}  // namespace

#define QM_LOAD(name) Load(ext::name, #name)

bool InitExtensions() {
    const char* found = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    // Without a context there is no string; treat it as offering nothing.
    const char* extensions = found ? found : "";
    if (!std::strstr(extensions, "GL_ARB_shading_language_100")) return false;
    if (!std::strstr(extensions, "GL_ARB_shader_objects")) return false;

    QM_LOAD(glCreateProgramObjectARB);
    QM_LOAD(glCreateShaderObjectARB);
    QM_LOAD(glCompileShaderARB);
    QM_LOAD(glLinkProgramARB);
    QM_LOAD(glGetInfoLogARB);
    QM_LOAD(glDeleteObjectARB);
    QM_LOAD(glUseProgramObjectARB);
    QM_LOAD(glShaderSourceARB);
    QM_LOAD(glAttachObjectARB);
    QM_LOAD(glDetachObjectARB);
    QM_LOAD(glGetObjectParameterivARB);
    QM_LOAD(glGetUniformLocationARB);
    QM_LOAD(glGetAttribLocationARB);
    QM_LOAD(glUniform4fARB);
    QM_LOAD(glUniform1fARB);
    QM_LOAD(glUniform1iARB);
    QM_LOAD(glEnableVertexAttribArrayARB);
    QM_LOAD(glVertexAttribPointerARB);

    bool required = ext::glCreateProgramObjectARB && ext::glCreateShaderObjectARB &&
                    ext::glCompileShaderARB && ext::glLinkProgramARB && ext::glGetInfoLogARB &&
                    ext::glDeleteObjectARB && ext::glUseProgramObjectARB &&
                    ext::glShaderSourceARB && ext::glAttachObjectARB &&
                    ext::glGetObjectParameterivARB && ext::glGetUniformLocationARB &&
                    ext::glUniform4fARB && ext::glUniform1iARB;
    if (!required) {
        qmsys::ShowMessage("Error loading GLSlang shader functions.", "Error...");
        return false;
    }

    QM_LOAD(glActiveTextureARB);
    QM_LOAD(glMultiTexCoord2fARB);
    QM_LOAD(glMultiTexCoord3fARB);
    QM_LOAD(glSecondaryColor3fEXT);
    QM_LOAD(glSecondaryColorPointerEXT);
    QM_LOAD(glBlendEquationEXT);

    // Swap control is the platform's own entry point, not a GL one.
    if (qmsys::HasSwapControl(extensions)) ext::wglSwapIntervalEXT = qmsys::GetSwapIntervalProc();

    QM_LOAD(glGenFramebuffersEXT);
    QM_LOAD(glBindFramebufferEXT);
    QM_LOAD(glGenRenderbuffersEXT);
    QM_LOAD(glBindRenderbufferEXT);
    QM_LOAD(glRenderbufferStorageEXT);
    QM_LOAD(glFramebufferRenderbufferEXT);
    QM_LOAD(glFramebufferTexture2DEXT);
    QM_LOAD(glCheckFramebufferStatusEXT);
    QM_LOAD(glDeleteFramebuffersEXT);
    QM_LOAD(glDeleteRenderbuffersEXT);
    QM_LOAD(glDrawBuffers);
    return true;
}
