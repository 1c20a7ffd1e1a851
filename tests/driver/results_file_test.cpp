// The results document against the report it was written beside: every printed
// number of the last tables of each bundled example is a JSON value rounded by the
// report's format, node by node, layer by layer, joint pair by joint pair.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run.h"
#include "support/report_lines.h"
#include "support/report_parse.h"
#include "support/run_deck.h"

namespace meridolan::testing {
namespace {

using Json = nlohmann::json;

struct Both {
  int status = -1;
  std::string report, errors;
  Json doc;
};

Both run_with_results(const std::string& deck) {
  const RunResult r = run_deck_with_results(deck);
  return {r.status, r.report, r.errors, Json::parse(r.results)};
}

// The report from the last line holding `heading` on (the last pass's tables).
std::vector<std::string> from_last(const std::vector<std::string>& lines,
                                   const std::string& heading) {
  std::size_t at = lines.size();
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find(heading) != std::string::npos) at = i;
  return {lines.begin() + static_cast<std::ptrdiff_t>(std::min(at, lines.size())), lines.end()};
}

// Printed value p with `decimals` digits is the rounding of v.
void expect_rounds_to(double v, double p, int decimals, const std::string& what) {
  const double half = 0.5 * std::pow(10.0, -decimals);
  EXPECT_LE(std::abs(v - p), half * (1 + 1e-9) + 1e-12 * std::abs(v))
      << what << ": " << v << " printed " << p;
}

// Numbers (value, node) of a summary line "... = value AT NODE n".
std::vector<double> line_numbers(const std::string& l) {
  std::vector<double> v;
  std::istringstream s(l);
  std::string tok;
  while (s >> tok) {
    char* end = nullptr;
    const double x = std::strtod(tok.c_str(), &end);
    if (end != tok.c_str() && *end == '\0') v.push_back(x);
  }
  return v;
}

std::vector<std::string> examples() {
  std::vector<std::string> decks;
  for (const auto& e : std::filesystem::directory_iterator(MERIDOLAN_EXAMPLES))
    if (e.path().extension() == ".dat") decks.push_back(e.path().string());
  std::sort(decks.begin(), decks.end());
  return decks;
}

void check_nodes(const Json& nodes, const std::vector<std::string>& lines,
                 const std::string& deck) {
  const auto table = deflections(from_last(lines, "DEFLECTION     X-ROTATION"));
  ASSERT_EQ(table.size(), nodes["number"].size()) << deck;
  const bool springs =
      !nodes["subgrade_force"][0].is_null() &&
      from_last(lines, "DEFLECTION     X-ROTATION")[0].find("SUBGRADE") != std::string::npos;
  for (const auto& [n, d] : table) {
    const std::size_t i = static_cast<std::size_t>(n - 1);
    const std::string at = deck + " node " + std::to_string(n);
    EXPECT_EQ(nodes["number"][i].get<int>(), n);
    expect_rounds_to(nodes["deflection"][i].get<double>(), d.w, 6, at + " deflection");
    expect_rounds_to(nodes["rotation_x"][i].get<double>(), d.rx, 6, at + " x-rotation");
    expect_rounds_to(nodes["rotation_y"][i].get<double>(), d.ry, 6, at + " y-rotation");
    if (springs) {
      expect_rounds_to(nodes["subgrade_stress"][i].get<double>(), d.q, 3, at + " stress");
      expect_rounds_to(nodes["subgrade_force"][i].get<double>(), d.f, 3, at + " force");
    }
  }
}

// The table of (node, stress[, force]) lines under `heading`.
void check_subgrade_table(const Json& nodes, const std::vector<std::string>& lines,
                          const std::string& heading, int decimals, bool forces,
                          const std::string& deck) {
  const auto part = from_last(lines, heading);
  ASSERT_FALSE(part.empty()) << deck << ": no " << heading;
  std::vector<double> v;
  int seen = 0;
  for (const std::string& l : part) {
    std::string t = l;
    if (!t.empty() && t[0] == '\f') t.erase(0, 1);
    if (!numbers(t, v) || v.size() != (forces ? 3u : 2u)) continue;
    const auto i = static_cast<std::size_t>(v[0] - 1);
    if (i >= nodes["number"].size()) break;
    expect_rounds_to(nodes["subgrade_stress"][i].get<double>(), v[1], decimals,
                     deck + " subgrade stress");
    if (forces)
      expect_rounds_to(nodes["subgrade_force"][i].get<double>(), v[2], 3, deck + " force");
    if (++seen == static_cast<int>(nodes["number"].size())) break;
  }
  EXPECT_EQ(seen, static_cast<int>(nodes["number"].size())) << deck;
}

void check_stresses(const Json& layers, const std::vector<std::string>& lines,
                    const std::string& deck) {
  const auto table = stresses(from_last(lines, "MAJ.PRINC.STRESS"));
  static const char* const kCols[] = {"x", "y", "xy", "major", "minor"};
  ASSERT_FALSE(table.empty()) << deck;
  for (const auto& [n, rows] : table) {
    ASSERT_EQ(rows.size(), 2 * layers.size()) << deck << " node " << n;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      const Json& face = layers[r / 2][r % 2 == 0 ? "top" : "bottom"];
      for (int c = 0; c < 5; ++c)
        expect_rounds_to(face[kCols[c]][n - 1].get<double>(), rows[r][c + 1], 6,
                         deck + " node " + std::to_string(n) + " " + kCols[c]);
    }
  }
}

void check_joints(const Json& joints, const std::vector<std::string>& lines,
                  const std::string& deck) {
  const auto printed = transfer_lines(from_last(lines, "DEFLECTION     X-ROTATION"));
  std::size_t k = 0;
  for (const Json& j : joints) {
    const Json& p = j["pairs"];
    const std::string lt = j["load_transfer"];
    for (std::size_t i = 0; i < p["near_node"].size(); ++i) {
      for (const char* kind : {"dowel_load", "interlock_load"}) {
        if (p[kind][i].is_null() || (lt == "dowels" && std::string(kind) == "interlock_load") ||
            (lt == "interlock" && std::string(kind) == "dowel_load"))
          continue;
        ASSERT_LT(k, printed.size()) << deck;
        EXPECT_EQ(printed[k].n, p["near_node"][i].get<int>());
        EXPECT_EQ(printed[k].m, p["far_node"][i].get<int>());
        expect_rounds_to(p[kind][i].get<double>(), printed[k].load, 3, deck + " " + kind);
        ++k;
      }
    }
  }
  EXPECT_EQ(k, printed.size()) << deck;
}

void check_extremes(const Json& e, const std::vector<std::string>& lines, const std::string& deck) {
  const auto part = from_last(lines, "MAXIMUM OR MINIMUM");
  ASSERT_FALSE(part.empty());
  auto find = [&](const std::string& text) {
    for (const std::string& l : part)
      if (l.find(text) != std::string::npos) return line_numbers(l);
    return std::vector<double>{};
  };
  auto same = [&](const char* name, double value, double node, int decimals) {
    expect_rounds_to(e[name]["value"].get<double>(), value, decimals, deck + " " + name);
    EXPECT_EQ(e[name]["node"].get<int>(), static_cast<int>(node)) << deck << " " << name;
  };
  const auto dmax = find("DEFLECTION                   =");
  ASSERT_EQ(dmax.size(), 2u);
  same("max_deflection", dmax[0], dmax[1], 6);
  const auto dmin = find("                           AND");
  same("min_deflection", dmin[0], dmin[1], 6);
  const auto q = find("SUBGRADE STRESS              =");
  same("max_subgrade_stress", q[0], q[1], 3);
  const auto x = find("RANGE OF X-STRESS AT BOTTOM OF LAYER 1");
  ASSERT_EQ(x.size(), 4u);  // two pairs ("LAYER 1:" is not a number)
  same("min_x_stress_bottom_1", x[0], x[1], 3);
  same("max_x_stress_bottom_1", x[2], x[3], 3);
  const auto major = find("RANGE OF MAJOR PRINC. STRESS BOT. LAYER 1");
  same("min_major_stress_bottom_1", major[0], major[1], 3);
  same("max_major_stress_bottom_1", major[2], major[3], 3);
  if (e.contains("min_y_stress_bottom_2")) {
    const auto y2 = find("RANGE OF Y-STRESS AT BOTTOM OF LAYER 2");
    ASSERT_EQ(y2.size(), 4u);
    same("min_y_stress_bottom_2", y2[0], y2[1], 3);
    same("max_y_stress_bottom_2", y2[2], y2[3], 3);
  }
}

TEST(ResultsFile, EveryPrintedNumberOfTheExamplesIsAJsonValueRounded) {
  const auto decks = examples();
  ASSERT_GE(decks.size(), 9u);
  for (const std::string& path : decks) {
    const std::string name = std::filesystem::path(path).filename().string();
    const Both b = run_with_results(read_file(path));
    ASSERT_EQ(b.status, 0) << name << b.errors;
    const Json& d = b.doc;
    EXPECT_EQ(d["format"], "meridolan-results");
    EXPECT_EQ(d["version"], 1);
    EXPECT_EQ(d["status"]["exit"], 0);
    EXPECT_TRUE(d["status"]["message"].is_null());
    const auto lines = report_lines(b.report);
    const Json& m = d["model"];
    EXPECT_EQ(m["nodes"].get<std::size_t>(), d["nodes"]["number"].size()) << name;
    check_nodes(d["nodes"], lines, name);
    const int type = m["subgrade_type"];
    if (type == 8)
      check_subgrade_table(d["nodes"], lines, "SUBGRADE STRESSES FOR ELASTIC SOLID", 3, true, name);
    if (type == 9)
      check_subgrade_table(d["nodes"], lines, "SUBGRADE STRESSES FOR VLASOV SUBGRADE", 5, false,
                           name);
    check_stresses(d["stresses"], lines, name);
    check_joints(d["joints"], lines, name);
    check_extremes(d["extremes"], lines, name);
    EXPECT_EQ(d["stresses"].size(), m["layers"].get<std::size_t>()) << name;

    // The reaction sum printed in the summary, and the forces adding up to it.
    const auto sums = from_last(lines, "SUM OF REACTION FORCES =");
    if (!sums.empty()) {
      const auto v = line_numbers(sums[0]);
      expect_rounds_to(d["sums"]["reaction_sum"].get<double>(), v[0], 2, name + " sum");
      double total = 0;
      for (const Json& f : d["nodes"]["subgrade_force"]) total += f.get<double>();
      EXPECT_NEAR(total, d["sums"]["reaction_sum"].get<double>(), 1e-9 * std::abs(total) + 1e-9)
          << name;
    }
  }
}

TEST(ResultsFile, JointEfficiencyAndAnalysisNames) {
  const Both j = run_with_results(read_file(MERIDOLAN_EXAMPLES "/jointed_pavement.dat"));
  ASSERT_FALSE(j.doc["joints"].empty());
  const Json& nodes = j.doc["nodes"];
  for (const Json& joint : j.doc["joints"]) {
    const Json& p = joint["pairs"];
    double most = 0, lte = 0;
    for (std::size_t i = 0; i < p["near_node"].size(); ++i) {
      const double a = nodes["deflection"][p["near_node"][i].get<int>() - 1];
      const double b = nodes["deflection"][p["far_node"][i].get<int>() - 1];
      // The side that moves more is the loaded one.
      const double loaded = std::abs(a) >= std::abs(b) ? a : b;
      const double other = std::abs(a) >= std::abs(b) ? b : a;
      ASSERT_NE(loaded, 0.0);
      EXPECT_DOUBLE_EQ(p["lte"][i].get<double>(), other / loaded);
      EXPECT_LE(std::abs(p["lte"][i].get<double>()), 1.0);
      if (std::abs(loaded) > most) most = std::abs(loaded), lte = other / loaded;
    }
    EXPECT_DOUBLE_EQ(joint["lte"].get<double>(), lte);
    // The near face carries what crosses the joint: the totals are the pair sums.
    double dowels = 0, interlock = 0;
    for (const Json& v : p["dowel_load"])
      if (!v.is_null()) dowels += v.get<double>();
    for (const Json& v : p["interlock_load"]) interlock += v.get<double>();
    EXPECT_DOUBLE_EQ(joint["dowel_total"].get<double>(), dowels);
    EXPECT_DOUBLE_EQ(joint["interlock_total"].get<double>(), interlock);
  }
  struct Case {
    const char* deck;
    const char* analysis;
  };
  for (const Case& c : {Case{"interior_load.dat", "load"},
                        Case{"stress_dependent_two_soils.dat", "stress-dependent"},
                        Case{"curling_winkler.dat", "winkler-curling"},
                        Case{"curling_contact.dat", "contact-curling"},
                        Case{"elastic_solid.dat", "elastic-solid"}}) {
    const Both b = run_with_results(read_file(std::string(MERIDOLAN_EXAMPLES "/") + c.deck));
    EXPECT_EQ(b.doc["model"]["analysis"], c.analysis) << c.deck;
    const Json& passes = b.doc["passes"];
    const std::string a = c.analysis;
    if (a == "stress-dependent") {
      // The history ends where the report says the iteration stopped.
      ASSERT_FALSE(passes.empty());
      EXPECT_EQ(passes.back()["kind"], "stress-dependent");
      EXPECT_EQ(passes.back()["fraction_off"].get<double>(), 0.0);
    } else if (a == "winkler-curling" || a == "contact-curling") {
      ASSERT_FALSE(passes.empty()) << c.deck;
      EXPECT_EQ(passes.back()["kind"], "contact");
      int out = 0;
      for (const Json& in : b.doc["nodes"]["in_contact"]) out += in.get<bool>() ? 0 : 1;
      if (passes.back()["nodes_changed"] == 0) {
        EXPECT_EQ(passes.back()["nodes_out"], out);
      }
    } else {
      EXPECT_TRUE(passes.empty()) << c.deck;
    }
  }
}

// The elastic solid measures its deflections from the flat interface; its node table
// still carries the gaps the deck gave (node 4: 0.042, node 10: 0.012).
TEST(ResultsFile, ContactOnTheElasticSolidKeepsTheDeckGaps) {
  const Both b = run_with_results(read_file(MERIDOLAN_TEST_DATA "/cycling_contact_solid.dat"));
  ASSERT_EQ(b.status, 0) << b.errors;
  EXPECT_EQ(b.doc["model"]["analysis"], "contact-curling");
  const Json& gap = b.doc["nodes"]["gap"];
  ASSERT_EQ(gap.size(), 36u);
  for (std::size_t i = 0; i < gap.size(); ++i) {
    const double want = i == 3 ? 0.042 : i == 9 ? 0.012 : 0.0;
    EXPECT_DOUBLE_EQ(gap[i].get<double>(), want) << "node " << i + 1;
  }
}

TEST(ResultsFile, RefusedRunsCarryTheirStatusAndMessage) {
  // A load outside the mesh: status 3, the message in one line, no results.
  std::string deck = read_file(MERIDOLAN_EXAMPLES "/interior_load.dat");
  const Both ok = run_with_results(deck);
  // The loaded-area record holds the pressure and the rectangle; move it off the slab.
  const std::string far = "    62.500  1000.000  1012.000    66.000    78.000";
  const auto at = deck.find("\n    62.500");
  ASSERT_NE(at, std::string::npos) << "the example's loaded-area record moved";
  const auto end = deck.find('\n', at + 1);
  deck.replace(at + 1, end - at - 1, far);
  const Both b = run_with_results(deck);
  EXPECT_EQ(b.status, kExitRefused);
  EXPECT_EQ(b.doc["status"]["exit"], kExitRefused);
  const std::string msg = b.doc["status"]["message"];
  EXPECT_EQ(msg.rfind("LOADED AREA 1 LIES OUTSIDE THE MESH", 0), 0u) << msg;
  EXPECT_EQ(b.errors, "meridolan: " + msg + "\n");
  EXPECT_TRUE(b.doc["nodes"].is_null());
  EXPECT_TRUE(b.doc["extremes"].is_null());
  EXPECT_EQ(b.doc["model"]["nodes"], ok.doc["model"]["nodes"]);
  EXPECT_TRUE(b.report.ends_with("Stop - Program terminated.\r\n"));

  // An unreadable deck: status 2 and the reader's message.
  const Both bad = run_with_results("1\nT\n    x\n");
  EXPECT_EQ(bad.doc["status"]["exit"], kExitUnreadableDeck);
  EXPECT_EQ(bad.doc["status"]["message"].get<std::string>() + "\n", bad.errors);
}

}  // namespace
}  // namespace meridolan::testing
