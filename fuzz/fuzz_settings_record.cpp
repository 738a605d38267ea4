// The settings record decoder over records of any length and content: it
// never fails, and settings that fit the record survive being written and
// read again unchanged.
#include <cstdlib>
#include <string>

#include "app/settings.h"

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view record(reinterpret_cast<const char*>(data), size);
  const quexa::Settings decoded = quexa::decodeSettings(record);
  if (quexa::settingsFitProblem(decoded)) return 0;
  const std::string written = quexa::encodeSettings(decoded);
  require(written.size() == quexa::kSettingsRecordSize);
  require(quexa::decodeSettings(written) == decoded);
  require(quexa::encodeSettings(quexa::decodeSettings(written)) == written);
  return 0;
}
