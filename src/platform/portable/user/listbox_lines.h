// The lines of a list box: their texts, item data and selection marks.
//
// A sorted list of a large address book has hundreds of thousands of
// lines, each added at the place a binary search finds. So the lines are
// kept in short runs: adding or deleting a line moves part of one run,
// never the whole list, and line N is found through a Fenwick tree of the
// run lengths. The texts sit in a store of 64 KB pages that they never
// leave, so moving a line moves 32 bytes: its record and its key.
//
// While the lines are in order (every sorted list whose lines all came by
// LB_ADDSTRING), a text's place is found from keys, not texts: a run's
// first line has a key of its first 32 places (listbox_order.h), and
// every line of a run a key of the sixteen places after those that all
// lines of the run share. The places of the text being added are worked
// out once, and each of its keys read from them. A run that grows too long
// is split where its lines have least in common near its middle, so that
// runs hold the lines of one name and their keys tell the numbers apart.
#ifndef ORVIXFAX_PORTABLE_LISTBOX_LINES_H
#define ORVIXFAX_PORTABLE_LISTBOX_LINES_H

#include "platform/portable/user/listbox_order.h"
#include "platform/portable/windows.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace portable {

struct ListLine {
    LONG_PTR data = 0;
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
    std::string_view Text(size_t index);

    // Where LB_ADDSTRING of a sorted list puts the text: the index USER32's
    // binary search over the lines gives (an equal line met on the way
    // gives its own index).
    size_t SortedPosition(std::string_view text);
    // Adds the text where SortedPosition puts it and gives that index, or
    // -1 when the text store is full (4 GB of text).
    long InsertSorted(std::string_view text);
    // Adds the text at `index`; false when the text store is full.
    bool Insert(size_t index, std::string_view text);
    void Erase(size_t index);
    void Clear();

    void Select(size_t index, bool selected);
    void SelectAll(bool selected);
    size_t SelectedCount() const { return selected_; }
    // The first `room` selected indexes, ascending; how many were written.
    size_t SelectedIndexes(int *out, size_t room) const;

private:
    // A line's places after its run's `shared` ones: eight, then the eight
    // after those, which tell apart most lines whose first eight are alike.
    struct LineKey {
        uint64_t places = 0;
        uint64_t next = 0;
        bool operator==(const LineKey &other) const { return places == other.places && next == other.next; }
    };
    // A line of a run with its key, side by side: adding a line moves one
    // array, and the search reads a line's length beside its key.
    struct KeyedLine {
        ListLine line;
        LineKey key;
    };
    struct Run {
        std::vector<KeyedLine> lines;
        uint32_t shared = 0;         // at most the places every line of the run has in common
        uint32_t unrefined = 0;      // its length when last found not worth refining
        size_t selected = 0;
    };
    // A run's first line's first 32 places, the first in the highest byte.
    struct HeadKey {
        uint64_t part[4] = {};
    };
    struct Place {
        size_t run;
        size_t offset;  // up to the run's length: behind its last line
    };
    // Where a search ended: the place and its index in the list.
    struct Found {
        Place place;
        size_t index;
    };
    Place Locate(size_t index);
    Place PlaceFor(size_t index);
    Place InFrontOf(Place place) const;
    size_t StartOf(size_t run);
    void TreeChangedFrom(size_t run);
    void UpdateTree();
    void RebuildTree(size_t from);
    void AddToTree(size_t run, int delta);

    std::string_view TextOf(const ListLine &line) const;
    std::string_view TextIn(const Run &run, size_t offset) const { return TextOf(run.lines[offset].line); }
    static HeadKey HeadOf(const ListWeights &weights);
    static HeadKey HeadOfText(std::string_view text);
    static int HeadOrder(const HeadKey &a, const HeadKey &b);
    // Takes the places of a text about to be added.
    void Prepare(std::string_view text);
    uint32_t CommonWithHead(size_t run, std::string_view text) const;
    bool SharesHead(size_t run, uint32_t places) const;
    // The text being added's key in a run of `shared` places in common.
    LineKey KeyAfter(uint32_t shared) const;
    bool SamePlacesNoMarks(uint64_t lastWindow, const ListLine &line, std::string_view text) const;
    // Whether the text being added sorts after the run's first line.
    bool AfterHead(size_t run, std::string_view text) const;
    size_t RunAfter(std::string_view text) const;
    static void PrefetchRun(const Run &run, size_t lines);
    Found LowerBound(std::string_view text);
    size_t SortedPosition(std::string_view text, Place &place);
    bool EqualAt(Place place, std::string_view text) const;
    size_t ProbedPosition(std::string_view text);
    // Puts the text at `place`, which is index `index` of the list.
    bool InsertAt(Place place, size_t index, std::string_view text);
    size_t SplitPoint(const Run &run, size_t reach) const;
    size_t Refine(Run &run);
    std::unique_ptr<Run> NewRun();
    void PutRun(size_t index, std::unique_ptr<Run> run, const HeadKey &head);
    void SplitRun(size_t run, size_t at);
    void DisposeRun(const Run *run);
    void Widen(Run &run, int fewest);
    // Rewrites the run's keys to follow its first `shared` places.
    void SetShared(Run &run, uint32_t shared);
    void Reserve(Run &run, size_t lines);
    bool StoreText(std::string_view text, uint32_t &at);
    void CompactTexts();

    // The runs in the order of their lines, owned by `store_` in no order
    // of its own: putting a run in or taking one out of the list moves
    // plain pointers.
    std::vector<Run *> runs_;
    std::vector<std::unique_ptr<Run>> store_;
    std::vector<HeadKey> heads_;   // per run
    std::vector<uint32_t> tree_;   // Fenwick tree of run lengths, 1-based
    // The tree's entries for the runs from this one on are out of date
    // (none when it is kTreeCurrent). Runs put in or taken out mark them,
    // and they are worked out again only when a search needs them: lines
    // added in reverse order all go to the first run, whose start needs
    // no entry.
    static constexpr size_t kTreeCurrent = SIZE_MAX;
    size_t staleFrom_ = kTreeCurrent;
    size_t count_ = 0;
    size_t selected_ = 0;
    bool sorted_ = true;  // every line added in order: the keys hold
    // The text being added: its places, its head key, and whether finding
    // its place inside a run took the texts of lines its key matched.
    ListWeights weights_;
    HeadKey head_;
    bool tied_ = false;
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
