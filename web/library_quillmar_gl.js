// OpenGL 1.x behaviour that Quillmar and its games rely on and that the GL
// emulation of Emscripten 3.1.6 (-sLEGACY_GL_EMULATION) lacks or gets wrong.
// Linked with --js-library after the emulation, so the definitions here
// replace its own; written against 3.1.6's internals (GLImmediate,
// GLEmulation), which tools/run-web-tests.sh checks pixel by pixel
// (tests/web/gl_probe.cpp). Another Emscripten version needs that run first.
//
// 1. glBegin/glEnd keep GL's current-attribute rule: each vertex takes the
//    colour, normal and texture coordinate current when it is given. The
//    emulation interleaves attributes in call order and assumes every vertex
//    repeats them all, so a normal given once per triangle, or a colour before
//    only some vertices, shifts every later vertex. The colour set inside
//    glBegin/glEnd stays current afterwards.
// 2. GL_QUAD_STRIP and GL_POLYGON (the emulation throws on them), and
//    GL_QUADS, strips, fans and loops, are turned into lists of triangles,
//    lines or points.
// 3. Batching: consecutive glBegin/glEnd blocks that draw the same kind of
//    primitive in the same state are drawn with one WebGL call, indexed, so
//    that a vertex shared by quads, strips, fans or a line's segments is sent
//    and transformed once. Their
//    vertices are kept in eye coordinates, so model-view changes between
//    blocks (an object's push, translate, rotate, pop) do not break a batch;
//    lit blocks are lit here, per vertex, as the emulation's shader would
//    (directional lights), and join the batch unlit. Every other GL call, and
//    the swap, draws what is pending first, so state changes and reads see
//    the drawing in GL's order.
// 4. glLineWidth above 1: WebGL draws lines 1 pixel wide whatever the width,
//    so wide lines are drawn as two triangles per segment, widened along the
//    minor axis in window pixels as GL's aliased wide lines are.
// 5. glColorMaterial (missing): while lighting is on, each vertex's colour is
//    the material's ambient and/or diffuse colour (for client-array draws,
//    the current colour at each draw).
// 6. Texturing enabled with no texture bound draws untextured, as in GL
//    (WebGL samples black from the missing texture).
// 7. glReadPixels of GL_RGB (WebGL 1 reads only RGBA), and glReadBuffer and
//    GL_READ_BUFFER (a WebGL canvas has one colour buffer: the one drawn).
// 8. State that GL answers and WebGL does not know (the current colour and
//    texture coordinate, the line width, GL 1.x's blend factors and
//    pixel-store defaults, the client-active texture unit), as state helpers
//    save and restore it. The blend
//    factors are answered from the last glBlendFunc WebGL accepted: asking
//    WebGL waits for the GPU to catch up, and the library's drawing saves
//    them for every shape.
// 9. GL_ALPHA textures (the font's glyph pages): WebGL samples them as black
//    with the texel's alpha, and the emulation's texture environment treats
//    every texture as RGBA, so GL_MODULATE drew them black whatever the
//    colour. They are stored as GL_LUMINANCE_ALPHA with white texels, which
//    gives GL_MODULATE GL's result for an alpha texture (the fragment's
//    colour, its alpha times the texel's); GL_REPLACE then gives white, GL's
//    result only under a white colour (the library draws them so).

// The GL calls that never draw what is pending: they only feed the block
// being built or the current attributes, which each vertex carries with it,
// or set the line width, which a block takes as it ends (a batch of 1-pixel
// lines and one of widened lines are of different kinds).
var QM_IMMEDIATE_CALLS = /^gl(Begin|End|Vertex[234][dfis]v?|Color[34](b|d|f|i|s|ub|ui|us)v?|Normal3[bdfis]v?|TexCoord[1234][dfis]v?|GetError|LineWidth)$/;
// The matrix calls: pending vertices are kept in eye coordinates, so a change
// of the model-view matrix does not draw them; one of the projection or
// texture matrix does.
var QM_MATRIX_CALLS = /^(gl(PushMatrix|PopMatrix|Translate[fd]|Rotate[fd]|Scale[fd]|LoadIdentity|MultMatrix[fd]|LoadMatrix[fd]|MatrixMode|Frustum|Ortho)|glu(Perspective|LookAt|Ortho2D))$/;

mergeInto(LibraryManager.library, {
  $QMGL__deps: ['$GLImmediateSetup', '$GLEmulation', '$GL', 'glEnable', 'glDisable', 'glGetFloatv', 'glGetIntegerv', 'glGetBooleanv', 'glPixelStorei',
                'glReadPixels', 'glActiveTexture', 'glBindTexture', 'glDeleteTextures', 'glBlendFunc', 'glBlendFuncSeparate',
                'glTexImage2D', 'glTexSubImage2D', 'malloc', 'free'],
  $QMGL__postset: function() {
    // Every other GL and GLU call of the build, and the swap, first draws the
    // pending batch. The emulation's own definitions are wrapped where they
    // are (it reassigns some of them itself at start-up, before this runs).
    var names = Object.keys(LibraryManager.library).filter(function(name) {
      return /^glu?[A-Z][A-Za-z0-9]*$/.test(name) && !QM_IMMEDIATE_CALLS.test(name);
    });
    names.push('glfwSwapBuffers');
    var code = 'QMGL.init();\n' +
      '_glGetFloatv = QMGL.answersCurrentState(_glGetFloatv);\n' +
      '_glGetIntegerv = QMGL.answersReadBuffer(_glGetIntegerv);\n' +
      '_glGetBooleanv = QMGL.answersSecondaryColorArray(_glGetBooleanv);\n' +
      '_glPixelStorei = QMGL.keepsFixedPixelStore(_glPixelStorei);\n' +
      '_glReadPixels = QMGL.readsRGB(_glReadPixels);\n' +
      '_glTexImage2D = QMGL.whitensAlpha(_glTexImage2D, false);\n' +
      '_glTexSubImage2D = QMGL.whitensAlpha(_glTexSubImage2D, true);\n' +
      '_glActiveTexture = QMGL.tracksUnit(_glActiveTexture);\n' +
      '_glBindTexture = QMGL.tracksBinding(_glBindTexture);\n' +
      '_glDeleteTextures = QMGL.tracksDeletion(_glDeleteTextures);\n' +
      '_glEnable = QMGL.tracksColorMaterial(_glEnable, true);\n' +
      '_glDisable = QMGL.tracksColorMaterial(_glDisable, false);\n' +
      '_glBlendFunc = QMGL.tracksBlend(_glBlendFunc);\n' +
      '_glBlendFuncSeparate = QMGL.forgetsBlend(_glBlendFuncSeparate);\n';
    names.forEach(function(name) {
      var wrap = QM_MATRIX_CALLS.test(name) ? 'QMGL.drawsPendingBeforeProjection' : 'QMGL.drawsPendingFirst';
      code += 'if (typeof _' + name + " == 'function') _" + name + ' = ' + wrap + '(_' + name + ');\n';
    });
    return code;
  },
  $QMGL: {
    // Floats per vertex in the block and in the batch: x y z w, r g b a, nx ny nz, s t.
    STRIDE: 13,
    POINTS: 0, LINES: 1, TRIANGLES: 2,

    inBlock: false,
    mode: -1,
    block: null,       // Float32Array of the vertices of the open glBegin/glEnd
    blockCount: 0,
    colorGiven: false,
    texGiven: false,
    color: null,       // current colour inside a block (outside: GLImmediate.clientColor)
    normal: null,
    tex: null,

    batch: null,       // Float32Array of pending vertices, all of one kind
    batchCount: 0,
    indices: null,     // Uint16Array: the pending points, lines or triangles
    indexCount: 0,
    heapIndices: 0,    // the indices' copy in the heap for the draw, and its size
    heapIndicesSize: 0,
    batchKind: -1,
    batchTex: false,
    drawing: false,    // inside a draw of the pending batch: GL calls go straight through

    lineWidth: 1,
    viewport: null,
    colorMaterial: 0x1602,  // GL_AMBIENT_AND_DIFFUSE, GL's default
    colorMaterialOn: false,
    activeUnit: 0,
    bound: [],         // texture bound to GL_TEXTURE_2D, per unit
    maxBatchVertices: 0,
    pieceVertices: 0,  // the most vertices of a block added to a batch at once
    piece: null,       // scratch for a piece that is not a run of the block

    init: function() {
      QMGL.block = new Float32Array(QMGL.STRIDE * 1024);
      QMGL.batch = new Float32Array(QMGL.STRIDE * 4096);
      QMGL.indices = new Uint16Array(3 * 4096);
      QMGL.color = new Float32Array([1, 1, 1, 1]);
      QMGL.normal = new Float32Array([0, 0, 1]);
      QMGL.tex = new Float32Array([0, 0]);
      QMGL.identity = new Float32Array([1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1]);
      // The emulation's vertex buffer holds GL_MAX_TEMP_BUFFER_SIZE bytes; a
      // vertex takes at most 2 + 1 + 3 + 4 floats there. Indices are 16-bit.
      QMGL.maxBatchVertices = Math.min(Math.floor(GL.MAX_TEMP_BUFFER_SIZE / 40), 65536) - 64;
      // A piece of a block takes at most 6 batch vertices per vertex (a line
      // widened); a multiple of 12 cuts lists of 1, 2, 3 or 4 vertices whole.
      QMGL.pieceVertices = 12 * Math.floor(QMGL.maxBatchVertices / 72);
      QMGL.piece = new Float32Array(QMGL.STRIDE * (QMGL.pieceVertices + 1));
      // Every draw of the emulation (immediate blocks and client arrays).
      var flush = GLImmediate.flush;
      GLImmediate.flush = function() {
        var m = QMGL.colorMaterial;
        if (QMGL.colorMaterialOn && GLEmulation.lightingEnabled) {
          var c = GLImmediate.clientColor;
          if (m == 0x1602 /* GL_AMBIENT_AND_DIFFUSE */ || m == 0x1200 /* GL_AMBIENT */) GLEmulation.materialAmbient.set(c);
          if (m == 0x1602 || m == 0x1201 /* GL_DIFFUSE */) GLEmulation.materialDiffuse.set(c);
        }
        var untextured = QMGL.unboundTexturing();
        if (untextured) QMGL.setTexturing(false);
        try {
          return flush.apply(this, arguments);
        } finally {
          if (untextured) QMGL.setTexturing(true);
        }
      };
    },

    // GL answers what it draws: the tracked line width, the range of widths
    // that widenLines draws, and the current colour and texture coordinate
    // (WebGL knows neither; state helpers save and restore them).
    answersCurrentState: function(getFloatv) {
      return function(name, p) {
        if (name == 0x0B00 /* GL_CURRENT_COLOR */) {
          var c = (QMGL.inBlock || !GLImmediate.clientColor) ? QMGL.color : GLImmediate.clientColor;
          for (var i = 0; i < 4; i++) HEAPF32[(p >> 2) + i] = c[i];
        } else if (name == 0x0B03 /* GL_CURRENT_TEXTURE_COORDS */) {
          HEAPF32[p >> 2] = QMGL.tex[0];
          HEAPF32[(p >> 2) + 1] = QMGL.tex[1];
          HEAPF32[(p >> 2) + 2] = 0;
          HEAPF32[(p >> 2) + 3] = 1;
        } else if (name == 0x0B21 /* GL_LINE_WIDTH */) {
          HEAPF32[p >> 2] = QMGL.lineWidth;
        } else if (name == 0x846E /* GL_ALIASED_LINE_WIDTH_RANGE */ || name == 0x0B22 /* GL_SMOOTH_LINE_WIDTH_RANGE */) {
          HEAPF32[p >> 2] = 1;
          HEAPF32[(p >> 2) + 1] = 64;
        } else {
          getFloatv(name, p);
        }
      };
    },

    // The one colour buffer of a canvas is the one read (WebGL 1 has no
    // GL_READ_BUFFER to ask for); GL 1.x's blend factors are WebGL's RGB ones.
    answersReadBuffer: function(getIntegerv) {
      return function(name, p) {
        var blend = QMGL.blend.context === GLctx ? QMGL.blend : null;
        if (name == 0x0C02 /* GL_READ_BUFFER */) HEAP32[p >> 2] = 0x0405 /* GL_BACK */;
        else if ((name == 0x0BE1 /* GL_BLEND_SRC */ || name == 0x80C9 /* GL_BLEND_SRC_RGB */) && blend) HEAP32[p >> 2] = blend.src;
        else if ((name == 0x0BE0 /* GL_BLEND_DST */ || name == 0x80C8 /* GL_BLEND_DST_RGB */) && blend) HEAP32[p >> 2] = blend.dst;
        else if (name == 0x0BE1 /* GL_BLEND_SRC */) getIntegerv(0x80C9 /* GL_BLEND_SRC_RGB */, p);
        else if (name == 0x0BE0 /* GL_BLEND_DST */) getIntegerv(0x80C8 /* GL_BLEND_DST_RGB */, p);
        else if (QMGL.isFixedPixelStore(name)) HEAP32[p >> 2] = 0;
        else if (name == 0x84E1 /* GL_CLIENT_ACTIVE_TEXTURE */) HEAP32[p >> 2] = 0x84C0 /* GL_TEXTURE0 */ + GLImmediate.clientActiveTexture;
        else getIntegerv(name, p);
      };
    },

    // GL 1.x's pixel-store parameters that WebGL 1 lacks: always at their
    // defaults (0) there. Setting one to its default is no change; any other
    // value stays refused (GL_INVALID_ENUM), as WebGL refuses it.
    isFixedPixelStore: function(name) {
      return (name >= 0x0D00 && name <= 0x0D04) || (name >= 0x0CF0 && name <= 0x0CF4);  // PACK_, UNPACK_ SWAP_BYTES .. SKIP_PIXELS
    },
    keepsFixedPixelStore: function(pixelStorei) {
      return function(name, value) {
        if (QMGL.isFixedPixelStore(name) && value == 0) return;
        pixelStorei(name, value);
      };
    },
    // The emulation has no secondary colour array: never enabled.
    answersSecondaryColorArray: function(getBooleanv) {
      return function(name, p) {
        if (name == 0x845E /* GL_SECONDARY_COLOR_ARRAY */) HEAP8[p] = 0;
        else getBooleanv(name, p);
      };
    },

    // glTexImage2D (sub false) or glTexSubImage2D (sub true) with GL_ALPHA
    // texels given as GL_LUMINANCE_ALPHA ones of luminance 255.
    whitensAlpha: function(upload, sub) {
      return function() {
        var a = Array.prototype.slice.call(arguments);
        var w = a[sub ? 4 : 3], h = a[sub ? 5 : 4], format = 6, type = 7, pixels = 8;
        if (a[format] != 0x1906 /* GL_ALPHA */ || a[type] != 0x1401 /* GL_UNSIGNED_BYTE */ || w <= 0 || h <= 0) {
          upload.apply(null, a);
          return;
        }
        var align = GL.unpackAlignment;
        var inRow = Math.ceil(w / align) * align, outRow = Math.ceil(2 * w / align) * align;
        var texels = new Uint8Array(outRow * h);
        for (var j = 0; j < h; j++) {
          for (var i = 0, o = j * outRow, s = a[pixels] + j * inRow; i < w; i++, o += 2) {
            texels[o] = 255;
            texels[o + 1] = a[pixels] ? HEAPU8[s + i] : 0;
          }
        }
        var LA = 0x190A;  // GL_LUMINANCE_ALPHA
        if (sub) GLctx.texSubImage2D(a[0], a[1], a[2], a[3], w, h, LA, a[type], texels);
        else GLctx.texImage2D(a[0], a[1], LA, w, h, a[5], LA, a[type], texels);
      };
    },

    readsRGB: function(readPixels) {
      return function(x, y, width, height, format, type, pixels) {
        if (format != 0x1907 /* GL_RGB */ || type != 0x1401 /* GL_UNSIGNED_BYTE */ || width <= 0 || height <= 0) {
          readPixels(x, y, width, height, format, type, pixels);
          return;
        }
        // Read as RGBA, then drop the alpha into rows padded to the pack alignment.
        var rgba = new Uint8Array(width * height * 4);
        GLctx.readPixels(x, y, width, height, GLctx.RGBA, GLctx.UNSIGNED_BYTE, rgba);
        var align = GLctx.getParameter(GLctx.PACK_ALIGNMENT);
        var row = Math.ceil(width * 3 / align) * align;
        for (var j = 0; j < height; j++) {
          var o = pixels + j * row, s = j * width * 4;
          for (var i = 0; i < width; i++, s += 4, o += 3) {
            HEAPU8[o] = rgba[s];
            HEAPU8[o + 1] = rgba[s + 1];
            HEAPU8[o + 2] = rgba[s + 2];
          }
        }
      };
    },

    // The factors of the last glBlendFunc that WebGL takes without an error
    // (any factor but the constant ones, and GL_SRC_ALPHA_SATURATE as the
    // source only), for the context it was given to. Any other call leaves
    // them unknown, and WebGL is asked.
    blend: {context: null, src: 1, dst: 0},
    isPlainBlendFactor: function(f) {
      return f == 0 || f == 1 || (f >= 0x0300 && f <= 0x0307);  // GL_ZERO, GL_ONE, GL_SRC_COLOR .. GL_ONE_MINUS_DST_COLOR
    },
    tracksBlend: function(blendFunc) {
      return function(src, dst) {
        blendFunc(src, dst);
        var known = GLctx && (QMGL.isPlainBlendFactor(src) || src == 0x0308 /* GL_SRC_ALPHA_SATURATE */) &&
                    QMGL.isPlainBlendFactor(dst);
        QMGL.blend.context = known ? GLctx : null;
        QMGL.blend.src = src;
        QMGL.blend.dst = dst;
      };
    },
    forgetsBlend: function(blendFuncSeparate) {
      return function() {
        QMGL.blend.context = null;
        return blendFuncSeparate.apply(this, arguments);
      };
    },

    tracksColorMaterial: function(call, on) {
      return function(cap) {
        if (cap == 0x0B57 /* GL_COLOR_MATERIAL */) QMGL.colorMaterialOn = on;
        call(cap);
      };
    },
    tracksUnit: function(activeTexture) {
      return function(unit) {
        QMGL.activeUnit = unit - 0x84C0 /* GL_TEXTURE0 */;
        activeTexture(unit);
      };
    },
    tracksBinding: function(bindTexture) {
      return function(target, texture) {
        if (target == 0xDE1 /* GL_TEXTURE_2D */) QMGL.bound[QMGL.activeUnit] = texture;
        bindTexture(target, texture);
      };
    },
    tracksDeletion: function(deleteTextures) {
      return function(n, textures) {
        // Deleting a bound texture binds 0 in its place.
        for (var i = 0; i < n; i++) {
          var id = HEAP32[(textures >> 2) + i];
          for (var u = 0; u < QMGL.bound.length; u++) if (id && QMGL.bound[u] == id) QMGL.bound[u] = 0;
        }
        deleteTextures(n, textures);
      };
    },

    drawsPendingBeforeProjection: function(call) {
      return function() {
        if (QMGL.batchCount && !QMGL.drawing && GLImmediate.currentMatrix != 0) QMGL.drawBatch();
        return call.apply(this, arguments);
      };
    },

    drawsPendingFirst: function(call) {
      return function() {
        if (QMGL.batchCount && !QMGL.drawing) QMGL.drawBatch();
        return call.apply(this, arguments);
      };
    },

    // GL_TEXTURE_2D on for the active unit with no texture bound to it.
    unboundTexturing: function() {
      return GLImmediate.TexEnvJIT.getTexUnitType(QMGL.activeUnit) == 0xDE1 && !QMGL.bound[QMGL.activeUnit];
    },
    setTexturing: function(on) {
      QMGL.drawing = true;
      try {
        if (on) _glEnable(0xDE1); else _glDisable(0xDE1);
      } finally {
        QMGL.drawing = false;
      }
    },

    grow: function(array, count) {
      var needed = (count + 1) * QMGL.STRIDE;
      if (needed <= array.length) return array;
      var bigger = new Float32Array(Math.max(needed, array.length * 2));
      bigger.set(array);
      return bigger;
    },

    // Appends one vertex to the open block with the current attributes.
    vertex: function(x, y, z, w) {
      if (!QMGL.inBlock) return;  // outside glBegin/glEnd: no effect, as in GL
      var b = QMGL.block = QMGL.grow(QMGL.block, QMGL.blockCount);
      var o = QMGL.blockCount++ * QMGL.STRIDE;
      var c = QMGL.color, n = QMGL.normal, t = QMGL.tex;
      b[o] = x; b[o + 1] = y; b[o + 2] = z; b[o + 3] = w;
      b[o + 4] = c[0]; b[o + 5] = c[1]; b[o + 6] = c[2]; b[o + 7] = c[3];
      b[o + 8] = n[0]; b[o + 9] = n[1]; b[o + 10] = n[2];
      b[o + 11] = t[0]; b[o + 12] = t[1];
    },

    // Room for `more` indices after the pending ones.
    reserveIndices: function(more) {
      var needed = QMGL.indexCount + more;
      if (needed > QMGL.indices.length) {
        var bigger = new Uint16Array(Math.max(needed, QMGL.indices.length * 2));
        bigger.set(QMGL.indices.subarray(0, QMGL.indexCount));
        QMGL.indices = bigger;
      }
      return QMGL.indices;
    },

    // The block's vertices (the first n of src) join the batch as they are;
    // its points, lines or triangles are listed as indices of them, in GL's
    // order.
    takeBlock: function(mode, src, n) {
      var s = QMGL.STRIDE, base = QMGL.batchCount, i;
      var b = QMGL.batch = QMGL.grow(QMGL.batch, base + n);
      b.set(src.subarray(0, n * s), base * s);
      QMGL.batchCount = base + n;
      var x = QMGL.reserveIndices(6 * n + 2), k = QMGL.indexCount;
      switch (mode) {
        case 0: for (i = 0; i < n; i++) x[k++] = base + i; break;  // GL_POINTS
        case 1: for (i = 0; i + 1 < n; i += 2) { x[k++] = base + i; x[k++] = base + i + 1; } break;  // GL_LINES
        case 2:  // GL_LINE_LOOP
        case 3:  // GL_LINE_STRIP
          for (i = 0; i + 1 < n; i++) { x[k++] = base + i; x[k++] = base + i + 1; }
          if (mode == 2 && n > 2) { x[k++] = base + n - 1; x[k++] = base; }
          break;
        case 4: for (i = 0; i + 2 < n; i += 3) { x[k++] = base + i; x[k++] = base + i + 1; x[k++] = base + i + 2; } break;
        case 5:  // GL_TRIANGLE_STRIP: every other triangle reversed to keep the winding
          for (i = 0; i + 2 < n; i++) {
            x[k++] = base + ((i & 1) ? i + 1 : i);
            x[k++] = base + ((i & 1) ? i : i + 1);
            x[k++] = base + i + 2;
          }
          break;
        case 6:  // GL_TRIANGLE_FAN
        case 9:  // GL_POLYGON (convex): its fan
          for (i = 1; i + 1 < n; i++) { x[k++] = base; x[k++] = base + i; x[k++] = base + i + 1; }
          break;
        case 7:  // GL_QUADS
          for (i = 0; i + 3 < n; i += 4) {
            x[k++] = base + i; x[k++] = base + i + 1; x[k++] = base + i + 2;
            x[k++] = base + i; x[k++] = base + i + 2; x[k++] = base + i + 3;
          }
          break;
        case 8:  // GL_QUAD_STRIP: quad k is 2k, 2k+1, 2k+3, 2k+2
          for (i = 0; i + 3 < n; i += 2) {
            x[k++] = base + i; x[k++] = base + i + 1; x[k++] = base + i + 3;
            x[k++] = base + i; x[k++] = base + i + 3; x[k++] = base + i + 2;
          }
          break;
      }
      QMGL.indexCount = k;
    },

    kindOf: function(mode) {
      if (mode == 0) return QMGL.POINTS;
      if (mode >= 1 && mode <= 3) return QMGL.LINES;
      return QMGL.TRIANGLES;
    },

    currentViewport: function() {
      if (!QMGL.viewport) QMGL.viewport = Array.prototype.slice.call(GLctx.getParameter(GLctx.VIEWPORT));
      return QMGL.viewport;
    },

    // Takes the batch's vertices from index `from` into eye coordinates (and
    // their normals, for lighting), so that they are drawn with an identity
    // model-view matrix, whatever the matrix of later blocks in the batch.
    toEyeSpace: function(from, normals) {
      var m = GLImmediate.matrix[0], b = QMGL.batch, s = QMGL.STRIDE;
      var identity = m[0] == 1 && m[1] == 0 && m[2] == 0 && m[3] == 0 && m[4] == 0 && m[5] == 1 && m[6] == 0 &&
                     m[7] == 0 && m[8] == 0 && m[9] == 0 && m[10] == 1 && m[11] == 0 && m[12] == 0 &&
                     m[13] == 0 && m[14] == 0 && m[15] == 1;
      if (identity) return;
      var n = null;
      if (normals) {
        // The inverse transpose of the upper 3x3, as GL's normal matrix.
        var lib = GLImmediate.matrixLib.mat4, inv = lib.inverse(m, lib.create());
        // Row r of the transpose is column r of the inverse (column-major).
        n = inv ? [inv[0], inv[1], inv[2], inv[4], inv[5], inv[6], inv[8], inv[9], inv[10]] : [1, 0, 0, 0, 1, 0, 0, 0, 1];
      }
      for (var v = from; v < QMGL.batchCount; v++) {
        var o = v * s, x = b[o], y = b[o + 1], z = b[o + 2], w = b[o + 3];
        b[o] = m[0] * x + m[4] * y + m[8] * z + m[12] * w;
        b[o + 1] = m[1] * x + m[5] * y + m[9] * z + m[13] * w;
        b[o + 2] = m[2] * x + m[6] * y + m[10] * z + m[14] * w;
        b[o + 3] = m[3] * x + m[7] * y + m[11] * z + m[15] * w;
        if (n) {
          x = b[o + 8]; y = b[o + 9]; z = b[o + 10];
          b[o + 8] = n[0] * x + n[1] * y + n[2] * z;
          b[o + 9] = n[3] * x + n[4] * y + n[5] * z;
          b[o + 10] = n[6] * x + n[7] * y + n[8] * z;
        }
      }
    },

    // Lights the batch's vertices from index `from` (eye coordinates) as the
    // emulation's shader would: every light directional, the colour material
    // taking each vertex's own colour. They are then drawn unlit, and so join
    // the batch like any other block.
    light: function(from) {
      var b = QMGL.batch, s = QMGL.STRIDE, E = GLEmulation;
      var m = QMGL.colorMaterialOn ? QMGL.colorMaterial : 0;
      var ambientFromColor = m == 0x1602 || m == 0x1200, diffuseFromColor = m == 0x1602 || m == 0x1201;
      var lights = [];
      for (var id = 0; id < E.MAX_LIGHTS; id++) {
        if (!E.lightEnabled[id]) continue;
        var p = E.lightPosition[id], len = Math.hypot(p[0], p[1], p[2], p[3]) || 1;
        var d = [p[0] / len, p[1] / len, p[2] / len];
        var h = [d[0], d[1], d[2] + 1], hl = Math.hypot(h[0], h[1], h[2]) || 1;
        lights.push({dir: d, half: [h[0] / hl, h[1] / hl, h[2] / hl], ambient: E.lightAmbient[id],
                     diffuse: E.lightDiffuse[id], specular: E.lightSpecular[id]});
      }
      var ma = E.materialAmbient, md = E.materialDiffuse, ms = E.materialSpecular, me = E.materialEmission;
      var shininess = E.materialShininess[0], global = E.lightModelAmbient;
      for (var v = from; v < QMGL.batchCount; v++) {
        var o = v * s;
        var nx = b[o + 8], ny = b[o + 9], nz = b[o + 10], nl = Math.hypot(nx, ny, nz) || 1;
        nx /= nl; ny /= nl; nz /= nl;
        // The material's colours: the vertex's own where the colour material says so.
        var cr = b[o + 4], cg = b[o + 5], cb = b[o + 6], ca = b[o + 7];
        var a0 = ambientFromColor ? cr : ma[0], a1 = ambientFromColor ? cg : ma[1], a2 = ambientFromColor ? cb : ma[2];
        var d0 = diffuseFromColor ? cr : md[0], d1 = diffuseFromColor ? cg : md[1], d2 = diffuseFromColor ? cb : md[2];
        var alpha = diffuseFromColor ? ca : md[3];
        var r = me[0] + global[0] * a0, g = me[1] + global[1] * a1, bl = me[2] + global[2] * a2;
        for (var k = 0; k < lights.length; k++) {
          var L = lights[k];
          var di = Math.max(nx * L.dir[0] + ny * L.dir[1] + nz * L.dir[2], 0);
          var si = Math.max(nx * L.half[0] + ny * L.half[1] + nz * L.half[2], 0);
          si = (di > 0 && si > 0) ? Math.exp(shininess * Math.log(si)) : 0;
          r += L.ambient[0] * a0 + di * L.diffuse[0] * d0 + si * L.specular[0] * ms[0];
          g += L.ambient[1] * a1 + di * L.diffuse[1] * d1 + si * L.specular[1] * ms[1];
          bl += L.ambient[2] * a2 + di * L.diffuse[2] * d2 + si * L.specular[2] * ms[2];
        }
        b[o + 4] = Math.min(Math.max(r, 0), 1);
        b[o + 5] = Math.min(Math.max(g, 0), 1);
        b[o + 6] = Math.min(Math.max(bl, 0), 1);
        b[o + 7] = Math.min(Math.max(alpha, 0), 1);
      }
    },

    // Replaces the lines in the batch (vertices from `from`, indices from
    // `fromIndex`) by two triangles per segment, QMGL.lineWidth window pixels
    // across its minor axis. The lines are in eye coordinates; the corners
    // are found in clip space and taken back through the inverse of the
    // projection, so the depth and the fog stay those of the line.
    widenLines: function(from, fromIndex) {
      // Scratch kept between calls: the frame loop allocates nothing here.
      var w = QMGL.wide || (QMGL.wide = {
        version: -1, inverse: new Float32Array(16), invertible: false, lines: new Float32Array(0),
        ends: new Uint16Array(0), clip: new Float32Array(8), point: new Float32Array(4),
        ccw: [0, 2, 3, 0, 3, 1], cw: [0, 3, 2, 0, 1, 3]});
      var m = GLImmediate.matrix[1];
      if (w.version !== GLImmediate.matrixVersion[1]) {
        w.version = GLImmediate.matrixVersion[1];
        w.invertible = !!GLImmediate.matrixLib.mat4.inverse(m, w.inverse);
      }
      if (!w.invertible) return false;  // a flat projection draws nothing wider than its lines
      var inv = w.inverse, s = QMGL.STRIDE, vp = QMGL.currentViewport(), half = QMGL.lineWidth / 2;
      // The lines' vertices and segments, set aside: the corners take their place.
      var n = (QMGL.batchCount - from) * s, ni = QMGL.indexCount - fromIndex;
      if (w.lines.length < n) w.lines = new Float32Array(n * 2);
      if (w.ends.length < ni) w.ends = new Uint16Array(ni * 2);
      var lines = w.lines, ends = w.ends, clip = w.clip, p = w.point;
      lines.set(QMGL.batch.subarray(from * s, QMGL.batchCount * s));
      ends.set(QMGL.indices.subarray(fromIndex, QMGL.indexCount));
      var count = ni >> 1;
      QMGL.batchCount = from;
      QMGL.indexCount = fromIndex;
      // A segment that starts where the last one ended, unclipped and along
      // the same major axis, starts at the same two corners: a strip takes
      // two new corners per segment.
      var joinEnd = -1, joinMajor = false, joinCorner = 0, corner = w.corner || (w.corner = [0, 0, 0, 0]);
      for (var k = 0; k < count; k++) {
        var oa = (ends[2 * k] - from) * s, ob = (ends[2 * k + 1] - from) * s;
        var start = ends[2 * k], previousEnd = joinEnd;
        joinEnd = -1;
        // Both ends in clip coordinates: clip[0..3] and clip[4..7].
        for (var e = 0; e < 2; e++) {
          var o = e ? ob : oa, x = lines[o], y = lines[o + 1], z = lines[o + 2], v = lines[o + 3];
          for (var r = 0; r < 4; r++) clip[e * 4 + r] = m[r] * x + m[4 + r] * y + m[8 + r] * z + m[12 + r] * v;
        }
        // Clipped to the near plane (z >= -w) first: a point behind the eye
        // has no place on the screen to widen around.
        var da = clip[2] + clip[3], db = clip[6] + clip[7];
        if (da < 0 && db < 0) continue;
        var t0 = da < 0 ? da / (da - db) : 0, t1 = db < 0 ? da / (da - db) : 1;
        var wa = clip[3] + (clip[7] - clip[3]) * t0, wb = clip[3] + (clip[7] - clip[3]) * t1;
        if (wa <= 0 || wb <= 0) continue;
        var xa = clip[0] + (clip[4] - clip[0]) * t0, xb = clip[0] + (clip[4] - clip[0]) * t1;
        var ya = clip[1] + (clip[5] - clip[1]) * t0, yb = clip[1] + (clip[5] - clip[1]) * t1;
        var dx = (xb / wb - xa / wa) * vp[2], dy = (yb / wb - ya / wa) * vp[3];
        if (dx == 0 && dy == 0) continue;
        var xMajor = Math.abs(dx) >= Math.abs(dy);
        // Half the width in normalized device units along the minor axis.
        var ox = xMajor ? 0 : 2 * half / vp[2], oy = xMajor ? 2 * half / vp[3] : 0;
        var shared = start == previousEnd && t0 == 0 && xMajor == joinMajor;
        // The new corners join the batch as vertices.
        var first = QMGL.batchCount, made = shared ? 2 : 4;
        var batch = QMGL.batch = QMGL.grow(QMGL.batch, first + made);
        for (var c = 0; c < 4; c++) corner[c] = shared ? (c < 2 ? joinCorner + c : first + c - 2) : first + c;
        for (var c = shared ? 2 : 0; c < 4; c++) {
          // corner 0/1: start -/+, 2/3: end -/+.
          var t = c < 2 ? t0 : t1, sign = (c & 1) ? 1 : -1, cw = c < 2 ? wa : wb;
          p[0] = (c < 2 ? xa : xb) + sign * ox * cw;
          p[1] = (c < 2 ? ya : yb) + sign * oy * cw;
          p[2] = clip[2] + (clip[6] - clip[2]) * t;
          p[3] = cw;
          var out = corner[c] * s;
          for (var r = 0; r < 4; r++) batch[out + r] = inv[r] * p[0] + inv[4 + r] * p[1] + inv[8 + r] * p[2] + inv[12 + r] * p[3];
          for (var q = 4; q < s; q++) batch[out + q] = lines[oa + q] + (lines[ob + q] - lines[oa + q]) * t;
        }
        QMGL.batchCount = first + made;
        if (t1 == 1) {
          joinEnd = ends[2 * k + 1];
          joinMajor = xMajor;
          joinCorner = corner[2];
        }
        // Counter-clockwise on the screen, so culling (on by default in the
        // library) keeps them.
        var order = (xMajor ? dx : -dy) >= 0 ? w.ccw : w.cw;
        var x = QMGL.reserveIndices(6);
        for (var r = 0; r < 6; r++) x[QMGL.indexCount++] = corner[order[r]];
      }
      return true;
    },

    // Draws the pending batch through the emulation's own path for
    // glBegin/glEnd, with one layout for every vertex.
    drawBatch: function() {
      var n = QMGL.batchCount, count = QMGL.indexCount;
      QMGL.batchCount = 0;
      QMGL.indexCount = 0;
      if (!n || !count) return;
      // The indices go to the draw from the heap, as a game's own would.
      if (QMGL.heapIndicesSize < count) {
        if (QMGL.heapIndices) _free(QMGL.heapIndices);
        QMGL.heapIndicesSize = Math.max(count, 2 * QMGL.heapIndicesSize, 4096);
        QMGL.heapIndices = _malloc(2 * QMGL.heapIndicesSize);
      }
      HEAPU16.set(QMGL.indices.subarray(0, count), QMGL.heapIndices >> 1);
      var kind = QMGL.batchKind, useTex = QMGL.batchTex;
      // Lit vertices were lit as they were taken: the batch is drawn unlit.
      var lighting = GLEmulation.lightingEnabled;
      if (lighting) {
        GLEmulation.lightingEnabled = false;
        GLImmediate.currentRenderer = null;
      }
      QMGL.drawing = true;
      try {
        GLImmediate.enabledClientAttributes_preBegin = GLImmediate.enabledClientAttributes;
        GLImmediate.enabledClientAttributes = [];
        GLImmediate.clientAttributes_preBegin = GLImmediate.clientAttributes;
        GLImmediate.clientAttributes = [];
        for (var i = 0; i < GLImmediate.clientAttributes_preBegin.length; i++) GLImmediate.clientAttributes.push({});
        GLImmediate.mode = kind == QMGL.POINTS ? 0 : kind == QMGL.LINES ? 1 : 4;
        var components = GLImmediate.rendererComponents = [];
        for (var i = 0; i < GLImmediate.NUM_ATTRIBUTES; i++) components[i] = 0;
        GLImmediate.rendererComponentPointer = 0;
        GLImmediate.vertexData = GLImmediate.tempData;
        if (useTex) GLImmediate.addRendererComponent(GLImmediate.TEXTURE0, 2, GLctx.FLOAT);
        GLImmediate.addRendererComponent(GLImmediate.COLOR, 4, GLctx.UNSIGNED_BYTE);
        GLImmediate.addRendererComponent(GLImmediate.VERTEX, 4, GLctx.FLOAT);
        components[GLImmediate.VERTEX] = n;

        var data = GLImmediate.tempData, bytes = GLImmediate.vertexDataU8, src = QMGL.batch, s = QMGL.STRIDE;
        var at = 0;
        for (var v = 0; v < n; v++) {
          var o = v * s;
          if (useTex) { data[at++] = src[o + 11]; data[at++] = src[o + 12]; }
          var byte = at << 2;
          // GL's float-to-byte conversion rounds to nearest.
          bytes[byte] = Math.round(src[o + 4] * 255);
          bytes[byte + 1] = Math.round(src[o + 5] * 255);
          bytes[byte + 2] = Math.round(src[o + 6] * 255);
          bytes[byte + 3] = Math.round(src[o + 7] * 255);
          at++;
          data[at++] = src[o]; data[at++] = src[o + 1]; data[at++] = src[o + 2]; data[at++] = src[o + 3];
        }
        GLImmediate.vertexCounter = at;

        // The emulation's glEnd, with the model-view matrix the identity: the
        // vertices are in eye coordinates already.
        GLImmediate.prepareClientAttributes(n, true);
        GLImmediate.firstVertex = 0;
        GLImmediate.lastVertex = n;
        var modelview = GLImmediate.matrix[0];
        GLImmediate.matrix[0] = QMGL.identity;
        GLImmediate.matrixVersion[0] = (GLImmediate.matrixVersion[0] + 1) | 0;
        // The batch is client memory: buffers a game left bound are set
        // aside for the draw (the emulation would read from them).
        var arrayBuffer = GLctx.currentArrayBufferBinding, elementBuffer = GLctx.currentElementArrayBufferBinding;
        GLctx.currentArrayBufferBinding = 0;
        GLctx.currentElementArrayBufferBinding = 0;
        try {
          GLImmediate.flush(count, 0, QMGL.heapIndices);
        } finally {
          if (arrayBuffer) GLctx.bindBuffer(GLctx.ARRAY_BUFFER, GL.buffers[arrayBuffer]);
          if (elementBuffer) GLctx.bindBuffer(GLctx.ELEMENT_ARRAY_BUFFER, GL.buffers[elementBuffer]);
          GLctx.currentArrayBufferBinding = arrayBuffer;
          GLctx.currentElementArrayBufferBinding = elementBuffer;
          GLImmediate.matrix[0] = modelview;
          GLImmediate.matrixVersion[0] = (GLImmediate.matrixVersion[0] + 1) | 0;
        }
        GLImmediate.disableBeginEndClientAttributes();
        GLImmediate.mode = -1;
        GLImmediate.enabledClientAttributes = GLImmediate.enabledClientAttributes_preBegin;
        GLImmediate.clientAttributes = GLImmediate.clientAttributes_preBegin;
        GLImmediate.currentRenderer = null;
        GLImmediate.modifiedClientAttributes = true;
      } finally {
        QMGL.drawing = false;
        if (lighting) {
          GLEmulation.lightingEnabled = true;
          GLImmediate.currentRenderer = null;
        }
      }
    },

    endBlock: function() {
      var mode = QMGL.mode, n = QMGL.blockCount;
      QMGL.inBlock = false;
      QMGL.mode = -1;
      QMGL.blockCount = 0;
      if (QMGL.colorGiven) GLImmediate.clientColor.set(QMGL.color);
      var s = QMGL.STRIDE, block = QMGL.block, piece = QMGL.piece;
      // A block too big for one batch goes in pieces cut where its
      // primitives allow: strips and loops overlap by the vertices their
      // next primitive shares, fans repeat their centre, and a triangle or
      // quad strip is cut at an even vertex to keep its winding.
      var most = QMGL.pieceVertices, i, end;
      if (n <= most) {
        QMGL.addPiece(mode, block, n);
      } else if (mode == 0 || mode == 1 || mode == 4 || mode == 7) {  // points, lines, triangles, quads
        for (i = 0; i < n; i += most) QMGL.addPiece(mode, block.subarray(i * s), Math.min(most, n - i));
      } else if (mode == 6 || mode == 9) {  // fan, polygon
        for (i = 1; ; i += most - 2) {
          end = Math.min(i + most - 1, n);
          piece.set(block.subarray(0, s));
          piece.set(block.subarray(i * s, end * s), s);
          QMGL.addPiece(mode, piece, end - i + 1);
          if (end >= n) break;
        }
      } else {  // line strip and loop (overlap 1), triangle and quad strips (overlap 2)
        var overlap = (mode == 2 || mode == 3) ? 1 : 2;
        for (i = 0; ; i += most - overlap) {
          end = Math.min(i + most, n);
          QMGL.addPiece(mode == 2 ? 3 : mode, block.subarray(i * s), end - i);
          if (end >= n) break;
        }
        if (mode == 2) {  // the loop's closing segment
          piece.set(block.subarray((n - 1) * s, n * s));
          piece.set(block.subarray(0, s), s);
          QMGL.addPiece(1, piece, 2);
        }
      }
    },

    // Adds a block (or a piece of one: n vertices of src) to the batch.
    addPiece: function(mode, src, n) {
      var kind = QMGL.kindOf(mode);
      var wide = kind == QMGL.LINES && QMGL.lineWidth > 1;
      if (wide) kind = QMGL.TRIANGLES;
      // Texturing reads a coordinate per vertex.
      var useTex = QMGL.texGiven || GLImmediate.TexEnvJIT.getTexUnitType(QMGL.activeUnit) != 0;
      if (QMGL.batchCount && (kind != QMGL.batchKind || useTex != QMGL.batchTex ||
                              QMGL.batchCount + 6 * n > QMGL.maxBatchVertices)) {
        QMGL.drawBatch();
      }
      QMGL.batchKind = kind;
      QMGL.batchTex = useTex;
      var from = QMGL.batchCount, fromIndex = QMGL.indexCount;
      QMGL.takeBlock(mode, src, n);
      var lit = GLEmulation.lightingEnabled;
      QMGL.toEyeSpace(from, lit);
      if (lit) QMGL.light(from);
      if (wide && !QMGL.widenLines(from, fromIndex)) {
        QMGL.batchCount = from;
        QMGL.indexCount = fromIndex;
      }
      if (QMGL.batchCount > QMGL.maxBatchVertices) QMGL.drawBatch();
    },
  },

  glBegin__deps: ['$QMGL'],
  glBegin: function(mode) {
    // Without a context (no window open) GL draws nothing, and nothing fails.
    if (!GLctx) return;
    if (QMGL.inBlock || mode < 0 || mode > 9) {
      GL.recordError(QMGL.inBlock ? 0x502 /* GL_INVALID_OPERATION */ : 0x500 /* GL_INVALID_ENUM */);
      return;
    }
    QMGL.inBlock = true;
    QMGL.mode = mode;
    QMGL.blockCount = 0;
    QMGL.color.set(GLImmediate.clientColor);
    QMGL.colorGiven = false;
    QMGL.texGiven = false;
  },

  glEnd__deps: ['$QMGL'],
  glEnd: function() {
    if (!GLctx) return;
    if (!QMGL.inBlock) {
      GL.recordError(0x502 /* GL_INVALID_OPERATION */);
      return;
    }
    QMGL.endBlock();
  },

  glVertex4f__deps: ['$QMGL'],
  glVertex4f: function(x, y, z, w) { QMGL.vertex(x, y, z, w); },
  glVertex3f__deps: ['$QMGL'],
  glVertex3f: function(x, y, z) { QMGL.vertex(x, y, z, 1); },
  glVertex2f__deps: ['$QMGL'],
  glVertex2f: function(x, y) { QMGL.vertex(x, y, 0, 1); },
  glVertex2i__deps: ['$QMGL'],
  glVertex2i: function(x, y) { QMGL.vertex(x, y, 0, 1); },
  glVertex3i__deps: ['$QMGL'],
  glVertex3i: function(x, y, z) { QMGL.vertex(x, y, z, 1); },
  glVertex4i__deps: ['$QMGL'],
  glVertex4i: function(x, y, z, w) { QMGL.vertex(x, y, z, w); },
  glVertex2fv__deps: ['$QMGL'],
  glVertex2fv: function(p) {
    QMGL.vertex({{{ makeGetValue('p', '0', 'float') }}}, {{{ makeGetValue('p', '4', 'float') }}}, 0, 1);
  },
  glVertex3fv__deps: ['$QMGL'],
  glVertex3fv: function(p) {
    QMGL.vertex({{{ makeGetValue('p', '0', 'float') }}}, {{{ makeGetValue('p', '4', 'float') }}},
                {{{ makeGetValue('p', '8', 'float') }}}, 1);
  },
  glVertex4fv__deps: ['$QMGL'],
  glVertex4fv: function(p) {
    QMGL.vertex({{{ makeGetValue('p', '0', 'float') }}}, {{{ makeGetValue('p', '4', 'float') }}},
                {{{ makeGetValue('p', '8', 'float') }}}, {{{ makeGetValue('p', '12', 'float') }}});
  },

  glColor4f__deps: ['$QMGL'],
  glColor4f: function(r, g, b, a) {
    // The emulation keeps the current colour once a context exists.
    var c = (QMGL.inBlock || !GLImmediate.clientColor) ? QMGL.color : GLImmediate.clientColor;
    c[0] = Math.max(Math.min(r, 1), 0);
    c[1] = Math.max(Math.min(g, 1), 0);
    c[2] = Math.max(Math.min(b, 1), 0);
    c[3] = Math.max(Math.min(a, 1), 0);
    if (QMGL.inBlock) QMGL.colorGiven = true;
  },
  // The emulation's other variants call its own glColor4f: each is routed here.
  glColor3f__deps: ['glColor4f'],
  glColor3f: function(r, g, b) { _glColor4f(r, g, b, 1); },
  glColor3d__deps: ['glColor4f'],
  glColor3d: function(r, g, b) { _glColor4f(r, g, b, 1); },
  glColor4d__deps: ['glColor4f'],
  glColor4d: function(r, g, b, a) { _glColor4f(r, g, b, a); },
  glColor3fv__deps: ['glColor4f'],
  glColor3fv: function(p) {
    _glColor4f({{{ makeGetValue('p', '0', 'float') }}}, {{{ makeGetValue('p', '4', 'float') }}},
               {{{ makeGetValue('p', '8', 'float') }}}, 1);
  },
  glColor4fv__deps: ['glColor4f'],
  glColor4fv: function(p) {
    _glColor4f({{{ makeGetValue('p', '0', 'float') }}}, {{{ makeGetValue('p', '4', 'float') }}},
               {{{ makeGetValue('p', '8', 'float') }}}, {{{ makeGetValue('p', '12', 'float') }}});
  },
  glColor4ub__deps: ['glColor4f'],
  glColor4ub: function(r, g, b, a) { _glColor4f((r & 255) / 255, (g & 255) / 255, (b & 255) / 255, (a & 255) / 255); },
  glColor3ub__deps: ['glColor4f'],
  glColor3ub: function(r, g, b) { _glColor4f((r & 255) / 255, (g & 255) / 255, (b & 255) / 255, 1); },
  glColor4ubv__deps: ['glColor4f'],
  glColor4ubv: function(p) {
    _glColor4f(HEAPU8[p] / 255, HEAPU8[p + 1] / 255, HEAPU8[p + 2] / 255, HEAPU8[p + 3] / 255);
  },
  glColor3ubv__deps: ['glColor4f'],
  glColor3ubv: function(p) { _glColor4f(HEAPU8[p] / 255, HEAPU8[p + 1] / 255, HEAPU8[p + 2] / 255, 1); },

  glNormal3f__deps: ['$QMGL'],
  glNormal3f: function(x, y, z) {
    QMGL.normal[0] = x; QMGL.normal[1] = y; QMGL.normal[2] = z;
  },
  glNormal3fv__deps: ['glNormal3f'],
  glNormal3fv: function(p) {
    _glNormal3f({{{ makeGetValue('p', '0', 'float') }}}, {{{ makeGetValue('p', '4', 'float') }}},
                {{{ makeGetValue('p', '8', 'float') }}});
  },

  glTexCoord2f__deps: ['$QMGL'],
  glTexCoord2f: function(s, t) {
    QMGL.tex[0] = s; QMGL.tex[1] = t;
    if (QMGL.inBlock) QMGL.texGiven = true;
  },
  // 2D textures read s and t; the emulation throws on the other arities
  // (GL state helpers restore the current coordinate with glTexCoord4f).
  glTexCoord4f__deps: ['glTexCoord2f'],
  glTexCoord4f: function(s, t, r, q) { _glTexCoord2f(q ? s / q : s, q ? t / q : t); },
  glTexCoord3f__deps: ['glTexCoord2f'],
  glTexCoord3f: function(s, t, r) { _glTexCoord2f(s, t); },
  glTexCoord4fv__deps: ['glTexCoord4f'],
  glTexCoord4fv: function(p) {
    _glTexCoord4f({{{ makeGetValue('p', '0', 'float') }}}, {{{ makeGetValue('p', '4', 'float') }}},
                  {{{ makeGetValue('p', '8', 'float') }}}, {{{ makeGetValue('p', '12', 'float') }}});
  },
  glTexCoord2i__deps: ['glTexCoord2f'],
  glTexCoord2i: function(s, t) { _glTexCoord2f(s, t); },
  glTexCoord2fv__deps: ['glTexCoord2f'],
  glTexCoord2fv: function(p) {
    _glTexCoord2f({{{ makeGetValue('p', '0', 'float') }}}, {{{ makeGetValue('p', '4', 'float') }}});
  },

  glColorMaterial__deps: ['$QMGL'],
  glColorMaterial: function(face, mode) { QMGL.colorMaterial = mode; },

  // The state the additions above read, tracked as the game sets it.
  glLineWidth__deps: ['$QMGL'],
  glLineWidth: function(width) {
    if (!(width > 0)) { GL.recordError(0x501 /* GL_INVALID_VALUE */); return; }
    QMGL.lineWidth = width;
  },
  glViewport__deps: ['$QMGL'],
  glViewport: function(x, y, width, height) {
    QMGL.viewport = [x, y, width, height];
    GLctx.viewport(x, y, width, height);
  },
  glReadBuffer: function(mode) {},

});
