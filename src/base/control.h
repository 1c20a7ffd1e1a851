// Shared control values and model dimensions of one run.
//
// One Control is made by run() and passed by reference to every routine that needs
// a control value; nothing here outlives the run. Names follow the deck and report.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>

namespace meridolan {

// The direction a joint is named by: x-joints lie between slab columns (the load
// crosses them along x), y-joints between slab rows.
enum class Axis { x, y };
inline constexpr std::array<Axis, 2> kAxes = {Axis::x, Axis::y};
constexpr int axis_index(Axis a) {
  return a == Axis::x ? 0 : 1;
}
constexpr const char* axis_letter(Axis a) {
  return a == Axis::x ? "X" : "Y";
}

// The joint records of one direction as read; the reader forms DIN, AS and PHI.
struct JointInput {
  int LT = -1;               // 0 aggregate interlock, 1 dowels, any other value both
  std::array<int, 3> JSW{};  // torsion, shear, bending switches
  double DI = 0, DO = 0, ED = 0, SP = 0, WJ = 0, PRD = 0, KDC = 0, AGG = 0;
  double DIN = 0, AS = 0, PHI = 0;  // moment of inertia, shear area, shear-deformation factor
  int ND = 0;                       // listed dowel nodes (used when SP is not positive)

  // Dowels reach the joints: by spacing, or at listed nodes.
  bool dowels_placed() const { return LT != 0 && (SP > 0.0 || ND > 0); }
};

struct Control {
  // Limits of the program.
  static constexpr std::int64_t MAXMEM = 2000000;  // words in the work array by default
  static constexpr std::int64_t MAXCON = 20000;    // words for the contouring step
  static constexpr int NSMAX = 10;                 // node-count entries per direction
  static constexpr int MAXSUB = 100;               // loaded subareas
  static constexpr int MAXNODE = 99999;            // node numbers fill I5 fields

  // Words of the work array in force for this run (MAXMEM unless the run asks for
  // another size).
  std::int64_t MEMLIM = MAXMEM;

  // Control records.
  int INMODE = 0;
  std::string TITLE = std::string(80, ' ');
  int NLAREA = 0, ISYM = 0, ICURL = 0, IWINK = 0;
  std::array<int, 10> NNX{}, NNY{};
  int NLAYER = 0, ICOMP = 0;
  double SUBK = 0, ESUB = 0, PRSUB = 0;
  int ISUBGR = 0, MAXIT = 0;
  double TOL1 = 0, TOL2 = 0;
  int IPRIT = 0;
  std::array<int, 6> ICONT{};
  int NGRID = 0;
  int NCONT = 0;  // sum of the ICONT digits
  std::array<int, 6> ICONT2{};
  double CSCALE = 0;
  double VSHEAR = 0;  // Vlasov shear parameter (ESUB when ISUBGR = 9)

  // Derived dimensions. Sizes that feed the memory check are exact 64-bit values;
  // once the check has passed every count fits an int.
  int NSX = 0, NSY = 0, NSLAB = 0;
  int NXT = 0, NYT = 0, NNODE = 0, NEQ = 0, MBAND = 0, NELEM = 0;
  std::int64_t NBAND = 0, NPACK = 0, NTRI = 0;
  std::int64_t LJX = 0, LJY = 0, LL2 = 0, LSK = 0, LSKR = 0, LKN = 0, LSOIL = 0;
  std::int64_t MEMREQ = 0, MEMCON = 0;

  // Layers.
  double TH1 = 0, E1 = 0, PR1 = 0, GAM1 = 0, DT1 = 0, ALF1 = 0;
  double TH2 = 0, E2 = 0, PR2 = 0, GAM2 = 0, DT2 = 0, ALF2 = 0;
  // Subgrade.
  double KDEF = 0;
  int NKSP = 0;
  double RRS = 0;  // radius of relative stiffness, 0 until computed

  // Joints of each direction, by axis_index(Axis); written only by the deck reader.
  std::array<JointInput, 2> joints{};
  const JointInput& joint(Axis a) const { return joints[axis_index(a)]; }
  JointInput& joint(Axis a) { return joints[axis_index(a)]; }
  // A second slab column (row) gives the direction its joints.
  bool has_joints(Axis a) const { return (a == Axis::x ? NNX : NNY)[1] != 0; }

  // Loads.
  int NSUB = 0;
  double TOTLD = 0;

  // Temperature and gap analyses.
  int NZRP = 0, NGAPN = 0, ICYCLE = 0;

  // Plate shear terms of the layers.
  std::array<double, 2> GSH{};  // (1 - PR1)/2, (1 - PR2)/2

  // Wall-clock limit of the run (seconds, 0 for none) and the moment it runs out;
  // the iterations look at it once per step.
  double time_limit = 0;
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
};

}  // namespace meridolan
