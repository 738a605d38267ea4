// robots.txt over any file: the first input line is a path to ask about, the
// rest the file. Nothing may crash or run long; /robots.txt stays allowed.
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "net/robots.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quexa::fuzz::FuzzInput input(data, size);
  const std::string path = "/" + std::string(input.takeLine(2000));
  const quexa::RobotsRules rules = quexa::parseRobots(input.rest());
  (void)quexa::robotsAllow(rules, path);
  if (!quexa::robotsAllow(rules, "/robots.txt")) std::abort();
  return 0;
}
