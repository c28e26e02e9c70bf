// OpenGL extension entry points, loaded by InitExtensions when the window
// opens. Every pointer is null until loaded; test before calling.
#ifndef QUILLMAR_EXTENSIONS_H
#define QUILLMAR_EXTENSIONS_H

#include "QuillmarExport.h"

#if defined(_WIN32)
#  define QM_GLAPIENTRY __stdcall
#else
#  define QM_GLAPIENTRY
#endif

class QM_API ext {
public:
    // [SECTION] Shader objects
    static unsigned int (QM_GLAPIENTRY* glCreateProgramObjectARB)();
    static unsigned int (QM_GLAPIENTRY* glCreateShaderObjectARB)(unsigned int);
    static void (QM_GLAPIENTRY* glCompileShaderARB)(unsigned int);
    static void (QM_GLAPIENTRY* glLinkProgramARB)(unsigned int);
    static void (QM_GLAPIENTRY* glGetInfoLogARB)(unsigned int, int, int*, char*);
    static void (QM_GLAPIENTRY* glDeleteObjectARB)(unsigned int);
    static void (QM_GLAPIENTRY* glUseProgramObjectARB)(unsigned int);
    static void (QM_GLAPIENTRY* glShaderSourceARB)(unsigned int, int, const char**, const int*);
    static void (QM_GLAPIENTRY* glAttachObjectARB)(unsigned int, unsigned int);
    static void (QM_GLAPIENTRY* glDetachObjectARB)(unsigned int, unsigned int);
    static void (QM_GLAPIENTRY* glGetObjectParameterivARB)(unsigned int, unsigned int, int*);
    static int (QM_GLAPIENTRY* glGetUniformLocationARB)(unsigned int, const char*);
    static int (QM_GLAPIENTRY* glGetAttribLocationARB)(unsigned int, const char*);
    static void (QM_GLAPIENTRY* glUniform4fARB)(int, float, float, float, float);
    static void (QM_GLAPIENTRY* glUniform1fARB)(int, float);
    static void (QM_GLAPIENTRY* glUniform1iARB)(int, int);
    static void (QM_GLAPIENTRY* glEnableVertexAttribArrayARB)(unsigned int);
    static void (QM_GLAPIENTRY* glVertexAttribPointerARB)(unsigned int, int, unsigned int,
                                                          unsigned char, int, const void*);

    // [SECTION] Multitexture, secondary colour, blend equation
    static void (QM_GLAPIENTRY* glActiveTextureARB)(unsigned int);
    static void (QM_GLAPIENTRY* glMultiTexCoord2fARB)(unsigned int, float, float);
    static void (QM_GLAPIENTRY* glMultiTexCoord3fARB)(unsigned int, float, float, float);
    static void (QM_GLAPIENTRY* glSecondaryColor3fEXT)(float, float, float);
    static void (QM_GLAPIENTRY* glSecondaryColorPointerEXT)(int, unsigned int, int, const void*);
    static void (QM_GLAPIENTRY* glBlendEquationEXT)(unsigned int);

    // [SECTION] Swap control: the platform's swap-interval entry point
    static int (QM_GLAPIENTRY* wglSwapIntervalEXT)(int);

    // [SECTION] Framebuffer objects and draw buffers
    static void (QM_GLAPIENTRY* glGenFramebuffersEXT)(int, unsigned int*);
    static void (QM_GLAPIENTRY* glBindFramebufferEXT)(unsigned int, unsigned int);
    static void (QM_GLAPIENTRY* glGenRenderbuffersEXT)(int, unsigned int*);
    static void (QM_GLAPIENTRY* glBindRenderbufferEXT)(unsigned int, unsigned int);
    static void (QM_GLAPIENTRY* glRenderbufferStorageEXT)(unsigned int, unsigned int, int, int);
    static void (QM_GLAPIENTRY* glFramebufferRenderbufferEXT)(unsigned int, unsigned int,
                                                              unsigned int, unsigned int);
    static void (QM_GLAPIENTRY* glFramebufferTexture2DEXT)(unsigned int, unsigned int,
                                                           unsigned int, unsigned int, int);
    static unsigned int (QM_GLAPIENTRY* glCheckFramebufferStatusEXT)(unsigned int);
    static void (QM_GLAPIENTRY* glDeleteFramebuffersEXT)(int, const unsigned int*);
    static void (QM_GLAPIENTRY* glDeleteRenderbuffersEXT)(int, const unsigned int*);
    static void (QM_GLAPIENTRY* glDrawBuffers)(int, const unsigned int*);

    // No instance state: assignment copies nothing.
    ext& operator=(const ext&) { return *this; }
};

// Loads the entry points; needs a current OpenGL context. True when the
// shader-object set is complete and the other groups were looked up.
QM_API bool InitExtensions();

#endif
