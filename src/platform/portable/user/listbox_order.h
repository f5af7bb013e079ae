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
#include <vector>

namespace portable {

// < 0, 0 or > 0 as `a` sorts before, with or after `b`.
int CompareListText(std::string_view a, std::string_view b);

// A text's places in this order, one byte each: the rank of its weight
// from 1 (see listbox_order.cpp), hyphens and apostrophes left out, zero
// past the end. Two texts whose places differ compare as their places do;
// texts with the same places compare by their hyphens and apostrophes
// alone, and only CompareListText tells that. List texts hold no zero
// byte: they come from C strings.
class ListWeights {
public:
    void Of(std::string_view text);
    size_t Count() const { return count_; }
    // Eight places from `from`, the first in the highest byte.
    uint64_t Places(size_t from) const;

private:
    std::vector<uint8_t> ranks_;  // the places and zeros enough to read past them
    size_t count_ = 0;
};

// Eight places of a text from `from`, as ListWeights::Places gives them.
uint64_t ListPlaces(std::string_view text, uint32_t from);
// `count` such windows one after another, the text read once for them all.
void ListPlaces(std::string_view text, uint32_t from, uint64_t *windows, size_t count);

// How many first places two texts have in common (case does not count).
uint32_t SharedListPlaces(std::string_view a, std::string_view b);

}  // namespace portable

#endif
