// The RTF reader over any text, as the panes and "Sa&ve" use it: reading
// never fails, and what was read, written out again and read back, is the
// same paragraphs, text and formatting.
#include <cstdlib>
#include <string>

#include "results/rtf_reader.h"
#include "results/rtf_writer.h"

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view rtf(reinterpret_cast<const char*>(data), size);
  const quexa::RichText read = quexa::readRtf(rtf);
  require(!read.paragraphs.empty());
  require(quexa::readRtf(quexa::writeRtf(read)) == read);

  // Two inserts at the caret: the second document's first paragraph
  // continues the first one's last.
  quexa::RichText pane;
  quexa::appendRtf(pane, rtf);
  quexa::appendRtf(pane, rtf);
  require(pane.paragraphs.size() == 2 * read.paragraphs.size() - 1);
  (void)quexa::plainText(pane);
  return 0;
}
