/* The C interface of libmzk11.so, the text matcher that the searches load at
 * run time. Both the library and its callers include this header.
 *
 * int32_t stringSearch(fileName, fileLength, caseMode,
 *                      text1, connector1, text2, connector2, text3, connector3, text4,
 *                      contextLines, maxLines, highlight, resultBuffer, reserved)
 *
 * The page
 *   The page is read from the file `fileName`, at most `fileLength` bytes of it
 *   (a shorter file is read as far as it goes; a missing file, a null name or a
 *   length of 0 or less reads nothing). Its visible text is what a reader of the
 *   page sees, in UTF-8:
 *   - tags are removed; the content of `script` and `style` elements and
 *     comments are dropped. A comment, tag or script that is never closed drops
 *     the rest of the page. A "<" that is not followed by a letter, "/", "!" or
 *     "?" is ordinary text.
 *   - entities are decoded: &amp; &lt; &gt; &quot; &apos; &nbsp;, &#N; and
 *     &#xN; (the ";" may be missing after the digits), the Latin-1 letters and
 *     signs by name (&eacute; &copy; ...) and a few typographic ones (&euro;
 *     &ndash; &mdash; &lsquo; &rsquo; &ldquo; &rdquo; &hellip; &bull; &trade;).
 *     An unknown entity stays as it is written. &nbsp; counts as a blank, a
 *     code of 0, a surrogate or beyond U+10FFFF gives U+FFFD.
 *   - every run of white space (blanks, tabs, line ends, control characters,
 *     NUL bytes) is one blank;
 *   - a line ends at each opening or closing block tag (p, br, li, tr, h1-h6,
 *     div, table, thead, tbody, tfoot, caption, ul, ol, dl, dd, dt, title,
 *     blockquote, pre, hr, form, fieldset, legend, option, center, address,
 *     body, head, section, article, header, footer, nav, aside, main, figure,
 *     figcaption) and at each line end inside `pre`; td and th cells are
 *     separated by a blank;
 *   - lines are trimmed, and empty lines are dropped.
 *   Bytes that are not valid UTF-8 are kept for matching and shown as U+FFFD.
 *
 * The search texts
 *   A null or empty text takes no part. Each other text has its white space runs
 *   made one blank and is trimmed; a text left empty takes no part either.
 *   A text is found when it occurs as a plain substring of the visible text. The
 *   lines are tested one by one: a text never matches across a line end.
 *   caseMode 201 (`MZK11_IGNORE_CASE`) compares without regard to case: the
 *   texts and the page are both case-folded, every letter of every cased script
 *   to its Unicode simple case fold (so Cyrillic capitals find their small
 *   letters, the Kelvin sign finds "k", the micro sign finds Greek mu, but capital I with
 *   dot above finds only itself and sharp s is not "ss"). A fold may change a
 *   letter's byte length; the extract still shows the page's own letters and
 *   marks exactly the matched ones. Bytes that are not valid UTF-8 are compared
 *   as they are. Any other case mode, normally 200 (`MZK11_MATCH_CASE`),
 *   compares exactly.
 *
 * Combining
 *   The taking-part texts are combined from left to right. The first gives the
 *   start value; each later one joins the value so far with the connector
 *   immediately to its left (connector k stands between text k and text k+1),
 *   even when texts in between take no part:
 *     210 AND  value and found
 *     211 OR   value or found
 *     212 NOT  value and not found
 *   Any other connector code counts as AND. With no taking-part text the page
 *   does not match.
 *
 * Result
 *   0 when the page does not match (resultBuffer is then left untouched);
 *   otherwise the number of lines in the extract, at least 1.
 *
 * The extract (written into resultBuffer only on a match)
 *   The visible lines that hold a positive text (the first taking-part text and
 *   every one joined by AND or OR; a NOT text is never shown), with
 *   `contextLines` neighbouring lines on each side (0 or less: none; at most
 *   1000), in page order, at most `maxLines` of them (0 or less: 30). Each
 *   line is followed by "\par ". With `highlight` = 1, every occurrence of a
 *   positive text is set in bold red, "{\b\cf1 " ... "}" (colour 1 of the
 *   caller's colour table).
 *   The text is ready for an RTF group: "\", "{" and "}" are escaped, and every
 *   character beyond ASCII is written as "\uN?" per UTF-16 code unit, N signed
 *   16-bit (U+E9 is "\u233?", U+FFFD "\u-3?", U+1F600 "\u-10179?\u-8704?").
 *   The text and its closing NUL fill at most `MZK11_RESULT_BUFFER_SIZE` bytes:
 *   a line that does not fit is cut after its last whole character that fits
 *   (open highlight closed, "\par " kept), and the lines after it are left out.
 *   `reserved` is not used (callers pass 0). A null resultBuffer is not written.
 *   When the library cannot work (out of memory), the result is 0.
 */
#ifndef QUEXA_MATCH_MZK11_H
#define QUEXA_MATCH_MZK11_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define MZK11_MATCH_CASE 200
#define MZK11_IGNORE_CASE 201
#define MZK11_AND 210
#define MZK11_OR 211
#define MZK11_NOT 212
/* The caller's result buffer: the extract and its NUL never pass it. */
#define MZK11_RESULT_BUFFER_SIZE 51200

__attribute__((visibility("default"))) int32_t stringSearch(
    const char* fileName, int32_t fileLength, int32_t caseMode, const char* text1,
    int32_t connector1, const char* text2, int32_t connector2, const char* text3,
    int32_t connector3, const char* text4, int32_t contextLines, int32_t maxLines,
    int32_t highlight, char* resultBuffer, int32_t reserved);

/* The type that dlsym("stringSearch") is cast to. */
typedef int32_t (*mzk11_string_search_fn)(const char*, int32_t, int32_t, const char*, int32_t,
                                          const char*, int32_t, const char*, int32_t, const char*,
                                          int32_t, int32_t, int32_t, char*, int32_t);

#ifdef __cplusplus
}
#endif

#endif /* QUEXA_MATCH_MZK11_H */
