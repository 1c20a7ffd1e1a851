// The engine as a Python extension module: a deck in, the report, the messages, the
// exit status and the results out, all in memory. The interpreter lock is released
// while the engine runs, so threads run decks side by side.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/control.h"
#include "base/records.h"
#include "base/stop.h"
#include "base/work.h"
#include "driver/contour.h"
#include "driver/control_records.h"
#include "driver/input.h"
#include "driver/run.h"

namespace py = pybind11;
using namespace meridolan;

namespace {

// The work array's size for a run, refused as the command line refuses it.
std::int64_t checked_words(std::int64_t words) {
  const std::string problem = memory_words_problem(words);
  if (!problem.empty()) throw py::value_error("memory_words: " + problem);
  return words;
}

py::dict run_deck(const std::string& deck_text, std::int64_t memory_words) {
  checked_words(memory_words);
  std::string report, errors, results, contour;
  int status = 0;
  {
    py::gil_scoped_release unlocked;
    std::istringstream deck(deck_text);
    std::ostringstream rep, err, res, cnt;
    RunOptions options;
    options.contour.stream = &cnt;
    options.results = &res;
    options.memory_words = memory_words;
    status = run(deck, rep, err, options);
    report = rep.str();
    errors = err.str();
    results = res.str();
    contour = cnt.str();
  }
  py::dict out;
  out["status"] = status;
  out["report"] = py::bytes(report);
  out["errors"] = py::str(errors);
  out["results"] = results.empty() ? py::object(py::none()) : py::object(py::str(results));
  out["contour"] = contour.empty() ? py::object(py::none()) : py::object(py::str(contour));
  return out;
}

template <class T>
py::list list_of(const std::vector<T>& v, std::size_t n) {
  py::list l;
  for (std::size_t i = 0; i < n && i < v.size(); ++i) l.append(v[i]);
  return l;
}

template <class T, std::size_t N>
py::list list_of(const std::array<T, N>& v) {
  py::list l;
  for (const T& x : v) l.append(x);
  return l;
}

// Dimensions as the engine derives them from the control records: the node and
// equation counts and the words of the work array (the memory check's total).
py::dict dimensions(const Control& C, std::int64_t words) {
  py::dict d;
  d["nodes"] = C.NNODE;
  d["equations"] = C.NEQ;
  d["band"] = C.MBAND;
  d["elements"] = C.NELEM;
  d["x_lines"] = C.NXT;
  d["y_lines"] = C.NYT;
  d["words"] = words;
  d["contour_words"] = C.MEMCON;
  d["max_contour_words"] = Control::MAXCON;
  return d;
}

// The values the engine reads from a deck, read by the engine's own reader: every
// control value, list and per-node array of the model, the soil parameter cards
// and the contour record. A deck the engine refuses before the end of its model
// records raises ValueError with the report's message or the reading error.
py::dict read_values(const std::string& deck_text, std::int64_t memory_words) {
  checked_words(memory_words);
  std::istringstream in(deck_text);
  std::ostringstream echo;
  Report rep(echo);
  Deck deck(in);
  Control C;
  Work w;
  std::vector<std::array<double, 6>> cards;
  bool contour_record = false;
  try {
    read_control(deck, C);
    C.MEMLIM = memory_words;
    check_counts(rep, C);
    derive_dimensions(C);
    check_memory(rep, C);
    allocate(w, C);
    read_mesh(deck, rep, C, w);
    read_joints_and_loads(deck, rep, C, w);
    // The soil parameter cards follow in node order, one per node of code 5; a run
    // that never updates the moduli and writes no contours may leave them out.
    static const Format kCard("6F10.5");
    if (C.ISUBGR == 0 && C.INMODE != 0) {
      for (int n = 0; n < C.NNODE; ++n) {
        if (w.ISOIL[n] != 5) continue;
        std::array<double, 6> c{};
        try {
          deck.read(kCard, {c[0], c[1], c[2], c[3], c[4], c[5]});
        } catch (const ReadError&) {
          if (C.NCONT != 0) throw;
          break;
        }
        cards.push_back(c);
      }
    }
    if (C.NCONT != 0 && C.INMODE != 0) {
      read_contour_record(deck, C);
      contour_record = true;
    }
  } catch (const RunStopped&) {
    std::string text = echo.str();
    const auto at = text.rfind("***");
    throw py::value_error("the engine refuses this deck: " +
                          (at == std::string::npos
                               ? text.substr(text.size() > 400 ? text.size() - 400 : 0)
                               : text.substr(at)));
  } catch (const ReadError& e) {
    throw py::value_error(e.what());
  } catch (const NotFinite& e) {
    throw py::value_error(std::string("a value of the deck is not finite: ") + e.label);
  }

  const auto nn = static_cast<std::size_t>(C.NNODE);
  py::dict v;
  v["INMODE"] = C.INMODE;
  v["TITLE"] = C.TITLE;
  v["NLAREA"] = C.NLAREA;
  v["ISYM"] = C.ISYM;
  v["ICURL"] = C.ICURL;
  v["IWINK"] = C.IWINK;
  v["NNX"] = list_of(C.NNX);
  v["NNY"] = list_of(C.NNY);
  v["NLAYER"] = C.NLAYER;
  v["ICOMP"] = C.ICOMP;
  v["SUBK"] = C.SUBK;
  v["ESUB"] = C.ESUB;
  v["PRSUB"] = C.PRSUB;
  v["ISUBGR"] = C.ISUBGR;
  v["MAXIT"] = C.MAXIT;
  v["TOL1"] = C.TOL1;
  v["TOL2"] = C.TOL2;
  v["IPRIT"] = C.IPRIT;
  v["ICONT"] = list_of(C.ICONT);
  v["NGRID"] = C.NGRID;
  v["LTX"] = C.joint(Axis::x).LT;
  v["LTY"] = C.joint(Axis::y).LT;
  v["JSWX"] = list_of(C.joint(Axis::x).JSW);
  v["JSWY"] = list_of(C.joint(Axis::y).JSW);
  v["ICONT2"] = list_of(C.ICONT2);
  v["CSCALE"] = C.CSCALE;
  v["contour_record"] = contour_record;
  v["XC"] = list_of(w.XC, w.XC.size());
  v["YC"] = list_of(w.YC, w.YC.size());
  v["TH1"] = C.TH1;
  v["E1"] = C.E1;
  v["PR1"] = C.PR1;
  v["GAM1"] = C.GAM1;
  v["DT1"] = C.DT1;
  v["ALF1"] = C.ALF1;
  v["TH2"] = C.TH2;
  v["E2"] = C.E2;
  v["PR2"] = C.PR2;
  v["GAM2"] = C.GAM2;
  v["DT2"] = C.DT2;
  v["ALF2"] = C.ALF2;
  v["THN1"] = list_of(w.THN1, nn);
  v["EN1"] = list_of(w.EN1, nn);
  v["THN2"] = list_of(w.THN2, C.NLAYER == 2 ? nn : 0);
  v["EN2"] = list_of(w.EN2, C.NLAYER == 2 ? nn : 0);
  v["KDEF"] = C.KDEF;
  v["SKN"] = list_of(w.SKN, C.ISUBGR == 8 ? 0 : nn);
  for (Axis a : kAxes) {
    const JointInput& J = C.joint(a);
    const std::string s = axis_letter(a);
    v[("DI" + s).c_str()] = J.DI;
    v[("DO" + s).c_str()] = J.DO;
    v[("ED" + s).c_str()] = J.ED;
    v[("SP" + s).c_str()] = J.SP;
    v[("WJ" + s).c_str()] = J.WJ;
    v[("PRD" + s).c_str()] = J.PRD;
    v[("KDC" + s).c_str()] = J.KDC;
    v[("AGG" + s).c_str()] = J.AGG;
    v[("NDOW" + s).c_str()] = list_of(a == Axis::x ? w.NDOWX : w.NDOWY, J.ND > 0 ? J.ND : 0);
  }
  py::list loads;
  for (int i = 0; i < C.NLAREA && C.INMODE != 0; ++i)
    loads.append(py::make_tuple(w.PA[i], w.XA1[i], w.XA2[i], w.YA1[i], w.YA2[i]));
  v["loads"] = loads;
  v["ISOIL"] = list_of(w.ISOIL, C.ISUBGR == 0 ? nn : 0);
  py::list soil_cards;
  for (const auto& c : cards) soil_cards.append(list_of(c));
  v["soil_cards"] = soil_cards;
  v["NZRP"] = C.NZRP;
  v["ICYCLE"] = C.ICYCLE;
  v["IZRP"] = list_of(w.IZRP, C.NZRP > 0 ? static_cast<std::size_t>(C.NZRP) : 0);
  py::list gaps;
  for (int i = 0; i < C.NGAPN; ++i) gaps.append(py::make_tuple(w.IGAPN[i], w.GAPN[w.IGAPN[i] - 1]));
  v["gaps"] = gaps;
  v["dimensions"] = dimensions(C, C.MEMREQ);
  return v;
}

// The engine's own sizing rule applied to the control records of a deck: the words
// its model needs (the memory check's total), before anything is allocated or
// analysed, with the node and equation counts.
py::dict deck_dimensions(const std::string& deck_text) {
  std::int64_t words = 0;
  try {
    words = model_memory_words(deck_text);
  } catch (const std::invalid_argument& e) {
    throw py::value_error(std::string("the engine refuses the node counts of this deck: ") +
                          e.what());
  } catch (const ReadError& e) {
    throw py::value_error(e.what());
  }
  std::istringstream in(deck_text);
  Deck deck(in);
  Control C;
  read_control(deck, C);
  derive_dimensions(C);
  return dimensions(C, words);
}

}  // namespace

PYBIND11_MODULE(_meridolan, m) {
  m.doc() = "The MERIDOLAN engine, in-process.";
  m.attr("default_memory_words") = RunOptions{}.memory_words;
  m.attr("max_memory_words") = kMaxMemoryWords;
  m.def("run", &run_deck, py::arg("deck"), py::arg("memory_words") = RunOptions{}.memory_words,
        "Runs a deck; returns status, report (bytes), errors, results (JSON text or None) and "
        "contour (the contour data or None).");
  m.def("read", &read_values, py::arg("deck"), py::arg("memory_words") = RunOptions{}.memory_words,
        "The values the engine reads from a deck, by the names of its records.");
  m.def("dimensions", &deck_dimensions, py::arg("deck"),
        "Node, equation and work-array counts of a deck's control records.");
}
