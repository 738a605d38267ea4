// A fetcher that fetches nothing: the window's stand-in until a search
// brings its own transfer.
#pragma once

#include "net/fetcher.h"

namespace quexa {

class NullFetcher : public Fetcher {
 public:
  FetchResult fetch(const std::string&, int) override {
    return fetchFailure(FetchStatus::Failed, {});
  }
  void cancel() override {}
  void setProxy(AccessType, const std::string&) override {}
};

}  // namespace quexa
