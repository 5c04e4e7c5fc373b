// Which sub-paths of a shape are holes, decided once when the shape is made:
// the outlines are flattened, and each sub-path's inside is tested with the
// winding numbers of the others under the shape's fill rule. The back end
// then fills solid sub-paths and cuts holes by their orientation alone.
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
  int start, count;
  double x0, y0, x1, y1;
};

// Sub-paths bigger than this many grid cells are tested for every point.
constexpr int kMaxCellsPerPath = 64;
constexpr int kMaxSegmentsPerCubic = 100;

int CubicSegments(const float* c, double tol)
{
  const double ax = c[0] - 2.0 * c[2] + c[4], ay = c[1] - 2.0 * c[3] + c[5];
  const double bx = c[2] - 2.0 * c[4] + c[6], by = c[3] - 2.0 * c[5] + c[7];
  const double d = std::fmax(std::hypot(ax, ay), std::hypot(bx, by));
  // The chord error of n equal steps is at most 3/4 d / n^2.
  const double n = std::ceil(std::sqrt(0.75 * d / tol));
  if (!(n >= 1.0))
    return 1;
  return n > kMaxSegmentsPerCubic ? kMaxSegmentsPerCubic : static_cast<int>(n);
}

int CountPoints(const SVGPath* path, double tol)
{
  int n = 1;
  for (int i = 0; i + 3 < path->npts; i += 3)
    n += CubicSegments(&path->pts[i * 2], tol);
  return n;
}

// Start point, then each cubic in equal parameter steps; the polygon closes
// implicitly, as a fill closes an open sub-path.
void Flatten(const SVGPath* path, double tol, Pt* out, Poly* poly)
{
  int k = 0;
  out[k++] = {path->pts[0], path->pts[1]};
  for (int i = 0; i + 3 < path->npts; i += 3) {
    const float* c = &path->pts[i * 2];
    const int n = CubicSegments(c, tol);
    for (int s = 1; s <= n; s++) {
      const double t = static_cast<double>(s) / n, u = 1.0 - t;
      const double a = u * u * u, b = 3.0 * u * u * t, cc = 3.0 * u * t * t, d = t * t * t;
      out[k++] = {a * c[0] + b * c[2] + cc * c[4] + d * c[6], a * c[1] + b * c[3] + cc * c[5] + d * c[7]};
    }
  }
  poly->count = k;
  poly->x0 = poly->x1 = out[0].x;
  poly->y0 = poly->y1 = out[0].y;
  for (int i = 1; i < k; i++) {
    poly->x0 = std::fmin(poly->x0, out[i].x);
    poly->x1 = std::fmax(poly->x1, out[i].x);
    poly->y0 = std::fmin(poly->y0, out[i].y);
    poly->y1 = std::fmax(poly->y1, out[i].y);
  }
}

// Winding number of the closed polygon around q. Edges are half-open in y,
// so a vertex on the horizontal through q counts once or, where the outline
// only touches that line, not at all.
int Winding(const Pt* p, int n, Pt q)
{
  int w = 0;
  for (int i = 0; i < n; i++) {
    const Pt a = p[i], b = p[i + 1 < n ? i + 1 : 0];
    const double side = (b.x - a.x) * (q.y - a.y) - (q.x - a.x) * (b.y - a.y);
    if (a.y <= q.y) {
      if (b.y > q.y && side > 0.0)
        w++;
    } else if (b.y <= q.y && side < 0.0) {
      w--;
    }
  }
  return w;
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
      bx0 = std::fmin(bx0, polys[i].x0);
      by0 = std::fmin(by0, polys[i].y0);
      bx1 = std::fmax(bx1, polys[i].x1);
      by1 = std::fmax(by1, polys[i].y1);
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

int WindingAt(const Grid& grid, const Poly* polys, const Pt* pts, Pt q)
{
  auto one = [&](int i) {
    const Poly& p = polys[i];
    if (q.x < p.x0 || q.x > p.x1 || q.y < p.y0 || q.y > p.y1)
      return 0;
    return Winding(pts + p.start, p.count, q);
  };
  int w = 0;
  for (int k = 0; k < grid.nbig; k++)
    w += one(grid.big[k]);
  const int cell = grid.Cell(q.y, grid.y0, grid.ch) * grid.size + grid.Cell(q.x, grid.x0, grid.cw);
  for (int k = grid.cellStart[cell]; k < grid.cellStart[cell + 1]; k++)
    w += one(grid.entries[k]);
  return w;
}

// A point just inside the polygon, beside the middle of its longest edge,
// with the polygon's own winding there; false for an outline without area.
bool InsidePoint(const Pt* p, int n, const Poly& poly, Pt* q, int* self)
{
  int longest = -1;
  double len = 0.0;
  for (int i = 0; i < n; i++) {
    const Pt a = p[i], b = p[i + 1 < n ? i + 1 : 0];
    const double l = std::hypot(b.x - a.x, b.y - a.y);
    if (l > len) {
      len = l;
      longest = i;
    }
  }
  if (longest < 0 || !std::isfinite(len))
    return false;
  const Pt a = p[longest], b = p[longest + 1 < n ? longest + 1 : 0];
  const Pt m = {(a.x + b.x) / 2.0, (a.y + b.y) / 2.0};
  const double extent = std::fmax(poly.x1 - poly.x0, poly.y1 - poly.y0);
  const double eps = std::fmax(extent * 1e-5, (std::fabs(m.x) + std::fabs(m.y)) * 1e-9);
  const double nx = -(b.y - a.y) / len * eps, ny = (b.x - a.x) / len * eps;
  for (const double side : {1.0, -1.0}) {
    const Pt c = {m.x + side * nx, m.y + side * ny};
    const int w = Winding(p, n, c);
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
  const double extent = std::fmax(shape->bounds[2] - shape->bounds[0], shape->bounds[3] - shape->bounds[1]);
  const double tol = std::isfinite(extent) && extent > 0.0 ? extent * 1e-4 : 1e-4;

  Poly* polys = static_cast<Poly*>(std::calloc(static_cast<size_t>(n), sizeof(Poly)));
  SVGPath** paths = static_cast<SVGPath**>(std::malloc(static_cast<size_t>(n) * sizeof(SVGPath*)));
  long total = 0;
  int i = 0;
  for (SVGPath* path = shape->paths; path; path = path->next, i++) {
    if (paths)
      paths[i] = path;
    if (polys) {
      polys[i].start = static_cast<int>(total);
      total += path->npts >= 4 ? CountPoints(path, tol) : 0;
    }
  }
  Pt* pts =
    total > 0 && total < (1L << 30) ? static_cast<Pt*>(std::malloc(static_cast<size_t>(total) * sizeof(Pt))) : nullptr;
  Grid grid;
  // Without memory every sub-path stays solid.
  if (polys && paths && pts) {
    for (i = 0; i < n; i++)
      if (paths[i]->npts >= 4)
        Flatten(paths[i], tol, pts + polys[i].start, &polys[i]);
    if (grid.Build(polys, n)) {
      const bool evenOdd = shape->fillRule == 1;
      for (i = 0; i < n; i++) {
        Pt q;
        int self = 0;
        if (polys[i].count < 3 || !InsidePoint(pts + polys[i].start, polys[i].count, polys[i], &q, &self))
          continue;
        const int others = WindingAt(grid, polys, pts, q) - self;
        paths[i]->hole = Filled(others, evenOdd) && !Filled(others + self, evenOdd);
      }
    }
  }
  std::free(pts);
  std::free(paths);
  std::free(polys);
}

} // namespace plugin::igraphics
