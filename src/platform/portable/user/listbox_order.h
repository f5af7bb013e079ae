// The order in which a sorted list box (LBS_SORT) keeps its lines.
//
// Windows compares with CompareString (user locale, NORM_IGNORECASE). On
// ASCII this compare gives the same answers:
// - upper and lower case are equal;
// - control characters (tab included) come first, in code order; then the
//   blank and the punctuation in the order
//     ! " # $ % & ( ) * , . / : ; ? @ [ \ ] ^ _ ` { | } ~ + < = >
//   then the digits one by one ("10" before "9"), then the letters;
// - hyphen and apostrophe are passed over ("co-op" sorts with "coop"); two
//   texts equal apart from them order by where they have them: the one
//   without, or with them later, comes first;
// - a text that is the start of another comes first.
// Bytes above 127 are not ordered as Windows does (it sorts accented
// letters with their base letters): they come after all of ASCII, in byte
// order.
#ifndef ORVIXFAX_PORTABLE_LISTBOX_ORDER_H
#define ORVIXFAX_PORTABLE_LISTBOX_ORDER_H

#include <cstdint>
#include <string_view>

namespace portable {

// < 0, 0 or > 0 as `a` sorts before, with or after `b`.
int CompareListText(std::string_view a, std::string_view b);

// Sixteen places of a text in this order packed into two numbers: the
// first sixteen, or those after the first `skipped`. Two texts that have
// those first places in common and whose keys differ compare as their
// keys do; equal keys say nothing and the texts must be compared.
struct ListKey {
    uint64_t high = 0, low = 0;
};
inline bool operator==(const ListKey &a, const ListKey &b) { return a.high == b.high && a.low == b.low; }
inline bool operator<(const ListKey &a, const ListKey &b) {
    return a.high != b.high ? a.high < b.high : a.low < b.low;
}
ListKey ListTextKey(std::string_view text, uint32_t skipped = 0);

// How many first places two texts have in common (case does not count).
uint32_t SharedListPlaces(std::string_view a, std::string_view b);

}  // namespace portable

#endif
