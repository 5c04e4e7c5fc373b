#pragma once
// The vector engine's public interface: an immediate-mode 2-D drawing library
// written as free functions over plain records. It draws nothing itself;
// every frame, paint, path set and texture goes to a renderer through the
// callback record VGparams. One context is used by one thread at a time.
//
// Matrices are six floats [a b c d e f]: x' = a x + c y + e, y' = b x + d y + f.
// Angles are radians. Colours are straight (not premultiplied) alpha.
// Text functions are declared in VGText.h.

#include <cstdint>

struct VGcontext;

// Also indexed as four floats, r to a, through named members rather than a
// union, so that no member is ever read through another.
struct VGcolor {
  float r, g, b, a;
  float& operator[](int i) { return this->*kParts[i & 3]; }
  float operator[](int i) const { return this->*kParts[i & 3]; }

private:
  static constexpr float VGcolor::*kParts[4] = {&VGcolor::r, &VGcolor::g, &VGcolor::b, &VGcolor::a};
};

struct VGpaint {
  float xform[6];
  float extent[2];
  float radius;
  float feather;
  VGcolor innerColor;
  VGcolor outerColor;
  int image;
};

struct VGscissor {
  float xform[6];
  float extent[2]; // half width, half height; extent[0] < 0: no scissor
};

struct VGcompositeOperationState {
  int srcRGB;
  int dstRGB;
  int srcAlpha;
  int dstAlpha;
};

// The layout of the renderer's vertex buffer: 16 bytes.
struct VGvertex {
  float x, y, u, v;
};

// One flattened sub-path as the renderer sees it. The vertices live in the
// engine's pool and are overwritten by the next expansion: copy them during
// the callback.
struct VGpath {
  int first;
  int count;
  uint8_t closed;
  int nbevel;
  VGvertex* fill;
  int nfill;
  VGvertex* stroke;
  int nstroke;
  int winding;
  int convex;
};

// Renderer callback record. userPtr is passed first to every callback.
struct VGparams {
  void* userPtr;
  int edgeAntiAlias;
  int (*renderCreate)(void* uptr);
  int (*renderCreateTexture)(void* uptr, int type, int w, int h, int imageFlags, const uint8_t* data);
  int (*renderDeleteTexture)(void* uptr, int image);
  int (*renderUpdateTexture)(void* uptr, int image, int x, int y, int w, int h, const uint8_t* data);
  int (*renderGetTextureSize)(void* uptr, int image, int* w, int* h);
  void (*renderViewport)(void* uptr, float width, float height, float devicePixelRatio);
  void (*renderCancel)(void* uptr);
  void (*renderFlush)(void* uptr);
  void (*renderFill)(void* uptr, VGpaint* paint, VGcompositeOperationState compositeOperation, VGscissor* scissor,
                     float fringe, const float* bounds, const VGpath* paths, int npaths);
  void (*renderStroke)(void* uptr, VGpaint* paint, VGcompositeOperationState compositeOperation, VGscissor* scissor,
                       float fringe, float strokeWidth, const VGpath* paths, int npaths);
  void (*renderTriangles)(void* uptr, VGpaint* paint, VGcompositeOperationState compositeOperation, VGscissor* scissor,
                          const VGvertex* verts, int nverts, float fringe);
  void (*renderDelete)(void* uptr); // may be null
};

// Texture types handed to renderCreateTexture.
enum { VG_TEXTURE_ALPHA = 1, VG_TEXTURE_RGBA = 2 };

// Winding and arc directions.
enum { VG_CCW = 1, VG_CW = 2, VG_SOLID = 1, VG_HOLE = 2 };

// Line caps (0..2) and joins (1, 3, 4).
enum { VG_BUTT = 0, VG_ROUND = 1, VG_SQUARE = 2, VG_BEVEL = 3, VG_MITER = 4 };

// Blend-factor flags.
enum {
  VG_ZERO = 1 << 0,
  VG_ONE = 1 << 1,
  VG_SRC_COLOR = 1 << 2,
  VG_ONE_MINUS_SRC_COLOR = 1 << 3,
  VG_DST_COLOR = 1 << 4,
  VG_ONE_MINUS_DST_COLOR = 1 << 5,
  VG_SRC_ALPHA = 1 << 6,
  VG_ONE_MINUS_SRC_ALPHA = 1 << 7,
  VG_DST_ALPHA = 1 << 8,
  VG_ONE_MINUS_DST_ALPHA = 1 << 9,
  VG_SRC_ALPHA_SATURATE = 1 << 10,
};

// Composite operation codes; any other code acts as copy.
enum {
  VG_SOURCE_OVER,
  VG_SOURCE_IN,
  VG_SOURCE_OUT,
  VG_ATOP,
  VG_DESTINATION_OVER,
  VG_DESTINATION_IN,
  VG_DESTINATION_OUT,
  VG_DESTINATION_ATOP,
  VG_LIGHTER,
  VG_COPY,
  VG_XOR,
};

// Context and frames. Creation returns null on any failure, after releasing
// everything it made (renderDelete included when set).
VGcontext* vgCreateInternal(VGparams* params);
void vgDeleteInternal(VGcontext* ctx);
VGparams* vgInternalParams(VGcontext* ctx);
void vgBeginFrame(VGcontext* ctx, float windowWidth, float windowHeight, float devicePixelRatio);
void vgCancelFrame(VGcontext* ctx);
void vgEndFrame(VGcontext* ctx);

// State stack (32 states) and state fields; values are stored unchanged.
void vgSave(VGcontext* ctx);
void vgRestore(VGcontext* ctx);
void vgReset(VGcontext* ctx);
void vgShapeAntiAlias(VGcontext* ctx, int enabled);
void vgStrokeWidth(VGcontext* ctx, float width);
void vgMiterLimit(VGcontext* ctx, float limit);
void vgLineCap(VGcontext* ctx, int cap);
void vgLineJoin(VGcontext* ctx, int join);
void vgGlobalAlpha(VGcontext* ctx, float alpha);

// Matrix helpers on caller-owned float[6].
void vgTransformIdentity(float* t);
void vgTransformTranslate(float* t, float tx, float ty);
void vgTransformScale(float* t, float sx, float sy);
void vgTransformRotate(float* t, float a);
void vgTransformSkewX(float* t, float a);
void vgTransformSkewY(float* t, float a);
void vgTransformMultiply(float* t, const float* s);    // t := t then s
void vgTransformPremultiply(float* t, const float* s); // t := s then t
int vgTransformInverse(float* inv, const float* t);    // 0: singular, inv = identity
void vgTransformPoint(float* dx, float* dy, const float* t, float x, float y);
float vgDegToRad(float deg);
float vgRadToDeg(float rad);

// State transform: each operation applies to user coordinates first.
void vgResetTransform(VGcontext* ctx);
void vgTransform(VGcontext* ctx, float a, float b, float c, float d, float e, float f);
void vgTranslate(VGcontext* ctx, float x, float y);
void vgRotate(VGcontext* ctx, float angle);
void vgSkewX(VGcontext* ctx, float angle);
void vgSkewY(VGcontext* ctx, float angle);
void vgScale(VGcontext* ctx, float x, float y);
void vgCurrentTransform(VGcontext* ctx, float* xform);

// Colours.
VGcolor vgRGB(unsigned char r, unsigned char g, unsigned char b);
VGcolor vgRGBf(float r, float g, float b);
VGcolor vgRGBA(unsigned char r, unsigned char g, unsigned char b, unsigned char a);
VGcolor vgRGBAf(float r, float g, float b, float a);
VGcolor vgLerpRGBA(VGcolor c0, VGcolor c1, float u);
VGcolor vgTransRGBA(VGcolor c, unsigned char a);
VGcolor vgTransRGBAf(VGcolor c, float a);
VGcolor vgHSL(float h, float s, float l);
VGcolor vgHSLA(float h, float s, float l, unsigned char a);

// Paints. A paint set on the state is fixed in the user space of that moment.
void vgFillColor(VGcontext* ctx, VGcolor color);
void vgStrokeColor(VGcontext* ctx, VGcolor color);
void vgFillPaint(VGcontext* ctx, VGpaint paint);
void vgStrokePaint(VGcontext* ctx, VGpaint paint);
VGpaint vgLinearGradient(VGcontext* ctx, float sx, float sy, float ex, float ey, VGcolor icol, VGcolor ocol);
VGpaint vgBoxGradient(VGcontext* ctx, float x, float y, float w, float h, float r, float f, VGcolor icol, VGcolor ocol);
VGpaint vgRadialGradient(VGcontext* ctx, float cx, float cy, float inr, float outr, VGcolor icol, VGcolor ocol);
VGpaint vgImagePattern(VGcontext* ctx, float ox, float oy, float ex, float ey, float angle, int image, float alpha);

// Composite operations.
void vgGlobalCompositeOperation(VGcontext* ctx, int op);
void vgGlobalCompositeBlendFunc(VGcontext* ctx, int sfactor, int dfactor);
void vgGlobalCompositeBlendFuncSeparate(VGcontext* ctx, int srcRGB, int dstRGB, int srcAlpha, int dstAlpha);

// Scissor, fixed in the user space current at the call.
void vgScissor(VGcontext* ctx, float x, float y, float w, float h);
void vgIntersectScissor(VGcontext* ctx, float x, float y, float w, float h);
void vgResetScissor(VGcontext* ctx);

// Images (RGBA textures through the renderer); 0 means failure.
int vgCreateImage(VGcontext* ctx, const char* filename, int imageFlags);
int vgCreateImageMem(VGcontext* ctx, int imageFlags, unsigned char* data, int ndata);
int vgCreateImageRGBA(VGcontext* ctx, int w, int h, int imageFlags, const unsigned char* data);
void vgUpdateImage(VGcontext* ctx, int image, const unsigned char* data);
void vgImageSize(VGcontext* ctx, int image, int* w, int* h);
void vgDeleteImage(VGcontext* ctx, int image);

// Path building; points are transformed by the state transform when appended.
void vgBeginPath(VGcontext* ctx);
void vgMoveTo(VGcontext* ctx, float x, float y);
void vgLineTo(VGcontext* ctx, float x, float y);
void vgBezierTo(VGcontext* ctx, float c1x, float c1y, float c2x, float c2y, float x, float y);
void vgQuadTo(VGcontext* ctx, float cx, float cy, float x, float y);
void vgArcTo(VGcontext* ctx, float x1, float y1, float x2, float y2, float radius);
void vgClosePath(VGcontext* ctx);
void vgPathWinding(VGcontext* ctx, int dir);
void vgArc(VGcontext* ctx, float cx, float cy, float r, float a0, float a1, int dir);
void vgRect(VGcontext* ctx, float x, float y, float w, float h);
void vgRoundedRect(VGcontext* ctx, float x, float y, float w, float h, float r);
void vgRoundedRectVarying(VGcontext* ctx, float x, float y, float w, float h, float radTopLeft, float radTopRight,
                          float radBottomRight, float radBottomLeft);
void vgEllipse(VGcontext* ctx, float cx, float cy, float rx, float ry);
void vgCircle(VGcontext* ctx, float cx, float cy, float r);

// Fill and stroke the current path; the path stays for a second call.
void vgFill(VGcontext* ctx);
void vgStroke(VGcontext* ctx);
