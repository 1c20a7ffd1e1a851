// The results document. Every value comes from the tables the report was printed
// from, so each printed number is one of these rounded by its format.
#include "driver/results_file.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <ostream>

#ifndef MERIDOLAN_VERSION
#define MERIDOLAN_VERSION "unknown"
#endif

namespace meridolan {
namespace {

using Json = nlohmann::ordered_json;

// A number, or null when it is not finite (JSON has no NaN).
Json number(double v) {
  return std::isfinite(v) ? Json(v) : Json(nullptr);
}

Json column(const std::vector<double>& v) {
  Json a = Json::array();
  auto& arr = a.get_ref<Json::array_t&>();
  arr.reserve(v.size());
  for (double x : v) arr.emplace_back(number(x));
  return a;
}

Json flags(const std::vector<char>& v) {
  Json a = Json::array();
  auto& arr = a.get_ref<Json::array_t&>();
  arr.reserve(v.size());
  for (char c : v) arr.emplace_back(c != 0);
  return a;
}

Json nulls(std::size_t n) {
  return Json(std::vector<std::nullptr_t>(n, nullptr));
}

std::string trimmed(const std::string& s) {
  const auto a = s.find_first_not_of(' ');
  return a == std::string::npos ? std::string() : s.substr(a, s.find_last_not_of(' ') - a + 1);
}

const char* analysis(const Control& C) {
  if (C.ICURL != 0) return C.IWINK == 1 ? "winkler-curling" : "contact-curling";
  if (C.ISUBGR == 8) return "elastic-solid";
  if (C.ISUBGR < 4) return "stress-dependent";
  return "load";
}

Json model(const Control& C) {
  return {{"nodes", C.NNODE},
          {"equations", C.NEQ},
          {"band_width", C.MBAND},
          {"elements", C.NELEM},
          {"slab_columns", C.NSX},
          {"slab_rows", C.NSY},
          {"slabs", C.NSLAB},
          {"layers", C.NLAYER == 2 ? 2 : 1},
          {"bonded", C.NLAYER == 2 && C.ICOMP == 1},
          {"subgrade_type", C.ISUBGR},
          {"symmetry", C.ISYM},
          {"analysis", analysis(C)},
          {"memory_words", C.MEMREQ}};
}

Json nodes(const Control& C, const Work& w, const Results& res) {
  const NodeTable& t = res.nodes;
  const std::size_t N = t.deflection.size();
  const auto first = [N](const std::vector<double>& v) {
    return std::vector<double>(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(N));
  };
  // Members are moved into place: a column is never copied.
  Json j;
  std::vector<std::size_t> number(N);
  for (std::size_t n = 0; n < N; ++n) number[n] = n + 1;
  j["number"] = std::move(number);
  j["x"] = column(first(w.XN));
  j["y"] = column(first(w.YN));
  j["deflection"] = column(t.deflection);
  j["rotation_x"] = column(t.rotation_x);
  j["rotation_y"] = column(t.rotation_y);
  if (t.columns == SubgradeColumns::StressAndForce) {
    j["subgrade_stress"] = column(t.subgrade_stress);
    j["subgrade_force"] = column(t.subgrade_force);
  } else if (C.ISUBGR == 9 && res.vlasov.subgrade_stress.size() == N) {
    j["subgrade_stress"] = column(res.vlasov.subgrade_stress);
    j["subgrade_force"] = nulls(N);
  } else if (C.ISUBGR == 8 && res.solid.subgrade_stress.size() == N) {
    j["subgrade_stress"] = column(res.solid.subgrade_stress);
    j["subgrade_force"] = column(res.solid.subgrade_force);
  } else {
    j["subgrade_stress"] = nulls(N);
    j["subgrade_force"] = nulls(N);
  }
  j["in_contact"] = flags(t.in_contact);
  j["gap"] = column(t.gap);
  return j;
}

Json face(const FaceStresses& f) {
  Json j;
  j["x"] = column(f.x);
  j["y"] = column(f.y);
  j["xy"] = column(f.xy);
  j["major"] = column(f.major);
  j["minor"] = column(f.minor);
  return j;
}

Json stresses(const Control& C, const Results& res) {
  Json a = Json::array();
  const int layers = C.NLAYER == 2 ? 2 : 1;
  for (int l = 0; l < layers; ++l) {
    Json j;
    j["layer"] = l + 1;
    j["top"] = face(res.layers[l].top);
    j["bottom"] = face(res.layers[l].bottom);
    a.push_back(std::move(j));
  }
  return a;
}

const char* transfer(int LT) {
  return LT == 0 ? "interlock" : LT == 1 ? "dowels" : "both";
}

Json joint(const JointTable& t) {
  Json dowel = Json::array();
  for (std::size_t k = 0; k < t.dowel_load.size(); ++k)
    dowel.push_back(t.has_dowel[k] ? number(t.dowel_load[k]) : Json(nullptr));
  return {{"direction", t.axis == Axis::x ? "x" : "y"},
          {"coordinate", number(t.coordinate)},
          {"load_transfer", transfer(t.LT)},
          {"pairs",
           {{"near_node", t.near_node},
            {"far_node", t.far_node},
            {"dowel_load", dowel},
            {"interlock_load", column(t.interlock_load)},
            {"lte", column(t.lte)}}},
          {"dowel_total", number(t.dowel_total)},
          {"interlock_total", number(t.interlock_total)},
          {"lte", number(t.joint_lte)},
          {"dowels_store_negative_energy", t.dowel_energy < 0.0}};
}

Json extreme(const Extreme& e) {
  return {{"value", number(e.value)}, {"node", e.node}};
}

// The summary's values by name; the layer-2 ranges only in two-layer models.
Json extremes(const Control& C, const ExtremeValues& e) {
  Json j = {{"max_deflection", extreme(e.deflection_max)},
            {"min_deflection", extreme(e.deflection_min)},
            {"max_subgrade_stress", extreme(e.subgrade_stress_max)}};
  const int layers = C.NLAYER == 2 ? 2 : 1;
  for (int l = 0; l < layers; ++l) {
    const LayerExtremes& b = e.bottom[l];
    const std::string s = "_bottom_" + std::to_string(l + 1);
    j["max_x_stress" + s] = extreme(b.x_max);
    j["min_x_stress" + s] = extreme(b.x_min);
    j["max_y_stress" + s] = extreme(b.y_max);
    j["min_y_stress" + s] = extreme(b.y_min);
    j["max_major_stress" + s] = extreme(b.major_max);
    j["min_major_stress" + s] = extreme(b.major_min);
    j["max_minor_stress" + s] = extreme(b.minor_max);
    j["min_minor_stress" + s] = extreme(b.minor_min);
  }
  return j;
}

Json passes(const std::vector<IterationStep>& steps) {
  Json a = Json::array();
  for (const IterationStep& s : steps) {
    if (s.kind == IterationStep::Kind::StressDependent)
      a.push_back({{"kind", "stress-dependent"},
                   {"pass", s.number},
                   {"fraction_off", number(s.fraction_off)}});
    else
      a.push_back({{"kind", "contact"},
                   {"iteration", s.number},
                   {"nodes_changed", s.nodes_changed},
                   {"nodes_out", s.nodes_out}});
  }
  return a;
}

}  // namespace

void write_results(std::ostream& out, const Control& C, const Work& w, const Results& res,
                   const RunStatus& status) {
  Json doc;
  doc["format"] = "meridolan-results";
  doc["version"] = 1;
  doc["program"] = "meridolan " MERIDOLAN_VERSION;
  doc["title"] = trimmed(C.TITLE);
  doc["status"] = {{"exit", status.exit},
                   {"message", status.message.empty() ? Json(nullptr) : Json(status.message)}};
  doc["model"] = model(C);
  const bool solved = !res.nodes.deflection.empty();
  doc["nodes"] = solved ? nodes(C, w, res) : Json(nullptr);
  doc["stresses"] = res.has_stresses ? stresses(C, res) : Json(nullptr);
  Json joints = Json::array();
  for (const JointTable& t : res.joints) joints.push_back(joint(t));
  doc["joints"] = joints;
  doc["extremes"] = res.has_extremes ? extremes(C, res.extremes) : Json(nullptr);
  const double reactions = C.ISUBGR == 8 ? res.solid.reaction_sum : res.extremes.reaction_sum;
  doc["sums"] = solved
                    ? Json{{"applied_load", number(C.TOTLD)}, {"reaction_sum", number(reactions)}}
                    : Json(nullptr);
  doc["passes"] = passes(res.passes);
  out << doc.dump() << '\n';
}

}  // namespace meridolan
