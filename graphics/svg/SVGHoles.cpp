// Which sub-paths of a shape are holes, decided once when the shape is made:
// a point just inside each sub-path is tested with the winding numbers of the
// others, curves followed as closely as the point needs, under the shape's
// fill rule. The back end
// then fills solid sub-paths and cuts holes by their orientation alone.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "SVGParserState.h"

namespace plugin::igraphics {

namespace {

struct Pt {
  double x, y;
};

struct Poly {
  const SVGPath* path;
  double x0, y0, x1, y1; // tight bounds; the outline never leaves them
  int count;             // points, 0 for a path without a segment
};

// Sub-paths bigger than this many grid cells are tested for every point.
constexpr int kMaxCellsPerPath = 64;
// Halvings of a cubic before its chord stands for it however close q is.
constexpr int kMaxDepth = 24;

// Winding contribution of the edge a -> b around q. Edges are half-open in
// y, so a vertex on the horizontal through q counts once or, where the
// outline only touches that line, not at all.
int EdgeWinding(Pt a, Pt b, Pt q)
{
  const double side = (b.x - a.x) * (q.y - a.y) - (q.x - a.x) * (b.y - a.y);
  if (a.y <= q.y)
    return (b.y > q.y && side > 0.0) ? 1 : 0;
  return (b.y <= q.y && side < 0.0) ? -1 : 0;
}

// A cubic lies inside the box of its control points, and so does the region
// between it and its chord: with q outside that box the chord winds around q
// as the curve does. Otherwise the cubic is halved until it is.
int CubicWinding(const Pt* c, Pt q, int depth)
{
  const double x0 = std::min(std::min(c[0].x, c[1].x), std::min(c[2].x, c[3].x));
  const double x1 = std::max(std::max(c[0].x, c[1].x), std::max(c[2].x, c[3].x));
  const double y0 = std::min(std::min(c[0].y, c[1].y), std::min(c[2].y, c[3].y));
  const double y1 = std::max(std::max(c[0].y, c[1].y), std::max(c[2].y, c[3].y));
  // Written so that a box with NaN in it ends the halving too.
  const bool nearBox = q.y >= y0 && q.y < y1 && q.x >= x0 && q.x <= x1;
  if (!nearBox || depth >= kMaxDepth)
    return EdgeWinding(c[0], c[3], q);
  const Pt ab = {(c[0].x + c[1].x) / 2, (c[0].y + c[1].y) / 2}, bc = {(c[1].x + c[2].x) / 2, (c[1].y + c[2].y) / 2};
  const Pt cd = {(c[2].x + c[3].x) / 2, (c[2].y + c[3].y) / 2};
  const Pt abc = {(ab.x + bc.x) / 2, (ab.y + bc.y) / 2}, bcd = {(bc.x + cd.x) / 2, (bc.y + cd.y) / 2};
  const Pt mid = {(abc.x + bcd.x) / 2, (abc.y + bcd.y) / 2};
  const Pt left[4] = {c[0], ab, abc, mid}, right[4] = {mid, bcd, cd, c[3]};
  return CubicWinding(left, q, depth + 1) + CubicWinding(right, q, depth + 1);
}

Pt At(const SVGPath* path, int i) { return {path->pts[2 * i], path->pts[2 * i + 1]}; }

// Winding number of the sub-path around q, closed by a line back to its
// start as a fill closes it.
int Winding(const Poly& poly, Pt q)
{
  if (poly.count == 0 || q.x < poly.x0 || q.x > poly.x1 || q.y < poly.y0 || q.y > poly.y1)
    return 0;
  const SVGPath* path = poly.path;
  int w = 0;
  for (int i = 0; i + 3 < poly.count; i += 3) {
    const Pt c[4] = {At(path, i), At(path, i + 1), At(path, i + 2), At(path, i + 3)};
    w += CubicWinding(c, q, 0);
  }
  return w + EdgeWinding(At(path, poly.count - 1), At(path, 0), q);
}

bool Filled(int winding, bool evenOdd) { return evenOdd ? (winding & 1) != 0 : winding != 0; }

// A grid over the shape listing, per cell, the sub-paths whose bounds meet
// it; sub-paths too big for the grid go on a list tested everywhere.
struct Grid {
  int size = 0;
  double x0 = 0, y0 = 0, cw = 1, ch = 1;
  int* cellStart = nullptr; // size * size + 1 offsets into entries
  int* entries = nullptr;
  int* big = nullptr;
  int nbig = 0;

  ~Grid()
  {
    std::free(cellStart);
    std::free(entries);
    std::free(big);
  }

  int Cell(double v, double origin, double step) const
  {
    const double c = std::floor((v - origin) / step);
    return !(c > 0.0) ? 0 : (c >= size - 1 ? size - 1 : static_cast<int>(c));
  }

  bool IsBig(const Poly& p) const
  {
    const long cells =
      static_cast<long>(Cell(p.x1, x0, cw) - Cell(p.x0, x0, cw) + 1) * (Cell(p.y1, y0, ch) - Cell(p.y0, y0, ch) + 1);
    return cells > kMaxCellsPerPath;
  }

  bool Build(const Poly* polys, int n)
  {
    double bx0 = INFINITY, by0 = INFINITY, bx1 = -INFINITY, by1 = -INFINITY;
    for (int i = 0; i < n; i++) {
      if (polys[i].count == 0)
        continue;
      bx0 = std::min(bx0, polys[i].x0);
      by0 = std::min(by0, polys[i].y0);
      bx1 = std::max(bx1, polys[i].x1);
      by1 = std::max(by1, polys[i].y1);
    }
    size = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
    size = size > 512 ? 512 : size;
    x0 = bx0;
    y0 = by0;
    cw = bx1 > bx0 ? (bx1 - bx0) / size : 1.0;
    ch = by1 > by0 ? (by1 - by0) / size : 1.0;
    const int cells = size * size;
    cellStart = static_cast<int*>(std::calloc(static_cast<size_t>(cells) + 1, sizeof(int)));
    big = static_cast<int*>(std::malloc(static_cast<size_t>(n) * sizeof(int)));
    if (!cellStart || !big)
      return false;
    auto forCells = [&](const Poly& p, auto&& fn) {
      for (int cy = Cell(p.y0, y0, ch); cy <= Cell(p.y1, y0, ch); cy++)
        for (int cx = Cell(p.x0, x0, cw); cx <= Cell(p.x1, x0, cw); cx++)
          fn(cy * size + cx);
    };
    for (int i = 0; i < n; i++) {
      if (polys[i].count == 0)
        continue;
      if (IsBig(polys[i]))
        big[nbig++] = i;
      else
        forCells(polys[i], [&](int c) { cellStart[c + 1]++; });
    }
    for (int c = 0; c < cells; c++)
      cellStart[c + 1] += cellStart[c];
    const int total = cellStart[cells];
    entries = static_cast<int*>(std::malloc(static_cast<size_t>(total > 0 ? total : 1) * sizeof(int)));
    int* fill = static_cast<int*>(std::malloc(static_cast<size_t>(cells) * sizeof(int)));
    if (!entries || !fill) {
      std::free(fill);
      return false;
    }
    for (int c = 0; c < cells; c++)
      fill[c] = cellStart[c];
    for (int i = 0; i < n; i++)
      if (polys[i].count > 0 && !IsBig(polys[i]))
        forCells(polys[i], [&](int c) { entries[fill[c]++] = i; });
    std::free(fill);
    return true;
  }
};

int WindingAt(const Grid& grid, const Poly* polys, Pt q)
{
  int w = 0;
  for (int k = 0; k < grid.nbig; k++)
    w += Winding(polys[grid.big[k]], q);
  const int cell = grid.Cell(q.y, grid.y0, grid.ch) * grid.size + grid.Cell(q.x, grid.x0, grid.cw);
  for (int k = grid.cellStart[cell]; k < grid.cellStart[cell + 1]; k++)
    w += Winding(polys[grid.entries[k]], q);
  return w;
}

// A point just inside the sub-path, beside the middle of its fastest-moving
// segment, with the sub-path's own winding there; false without area.
bool InsidePoint(const Poly& poly, Pt* q, int* self)
{
  const SVGPath* path = poly.path;
  int best = -1;
  double speed = 0.0;
  Pt mid = {0, 0}, tangent = {0, 0};
  for (int i = 0; i + 3 < poly.count; i += 3) {
    const Pt p0 = At(path, i), p1 = At(path, i + 1), p2 = At(path, i + 2), p3 = At(path, i + 3);
    const Pt t = {p3.x + p2.x - p1.x - p0.x, p3.y + p2.y - p1.y - p0.y};
    const double v = t.x * t.x + t.y * t.y;
    if (v > speed) {
      speed = v;
      best = i;
      tangent = t;
      mid = {(p0.x + 3.0 * (p1.x + p2.x) + p3.x) / 8.0, (p0.y + 3.0 * (p1.y + p2.y) + p3.y) / 8.0};
    }
  }
  if (best < 0 || !std::isfinite(speed))
    return false;
  const double len = std::sqrt(speed);
  const double extent = std::max(poly.x1 - poly.x0, poly.y1 - poly.y0);
  const double eps = std::max(extent * 1e-5, (std::fabs(mid.x) + std::fabs(mid.y)) * 1e-9);
  const double nx = -tangent.y / len * eps, ny = tangent.x / len * eps;
  for (const double side : {1.0, -1.0}) {
    const Pt c = {mid.x + side * nx, mid.y + side * ny};
    const int w = Winding(poly, c);
    if (w != 0) {
      *q = c;
      *self = w;
      return true;
    }
  }
  return false;
}

} // namespace

void svgDecideHoles(SVGShape* shape)
{
  int n = 0;
  for (SVGPath* path = shape->paths; path; path = path->next, n++)
    path->hole = 0;
  if (n < 2)
    return;
  Poly* polys = static_cast<Poly*>(std::malloc(static_cast<size_t>(n) * sizeof(Poly)));
  if (!polys)
    return; // without memory every sub-path stays solid
  int i = 0;
  for (const SVGPath* path = shape->paths; path; path = path->next, i++)
    polys[i] = {
      path, path->bounds[0], path->bounds[1], path->bounds[2], path->bounds[3], path->npts >= 4 ? path->npts : 0};
  Grid grid;
  if (grid.Build(polys, n)) {
    const bool evenOdd = shape->fillRule == 1;
    i = 0;
    for (SVGPath* path = shape->paths; path; path = path->next, i++) {
      Pt q;
      int self = 0;
      if (polys[i].count == 0 || !InsidePoint(polys[i], &q, &self))
        continue;
      const int others = WindingAt(grid, polys, q) - self;
      path->hole = Filled(others, evenOdd) && !Filled(others + self, evenOdd);
    }
  }
  std::free(polys);
}

} // namespace plugin::igraphics
