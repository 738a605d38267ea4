// Runs the result-page parser the way the engine search does: every listed
// hit goes into the hit store before the next link is examined.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "net/fetcher.h"
#include "search/engines/result_parser.h"

namespace quexa::test {

struct ParserRun {
  EngineHitStore store;
  EngineProgress progress;
  std::vector<ParsedHit> hits;
  int examined = 0;
  int pumped = 0;
  int stopAfterLinks = -1;  // linkExamined answers false from this link on

  PageOutcome parse(Engine engine, std::string_view page) {
    struct Pump : EventPump {
      int* count;
      void pump() override { ++*count; }
    } pump;
    pump.count = &pumped;
    PageListener listener;
    listener.listHit = [this](const ParsedHit& hit) {
      hits.push_back(hit);
      store.appendUrl(hit.url);
      store.appendBlock(hit.rawBlock);
    };
    listener.linkExamined = [this] {
      ++examined;
      return stopAfterLinks < 0 || examined < stopAfterLinks;
    };
    return parseResultPage(engine, page, store, progress, listener, pump);
  }

  std::vector<std::string> urls() const {
    std::vector<std::string> out;
    for (const ParsedHit& h : hits) out.push_back(h.url);
    return out;
  }
};

}  // namespace quexa::test
