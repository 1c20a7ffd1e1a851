// Loaded rectangles cut along the node lines into one subarea per covered element,
// with limits measured from the element's lower node lines.
#include "loads/subare.h"

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

#include "base/stop.h"

namespace meridolan {

namespace {

// Where the two edges of a load fall among the node lines of one direction. Lines are
// 1-based; f = 1 when the edge lies inside an element rather than on a line.
struct Edges {
  int i1, f1, i2, f2;
  int first() const { return i1 - f1; }     // first element column (row)
  int last() const { return i2 - 1 + f2; }  // last element column (row)
};

// Exact comparisons: an edge on a node line ends the load there. The caller has
// checked that lines.front() <= a1 <= a2 <= lines.back().
Edges locate(std::span<const double> lines, double a1, double a2) {
  const auto first_at_or_above = [&](double a) {
    return static_cast<int>(
               std::find_if(lines.begin(), lines.end(), [a](double c) { return c >= a; }) -
               lines.begin()) +
           1;
  };
  Edges e{};
  e.i1 = first_at_or_above(a1);
  e.f1 = lines[e.i1 - 1] == a1 ? 0 : 1;
  const int j = first_at_or_above(a2);
  if (lines[j - 1] == a2) {
    e.i2 = j;
    e.f2 = 0;
  } else {
    e.i2 = j - 1;
    e.f2 = 1;
  }
  return e;
}

// An area must lie on the mesh with its lower limits not above its upper ones;
// otherwise no element range exists and the run ends, naming the area.
void check_inside(Report& rep, int area, std::span<const double> xc, std::span<const double> yc,
                  double x1, double x2, double y1, double y2) {
  static const Format kOutside(
      "/, /, 20X, '***LOADED AREA', I4, ' LIES OUTSIDE THE MESH OR HAS A LOWER LIMIT ABOVE ', "
      "'ITS UPPER ONE:', /, 20X, 'X1-COOR.=', F10.3, '  X2-COOR.=', F10.3, '  Y1-COOR.=', F10.3, "
      "'  Y2-COOR.=', F10.3, /, 20X, 'THE MESH SPANS X FROM', F10.3, ' TO', F10.3, "
      "' AND Y FROM', F10.3, ' TO', F10.3, /, 20X, ' PROGRAM TERMINATED.', /, /");
  const bool has_mesh = !xc.empty() && !yc.empty();
  // Written so that a NaN limit also fails.
  if (has_mesh && xc.front() <= x1 && x1 <= x2 && x2 <= xc.back() && yc.front() <= y1 && y1 <= y2 &&
      y2 <= yc.back())
    return;
  const double xlo = xc.empty() ? 0.0 : xc.front(), xhi = xc.empty() ? 0.0 : xc.back();
  const double ylo = yc.empty() ? 0.0 : yc.front(), yhi = yc.empty() ? 0.0 : yc.back();
  rep.write(kOutside, {area, x1, x2, y1, y2, xlo, xhi, ylo, yhi});
  STOP(rep, Ending::Refused);
}

}  // namespace

void SUBARE(Report& rep, Control& C, Work& w) {
  static const Format kMismatch("'*******ERROR******,NUM=', I5");
  static const Format kTooMany(
      "/, /, /, ' **NUMBER OF LOADED SUBAREAS EXCEEDS MAXSUB**', /, /, '  NLSATT=', I5, "
      "'  MAXSUB=', I5, /, /, ' PROGRAM TERMINATED'");

  const std::span<const double> xc(w.XC.data(), static_cast<std::size_t>(std::max(C.NXT, 0)));
  const std::span<const double> yc(w.YC.data(), static_cast<std::size_t>(std::max(C.NYT, 0)));
  // The subarea segments hold MAXSUB entries; later subareas are only counted.
  const std::size_t room = Control::MAXSUB;

  std::size_t nsub = 0;
  for (int i = 0; i < C.NLAREA; ++i) {
    const double x1 = w.XA1[i], x2 = w.XA2[i], y1 = w.YA1[i], y2 = w.YA2[i];
    check_inside(rep, i + 1, xc, yc, x1, x2, y1, y2);
    const Edges ex = locate(xc, x1, x2);
    const Edges ey = locate(yc, y1, y2);
    const int c1 = ex.first(), c2 = ex.last(), r1 = ey.first(), r2 = ey.last();
    const int nc = c2 - c1 + 1, nr = r2 - r1 + 1;

    const int count = (ey.i2 - ey.i1 + ey.f1 + ey.f2) * (ex.i2 - ex.i1 + ex.f1 + ex.f2);
    if (count != nc * nr) rep.write(kMismatch, {nc * nr});

    // Column by column in increasing x, within a column by increasing y; the first
    // and last column (row) are cut at the load's edges.
    for (int c = c1; c <= c2; ++c) {
      for (int r = r1; r <= r2; ++r, ++nsub) {
        if (nsub >= room) continue;
        w.NES[nsub] = (c - 1) * (C.NYT - 1) + r;
        w.PS[nsub] = w.PA[i];
        w.XS1[nsub] = c == c1 ? x1 - xc[c1 - 1] : 0.0;
        w.XS2[nsub] = c == c2 ? x2 - xc[c2 - 1] : xc[c] - xc[c - 1];
        w.YS1[nsub] = r == r1 ? y1 - yc[r1 - 1] : 0.0;
        w.YS2[nsub] = r == r2 ? y2 - yc[r2 - 1] : yc[r] - yc[r - 1];
      }
    }
  }

  if (nsub > static_cast<std::size_t>(Control::MAXSUB)) {
    rep.write(kTooMany, {static_cast<long long>(nsub), Control::MAXSUB});
    STOP(rep, Ending::Refused);
  }

  // Between slabs the mesh has zero-width joint columns and rows; a load crossing
  // or starting at a joint picks them up as subareas without area, which go.
  if (C.NSLAB != 1) {
    std::size_t kept = 0;
    for (std::size_t k = 0; k < nsub; ++k) {
      const bool degenerate =
          w.PS[k] != 0.0 && (w.XS2[k] - w.XS1[k] == 0.0 || w.YS2[k] - w.YS1[k] == 0.0);
      if (degenerate) continue;
      w.NES[kept] = w.NES[k];
      w.PS[kept] = w.PS[k];
      w.XS1[kept] = w.XS1[k];
      w.XS2[kept] = w.XS2[k];
      w.YS1[kept] = w.YS1[k];
      w.YS2[kept] = w.YS2[k];
      ++kept;
    }
    nsub = kept;
  }
  C.NSUB = static_cast<int>(nsub);
}

}  // namespace meridolan
