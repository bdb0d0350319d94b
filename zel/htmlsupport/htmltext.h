// zel/htmlsupport/htmltext.h — HTML pages as text: counting the words
// outside the markup, a standard page head and foot, the body of a page, and
// the body as plain text.
//
//   bool in_tag = false;
//   zel::CountWordsHTML(u"<p>one two </p>", false, in_tag)  == 2
//   zel::CountWordsHTML(u"abc <b", false, in_tag)          == 1  // in_tag now true
//   zel::CountWordsHTML(u"class=x>more ", false, in_tag)   == 1  // the tag ends here
//
//   zel::String page = zel::DefaultHTMLHead(u"Results", u"", u"", u"", true) +
//                      u"<p>Done.</p>\r\n" + zel::DefaultHTMLFoot(true);
//   zel::ExtractHTMLBody(page)                             == u"\r\n<p>Done.</p>\r\n"
//   zel::ConvertHTMLBodyToText(u"<p>a &amp; b</p><p>c</p>", u'\n') == u"a & b\nc"
//
// The page head and foot are built with CR LF line ends, the library's line
// end for text files.
#ifndef ZEL_HTMLSUPPORT_HTMLTEXT_H_
#define ZEL_HTMLSUPPORT_HTMLTEXT_H_

#include "zel/platform/export.h"
#include "zel/platform/string.h"

namespace ZEL_EXPORT zel {

// The number of words in `S` outside markup, with the in-markup state
// carried in and out through `InTag`, so that a text can be counted in
// pieces (one line at a time, say).  '<' starts markup and '>' ends it;
// markup characters (the '<' too) are skipped.  Outside markup, words are
// counted as `CountWords` counts them (words.h): a run of at least two
// characters between separators of `WordSeps` ('>' is one), and a run at the
// end of `S` is not counted.  With `IgnoreNumbers`, a run whose first
// character is a digit 0-9 is no word.  The '<' does not end a run, so the
// text before a tag and the text after it may join.
int CountWordsHTML(StringView S, bool IgnoreNumbers, bool& InTag);

// The start of an HTML page, up to and including "<body>" when `OpenBody` is
// set (up to "</head>" otherwise):
//
//   <!DOCTYPE html>
//   <html>
//   <head>
//   <title>Title</title>
//   <meta name="description" content="Description">
//   <meta name="keywords" content="Keywords">
//   <link rel="stylesheet" href="StyleSheet">
//   </head>
//   <body>
//
// each line ended by CR LF.  The `meta` and `link` lines are left out when
// their text is empty; every text is passed through
// `MakeStringHTMLCompatible`.  No character set is declared: the same page
// may be written as UTF-8 (to a file) or as Windows-1252 (to a string
// stream); the head itself is ASCII whatever its texts hold.
String DefaultHTMLHead(StringView Title, StringView Description, StringView Keywords,
                       StringView StyleSheet, bool OpenBody);

// The end of a page to match `DefaultHTMLHead`: "</body>" CR LF when
// `CloseBody` is set, then "</html>" CR LF.
String DefaultHTMLFoot(bool CloseBody);

// The content of the page's body: the text after the `<body ...>` start
// tag (any case, with or without attributes) up to `</body>` or, when there
// is none, to the end.  A page without a body start tag is taken to be all
// body and returned whole.
String ExtractHTMLBody(StringView Page);

// The text a reader sees in `Body`, with `LineBreak` between blocks:
//   * `<br>` gives one `LineBreak`; the tags of block elements (p, div,
//     h1-h6, ul, ol, li, dl, dt, dd, table, tr, hr, pre, blockquote, ...)
//     give one `LineBreak` unless the text is empty or already ends with
//     one; a table cell (`td`, `th`) gives a blank; every other tag, comments
//     and the content of `script` and `style` give nothing.
//   * White space (blank, tab, CR, LF, form feed) collapses to one blank,
//     and no blank is written at the start or end of a line; inside `pre`
//     it is kept, each line end (CR LF, LF or CR) becoming one `LineBreak`.
//   * Character references are resolved (`ResolveHTMLEntities`).
String ConvertHTMLBodyToText(StringView Body, Char LineBreak);

}  // namespace zel

#endif  // ZEL_HTMLSUPPORT_HTMLTEXT_H_
