#include "driver/title.h"

#include <string>

#include "base/stop.h"

namespace meridolan {

namespace {

// The boxed banner: a page throw, an empty line and 23 box lines, each 20X and a
// 56-character box text.
std::string banner_format() {
  const std::string stars(56, '*');
  const std::string empty = "*" + std::string(54, ' ') + "*";
  auto revision = [](const std::string& text) {  // "*   -text ...   *", 56 wide
    std::string line = "*   -" + text;
    line.resize(55, ' ');
    return line + "*";
  };
  const std::string box[23] = {
      stars,
      empty,
      empty,
      "*   MERIDOLAN    " + std::string(38, ' ') + "*",
      empty,
      empty,
      "*   FINITE ELEMENT ANALYSIS OF JOINTED CONCRETE  " + std::string(6, ' ') + "*",
      "*   PAVEMENTS WITH A VARIETY OF SUPPORT MODELS         * ",
      empty,
      empty,
      "*   UNIVERSITY OF TRAVENIA" + std::string(29, ' ') + "*",
      empty,
      empty,
      revision("SLAB ON A DENSE LIQUID OR SPRINGS, 1977"),
      revision("DOWEL BARS AND AGGREGATE INTERLOCK, 1979-1980"),
      revision("TWO LAYERS AND ELASTIC SOLID SUBGRADE, 1982"),
      revision("CURLING, SELF-WEIGHT AND GAPS, 1984-1986"),
      revision("STRESS-DEPENDENT AND VLASOV SUBGRADES, 1988"),
      empty,
      "*    DATE OF PRESENT VERSION:   MARCH 15, 1989         *",
      empty,
      empty,
      stars,
  };
  std::string f = "'1', /";
  for (const std::string& line : box) f += ", /, 20X, '" + line + "'";
  return f;
}

}  // namespace

void TITLPG(Report& rep, const Control& C) {
  static const Format kBanner(banner_format());
  static const Format kTitle("/, /, 20X, A80");
  static const Format kMesh("/, /, 20X, 'TOTAL MEMORY SPACES FOR THE FINITE ELEMENT MESH=', I6");
  static const Format kLimit("20X, '(SHOULD BE LESS THAN ', I10, '  )'");
  static const Format kContur("/, 20X, 'TOTAL MEMORY SPACES FOR SUBROUTINE CONTUR      =', I6");
  static const Format kNoContours("20X, '--- NO CONTOURS REQUESTED ---'");
  static const Format kMeshShort(
      "/, /, 20X, '***NOT ENOUGH MEMORY FOR THE PARAMETERS PROVIDED.', /, 20X, "
      "'(FINITE ELEMENT MESH)', /, 20X, ' NEEDS TOTAL MEMORY  OF AT LEAST', I10, /, 20X, "
      "' PROGRAM TERMINATED.', /, /");
  static const Format kConturShort(
      "/, /, 20X, '***NOT ENOUGH MEMORY FOR THE PARAMETERS PROVIDED.', /, 20X, "
      "'(SUBROUTINE CONTUR)', /, 20X, ' NEEDS TOTAL MEMORY  OF AT LEAST', I10, /, 20X, "
      "' THIS IS A WARNING.', /, /");

  rep.write(kBanner);
  rep.write(kTitle, {C.TITLE});
  rep.write(kMesh, {C.MEMREQ});
  rep.write(kLimit, {C.MEMLIM});
  rep.write(kContur, {C.MEMCON});
  rep.write(kLimit, {Control::MAXCON});
  if (C.NCONT == 0) rep.write(kNoContours);
  if (C.MEMREQ > C.MEMLIM) {
    rep.write(kMeshShort, {C.MEMREQ});
    STOP(rep, Ending::Refused);
  }
  if (C.NCONT != 0 && C.MEMCON > Control::MAXCON) rep.write(kConturShort, {C.MEMCON});
}

}  // namespace meridolan
