// Parse time of generated SVG documents (a ~200 kB icon sheet, a long chain
// of gradient references, one path of 16,000 sub-paths) against libxml2's
// streaming reader visiting every element and attribute of the same text in
// this process (counter "vs_libxml2": our time over the reader's). The reader
// only tokenizes; ours also builds the curves, bounds and gradients, so the
// reference is a floor, not a target.
#include <benchmark/benchmark.h>

#include <libxml/xmlreader.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "SVGParser.h"

namespace {

using namespace plugin::igraphics;

// A sheet of 24 x 24 icons in rows of 20: paths with every command family,
// rounded rects, circles, strokes, styles and shared gradients.
std::string MakeIconSheet(size_t targetBytes)
{
  std::string s =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
    "width=\"480\" height=\"4800\" viewBox=\"0 0 480 4800\">\n"
    "<defs>\n"
    "<linearGradient id=\"shine\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">"
    "<stop offset=\"0\" stop-color=\"#ffffff\"/><stop offset=\"1\" stop-color=\"#808080\"/></linearGradient>\n"
    "<linearGradient id=\"shine2\" xlink:href=\"#shine\" x2=\"1\" y2=\"0\"/>\n"
    "<radialGradient id=\"glow\" cx=\"50%\" cy=\"50%\" r=\"50%\">"
    "<stop offset=\"0\" stop-color=\"rgb(255,200,0)\" stop-opacity=\"0.9\"/>"
    "<stop offset=\"1\" stop-color=\"rgb(255,80,0)\" stop-opacity=\"0\"/></radialGradient>\n"
    "</defs>\n";
  char buf[1024];
  for (int i = 0; s.size() < targetBytes; i++) {
    const int x = (i % 20) * 24, y = (i / 20) * 24;
    std::snprintf(buf, sizeof(buf),
                  "<g id=\"icon%d\" transform=\"translate(%d,%d)\">\n"
                  "  <rect x=\"1\" y=\"1\" width=\"22\" height=\"22\" rx=\"3\" fill=\"url(#%s)\" stroke=\"#333\" "
                  "stroke-width=\"0.5\"/>\n"
                  "  <path d=\"M12 3.5c-4.7 0-8.5 3.8-8.5 8.5s3.8 8.5 8.5 8.5 8.5-3.8 8.5-8.5S16.7 3.5 12 3.5z"
                  "M12 6l1.76 3.57 3.94.57-2.85 2.78.67 3.93L12 15l-3.52 1.85.67-3.93L6.3 10.14l3.94-.57z\" "
                  "fill=\"#%06x\"/>\n"
                  "  <path d=\"M4 20 Q8 %d 12 20 T20 20 M4 4 A8 6 %d 0 1 20 4 L20 6 H4 V4\" fill=\"none\" "
                  "style=\"stroke:#%06x;stroke-width:1.2;stroke-linecap:round;stroke-linejoin:round\"/>\n"
                  "  <circle cx=\"18\" cy=\"6\" r=\"%d.5\" fill=\"url(#glow)\" opacity=\"0.8\"/>\n"
                  "  <polyline points=\"3,12 7,16 11,8 15,14 21,10\" fill=\"none\" stroke=\"blue\"/>\n"
                  "</g>\n",
                  i, x, y, i % 2 ? "shine" : "shine2", (i * 2654435761u) & 0xffffff, 14 + i % 5, (i * 7) % 90,
                  (i * 40503u) & 0xffffff, 1 + i % 3);
    s += buf;
  }
  s += "</svg>\n";
  return s;
}

const std::string& Sheet()
{
  static const std::string sheet = MakeIconSheet(200 * 1024);
  return sheet;
}

// Gradients as a long reference chain (each lends the stops of the one
// before), each filling a shape, and one gradient of many stops.
std::string MakeGradientChain(int gradients, int stops)
{
  std::string s = "<svg width=\"100\" height=\"100\"><defs><linearGradient id=\"g0\">";
  char buf[256];
  for (int i = 0; i < stops; i++) {
    std::snprintf(buf, sizeof(buf), "<stop offset=\"%g\" stop-color=\"#%06x\"/>", double(i) / stops,
                  (i * 2654435761u) & 0xffffff);
    s += buf;
  }
  s += "</linearGradient>";
  for (int i = 1; i < gradients; i++) {
    std::snprintf(buf, sizeof(buf), "<linearGradient id=\"g%d\" xlink:href=\"#g%d\"/>", i, i - 1);
    s += buf;
  }
  s += "</defs>";
  for (int i = 0; i < gradients; i++) {
    std::snprintf(buf, sizeof(buf), "<rect x=\"%d\" width=\"1\" height=\"1\" fill=\"url(#g%d)\"/>", i % 100, i);
    s += buf;
  }
  return s + "</svg>";
}

const std::string& GradientChain()
{
  static const std::string doc = MakeGradientChain(3000, 4000);
  return doc;
}

// One path of many square sub-paths, rings of holes inside a frame.
std::string MakeManySubpaths(int count)
{
  std::string s = "<svg width=\"1000\" height=\"1000\"><path fill-rule=\"evenodd\" d=\"M0 0H1000V1000H0Z";
  char buf[128];
  for (int i = 0; i < count; i++) {
    const double x = 2 + (i % 160) * 6.2, y = 2 + (i / 160) * 6.2;
    std::snprintf(buf, sizeof(buf), "M%.1f %.1fh5v5h-5z", x, y);
    s += buf;
  }
  return s + "\"/></svg>";
}

const std::string& ManySubpaths()
{
  static const std::string doc = MakeManySubpaths(16000);
  return doc;
}

template <class F> double Seconds(F&& work)
{
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Every element and attribute visited, each value read; -1 on a parse error.
long ReadWithLibxml2(const std::string& text)
{
  xmlTextReaderPtr reader = xmlReaderForMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                               XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  if (!reader)
    return -1;
  long seen = 0;
  int ret;
  while ((ret = xmlTextReaderRead(reader)) == 1) {
    if (xmlTextReaderNodeType(reader) != XML_READER_TYPE_ELEMENT)
      continue;
    seen++;
    while (xmlTextReaderMoveToNextAttribute(reader) == 1) {
      const xmlChar* value = xmlTextReaderConstValue(reader);
      seen += value ? value[0] : 0;
    }
  }
  xmlFreeTextReader(reader);
  return ret == 0 ? seen : -1;
}

void ParseDocument(benchmark::State& state, const std::string& sheet)
{
  std::vector<char> buf(sheet.size() + 1);
  if (ReadWithLibxml2(sheet) < 0) {
    state.SkipWithError("libxml2 could not read the sheet");
    return;
  }
  int shapes = 0;
  double oursSeconds = 0, referenceSeconds = 0;
  for (auto _ : state) {
    oursSeconds += Seconds([&] {
      // The parser cuts its text in place: each run parses a fresh copy.
      std::memcpy(buf.data(), sheet.c_str(), sheet.size() + 1);
      SVGImage* image = svgParse(buf.data(), "px", 96.0f);
      shapes = 0;
      for (const SVGShape* s = image ? image->shapes : nullptr; s; s = s->next)
        shapes++;
      svgDelete(image);
    });
    state.PauseTiming();
    referenceSeconds += Seconds([&] { benchmark::DoNotOptimize(ReadWithLibxml2(sheet)); });
    state.ResumeTiming();
  }
  state.counters["vs_libxml2"] = oursSeconds / referenceSeconds;
  state.counters["shapes"] = shapes;
  state.counters["kB"] = static_cast<double>(sheet.size()) / 1024.0;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(sheet.size()));
}

} // namespace

BENCHMARK_CAPTURE(ParseDocument, IconSheet, Sheet())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ParseDocument, GradientChain, GradientChain())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ParseDocument, ManySubpaths, ManySubpaths())->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
  xmlInitParser();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  xmlCleanupParser();
  return 0;
}
