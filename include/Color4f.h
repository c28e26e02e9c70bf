// An RGBA colour of four floats, each in 0..1.
#ifndef QUILLMAR_COLOR4F_H
#define QUILLMAR_COLOR4F_H

struct Color4f {
    float r;
    float g;
    float b;
    float a;
};

#endif
