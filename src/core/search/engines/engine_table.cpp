#include "search/engines/engine_table.h"

#include "app/text.h"

namespace quexa {

namespace {

using enum BlockOp;

constexpr BlockStep kYahooSteps[] = {
    {RemoveBoldPairs}, {CutAtOr, "<li>", "</ul>"}, {CutAt, "<br>"}};
constexpr BlockStep kLycosDocumentSteps[] = {
    {Remove, "<b>"}, {Remove, "</b>"}, {Remove, "<br>"}, {Remove, "<br>"}};
constexpr BlockStep kLycosDetailSteps[] = {
    {DropThrough, "<b>"}, {Remove, "</b>"}, {Remove, "<br>"}, {Remove, "<br>"}};
constexpr BlockStep kInfoSeekSteps[] = {
    {Remove, "</b>"}, {Remove, "<br>"}, {Remove, "<br>"}, {Remove, "</a>"}};
constexpr BlockStep kExciteSteps[] = {{Remove, "&nbsp;"}, {CutAt, "<br>"}};
constexpr BlockStep kAltaVistaDocumentSteps[] = {{Remove, "<b>"},
                                                 {Remove, "</b>"},
                                                 {TakeOutBrSpanLowerSecond},
                                                 {Remove, "<br>"},
                                                 {CutAt, "<br>"}};
constexpr BlockStep kAltaVistaDetailSteps[] = {
    {DropThrough, "<b>"}, {Remove, "</b>"}, {TakeOutBrSpan}, {Remove, "<br>"}, {CutAt, "<br>"}};

const EngineRow kRows[] = {
    {Engine::Yahoo,
     "yahoo",
     &Settings::chkYahoo,
     "Searching Yahoo! .....",
     "Yahoo!",
     "Yahoo",
     "Yahoo",
     "yahoo",
     "<a",
     "<a",
     ExtraRejection::None,
     false,
     false,
     kYahooSteps,
     BlockSplit::AtEndAnchor,
     true,
     NodeTitleSource::AnchorText,
     NodeTitleCleanup::BoldPair,
     kYahooSteps,
     BlockSplit::AtEndAnchorDescription},
    {Engine::Lycos,
     "lycos",
     &Settings::chkLycos,
     "Searching Lycos .....",
     "Lycos",
     "Lycos",
     "Lycos",
     "lycos",
     "<a",
     "<br>http",
     ExtraRejection::EngineWordBeforeBrHttp,
     false,
     true,
     kLycosDocumentSteps,
     BlockSplit::AtEndAnchor,
     false,
     NodeTitleSource::CleanedBlock,
     NodeTitleCleanup::BoldPair,
     kLycosDetailSteps,
     BlockSplit::AtEndAnchor},
    {Engine::InfoSeek,
     "infoseek",
     &Settings::chkInfoseek,
     "Searching InfoSeek .....",
     "InfoSeek",
     "InfoSeek",
     "InfoSeek",
     "infoseek",
     "<a",
     "<font size",
     ExtraRejection::None,
     false,
     false,
     kInfoSeekSteps,
     BlockSplit::AtLineBreak,
     false,
     NodeTitleSource::AnchorText,
     NodeTitleCleanup::None,
     kInfoSeekSteps,
     BlockSplit::AtLineBreak},
    {Engine::Excite,
     "excite",
     &Settings::chkExcite,
     "Searching Excite .....",
     "Excite",
     "Excite",
     "Excite",
     "excite",
     "<a",
     "<p></small>",
     ExtraRejection::None,
     false,
     false,
     kExciteSteps,
     BlockSplit::AtEndAnchor,
     false,
     NodeTitleSource::AnchorText,
     NodeTitleCleanup::FirstLine,
     kExciteSteps,
     BlockSplit::AtEndAnchor},
    {Engine::AltaVista,
     "altavista",
     &Settings::chkAltavista,
     "Searching AltaVista .....",
     "AltaVista",
     "AltaVista",
     "Altavista",
     "altavista",
     "<",
     "- in english",
     ExtraRejection::TranslateInTestBlock,
     true,
     false,
     kAltaVistaDocumentSteps,
     BlockSplit::AtEndAnchor,
     false,
     NodeTitleSource::AnchorText,
     NodeTitleCleanup::BoldPair,
     kAltaVistaDetailSteps,
     BlockSplit::AtEndAnchor},
};

}  // namespace

const EngineRow& engineRow(Engine engine) {
  return kRows[static_cast<size_t>(engine)];
}

std::optional<Engine> engineNamed(std::string_view name) {
  std::string lower = lowerSameLength(name);
  for (const EngineRow& row : kRows) {
    if (lower == row.name) return row.engine;
  }
  return std::nullopt;
}

}  // namespace quexa
