// Support terms of a plate element: lumped springs, consistent dense-liquid matrix and
// the Vlasov shear layer. Tables are in block-triangle order; each word is a numeric
// coefficient times one of a few powers of the element sizes.
#include "model/support.h"

#include <cstdint>

#include "base/widest.h"

namespace meridolan {

namespace {

struct Coef {
  double c;        // numeric coefficient, 0 for words that stay zero
  std::uint8_t s;  // index of the size factor
};

// Block (I, J) of block-triangle word k (0-based): the higher node J, 0-based.
constexpr int kBlockCol[10] = {0, 1, 2, 3, 1, 2, 3, 2, 3, 3};

// Size factors of the foundation matrix: 0 -> 1, 1 -> b, 2 -> a, 3 -> b^2, 4 -> a*b,
// 5 -> a^2.
// clang-format off
constexpr Coef kFound[90] = {
     {24178, 0},  {-6454, 1},   {6454, 2},  // (1,1)
         {0, 0},   {2240, 3},  {-1764, 4},
         {0, 0},      {0, 0},   {2240, 5},
      {8582, 0},   {3836, 1},   {2786, 2},  // (1,2)
     {-3836, 1},  {-1680, 3},  {-1176, 4},
      {2786, 2},   {1176, 4},   {1120, 5},
      {8582, 0},  {-2786, 1},  {-3836, 2},  // (1,3)
     {-2786, 1},   {1120, 3},   {1176, 4},
      {3836, 2},  {-1176, 4},  {-1680, 5},
      {2758, 0},   {1624, 1},  {-1624, 2},  // (1,4)
     {-1624, 1},   {-840, 3},    {784, 4},
      {1624, 2},    {784, 4},   {-840, 5},
     {24178, 0},   {6454, 1},   {6454, 2},  // (2,2)
         {0, 0},   {2240, 3},   {1764, 4},
         {0, 0},      {0, 0},   {2240, 5},
      {2758, 0},  {-1624, 1},  {-1624, 2},  // (2,3)
      {1624, 1},   {-840, 3},   {-784, 4},
      {1624, 2},   {-784, 4},   {-840, 5},
      {8582, 0},   {2786, 1},  {-3836, 2},  // (2,4)
      {2786, 1},   {1120, 3},  {-1176, 4},
      {3836, 2},   {1176, 4},  {-1680, 5},
     {24178, 0},  {-6454, 1},  {-6454, 2},  // (3,3)
         {0, 0},   {2240, 3},   {1764, 4},
         {0, 0},      {0, 0},   {2240, 5},
      {8582, 0},   {3836, 1},  {-2786, 2},  // (3,4)
     {-3836, 1},  {-1680, 3},   {1176, 4},
     {-2786, 2},  {-1176, 4},   {1120, 5},
     {24178, 0},   {6454, 1},  {-6454, 2},  // (4,4)
         {0, 0},   {2240, 3},  {-1764, 4},
         {0, 0},      {0, 0},   {2240, 5},
};
// clang-format on

// Size factors of the x-pass (A = 2a, B = 2b): 0 -> 1/A, 1 -> B/A, 2 -> B^2/A, 3 -> 1,
// 4 -> A.
// clang-format off
constexpr Coef kShearX[90] = {
     {77280, 0},  {-9240, 1},   {5880, 3},  // (1,1)
         {0, 0},   {1680, 2},      {0, 0},
         {0, 0},      {0, 0},   {7840, 4},
     {28560, 0},   {5460, 1},   {2940, 3},  // (1,2)
     {-5460, 1},  {-1260, 2},      {0, 0},
      {2940, 3},      {0, 0},   {3920, 4},
    {-77280, 0},   {9240, 1},   {5880, 3},  // (1,3)
      {9240, 1},  {-1680, 2},      {0, 0},
     {-5880, 3},      {0, 0},  {-1960, 4},
    {-28560, 0},  {-5460, 1},   {2940, 3},  // (1,4)
      {5460, 1},   {1260, 2},      {0, 0},
     {-2940, 3},      {0, 0},   {-980, 4},
     {77280, 0},   {9240, 1},   {5880, 3},  // (2,2)
         {0, 0},   {1680, 2},      {0, 0},
         {0, 0},      {0, 0},   {7840, 4},
    {-28560, 0},   {5460, 1},   {2940, 3},  // (2,3)
     {-5460, 1},   {1260, 2},      {0, 0},
     {-2940, 3},      {0, 0},   {-980, 4},
    {-77280, 0},  {-9240, 1},   {5880, 3},  // (2,4)
     {-9240, 1},  {-1680, 2},      {0, 0},
     {-5880, 3},      {0, 0},  {-1960, 4},
     {77280, 0},  {-9240, 1},  {-5880, 3},  // (3,3)
         {0, 0},   {1680, 2},      {0, 0},
         {0, 0},      {0, 0},   {7840, 4},
     {28560, 0},   {5460, 1},  {-2940, 3},  // (3,4)
     {-5460, 1},  {-1260, 2},      {0, 0},
     {-2940, 3},      {0, 0},   {3920, 4},
     {77280, 0},   {9240, 1},  {-5880, 3},  // (4,4)
         {0, 0},   {1680, 2},      {0, 0},
         {0, 0},      {0, 0},   {7840, 4},
};
// clang-format on

// Size factors of the y-pass: 0 -> 1/B, 1 -> 1, 2 -> A/B, 3 -> B, 4 -> A^2/B.
// clang-format off
constexpr Coef kShearY[90] = {
     {77280, 0},  {-5880, 1},   {9240, 2},  // (1,1)
         {0, 0},   {7840, 3},      {0, 0},
         {0, 0},      {0, 0},   {1680, 4},
    {-77280, 0},  {-5880, 1},  {-9240, 2},  // (1,2)
      {5880, 1},  {-1960, 3},      {0, 0},
     {-9240, 2},      {0, 0},  {-1680, 4},
     {28560, 0},  {-2940, 1},  {-5460, 2},  // (1,3)
     {-2940, 1},   {3920, 3},      {0, 0},
      {5460, 2},      {0, 0},  {-1260, 4},
    {-28560, 0},  {-2940, 1},   {5460, 2},  // (1,4)
      {2940, 1},   {-980, 3},      {0, 0},
     {-5460, 2},      {0, 0},   {1260, 4},
     {77280, 0},   {5880, 1},   {9240, 2},  // (2,2)
         {0, 0},   {7840, 3},      {0, 0},
         {0, 0},      {0, 0},   {1680, 4},
    {-28560, 0},   {2940, 1},   {5460, 2},  // (2,3)
     {-2940, 1},   {-980, 3},      {0, 0},
     {-5460, 2},      {0, 0},   {1260, 4},
     {28560, 0},   {2940, 1},  {-5460, 2},  // (2,4)
      {2940, 1},   {3920, 3},      {0, 0},
      {5460, 2},      {0, 0},  {-1260, 4},
     {77280, 0},  {-5880, 1},  {-9240, 2},  // (3,3)
         {0, 0},   {7840, 3},      {0, 0},
         {0, 0},      {0, 0},   {1680, 4},
    {-77280, 0},  {-5880, 1},   {9240, 2},  // (3,4)
      {5880, 1},  {-1960, 3},      {0, 0},
      {9240, 2},      {0, 0},  {-1680, 4},
     {77280, 0},   {5880, 1},  {-9240, 2},  // (4,4)
         {0, 0},   {7840, 3},      {0, 0},
         {0, 0},      {0, 0},   {1680, 4},
};
// clang-format on

// Adds F * c * size factor (times kj of the block's higher node, when given) to EK.
MERIDOLAN_WIDEST void addTable(const Coef (&t)[90], const double (&sz)[6], double F,
                               const double* kj, std::span<double> EK) {
  for (int k = 0; k < 90; ++k) {
    if (t[k].c == 0.0) continue;
    const double v = F * t[k].c * sz[t[k].s];
    EK[k] += kj ? v * kj[kBlockCol[k / 9]] : v;
  }
}

}  // namespace

void LUMP(double a, double b, const std::array<double, 4>& kc, const std::array<bool, 4>& on,
          std::span<double> EK) {
  constexpr int kDiag[4] = {0, 36, 63, 81};  // deflection diagonals of the four corners
  for (int m = 0; m < 4; ++m)
    if (on[m]) EK[kDiag[m]] += a * b * kc[m];
}

void FOUND(double a, double b, double F, const std::array<double, 4>& kj, std::span<double> EK) {
  const double sz[6] = {1.0, b, a, b * b, a * b, a * a};
  addTable(kFound, sz, F, kj.data(), EK);
}

void VLASOV(double a, double b, double VSHEAR, std::span<double> EK) {
  const double A = 2.0 * a;
  const double B = 2.0 * b;
  const double szx[6] = {1.0 / A, B / A, B * B / A, 1.0, A, 0.0};
  addTable(kShearX, szx, VSHEAR * B / 176400.0, nullptr, EK);
  const double szy[6] = {1.0 / B, 1.0, A / B, B, A * A / B, 0.0};
  addTable(kShearY, szy, VSHEAR * A / 176400.0, nullptr, EK);
}

void SUPPORT(const Control& C, const std::array<int, 4>& nodes, double a, double b,
             std::span<const double> SKN, std::span<const int> ICON, std::span<double> EK) {
  // The elastic solid adds its own matrix later; its SKN holds a single word.
  if (C.ISUBGR == 8) return;
  std::array<double, 4> kn{};
  for (int m = 0; m < 4; ++m) kn[m] = SKN[nodes[m] - 1];
  const double kbar = (kn[0] + kn[1] + kn[2] + kn[3]) / 4.0;
  const std::array<double, 4> one = {1.0, 1.0, 1.0, 1.0};
  const bool load = C.ICURL == 0;

  switch (C.ISUBGR) {
    case 7:
      if (load) {
        LUMP(a, b, {kbar, kbar, kbar, kbar}, {true, true, true, true}, EK);
      } else {
        std::array<bool, 4> on{};
        for (int m = 0; m < 4; ++m) on[m] = ICON[nodes[m] - 1] != 1;
        LUMP(a, b, kn, on, EK);
      }
      return;
    case 9:
      if (load) {
        FOUND(a, b, a * b * kbar / 44100.0, one, EK);
        VLASOV(a, b, C.VSHEAR, EK);
      }
      return;
    case 6:
      if (load)
        FOUND(a, b, a * b * kbar / 44100.0, one, EK);
      else
        FOUND(a, b, a * b / 44100.0, kn, EK);
      return;
    default:
      if (load) FOUND(a, b, a * b * kbar / 44100.0, one, EK);
      return;
  }
}

}  // namespace meridolan
