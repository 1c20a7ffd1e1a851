// The results of a run as tables: plain structs of arrays with named fields, filled
// by the results routines and read by the report's printers, the results file and
// the Python module. Node n is entry n - 1 of every node column.
#pragma once

#include <array>
#include <vector>

#include "base/control.h"

namespace meridolan {

// What the deflection table shows of the support beside the displacements.
enum class SubgradeColumns {
  None,            // elastic solid and Vlasov: the three displacement columns only
  StressAndForce,  // dense liquid, springs, stress-dependent: stress, force, sums
};

// Nodal displacements and subgrade reactions of the last pass that printed them.
struct NodeTable {
  SubgradeColumns columns = SubgradeColumns::None;
  // Deflection as printed (curling runs: measured from the initially flat surface,
  // that is less the gap) and the two rotations.
  std::vector<double> deflection, rotation_x, rotation_y;
  std::vector<double> gap;
  // Subgrade stress (tension cut off to 0) and force (from the stress before the
  // cut-off); empty when the support gives none.
  std::vector<double> subgrade_stress, subgrade_force;
  // 0 where the curling analyses found the node without support.
  std::vector<char> in_contact;
  // Running sum of the reaction forces, printed after the last node of each of the
  // first three slab columns.
  struct SumLine {
    int after_node = 0;
    double sum = 0;
  };
  std::vector<SumLine> sum_lines;
};

// Subgrade stresses of a Vlasov foundation, averaged over the plate elements at each
// node (tension cut off to 0).
struct VlasovTable {
  std::vector<double> subgrade_stress;
};

// Subgrade stresses and forces of the elastic solid, 0 at nodes out of contact.
struct SolidTable {
  std::vector<double> subgrade_stress, subgrade_force;
  double reaction_sum = 0;
};

// The five stress columns of one face of a layer, compression positive.
struct FaceStresses {
  std::vector<double> x, y, xy, major, minor;
};

// Stresses at the top and bottom of one layer.
struct LayerStresses {
  FaceStresses top, bottom;
};

// Load carried across one joint line, pair by pair (near face first: the left face
// of an x-joint, the lower face of a y-joint).
struct JointTable {
  Axis axis = Axis::x;    // x: between slab columns; y: between slab rows
  double coordinate = 0;  // x of an x-joint, y of a y-joint
  int LT = 0;             // load transfer: 0 interlock, 1 dowels, 2 both
  std::vector<int> near_node, far_node;
  std::vector<char> has_dowel;                     // the pair received dowel terms in the stiffness
  std::vector<double> dowel_load, interlock_load;  // carried from the near to the far face
  // Load-transfer efficiency: the printed deflection of the side that moves less over
  // that of the side that moves more, by magnitude (NaN when neither moves).
  std::vector<double> lte;
  double dowel_total = 0, interlock_total = 0;
  double joint_lte = 0;  // the efficiency of the pair that moves most (NaN: none)
  // Twice the strain energy of the dowels' shear and bending terms: negative when the
  // dowels are too stiff for their support (their loads then have no meaning).
  double dowel_energy = 0;
};

// One extreme value and the node where it occurs (0: no node reached it).
struct Extreme {
  double value = 0;
  int node = 0;
};

// Ranges of the bottom-face stresses of one layer.
struct LayerExtremes {
  Extreme x_max, x_min, y_max, y_min, minor_max, minor_min, major_max, major_min;
};

// The extreme-value summary. Every search starts from 0, so a largest value is never
// below 0 and a smallest never above; of equal values the later node is kept.
struct ExtremeValues {
  Extreme deflection_max, deflection_min, subgrade_stress_max;
  std::array<LayerExtremes, 2> bottom;  // layer 1, layer 2
  double reaction_sum = 0;              // sum of the reaction forces of the deflection table
};

// One step of an iteration as the report shows it.
struct IterationStep {
  enum class Kind { StressDependent, Contact } kind = Kind::StressDependent;
  int number = 0;  // pass (stress-dependent) or iteration (contact) the step follows
  // Stress-dependent: fraction of the nodes whose modulus moved off the tolerance band.
  double fraction_off = 0;
  // Contact: nodes whose contact changed in the update after the solution, and nodes
  // out of contact after it.
  int nodes_changed = 0, nodes_out = 0;
};

// Everything a run computed for its report, as of the last pass that printed it.
struct Results {
  NodeTable nodes;
  VlasovTable vlasov;
  SolidTable solid;
  bool has_stresses = false;  // the stress section ran
  std::array<LayerStresses, 2> layers;
  std::vector<JointTable> joints;
  bool has_extremes = false;  // the summary was printed
  ExtremeValues extremes;
  std::vector<IterationStep> passes;  // the iteration history, in order
};

}  // namespace meridolan
