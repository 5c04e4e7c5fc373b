// Engine text: line breaking, measuring, the font scale of the transform,
// atlas growth, and drawn glyphs sampled back from the recorded atlas texture
// (written as PNGs under the build tree).
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "FontFiles.h"
#include "VGTestContext.h"
#include "VGText.h"

namespace vgtest {
namespace {

class VGTextTest : public VGTest {
protected:
  void SetUp() override
  {
    VGTest::SetUp();
    roboto = vgCreateFont(ctx, "roboto", kRobotoPath);
    dejavu = vgCreateFont(ctx, "dejavu", kDejaVuPath);
    ASSERT_EQ(roboto, 0);
    ASSERT_EQ(dejavu, 1);
    vgFontFaceId(ctx, roboto);
    vgFontSize(ctx, 20.0f);
  }

  std::vector<std::string> Rows(const std::string& text, float width)
  {
    std::vector<std::string> out;
    VGtextRow rows[3];
    const char* start = text.c_str();
    const char* end = start + text.size();
    int n;
    while ((n = vgTextBreakLines(ctx, start, end, width, rows, 3)) > 0) {
      for (int i = 0; i < n; i++) {
        out.emplace_back(rows[i].start, rows[i].end);
        // A row measures what it shows.
        EXPECT_FLOAT_EQ(rows[i].width, vgTextBounds(ctx, 0, 0, rows[i].start, rows[i].end, nullptr)) << out.back();
      }
      start = rows[n - 1].next;
    }
    return out;
  }

  float Advance(const char* s) { return vgTextBounds(ctx, 0, 0, s, nullptr, nullptr); }

  int roboto = -1, dejavu = -1;
};

// Font units of the face's metrics, read independently of the engine.
struct FaceMetrics {
  std::vector<unsigned char> bytes;
  stbtt_fontinfo info{};
  explicit FaceMetrics(const char* path) : bytes(ReadFileBytes(path)) { stbtt_InitFont(&info, bytes.data(), 0); }
  float Scale(float px) const { return stbtt_ScaleForPixelHeight(&info, px); }
  int Advance(int cp) const
  {
    int adv, lsb;
    stbtt_GetCodepointHMetrics(&info, cp, &adv, &lsb);
    return adv;
  }
};

void WriteAlphaPng(const std::vector<float>& alpha, int w, int h, const std::string& name)
{
  const std::string path = std::string(VG_TEST_OUTPUT_DIR) + "/" + name + ".png";
  const std::string tmp = path + ".part";
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_init_io(png, f);
  png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<unsigned char> row(static_cast<size_t>(w));
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++)
      row[static_cast<size_t>(x)] =
        static_cast<unsigned char>(255 - std::lround(alpha[static_cast<size_t>(y * w + x)] * 255));
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
  std::rename(tmp.c_str(), path.c_str());
}

// Every recorded text quad sampled back from its atlas texture, nearest texel,
// composited source-over; returns the summed texel alpha.
double SampleText(const VGRecordingRenderer& rec, std::vector<float>& image, int w, int h)
{
  image.assign(static_cast<size_t>(w * h), 0.0f);
  double inkSum = 0;
  for (const RecordedCall& call : rec.calls) {
    if (call.kind != ECall::Triangles)
      continue;
    const Texture* atlas = rec.FindTexture(call.paint.image);
    if (atlas == nullptr)
      continue;
    for (int q = 0; q < call.nverts / 6; q++) {
      const VGvertex* v = rec.verts.data() + call.firstVert + q * 6;
      const VGvertex &a = v[0], &b = v[1]; // top-left and bottom-right corners
      for (int py = static_cast<int>(a.y); py < static_cast<int>(b.y); py++)
        for (int px = static_cast<int>(a.x); px < static_cast<int>(b.x); px++) {
          const float u = a.u + (px + 0.5f - a.x) / (b.x - a.x) * (b.u - a.u);
          const float t = a.v + (py + 0.5f - a.y) / (b.y - a.y) * (b.v - a.v);
          const int tx = static_cast<int>(u * atlas->w), ty = static_cast<int>(t * atlas->h);
          const float alpha = atlas->data[static_cast<size_t>(ty * atlas->w + tx)] / 255.0f;
          inkSum += alpha;
          if (px < 0 || py < 0 || px >= w || py >= h) {
            ADD_FAILURE() << "quad outside the image at " << px << "," << py;
            return inkSum;
          }
          float& dst = image[static_cast<size_t>(py * w + px)];
          dst = alpha + dst * (1 - alpha);
        }
    }
  }
  return inkSum;
}

} // namespace

TEST_F(VGTextTest, LineBreakingRows)
{
  const float m3 = Advance("mmm") + 0.5f;
  const float cjk = Advance("\xE6\x97\xA5\xE6\x9C\xAC") + 1.0f; // two ideographs
  struct Case {
    std::string text;
    float width;
    std::vector<std::string> rows;
  } cases[] = {
    {"a\r\nb", 1000, {"a", "b"}},
    {"a\n\nb", 1000, {"a", "", "b"}},
    {"mmmmmmmmmm", m3, {"mmm", "mmm", "mmm", "m"}},
    {"mm   mm", m3, {"mm", "mm"}},
    {"mm mmmmm m", m3, {"mm", "mmm", "mm", "m"}},
    {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE6\x96\x87\xE5\xAD\x97",
     cjk,
     {"\xE6\x97\xA5\xE6\x9C\xAC", "\xE8\xAA\x9E\xE6\x96\x87", "\xE5\xAD\x97"}},
    {"   \n", 1000, {""}},
    {"   ", 1000, {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Rows(c.text, c.width), c.rows) << c.text;
}

TEST_F(VGTextTest, AdvanceEqualsTheSumOfRoundedGlyphAdvances)
{
  const FaceMetrics face(kRobotoPath);
  const char* text = "Hello, wide world 0123";
  for (float size : {11.0f, 14.0f, 20.0f, 33.0f}) {
    vgFontSize(ctx, size);
    long expected = 0;
    for (const char* p = text; *p; p++)
      expected += std::lround(face.Advance(*p) * face.Scale(size));
    float bounds[4];
    EXPECT_FLOAT_EQ(vgTextBounds(ctx, 5, 7, text, nullptr, bounds), static_cast<float>(expected)) << size;
    VGglyphPosition pos[64];
    const int n = vgTextGlyphPositions(ctx, 5, 7, text, nullptr, pos, 64);
    ASSERT_EQ(n, static_cast<int>(std::strlen(text)));
    EXPECT_FLOAT_EQ(pos[0].x, 5.0f);
    EXPECT_FLOAT_EQ(vgText(ctx, 5, 7, text, nullptr), 5.0f + expected) << size;
  }
}

TEST_F(VGTextTest, TransformScaleOfTenRasterisesAtFour)
{
  const FaceMetrics face(kRobotoPath);
  vgFontSize(ctx, 12.0f);
  vgScale(ctx, 10.0f, 10.0f);
  vgText(ctx, 0, 0, "H", nullptr);
  FSTfont* font = ctx->fs->fonts[roboto];
  ASSERT_EQ(font->nglyphs, 1);
  EXPECT_EQ(font->glyphs[0].size, 480);
  // The 48-pixel quad is shown ten times larger than its user-space quarter.
  const RecordedCall* tri = rec.Last(ECall::Triangles);
  ASSERT_NE(tri, nullptr);
  ASSERT_EQ(tri->nverts, 6);
  const VGvertex* v = rec.verts.data() + tri->firstVert;
  const float cellWidth = static_cast<float>(font->glyphs[0].x1 - font->glyphs[0].x0 - 2);
  EXPECT_FLOAT_EQ(v[1].x - v[0].x, cellWidth / 4.0f * 10.0f);
  EXPECT_FLOAT_EQ(Advance("H"), std::lround(face.Advance('H') * face.Scale(48.0f)) / 4.0f);

  // A rotation keeps the scale and turns the quad.
  vgResetTransform(ctx);
  vgRotate(ctx, VG_PI / 2);
  vgText(ctx, 0, 0, "H", nullptr);
  EXPECT_EQ(font->nglyphs, 2);
  EXPECT_EQ(font->glyphs[1].size, 120);
  v = rec.verts.data() + rec.Last(ECall::Triangles)->firstVert;
  EXPECT_NEAR(v[2].x, v[0].x, 1e-4); // the glyph's top edge runs down the screen
  EXPECT_GT(v[2].y, v[0].y);
}

TEST_F(VGTextTest, FullAtlasGrowsThroughFourSizesThenCutsTheString)
{
  std::string text;
  for (char c = '!'; c <= '~'; c++)
    text += c;
  vgFontFaceId(ctx, dejavu);
  vgFontSize(ctx, 450.0f);
  vgText(ctx, 0, 200, text.c_str(), nullptr);

  std::vector<std::pair<int, int>> sizes;
  int quads = 0;
  for (const RecordedCall& c : rec.calls) {
    if (c.kind == ECall::CreateTexture)
      sizes.emplace_back(c.w, c.h);
    if (c.kind == ECall::Triangles)
      quads += c.nverts / 6;
    if (c.kind == ECall::UpdateTexture) {
      const Texture* t = rec.FindTexture(c.image);
      ASSERT_NE(t, nullptr);
      EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.w > 0 && c.h > 0 && c.x + c.w <= t->w && c.y + c.h <= t->h);
    }
  }
  const std::vector<std::pair<int, int>> grown = {{1024, 512}, {1024, 1024}, {2048, 1024}};
  EXPECT_EQ(sizes, grown);
  EXPECT_EQ(ctx->fontImageIdx, 3);
  EXPECT_GT(quads, 20);
  EXPECT_LT(quads, static_cast<int>(text.size()));

  // The frame's end keeps only the largest atlas image.
  vgEndFrame(ctx);
  EXPECT_EQ(ctx->fontImageIdx, 0);
  int w = 0, h = 0;
  rec.RenderGetTextureSize(&rec, ctx->fontImages[0], &w, &h);
  EXPECT_EQ(w, 2048);
  EXPECT_EQ(h, 1024);
}

TEST_F(VGTextTest, TextTooSmallForAnyGlyphLeavesTheAtlasAlone)
{
  vgFontSize(ctx, 0.1f);
  vgText(ctx, 0, 0, "tiny", nullptr);
  EXPECT_EQ(rec.Count(ECall::CreateTexture), 0);
  EXPECT_EQ(ctx->fontImageIdx, 0);
  ASSERT_NE(rec.Last(ECall::Triangles), nullptr);
  EXPECT_EQ(rec.Last(ECall::Triangles)->nverts, 0);
}

TEST_F(VGTextTest, WithoutAFontNothingIsDrawnOrMeasured)
{
  vgFontFace(ctx, "no such face");
  EXPECT_EQ(State()->fontId, -1);
  EXPECT_EQ(vgText(ctx, 12, 3, "abc", nullptr), 12.0f);
  float b[4] = {1, 2, 3, 4};
  EXPECT_EQ(vgTextBounds(ctx, 0, 0, "abc", nullptr, b), 0.0f);
  EXPECT_EQ(b[0], 1.0f);
  vgTextBoxBounds(ctx, 5, 5, 100, "abc", nullptr, b);
  EXPECT_EQ(b[0] + b[1] + b[2] + b[3], 0.0f);
  VGtextRow rows[2];
  EXPECT_EQ(vgTextBreakLines(ctx, "abc", nullptr, 100, rows, 2), 0);
  EXPECT_TRUE(rec.calls.empty());
  EXPECT_EQ(vgFindFont(ctx, nullptr), -1);
  EXPECT_EQ(vgAddFallbackFont(ctx, "roboto", "missing"), 0);
  EXPECT_EQ(vgAddFallbackFont(ctx, "roboto", "dejavu"), 1);
}

TEST_F(VGTextTest, TextBoxRowsStepByTheLineHeight)
{
  float lineh = 0;
  vgTextMetrics(ctx, nullptr, nullptr, &lineh);
  ASSERT_GT(lineh, 0.0f);
  vgTextLineHeight(ctx, 1.5f);
  vgTextAlign(ctx, VG_ALIGN_RIGHT | VG_ALIGN_TOP);
  const float width = Advance("alpha beta") + 1.0f;
  const char* text = "alpha beta gamma delta epsilon";
  vgTextBox(ctx, 10, 20, width, text, nullptr);
  EXPECT_EQ(State()->textAlign, VG_ALIGN_RIGHT | VG_ALIGN_TOP);
  std::vector<float> tops, rights;
  for (const RecordedCall& c : rec.calls) {
    if (c.kind != ECall::Triangles)
      continue;
    float top = 1e9f, right = -1e9f;
    for (int i = 0; i < c.nverts; i++) {
      top = std::min(top, rec.verts[static_cast<size_t>(c.firstVert + i)].y);
      right = std::max(right, rec.verts[static_cast<size_t>(c.firstVert + i)].x);
    }
    tops.push_back(top);
    rights.push_back(right);
  }
  const size_t nrows = Rows(text, width).size();
  ASSERT_GE(nrows, 3u);
  ASSERT_EQ(tops.size(), nrows);
  for (size_t i = 1; i < nrows; i++)
    EXPECT_GT(tops[i], tops[i - 1]);
  EXPECT_NEAR(tops.back() - tops.front(), lineh * 1.5f * (nrows - 1), lineh * 0.5f);
  float bounds[4];
  vgTextBoxBounds(ctx, 10, 20, width, text, nullptr, bounds);
  EXPECT_NEAR(bounds[3] - bounds[1], lineh * 1.5f * (nrows - 1) + lineh, 1e-3);
  for (size_t i = 0; i < rights.size(); i++) {
    EXPECT_LE(rights[i], 10 + width + 2.0f); // right-aligned rows end at the box's edge
    EXPECT_GE(rights[i], 10 + width - 4.0f);
  }
}

TEST_F(VGTextTest, DrawnGlyphsAreTheAtlasPixelsOneToOne)
{
  const FaceMetrics face(kRobotoPath);
  const char* text = "Vorelle 3: gain +2.5 dB";
  const float x = 8, y = 30, size = 22;
  vgFontSize(ctx, size);
  float bounds[4];
  vgTextBounds(ctx, x, y, text, nullptr, bounds);
  vgText(ctx, x, y, text, nullptr);
  ASSERT_EQ(rec.Count(ECall::Triangles), 1);

  const int w = 300, h = 45;
  std::vector<float> image;
  const double inkSum = SampleText(rec, image, w, h);
  for (int py = 0; py < h; py++)
    for (int px = 0; px < w; px++)
      if (image[static_cast<size_t>(py * w + px)] > 0) {
        EXPECT_TRUE(px >= bounds[0] && px < bounds[2] && py >= bounds[1] && py < bounds[3]) << px << "," << py;
      }
  WriteAlphaPng(image, w, h, "text_roboto_22");

  // The parser's own bitmaps of the same glyphs hold the same ink.
  double expected = 0;
  const float scale = face.Scale(size);
  for (const char* p = text; *p; p++) {
    int gw, gh;
    unsigned char* bm =
      stbtt_GetCodepointBitmapSubpixel(&face.info, scale, scale, 0, 0, *p, &gw, &gh, nullptr, nullptr);
    for (int i = 0; i < gw * gh; i++)
      expected += bm[i] / 255.0;
    stbtt_FreeBitmap(bm, nullptr);
  }
  EXPECT_NEAR(inkSum, expected, 1e-3);
  EXPECT_GT(expected, 100.0);
}

TEST_F(VGTextTest, CentredTextBoxRowsSitInTheMiddleOfTheBox)
{
  const float x = 20, y = 10, width = 220;
  vgFontSize(ctx, 18.0f);
  vgTextAlign(ctx, VG_ALIGN_CENTER | VG_ALIGN_TOP);
  const char* text = "A quick brown fox jumps over the lazy dog; pack my box with five dozen liquor jugs.";
  vgTextBox(ctx, x, y, width, text, nullptr);
  const int w = 260, h = 120;
  std::vector<float> image;
  SampleText(rec, image, w, h);
  WriteAlphaPng(image, w, h, "textbox_centred");

  // Each row's ink is centred on the box within a pixel or two (side bearings differ).
  float lineh = 0;
  vgTextMetrics(ctx, nullptr, nullptr, &lineh);
  int rowsWithInk = 0;
  for (int row = 0; row * lineh < h; row++) {
    int minx = w, maxx = -1;
    for (int py = static_cast<int>(y + row * lineh); py < std::min(h, static_cast<int>(y + (row + 1) * lineh)); py++)
      for (int px = 0; px < w; px++)
        if (image[static_cast<size_t>(py * w + px)] > 0.2f) {
          minx = std::min(minx, px);
          maxx = std::max(maxx, px);
        }
    if (maxx < 0)
      continue;
    rowsWithInk++;
    EXPECT_LE(maxx - minx, width) << row;
    EXPECT_NEAR((minx + maxx + 1) * 0.5f, x + width * 0.5f, 3.0f) << row;
  }
  EXPECT_EQ(rowsWithInk, static_cast<int>(Rows(text, width).size()));
}

} // namespace vgtest
