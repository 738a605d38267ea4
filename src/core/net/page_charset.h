// Turns the bytes of a fetched page into UTF-8 text by the charset the page
// declares: the Content-Type header first, then a <meta> near the top.
#pragma once

#include <string>
#include <string_view>

namespace quexa {

// The charset named by a Content-Type value ("text/html; charset=ISO-8859-1"),
// lower-cased and without quotes; "" when it names none.
std::string charsetOfContentType(std::string_view contentType);

// The charset of a <meta charset=..> or <meta http-equiv=.. content="..;
// charset=.."> within the first 4 KiB of the page; "" when there is none.
std::string charsetOfMeta(std::string_view page);

// The page as UTF-8. Latin-1, Windows-1252 and ASCII pages are read as
// Windows-1252 (what such pages mean in practice); UTF-8 pages keep their
// text, bytes that are not UTF-8 are read one by one as Windows-1252; a page
// with an unknown or no charset is kept when it is valid UTF-8 and read as
// Windows-1252 otherwise.
std::string decodePage(std::string_view bytes, std::string_view contentType);

// Valid UTF-8 sequences kept, every other byte read as Windows-1252.
std::string repairUtf8(std::string_view bytes);

}  // namespace quexa
