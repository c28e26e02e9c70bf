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
//    primitive in the same state are drawn with one WebGL call. Every other
//    GL call, and the swap, draws what is pending first, so state changes
//    and reads see the same order of drawing as GL.
// 4. glLineWidth above 1: WebGL draws lines 1 pixel wide whatever the width,
//    so wide lines are drawn as two triangles per segment, widened along the
//    minor axis in window pixels as GL's aliased wide lines are.
// 5. glColorMaterial (missing): while lighting is on, the current colour is
//    the material's ambient and/or diffuse colour at each draw.
// 6. Texturing enabled with no texture bound draws untextured, as in GL
//    (WebGL samples black from the missing texture).
// 7. glReadPixels of GL_RGB (WebGL 1 reads only RGBA), and glReadBuffer and
//    GL_READ_BUFFER (a WebGL canvas has one colour buffer: the one drawn).

// The GL calls that never draw what is pending: they only feed the block
// being built or the current attributes, which each vertex carries with it.
var QM_IMMEDIATE_CALLS = /^gl(Begin|End|Vertex[234][dfis]v?|Color[34](b|d|f|i|s|ub|ui|us)v?|Normal3[bdfis]v?|TexCoord[1234][dfis]v?|GetError)$/;

mergeInto(LibraryManager.library, {
  $QMGL__deps: ['$GLImmediateSetup', '$GLEmulation', '$GL', 'glEnable', 'glDisable', 'glGetFloatv', 'glGetIntegerv',
                'glReadPixels', 'glActiveTexture', 'glBindTexture', 'glDeleteTextures'],
  $QMGL__postset: function() {
    // Every other GL and GLU call of the build, and the swap, first draws the
    // pending batch. The emulation's own definitions are wrapped where they
    // are (it reassigns some of them itself at start-up, before this runs).
    var names = Object.keys(LibraryManager.library).filter(function(name) {
      return /^glu?[A-Z][A-Za-z0-9]*$/.test(name) && !QM_IMMEDIATE_CALLS.test(name);
    });
    names.push('glfwSwapBuffers');
    var code = 'QMGL.init();\n' +
      '_glGetFloatv = QMGL.answersLineWidth(_glGetFloatv);\n' +
      '_glGetIntegerv = QMGL.answersReadBuffer(_glGetIntegerv);\n' +
      '_glReadPixels = QMGL.readsRGB(_glReadPixels);\n' +
      '_glActiveTexture = QMGL.tracksUnit(_glActiveTexture);\n' +
      '_glBindTexture = QMGL.tracksBinding(_glBindTexture);\n' +
      '_glDeleteTextures = QMGL.tracksDeletion(_glDeleteTextures);\n' +
      '_glEnable = QMGL.tracksColorMaterial(_glEnable, true);\n' +
      '_glDisable = QMGL.tracksColorMaterial(_glDisable, false);\n';
    names.forEach(function(name) {
      code += 'if (typeof _' + name + " == 'function') _" + name + ' = QMGL.drawsPendingFirst(_' + name + ');\n';
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
    normalGiven: false,
    texGiven: false,
    color: null,       // current colour inside a block (outside: GLImmediate.clientColor)
    normal: null,
    tex: null,

    batch: null,       // Float32Array of pending vertices, all of one kind
    batchCount: 0,
    batchKind: -1,
    batchTex: false,
    batchNormal: false,
    drawing: false,    // inside a draw of the pending batch: GL calls go straight through

    lineWidth: 1,
    viewport: null,
    colorMaterial: 0x1602,  // GL_AMBIENT_AND_DIFFUSE, GL's default
    colorMaterialOn: false,
    activeUnit: 0,
    bound: [],         // texture bound to GL_TEXTURE_2D, per unit
    maxBatchVertices: 0,

    init: function() {
      QMGL.block = new Float32Array(QMGL.STRIDE * 1024);
      QMGL.batch = new Float32Array(QMGL.STRIDE * 4096);
      QMGL.color = new Float32Array([1, 1, 1, 1]);
      QMGL.normal = new Float32Array([0, 0, 1]);
      QMGL.tex = new Float32Array([0, 0]);
      // The emulation's vertex buffer holds GL_MAX_TEMP_BUFFER_SIZE bytes; a
      // vertex takes at most 2 + 1 + 3 + 4 floats there.
      QMGL.maxBatchVertices = Math.floor(GL.MAX_TEMP_BUFFER_SIZE / 40) - 64;
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

    // GL answers what it draws: the tracked line width, and the range of
    // widths that widenLines draws.
    answersLineWidth: function(getFloatv) {
      return function(name, p) {
        if (name == 0x0B21 /* GL_LINE_WIDTH */) {
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
    // GL_READ_BUFFER to ask for).
    answersReadBuffer: function(getIntegerv) {
      return function(name, p) {
        if (name == 0x0C02 /* GL_READ_BUFFER */) HEAP32[p >> 2] = 0x0405 /* GL_BACK */;
        else getIntegerv(name, p);
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

    // Adds vertex i of the block to the batch.
    take: function(i) {
      var b = QMGL.batch = QMGL.grow(QMGL.batch, QMGL.batchCount);
      var s = QMGL.STRIDE;
      b.set(QMGL.block.subarray(i * s, i * s + s), QMGL.batchCount++ * s);
    },

    // The block as a list of points, lines or triangles, in GL's order.
    takeBlock: function(mode, n) {
      var i;
      switch (mode) {
        case 0: for (i = 0; i < n; i++) QMGL.take(i); break;  // GL_POINTS
        case 1: for (i = 0; i + 1 < n; i += 2) { QMGL.take(i); QMGL.take(i + 1); } break;  // GL_LINES
        case 2:  // GL_LINE_LOOP
        case 3:  // GL_LINE_STRIP
          for (i = 0; i + 1 < n; i++) { QMGL.take(i); QMGL.take(i + 1); }
          if (mode == 2 && n > 2) { QMGL.take(n - 1); QMGL.take(0); }
          break;
        case 4: for (i = 0; i + 2 < n; i += 3) { QMGL.take(i); QMGL.take(i + 1); QMGL.take(i + 2); } break;
        case 5:  // GL_TRIANGLE_STRIP: every other triangle reversed to keep the winding
          for (i = 0; i + 2 < n; i++) {
            if (i & 1) { QMGL.take(i + 1); QMGL.take(i); QMGL.take(i + 2); }
            else { QMGL.take(i); QMGL.take(i + 1); QMGL.take(i + 2); }
          }
          break;
        case 6:  // GL_TRIANGLE_FAN
        case 9:  // GL_POLYGON (convex): its fan
          for (i = 1; i + 1 < n; i++) { QMGL.take(0); QMGL.take(i); QMGL.take(i + 1); }
          break;
        case 7:  // GL_QUADS
          for (i = 0; i + 3 < n; i += 4) {
            QMGL.take(i); QMGL.take(i + 1); QMGL.take(i + 2);
            QMGL.take(i); QMGL.take(i + 2); QMGL.take(i + 3);
          }
          break;
        case 8:  // GL_QUAD_STRIP: quad k is 2k, 2k+1, 2k+3, 2k+2
          for (i = 0; i + 3 < n; i += 2) {
            QMGL.take(i); QMGL.take(i + 1); QMGL.take(i + 3);
            QMGL.take(i); QMGL.take(i + 3); QMGL.take(i + 2);
          }
          break;
      }
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

    // Replaces the lines in the batch from index `from` by two triangles per
    // segment, QMGL.lineWidth window pixels across its minor axis. The corners
    // are found in clip space and taken back through the inverse of the
    // projection times the model-view, so the matrices, the depth and the fog
    // stay those of the line.
    widenLines: function(from) {
      var lib = GLImmediate.matrixLib.mat4;
      var mvp = lib.multiply(GLImmediate.matrix[1], GLImmediate.matrix[0], lib.create());
      var inv = lib.inverse(mvp, lib.create());
      if (!inv) return false;  // a flat transform draws nothing wider than its lines
      var s = QMGL.STRIDE, vp = QMGL.currentViewport(), half = QMGL.lineWidth / 2;
      var lines = QMGL.batch.slice(from * s, QMGL.batchCount * s);
      var count = (QMGL.batchCount - from) >> 1;
      QMGL.batchCount = from;
      var a = new Float32Array(4), b = new Float32Array(4), p = new Float32Array(4);
      var corner = [new Float32Array(s), new Float32Array(s), new Float32Array(s), new Float32Array(s)];
      for (var k = 0; k < count; k++) {
        var va = lines.subarray(2 * k * s, 2 * k * s + s), vb = lines.subarray((2 * k + 1) * s, (2 * k + 2) * s);
        lib.multiplyVec4(mvp, va.subarray(0, 4), a);
        lib.multiplyVec4(mvp, vb.subarray(0, 4), b);
        // Clipped to the near plane (z >= -w) first: a point behind the eye
        // has no place on the screen to widen around.
        var da = a[2] + a[3], db = b[2] + b[3];
        if (da < 0 && db < 0) continue;
        var t0 = 0, t1 = 1;
        if (da < 0) t0 = da / (da - db);
        if (db < 0) t1 = da / (da - db);
        var ca = [], cb = [];
        for (var j = 0; j < 4; j++) {
          ca[j] = a[j] + (b[j] - a[j]) * t0;
          cb[j] = a[j] + (b[j] - a[j]) * t1;
        }
        if (ca[3] <= 0 || cb[3] <= 0) continue;
        var dx = (cb[0] / cb[3] - ca[0] / ca[3]) * vp[2], dy = (cb[1] / cb[3] - ca[1] / ca[3]) * vp[3];
        if (dx == 0 && dy == 0) continue;
        var xMajor = Math.abs(dx) >= Math.abs(dy);
        // Half the width in normalized device units along the minor axis.
        var ox = xMajor ? 0 : 2 * half / vp[2], oy = xMajor ? 2 * half / vp[3] : 0;
        var ends = [[ca, t0], [cb, t1]];
        for (var e = 0; e < 2; e++) {
          var c = ends[e][0], t = ends[e][1];
          for (var side = 0; side < 2; side++) {
            var sign = side ? 1 : -1, out = corner[e * 2 + side];
            p[0] = c[0] + sign * ox * c[3];
            p[1] = c[1] + sign * oy * c[3];
            p[2] = c[2];
            p[3] = c[3];
            lib.multiplyVec4(inv, p, out);
            for (var q = 4; q < s; q++) out[q] = va[q] + (vb[q] - va[q]) * t;
          }
        }
        // corner 0/1: start -/+, 2/3: end -/+. Counter-clockwise on the
        // screen, so culling (on by default in the library) keeps them.
        var cross = dx * (xMajor ? 2 * half : 0) - dy * (xMajor ? 0 : 2 * half);
        var order = cross >= 0 ? [0, 2, 3, 0, 3, 1] : [0, 3, 2, 0, 1, 3];
        for (var r = 0; r < 6; r++) {
          QMGL.batch = QMGL.grow(QMGL.batch, QMGL.batchCount);
          QMGL.batch.set(corner[order[r]], QMGL.batchCount++ * s);
        }
      }
      return true;
    },

    // Draws the pending batch through the emulation's own path for
    // glBegin/glEnd, with one layout for every vertex.
    drawBatch: function() {
      var n = QMGL.batchCount;
      QMGL.batchCount = 0;
      if (!n) return;
      var kind = QMGL.batchKind, useTex = QMGL.batchTex, useNormal = QMGL.batchNormal;
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
        if (useNormal) GLImmediate.addRendererComponent(GLImmediate.NORMAL, 3, GLctx.FLOAT);
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
          if (useNormal) { data[at++] = src[o + 8]; data[at++] = src[o + 9]; data[at++] = src[o + 10]; }
          data[at++] = src[o]; data[at++] = src[o + 1]; data[at++] = src[o + 2]; data[at++] = src[o + 3];
        }
        GLImmediate.vertexCounter = at;

        // The emulation's glEnd.
        GLImmediate.prepareClientAttributes(n, true);
        GLImmediate.firstVertex = 0;
        GLImmediate.lastVertex = n;
        GLImmediate.flush();
        GLImmediate.disableBeginEndClientAttributes();
        GLImmediate.mode = -1;
        GLImmediate.enabledClientAttributes = GLImmediate.enabledClientAttributes_preBegin;
        GLImmediate.clientAttributes = GLImmediate.clientAttributes_preBegin;
        GLImmediate.currentRenderer = null;
        GLImmediate.modifiedClientAttributes = true;
      } finally {
        QMGL.drawing = false;
      }
    },

    endBlock: function() {
      var mode = QMGL.mode, n = QMGL.blockCount;
      QMGL.inBlock = false;
      QMGL.mode = -1;
      QMGL.blockCount = 0;
      if (QMGL.colorGiven) GLImmediate.clientColor.set(QMGL.color);
      var kind = QMGL.kindOf(mode);
      var wide = kind == QMGL.LINES && QMGL.lineWidth > 1;
      if (wide) kind = QMGL.TRIANGLES;
      // Lighting reads a normal per vertex; texturing a coordinate per vertex.
      var useNormal = GLEmulation.lightingEnabled;
      var useTex = QMGL.texGiven || GLImmediate.TexEnvJIT.getTexUnitType(QMGL.activeUnit) != 0;
      if (QMGL.batchCount && (kind != QMGL.batchKind || useTex != QMGL.batchTex || useNormal != QMGL.batchNormal ||
                              QMGL.batchCount + 6 * n > QMGL.maxBatchVertices)) {
        QMGL.drawBatch();
      }
      QMGL.batchKind = kind;
      QMGL.batchTex = useTex;
      QMGL.batchNormal = useNormal;
      var from = QMGL.batchCount;
      QMGL.takeBlock(mode, n);
      if (wide && !QMGL.widenLines(from)) QMGL.batchCount = from;
      // The colour material and the lights take one colour per draw, the
      // current one: a lit block is drawn on its own, as it ends.
      if (useNormal || QMGL.batchCount > QMGL.maxBatchVertices) QMGL.drawBatch();
    },
  },

  glBegin__deps: ['$QMGL'],
  glBegin: function(mode) {
    if (QMGL.inBlock || mode < 0 || mode > 9) {
      GL.recordError(QMGL.inBlock ? 0x502 /* GL_INVALID_OPERATION */ : 0x500 /* GL_INVALID_ENUM */);
      return;
    }
    QMGL.inBlock = true;
    QMGL.mode = mode;
    QMGL.blockCount = 0;
    QMGL.color.set(GLImmediate.clientColor);
    QMGL.colorGiven = false;
    QMGL.normalGiven = false;
    QMGL.texGiven = false;
  },

  glEnd__deps: ['$QMGL'],
  glEnd: function() {
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
    var c = QMGL.inBlock ? QMGL.color : GLImmediate.clientColor;
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
    if (QMGL.inBlock) QMGL.normalGiven = true;
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
