#include "driver/control_records.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <sstream>
#include <stdexcept>
#include <string>

#include "base/stop.h"
#include "driver/title.h"

namespace meridolan {

namespace {

// Sizes are formed in 128 bits: NEQ*(NEQ+1)/2 of the largest meshes the node-count
// fields can describe exceeds 64 bits. Stored sizes saturate at the 64-bit limit,
// which fails the memory check and prints as asterisks in any field, as the exact
// value would.
using Wide = __int128;

std::int64_t narrow(Wide v) {
  constexpr Wide top = std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(std::min(v, top));
}

void default_switches(std::array<int, 3>& jsw) {
  if (jsw[0] == 0 && jsw[1] == 0 && jsw[2] == 0) jsw[1] = jsw[2] = 1;
}

// Slabs are counted up to the last nonzero entry, so a zero entry before it would be
// a slab without nodes, and a slab of one node line has no elements: the joint and
// stress rules would index outside the mesh for either.
void check_slab_counts(Report& rep, const std::array<int, 10>& nn, const char* axis, int record) {
  static const Format kGap(
      "/, /, 20X, '***NODE COUNTS ALONG ', A1, ' (CONTROL RECORD', I2, '): SLAB', I3, "
      "' HAS NO NODES BUT SLAB', I3, ' FOLLOWS IT.', /, 20X, 'NODE COUNTS =', 10I6, /, 20X, "
      "' PROGRAM TERMINATED.'");
  static const Format kSingle(
      "/, /, 20X, '***NODE COUNTS ALONG ', A1, ' (CONTROL RECORD', I2, '): SLAB', I3, "
      "' HAS A SINGLE NODE LINE; EVERY SLAB NEEDS AT LEAST TWO.', /, 20X, 'NODE COUNTS =', 10I6, "
      "/, 20X, ' PROGRAM TERMINATED.'");
  const auto stop = [&](const Format& f, std::initializer_list<Item> head) {
    std::vector<Item> list(head);
    for (int v : nn) list.emplace_back(v);
    rep.write(f, list);
    STOP(rep, Ending::Refused);
  };
  int last = 0;
  for (int i = 0; i < Control::NSMAX; ++i)
    if (nn[i] != 0) last = i + 1;
  for (int i = 0; i < last; ++i) {
    if (nn[i] == 0) stop(kGap, {axis, record, i + 1, last});
    if (nn[i] == 1) stop(kSingle, {axis, record, i + 1});
  }
}

}  // namespace

void read_control(Deck& deck, Control& C) {
  static const Format kMode("I1"), kTitle("A80"), kCounts("10I5"), kLayers("2I5, 3F10.3"),
      kSubgrade("2I5, 2F5.3, I5"), kContour("6I1, I4"), kJoint("4I5");

  deck.read(kMode, {C.INMODE});
  deck.read(kTitle, {C.TITLE});
  deck.read(kCounts, {C.NLAREA, C.ISYM, C.ICURL, C.IWINK});
  deck.read(kCounts, targets(C.NNX));
  deck.read(kCounts, targets(C.NNY));

  derive_counts(C);

  if (C.INMODE == 0) return;
  deck.read(kLayers, {C.NLAYER, C.ICOMP, C.SUBK, C.ESUB, C.PRSUB});
  deck.read(kSubgrade, {C.ISUBGR, C.MAXIT, C.TOL1, C.TOL2, C.IPRIT});
  if (C.ISUBGR == 9) C.VSHEAR = C.ESUB;
  deck.read(kContour,
            {C.ICONT[0], C.ICONT[1], C.ICONT[2], C.ICONT[3], C.ICONT[4], C.ICONT[5], C.NGRID});
  if (C.NSLAB == 1) return;
  for (Axis a : kAxes) {
    JointInput& J = C.joint(a);
    if (C.has_joints(a)) deck.read(kJoint, {J.LT, J.JSW[0], J.JSW[1], J.JSW[2]});
    default_switches(J.JSW);
  }
}

void derive_counts(Control& C) {
  C.NXT = std::accumulate(C.NNX.begin(), C.NNX.end(), 0);
  C.NYT = std::accumulate(C.NNY.begin(), C.NNY.end(), 0);
  C.NSX = C.NSY = 0;
  for (int i = 0; i < Control::NSMAX; ++i) {
    if (C.NNX[i] != 0) C.NSX = i + 1;
    if (C.NNY[i] != 0) C.NSY = i + 1;
  }
  C.NSLAB = C.NSX * C.NSY;
}

void check_counts(Report& rep, Control& C) {
  static const Format kNegative(
      "/, /, 20X, '***THE NODE COUNTS OF THE MESH MUST NOT BE NEGATIVE:', /, 20X, "
      "'NODES ALONG X =', 10I6, /, 20X, 'NODES ALONG Y =', 10I6, /, 20X, ' PROGRAM TERMINATED.'");
  static const Format kTooFew(
      "/, /, 20X, '***THE MESH NEEDS AT LEAST TWO NODE LINES IN EACH DIRECTION;', /, 20X, "
      "'THE NODE COUNTS GIVE', I6, ' ALONG X AND', I6, ' ALONG Y.', /, 20X, "
      "' PROGRAM TERMINATED.'");
  static const Format kAreas(
      "/, /, 20X, '***THE NUMBER OF LOADED AREAS MUST NOT BE NEGATIVE: NLAREA =', I6, /, 20X, "
      "' PROGRAM TERMINATED.'");
  auto negative = [](int v) { return v < 0; };
  if (std::any_of(C.NNX.begin(), C.NNX.end(), negative) ||
      std::any_of(C.NNY.begin(), C.NNY.end(), negative)) {
    std::vector<Item> list;
    for (int v : C.NNX) list.emplace_back(v);
    for (int v : C.NNY) list.emplace_back(v);
    rep.write(kNegative, list);
    STOP(rep, Ending::Refused);
  }
  if (C.NXT < 2 || C.NYT < 2) {
    rep.write(kTooFew, {C.NXT, C.NYT});
    STOP(rep, Ending::Refused);
  }
  check_slab_counts(rep, C.NNX, "X", 4);
  check_slab_counts(rep, C.NNY, "Y", 5);
  if (C.NLAREA < 0) {
    rep.write(kAreas, {C.NLAREA});
    STOP(rep, Ending::Refused);
  }
}

void derive_dimensions(Control& C) {
  const Wide nnode = Wide(C.NXT) * C.NYT;
  const Wide neq = 3 * nnode;
  const Wide mband = 3 * Wide(C.NYT) + 6;
  const Wide nband = neq * mband;
  const bool solid = C.ISUBGR == 8;
  const Wide npack = solid ? neq * (neq + 1) / 2 : 1;
  const Wide ntri = nnode * (nnode + 1) / 2;
  const Wide ljx = C.NNX[1] != 0 ? nnode : 1;
  const Wide ljy = C.NNY[1] != 0 ? nnode : 1;
  const Wide ll2 = C.NLAYER == 2 ? nnode : 1;
  const Wide lsk = (solid && ntri > nband) ? ntri : nband;
  const Wide lskr = solid ? 1 : nband;
  const Wide lkn = solid ? 1 : nnode;
  const Wide lsoil = C.ISUBGR == 0 ? nnode : 1;
  const Wide memreq = 27 * nnode + 10 * ll2 + 2 * ljx + 2 * ljy + 2 * Wide(C.NXT) +
                      2 * Wide(C.NYT) + 5 * Wide(C.NLAREA) + 6 * Wide(Control::MAXSUB) + lsk +
                      lskr + lkn + lsoil + npack;

  C.NCONT = std::accumulate(C.ICONT.begin(), C.ICONT.end(), 0);
  C.MEMCON = narrow(60 * nnode + Wide(C.NGRID) * C.NGRID);
  C.NBAND = narrow(nband);
  C.NPACK = narrow(npack);
  C.NTRI = narrow(ntri);
  C.LJX = narrow(ljx), C.LJY = narrow(ljy), C.LL2 = narrow(ll2);
  C.LSK = narrow(lsk), C.LSKR = narrow(lskr), C.LKN = narrow(lkn), C.LSOIL = narrow(lsoil);
  C.MEMREQ = narrow(memreq);
  // Counts that index arrays are stored only for a model that passes the check (and
  // whose equations an int can count, whatever limit the run was given).
  if (memreq <= C.MEMLIM && neq <= std::numeric_limits<int>::max()) {
    C.NNODE = static_cast<int>(nnode);
    C.NEQ = static_cast<int>(neq);
    C.MBAND = static_cast<int>(mband);
    C.NELEM = (C.NXT - 1) * (C.NYT - 1);
  }
}

void check_memory(Report& rep, Control& C) {
  static const Format kTooManyNodes(
      "/, /, 20X, '***THE MESH HAS', I11, ' NODES; THE TABLES OF THE REPORT NUMBER THE', /, 20X, "
      "' NODES IN FIVE COLUMNS, SO A MESH MAY HAVE AT MOST', I6, ' NODES.', /, 20X, "
      "' PROGRAM TERMINATED.'");
  if (C.MEMREQ > C.MEMLIM) TITLPG(rep, C);  // prints the message and stops
  // Only a work array larger than the default holds such a mesh.
  if (const std::int64_t nodes = std::int64_t(C.NXT) * C.NYT; nodes > Control::MAXNODE) {
    rep.write(kTooManyNodes, {nodes, Control::MAXNODE});
    STOP(rep, Ending::Refused);
  }
  if (C.NCONT != 0) {
    if (C.MEMCON > Control::MAXCON) TITLPG(rep, C);
    if (C.INMODE == 2) STOP(rep, Ending::Finished);
  }
}

std::int64_t model_memory_words(std::string_view deck_text) {
  std::istringstream in{std::string(deck_text)};
  Deck deck(in);
  Control C;
  read_control(deck, C);
  std::ostringstream out;
  Report rep(out);
  try {
    check_counts(rep, C);
  } catch (const RunStopped& stop) {
    throw std::invalid_argument(stop.message);
  }
  derive_dimensions(C);
  return C.MEMREQ;
}

}  // namespace meridolan
