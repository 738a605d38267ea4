// A SearXNG JSON answer of a user engine, read as the engine search reads it.
#include "answer_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quexa::fuzz::checkAnswer(quexa::ResultFormat::SearxngJson,
                           std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
