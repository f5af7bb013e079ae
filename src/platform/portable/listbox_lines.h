// The lines of a list box: their texts, item data and selection marks.
//
// A sorted list of a large address book has hundreds of thousands of
// lines, each added at the place a binary search finds. So the lines are
// kept in short runs: adding or deleting a line moves part of one run, and
// line N is found through a Fenwick tree of the run lengths, never by
// moving or walking the whole list. The texts sit in a store of 64 KB pages
// that they never leave; a line holds the first places of its text as a
// number, so most comparisons never reach the text.
#ifndef ORVIXFAX_PORTABLE_LISTBOX_LINES_H
#define ORVIXFAX_PORTABLE_LISTBOX_LINES_H

#include "windows.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace portable {

struct ListLine {
    LONG_PTR data = 0;
    uint64_t key = 0;   // ListTextKey of the text
    uint32_t text = 0;  // in the text store: page << 16 | offset
    uint32_t length : 31;
    uint32_t selected : 1;
    ListLine() : length(0), selected(0) {}
};

class ListLines {
public:
    size_t Count() const { return count_; }
    // Index must be below Count().
    ListLine &At(size_t index);
    std::string_view Text(size_t index) { return TextOf(At(index)); }
    std::string_view TextOf(const ListLine &line) const;

    // Where LB_ADDSTRING of a sorted list puts the text: the index USER32's
    // binary search over the lines gives (an equal line met on the way
    // gives its own index). Then Insert at that index.
    size_t SortedPosition(std::string_view text);
    // False when the text store is full (4 GB of text).
    bool Insert(size_t index, std::string_view text);
    void Erase(size_t index);
    void Clear();

    void Select(size_t index, bool selected);
    void SelectAll(bool selected);
    size_t SelectedCount() const { return selected_; }
    // The first `room` selected indexes, ascending; how many were written.
    size_t SelectedIndexes(int *out, size_t room) const;

private:
    struct Run {
        std::vector<ListLine> lines;
        size_t selected = 0;
    };
    struct Place {
        size_t run;
        size_t offset;
    };
    Place Locate(size_t index);
    size_t StartOf(size_t run) const;
    void RebuildTree();
    void AddToTree(size_t run, int delta);
    int Compare(std::string_view text, uint64_t key, const ListLine &line) const;
    size_t Bound(std::string_view text, uint64_t key, bool upper);
    size_t ProbedPosition(std::string_view text);
    bool StoreText(std::string_view text, uint32_t &at);
    void CompactTexts();

    std::vector<Run> runs_;
    std::vector<uint64_t> firstKeys_;  // the key of each run's first line
    std::vector<uint32_t> tree_;       // Fenwick tree of run lengths, 1-based
    size_t count_ = 0;
    size_t selected_ = 0;
    // While every line was added in order the lines stay sorted, and the
    // binary search's answer follows from where the equal lines are.
    bool sorted_ = true;
    // The run the last lookup found and its first index: a binary search
    // that has narrowed to one run, and a walk line by line, find it here.
    size_t cachedRun_ = 0;
    size_t cachedStart_ = 0;
    bool cacheValid_ = false;

    std::vector<std::unique_ptr<char[]>> pages_;
    size_t pageUsed_ = 0;  // in the last page
    size_t pageSize_ = 0;  // of the last page
    size_t liveBytes_ = 0;
    size_t deadBytes_ = 0;  // texts of deleted lines, until the store is compacted
};

}  // namespace portable

#endif
