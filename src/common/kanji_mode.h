// Kanji mode: the string table's language entry reads "Kanji". It changes
// how person names are ordered and how PostScript strings are escaped, and
// is looked up afresh at every use so a changed table takes effect at once.
#ifndef ORVIXFAX_KANJI_MODE_H
#define ORVIXFAX_KANJI_MODE_H

bool IsKanjiMode();

#endif
