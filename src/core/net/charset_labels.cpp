// Every encoding a Web page may name and every label that names it.
#include <algorithm>
#include <array>

#include "net/charset.h"

namespace quexa {

namespace {

// Where the converter's table differs from what pages mean, the closer
// table is named: Shift_JIS pages are written with the Windows extensions,
// EUC-KR pages with the Unified Hangul ones, Big5 pages with HKSCS, and GBK
// is read as its superset GB18030.
constexpr std::array kEncodings{
    Encoding{"UTF-8", "", DecodeWay::Utf8, 1, true},
    Encoding{"IBM866", "IBM866", DecodeWay::Iconv, 1, true},
    Encoding{"ISO-8859-2", "ISO-8859-2", DecodeWay::Iconv, 1, true},
    Encoding{"ISO-8859-3", "ISO-8859-3", DecodeWay::Iconv, 1, true},
    Encoding{"ISO-8859-4", "ISO-8859-4", DecodeWay::Iconv, 1, true},
    Encoding{"ISO-8859-5", "ISO-8859-5", DecodeWay::Iconv, 1, true},
    Encoding{"ISO-8859-6", "ISO-8859-6", DecodeWay::Iconv, 1, true},
    Encoding{"ISO-8859-7", "ISO-8859-7", DecodeWay::Iconv, 1, true},
    Encoding{"ISO-8859-8", "ISO-8859-8", DecodeWay::Iconv, 1, true},
    Encoding{"ISO-8859-8-I", "ISO-8859-8", DecodeWay::Iconv, 1, true},
    Encoding{"ISO-8859-10", "ISO-8859-10", DecodeWay::Iconv, 1, true},
    Encoding{"ISO-8859-13", "ISO-8859-13", DecodeWay::Iconv, 1, true},
    Encoding{"ISO-8859-14", "ISO-8859-14", DecodeWay::Iconv, 1, true},
    Encoding{"ISO-8859-15", "ISO-8859-15", DecodeWay::Iconv, 1, true},
    Encoding{"ISO-8859-16", "ISO-8859-16", DecodeWay::Iconv, 1, true},
    Encoding{"KOI8-R", "KOI8-R", DecodeWay::Iconv, 1, true},
    Encoding{"KOI8-U", "KOI8-U", DecodeWay::Iconv, 1, true},
    Encoding{"macintosh", "MACINTOSH", DecodeWay::Iconv, 1, true},
    Encoding{"windows-874", "WINDOWS-874", DecodeWay::Iconv, 1, true},
    Encoding{"windows-1250", "CP1250", DecodeWay::Iconv, 1, true},
    Encoding{"windows-1251", "CP1251", DecodeWay::Iconv, 1, true},
    Encoding{"windows-1252", "", DecodeWay::Windows1252, 1, true},
    Encoding{"windows-1253", "CP1253", DecodeWay::Iconv, 1, true},
    Encoding{"windows-1254", "CP1254", DecodeWay::Iconv, 1, true},
    Encoding{"windows-1255", "CP1255", DecodeWay::Iconv, 1, true},
    Encoding{"windows-1256", "CP1256", DecodeWay::Iconv, 1, true},
    Encoding{"windows-1257", "CP1257", DecodeWay::Iconv, 1, true},
    Encoding{"windows-1258", "CP1258", DecodeWay::Iconv, 1, true},
    Encoding{"x-mac-cyrillic", "MAC-CYRILLIC", DecodeWay::Iconv, 1, true},
    Encoding{"GBK", "GB18030", DecodeWay::Iconv, 1, true},
    Encoding{"gb18030", "GB18030", DecodeWay::Iconv, 1, true},
    Encoding{"Big5", "BIG5-HKSCS", DecodeWay::Iconv, 1, true},
    Encoding{"EUC-JP", "EUC-JP", DecodeWay::Iconv, 1, true},
    // Escape sequences switch its meaning of ASCII bytes.
    Encoding{"ISO-2022-JP", "ISO-2022-JP", DecodeWay::Iconv, 1, false},
    Encoding{"Shift_JIS", "CP932", DecodeWay::Iconv, 1, true},
    Encoding{"EUC-KR", "CP949", DecodeWay::Iconv, 1, true},
    Encoding{"replacement", "", DecodeWay::Replacement, 1, false},
    Encoding{"UTF-16BE", "UTF-16BE", DecodeWay::Iconv, 2, false},
    Encoding{"UTF-16LE", "UTF-16LE", DecodeWay::Iconv, 2, false},
    Encoding{"x-user-defined", "", DecodeWay::UserDefined, 1, true},
};

const Encoding* named(std::string_view name) {
  for (const Encoding& e : kEncodings)
    if (e.name == name) return &e;
  return nullptr;
}

struct Label {
  std::string_view label;
  std::string_view encoding;
};

// Sorted by label, for a binary search.
constexpr std::array kLabels{
    Label{"866", "IBM866"},
    Label{"ansi_x3.4-1968", "windows-1252"},
    Label{"arabic", "ISO-8859-6"},
    Label{"ascii", "windows-1252"},
    Label{"asmo-708", "ISO-8859-6"},
    Label{"big5", "Big5"},
    Label{"big5-hkscs", "Big5"},
    Label{"chinese", "GBK"},
    Label{"cn-big5", "Big5"},
    Label{"cp1250", "windows-1250"},
    Label{"cp1251", "windows-1251"},
    Label{"cp1252", "windows-1252"},
    Label{"cp1253", "windows-1253"},
    Label{"cp1254", "windows-1254"},
    Label{"cp1255", "windows-1255"},
    Label{"cp1256", "windows-1256"},
    Label{"cp1257", "windows-1257"},
    Label{"cp1258", "windows-1258"},
    Label{"cp819", "windows-1252"},
    Label{"cp866", "IBM866"},
    Label{"csbig5", "Big5"},
    Label{"cseuckr", "EUC-KR"},
    Label{"cseucpkdfmtjapanese", "EUC-JP"},
    Label{"csgb2312", "GBK"},
    Label{"csibm866", "IBM866"},
    Label{"csiso2022jp", "ISO-2022-JP"},
    Label{"csiso2022kr", "replacement"},
    Label{"csiso58gb231280", "GBK"},
    Label{"csiso88596e", "ISO-8859-6"},
    Label{"csiso88596i", "ISO-8859-6"},
    Label{"csiso88598e", "ISO-8859-8"},
    Label{"csiso88598i", "ISO-8859-8-I"},
    Label{"csisolatin1", "windows-1252"},
    Label{"csisolatin2", "ISO-8859-2"},
    Label{"csisolatin3", "ISO-8859-3"},
    Label{"csisolatin4", "ISO-8859-4"},
    Label{"csisolatin5", "windows-1254"},
    Label{"csisolatin6", "ISO-8859-10"},
    Label{"csisolatin9", "ISO-8859-15"},
    Label{"csisolatinarabic", "ISO-8859-6"},
    Label{"csisolatincyrillic", "ISO-8859-5"},
    Label{"csisolatingreek", "ISO-8859-7"},
    Label{"csisolatinhebrew", "ISO-8859-8"},
    Label{"cskoi8r", "KOI8-R"},
    Label{"csksc56011987", "EUC-KR"},
    Label{"csmacintosh", "macintosh"},
    Label{"csshiftjis", "Shift_JIS"},
    Label{"csunicode", "UTF-16LE"},
    Label{"cyrillic", "ISO-8859-5"},
    Label{"dos-874", "windows-874"},
    Label{"ecma-114", "ISO-8859-6"},
    Label{"ecma-118", "ISO-8859-7"},
    Label{"elot_928", "ISO-8859-7"},
    Label{"euc-jp", "EUC-JP"},
    Label{"euc-kr", "EUC-KR"},
    Label{"gb18030", "gb18030"},
    Label{"gb2312", "GBK"},
    Label{"gb_2312", "GBK"},
    Label{"gb_2312-80", "GBK"},
    Label{"gbk", "GBK"},
    Label{"greek", "ISO-8859-7"},
    Label{"greek8", "ISO-8859-7"},
    Label{"hebrew", "ISO-8859-8"},
    Label{"hz-gb-2312", "replacement"},
    Label{"ibm819", "windows-1252"},
    Label{"ibm866", "IBM866"},
    Label{"iso-10646-ucs-2", "UTF-16LE"},
    Label{"iso-2022-cn", "replacement"},
    Label{"iso-2022-cn-ext", "replacement"},
    Label{"iso-2022-jp", "ISO-2022-JP"},
    Label{"iso-2022-kr", "replacement"},
    Label{"iso-8859-1", "windows-1252"},
    Label{"iso-8859-10", "ISO-8859-10"},
    Label{"iso-8859-11", "windows-874"},
    Label{"iso-8859-13", "ISO-8859-13"},
    Label{"iso-8859-14", "ISO-8859-14"},
    Label{"iso-8859-15", "ISO-8859-15"},
    Label{"iso-8859-16", "ISO-8859-16"},
    Label{"iso-8859-2", "ISO-8859-2"},
    Label{"iso-8859-3", "ISO-8859-3"},
    Label{"iso-8859-4", "ISO-8859-4"},
    Label{"iso-8859-5", "ISO-8859-5"},
    Label{"iso-8859-6", "ISO-8859-6"},
    Label{"iso-8859-6-e", "ISO-8859-6"},
    Label{"iso-8859-6-i", "ISO-8859-6"},
    Label{"iso-8859-7", "ISO-8859-7"},
    Label{"iso-8859-8", "ISO-8859-8"},
    Label{"iso-8859-8-e", "ISO-8859-8"},
    Label{"iso-8859-8-i", "ISO-8859-8-I"},
    Label{"iso-8859-9", "windows-1254"},
    Label{"iso-ir-100", "windows-1252"},
    Label{"iso-ir-101", "ISO-8859-2"},
    Label{"iso-ir-109", "ISO-8859-3"},
    Label{"iso-ir-110", "ISO-8859-4"},
    Label{"iso-ir-126", "ISO-8859-7"},
    Label{"iso-ir-127", "ISO-8859-6"},
    Label{"iso-ir-138", "ISO-8859-8"},
    Label{"iso-ir-144", "ISO-8859-5"},
    Label{"iso-ir-148", "windows-1254"},
    Label{"iso-ir-149", "EUC-KR"},
    Label{"iso-ir-157", "ISO-8859-10"},
    Label{"iso-ir-58", "GBK"},
    Label{"iso8859-1", "windows-1252"},
    Label{"iso8859-10", "ISO-8859-10"},
    Label{"iso8859-11", "windows-874"},
    Label{"iso8859-13", "ISO-8859-13"},
    Label{"iso8859-14", "ISO-8859-14"},
    Label{"iso8859-15", "ISO-8859-15"},
    Label{"iso8859-2", "ISO-8859-2"},
    Label{"iso8859-3", "ISO-8859-3"},
    Label{"iso8859-4", "ISO-8859-4"},
    Label{"iso8859-5", "ISO-8859-5"},
    Label{"iso8859-6", "ISO-8859-6"},
    Label{"iso8859-7", "ISO-8859-7"},
    Label{"iso8859-8", "ISO-8859-8"},
    Label{"iso8859-9", "windows-1254"},
    Label{"iso88591", "windows-1252"},
    Label{"iso885910", "ISO-8859-10"},
    Label{"iso885911", "windows-874"},
    Label{"iso885913", "ISO-8859-13"},
    Label{"iso885914", "ISO-8859-14"},
    Label{"iso885915", "ISO-8859-15"},
    Label{"iso88592", "ISO-8859-2"},
    Label{"iso88593", "ISO-8859-3"},
    Label{"iso88594", "ISO-8859-4"},
    Label{"iso88595", "ISO-8859-5"},
    Label{"iso88596", "ISO-8859-6"},
    Label{"iso88597", "ISO-8859-7"},
    Label{"iso88598", "ISO-8859-8"},
    Label{"iso88599", "windows-1254"},
    Label{"iso_8859-1", "windows-1252"},
    Label{"iso_8859-15", "ISO-8859-15"},
    Label{"iso_8859-1:1987", "windows-1252"},
    Label{"iso_8859-2", "ISO-8859-2"},
    Label{"iso_8859-2:1987", "ISO-8859-2"},
    Label{"iso_8859-3", "ISO-8859-3"},
    Label{"iso_8859-3:1988", "ISO-8859-3"},
    Label{"iso_8859-4", "ISO-8859-4"},
    Label{"iso_8859-4:1988", "ISO-8859-4"},
    Label{"iso_8859-5", "ISO-8859-5"},
    Label{"iso_8859-5:1988", "ISO-8859-5"},
    Label{"iso_8859-6", "ISO-8859-6"},
    Label{"iso_8859-6:1987", "ISO-8859-6"},
    Label{"iso_8859-7", "ISO-8859-7"},
    Label{"iso_8859-7:1987", "ISO-8859-7"},
    Label{"iso_8859-8", "ISO-8859-8"},
    Label{"iso_8859-8:1988", "ISO-8859-8"},
    Label{"iso_8859-9", "windows-1254"},
    Label{"iso_8859-9:1989", "windows-1254"},
    Label{"koi", "KOI8-R"},
    Label{"koi8", "KOI8-R"},
    Label{"koi8-r", "KOI8-R"},
    Label{"koi8-ru", "KOI8-U"},
    Label{"koi8-u", "KOI8-U"},
    Label{"koi8_r", "KOI8-R"},
    Label{"korean", "EUC-KR"},
    Label{"ks_c_5601-1987", "EUC-KR"},
    Label{"ks_c_5601-1989", "EUC-KR"},
    Label{"ksc5601", "EUC-KR"},
    Label{"ksc_5601", "EUC-KR"},
    Label{"l1", "windows-1252"},
    Label{"l2", "ISO-8859-2"},
    Label{"l3", "ISO-8859-3"},
    Label{"l4", "ISO-8859-4"},
    Label{"l5", "windows-1254"},
    Label{"l6", "ISO-8859-10"},
    Label{"l9", "ISO-8859-15"},
    Label{"latin1", "windows-1252"},
    Label{"latin2", "ISO-8859-2"},
    Label{"latin3", "ISO-8859-3"},
    Label{"latin4", "ISO-8859-4"},
    Label{"latin5", "windows-1254"},
    Label{"latin6", "ISO-8859-10"},
    Label{"logical", "ISO-8859-8-I"},
    Label{"mac", "macintosh"},
    Label{"macintosh", "macintosh"},
    Label{"ms932", "Shift_JIS"},
    Label{"ms_kanji", "Shift_JIS"},
    Label{"replacement", "replacement"},
    Label{"shift-jis", "Shift_JIS"},
    Label{"shift_jis", "Shift_JIS"},
    Label{"sjis", "Shift_JIS"},
    Label{"sun_eu_greek", "ISO-8859-7"},
    Label{"tis-620", "windows-874"},
    Label{"ucs-2", "UTF-16LE"},
    Label{"unicode", "UTF-16LE"},
    Label{"unicode-1-1-utf-8", "UTF-8"},
    Label{"unicode11utf8", "UTF-8"},
    Label{"unicode20utf8", "UTF-8"},
    Label{"unicodefeff", "UTF-16LE"},
    Label{"unicodefffe", "UTF-16BE"},
    Label{"us-ascii", "windows-1252"},
    Label{"utf-16", "UTF-16LE"},
    Label{"utf-16be", "UTF-16BE"},
    Label{"utf-16le", "UTF-16LE"},
    Label{"utf-8", "UTF-8"},
    Label{"utf8", "UTF-8"},
    Label{"visual", "ISO-8859-8"},
    Label{"windows-1250", "windows-1250"},
    Label{"windows-1251", "windows-1251"},
    Label{"windows-1252", "windows-1252"},
    Label{"windows-1253", "windows-1253"},
    Label{"windows-1254", "windows-1254"},
    Label{"windows-1255", "windows-1255"},
    Label{"windows-1256", "windows-1256"},
    Label{"windows-1257", "windows-1257"},
    Label{"windows-1258", "windows-1258"},
    Label{"windows-31j", "Shift_JIS"},
    Label{"windows-874", "windows-874"},
    Label{"windows-949", "EUC-KR"},
    Label{"x-cp1250", "windows-1250"},
    Label{"x-cp1251", "windows-1251"},
    Label{"x-cp1252", "windows-1252"},
    Label{"x-cp1253", "windows-1253"},
    Label{"x-cp1254", "windows-1254"},
    Label{"x-cp1255", "windows-1255"},
    Label{"x-cp1256", "windows-1256"},
    Label{"x-cp1257", "windows-1257"},
    Label{"x-cp1258", "windows-1258"},
    Label{"x-euc-jp", "EUC-JP"},
    Label{"x-gbk", "GBK"},
    Label{"x-mac-cyrillic", "x-mac-cyrillic"},
    Label{"x-mac-roman", "macintosh"},
    Label{"x-mac-ukrainian", "x-mac-cyrillic"},
    Label{"x-sjis", "Shift_JIS"},
    Label{"x-unicode20utf8", "UTF-8"},
    Label{"x-user-defined", "x-user-defined"},
    Label{"x-x-big5", "Big5"},
};

static_assert(std::is_sorted(kLabels.begin(), kLabels.end(),
                             [](const Label& a, const Label& b) { return a.label < b.label; }));

constexpr bool everyLabelNamesAnEncoding() {
  for (const Label& l : kLabels) {
    bool found = false;
    for (const Encoding& e : kEncodings) found = found || e.name == l.encoding;
    if (!found) return false;
  }
  return true;
}
static_assert(everyLabelNamesAnEncoding());

bool isLabelBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

}  // namespace

const Encoding* encodingForLabel(std::string_view label) {
  while (!label.empty() && isLabelBlank(label.front())) label.remove_prefix(1);
  while (!label.empty() && isLabelBlank(label.back())) label.remove_suffix(1);
  // The longest label has 19 letters; anything longer names nothing.
  constexpr size_t kLongest = 19;
  if (label.empty() || label.size() > kLongest) return nullptr;
  char lower[kLongest];
  for (size_t i = 0; i < label.size(); ++i) {
    char c = label[i];
    lower[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  }
  std::string_view key(lower, label.size());
  auto it = std::lower_bound(kLabels.begin(), kLabels.end(), key,
                             [](const Label& l, std::string_view k) { return l.label < k; });
  if (it == kLabels.end() || it->label != key) return nullptr;
  return named(it->encoding);
}

}  // namespace quexa
