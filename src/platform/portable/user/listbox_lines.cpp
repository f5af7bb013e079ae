#include "platform/portable/user/listbox_lines.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace portable {

namespace {

// A run is split in two when it grows past this many lines; every run has
// room for exactly that many and one more, so none holds room it never uses.
constexpr size_t kLongestRun = 128;
constexpr size_t kPageSize = 64 * 1024;
constexpr size_t kMostPages = 1u << 16;
// A text longer than this gets a page of its own.
constexpr size_t kLongText = 4096;

int KeyOrder(const ListKey &a, const ListKey &b) {
    if (a == b) return 0;
    return a < b ? -1 : 1;
}

int KeyOrder(uint64_t a, uint64_t b) {
    if (a == b) return 0;
    return a < b ? -1 : 1;
}

// The eight places of a line's key inside its run.
uint64_t RunKey(std::string_view text, uint32_t shared) { return ListTextKey(text, shared).high; }

}  // namespace

// ---- finding line N

ListLines::Place ListLines::Locate(size_t index) {
    if (cacheValid_ && index >= cachedStart_ && index - cachedStart_ < runs_[cachedRun_].lines.size())
        return Place{cachedRun_, index - cachedStart_};
    // Down the tree: the run whose lines hold position `index`.
    size_t run = 0, before = 0;
    size_t step = 1;
    while (step * 2 <= runs_.size()) step *= 2;
    for (; step > 0; step /= 2) {
        if (run + step <= runs_.size() && before + tree_[run + step] <= index) {
            run += step;
            before += tree_[run];
        }
    }
    cachedRun_ = run;
    cachedStart_ = before;
    cacheValid_ = true;
    return Place{run, index - before};
}

size_t ListLines::StartOf(size_t run) const {
    size_t start = 0;
    for (size_t i = run; i > 0; i -= i & (~i + 1)) start += tree_[i];
    return start;
}

void ListLines::RebuildTree() {
    tree_.assign(runs_.size() + 1, 0);
    for (size_t i = 1; i <= runs_.size(); ++i) {
        tree_[i] += static_cast<uint32_t>(runs_[i - 1].lines.size());
        size_t parent = i + (i & (~i + 1));
        if (parent <= runs_.size()) tree_[parent] += tree_[i];
    }
    cacheValid_ = false;
}

void ListLines::AddToTree(size_t run, int delta) {
    for (size_t i = run + 1; i <= runs_.size(); i += i & (~i + 1))
        tree_[i] = static_cast<uint32_t>(static_cast<int64_t>(tree_[i]) + delta);
    cacheValid_ = false;
}

ListLine &ListLines::At(size_t index) {
    Place place = Locate(index);
    return runs_[place.run].lines[place.offset];
}

std::string_view ListLines::TextOf(const ListLine &line) const {
    if (line.length == 0) return std::string_view();
    return std::string_view(pages_[line.text >> 16].get() + (line.text & 0xFFFF), line.length);
}

std::string_view ListLines::Text(size_t index) {
    Place place = Locate(index);
    return TextIn(runs_[place.run], place.offset);
}

int ListLines::CompareFull(std::string_view text, const Run &run, size_t offset) const {
    return CompareListText(text, TextIn(run, offset));
}

// ---- where a text goes

// The first index whose line sorts after the text (upper) or not before
// it (lower), in a sorted list: first among the runs by their first lines,
// then inside the one run by the keys of its lines.
size_t ListLines::Bound(std::string_view text, const ListKey &key, bool upper) {
    auto after = [upper](int order) { return upper ? order < 0 : order <= 0; };
    size_t low = 0, high = runs_.size();
    while (high > low) {
        size_t middle = (low + high) / 2;
        int order = KeyOrder(key, firstKeys_[middle]);
        if (order == 0) order = CompareFull(text, runs_[middle], 0);
        if (after(order))
            high = middle;
        else
            low = middle + 1;
    }
    if (low == 0) return 0;
    const Run &run = runs_[low - 1];
    size_t last = run.lines.size();
    // The run's keys are read at once rather than one miss after another
    // as the search halves its range.
    for (size_t i = 0; i < last; i += 64 / sizeof(uint64_t)) __builtin_prefetch(run.keys.data() + i);
    // Past the last run's last line the text need not share the run's places.
    if (low == runs_.size() && !after(CompareFull(text, run, last - 1))) return count_;
    uint64_t relative = RunKey(text, run.shared);
    size_t first = 1;
    while (last > first) {
        size_t middle = (first + last) / 2;
        int order = KeyOrder(relative, run.keys[middle]);
        if (order == 0) order = CompareFull(text, run, middle);
        if (after(order))
            last = middle;
        else
            first = middle + 1;
    }
    return StartOf(low - 1) + first;
}

// Whether line `index` is equal to the text; its key, which the search
// has just read, mostly answers without the line's text.
bool ListLines::MayEqual(size_t index, std::string_view text, const ListKey &key) {
    Place place = Locate(index);
    const Run &run = runs_[place.run];
    if (place.offset == 0 ? !(firstKeys_[place.run] == key)
                          : run.keys[place.offset] != RunKey(text, run.shared))
        return false;
    return CompareFull(text, run, place.offset) == 0;
}

// USER32's binary search, probe by probe.
size_t ListLines::ProbedPosition(std::string_view text) {
    size_t low = 0, high = count_;
    while (high > low) {
        size_t middle = (low + high) / 2;
        int order = CompareListText(text, Text(middle));
        if (order == 0) return middle;
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return high;
}

size_t ListLines::SortedPosition(std::string_view text) { return SortedPosition(text, ListTextKey(text)); }

size_t ListLines::SortedPosition(std::string_view text, const ListKey &key) {
    if (!sorted_ || count_ == 0) return ProbedPosition(text);
    // In a sorted list each probe of the binary search is smaller than the
    // text before the equal lines, larger from their end on, and equal
    // among them; so its answer follows from where they are.
    size_t equalFrom = Bound(text, key, false);
    size_t equalTo = equalFrom;
    if (equalFrom < count_ && MayEqual(equalFrom, text, key)) equalTo = Bound(text, key, true);
    size_t low = 0, high = count_;
    while (high > low) {
        size_t middle = (low + high) / 2;
        if (middle < equalFrom)
            low = middle + 1;
        else if (middle >= equalTo)
            high = middle;
        else
            return middle;
    }
    return high;
}

// ---- adding and deleting

// Where a line added at `index` goes: behind the last line of the last
// run, or in front of the line now at `index`.
ListLines::Place ListLines::PlaceFor(size_t index) {
    if (runs_.empty()) return Place{0, 0};
    if (index == count_) return Place{runs_.size() - 1, runs_.back().lines.size()};
    return Locate(index);
}

long ListLines::InsertSorted(std::string_view text) {
    size_t index = SortedPosition(text);
    return InsertAt(PlaceFor(index), text) ? static_cast<long>(index) : -1;
}

bool ListLines::Insert(size_t index, std::string_view text) {
    // A line put out of order (LB_INSERTSTRING) leaves the list unsorted.
    if (sorted_ && index > 0 && CompareListText(text, Text(index - 1)) < 0) sorted_ = false;
    if (sorted_ && index < count_ && CompareListText(text, Text(index)) > 0) sorted_ = false;
    return InsertAt(PlaceFor(index), text);
}

bool ListLines::StoreText(std::string_view text, uint32_t &at) {
    at = 0;
    if (text.empty()) return true;
    if (text.size() > kLongText || pageUsed_ + text.size() > pageSize_) {
        if (pages_.size() >= kMostPages) return false;
        size_t size = text.size() > kLongText ? text.size() : kPageSize;
        pages_.push_back(std::make_unique<char[]>(size));
        pageSize_ = size;
        pageUsed_ = 0;
    }
    std::memcpy(pages_.back().get() + pageUsed_, text.data(), text.size());
    at = static_cast<uint32_t>((pages_.size() - 1) << 16 | pageUsed_);
    pageUsed_ += text.size();
    liveBytes_ += text.size();
    return true;
}

// Copies the texts of the lines that are left into a fresh store. The new
// pages are all made before any line is changed, so running out of memory
// leaves the store as it was; the texts are then placed as StoreText
// would place them, page by page.
void ListLines::CompactTexts() {
    std::vector<std::unique_ptr<char[]>> pages;
    size_t used = 0, size = 0;  // of the last page
    for (const Run &run : runs_) {
        for (const ListLine &line : run.lines) {
            if (line.length == 0) continue;
            if (line.length > kLongText || used + line.length > size) {
                size = line.length > kLongText ? line.length : kPageSize;
                pages.push_back(std::make_unique<char[]>(size));
                used = 0;
            }
            used += line.length;
        }
    }
    size_t page = 0, live = 0;
    used = size = 0;
    for (Run &run : runs_) {
        for (ListLine &line : run.lines) {
            if (line.length == 0) continue;
            if (line.length > kLongText || used + line.length > size) {
                if (size != 0) ++page;
                size = line.length > kLongText ? line.length : kPageSize;
                used = 0;
            }
            std::memcpy(pages[page].get() + used, pages_[line.text >> 16].get() + (line.text & 0xFFFF), line.length);
            line.text = static_cast<uint32_t>(page << 16 | used);
            used += line.length;
            live += line.length;
        }
    }
    pages_ = std::move(pages);
    pageUsed_ = used;
    pageSize_ = size;
    liveBytes_ = live;
    deadBytes_ = 0;
}

// Room for `lines` more, grown a quarter at a time up to the longest run.
void ListLines::Reserve(Run &run, size_t lines) {
    size_t needed = run.lines.size() + lines;
    if (needed <= run.lines.capacity()) return;
    size_t room = std::min(kLongestRun + 1, std::max(needed, run.lines.capacity() + run.lines.capacity() / 4 + 4));
    run.lines.reserve(room);
    run.keys.reserve(room);
}

bool ListLines::InsertAt(Place place, std::string_view text) {
    if (text.size() >= (1u << 31)) return false;
    // Everything that needs memory comes first, so that running out of it
    // (std::bad_alloc, which the window layer answers with LB_ERRSPACE)
    // leaves the lines as they were.
    if (runs_.empty()) {
        std::vector<Run> runs(1);
        std::vector<ListKey> firstKeys(1);
        std::vector<uint32_t> tree(2, 0);
        runs_.swap(runs);
        firstKeys_.swap(firstKeys);
        tree_.swap(tree);
        cacheValid_ = false;
    }
    Reserve(runs_[place.run], 1);
    Run second;  // the run's second half, when this line splits it
    bool splits = runs_[place.run].lines.size() + 1 > kLongestRun;
    if (splits) {
        Reserve(second, kLongestRun / 2 + 8);
        runs_.reserve(runs_.size() + 1);
        firstKeys_.reserve(firstKeys_.size() + 1);
        tree_.reserve(runs_.size() + 2);
    }
    ListLine line;
    if (!StoreText(text, line.text)) return false;
    line.length = static_cast<uint32_t>(text.size());

    Run &run = runs_[place.run];
    auto at = static_cast<std::ptrdiff_t>(place.offset);
    run.lines.insert(run.lines.begin() + at, line);
    run.keys.insert(run.keys.begin() + at, sorted_ ? RunKey(text, run.shared) : 0);
    ++count_;
    bool newFirst = place.offset == 0;
    bool newLast = place.run + 1 == runs_.size() && place.offset + 1 == run.lines.size();
    if (newFirst) firstKeys_[place.run] = ListTextKey(text);
    if (splits)
        SplitRun(place.run, second);
    else
        AddToTree(place.run, 1);
    if (sorted_) {
        // A new first line bounds the run before it; a new first or last
        // line bounds its own run.
        if (newFirst && place.run > 0) SetShared(place.run - 1, false);
        if (newFirst || newLast) SetShared(place.run, false);
    }
    return true;
}

// Moves the second half of a run into `second`, which has room for it,
// behind the run; the lists of runs have room for one more.
void ListLines::SplitRun(size_t index, Run &second) {
    {
        Run &first = runs_[index];
        size_t half = first.lines.size() / 2;
        second.lines.assign(first.lines.begin() + static_cast<std::ptrdiff_t>(half), first.lines.end());
        second.keys.assign(first.keys.begin() + static_cast<std::ptrdiff_t>(half), first.keys.end());
        second.shared = first.shared;
        first.lines.resize(half);
        first.keys.resize(half);
        for (const ListLine &moved : second.lines) second.selected += moved.selected;
        first.selected -= second.selected;
    }
    ListKey secondKey = ListTextKey(TextIn(second, 0));
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(index + 1), std::move(second));
    firstKeys_.insert(firstKeys_.begin() + static_cast<std::ptrdiff_t>(index + 1), secondKey);
    RebuildTree();
    // Each half's lines have at least as much in common as the whole run's.
    if (sorted_) {
        SetShared(index, true);
        SetShared(index + 1, true);
    }
}

void ListLines::SetShared(size_t index, bool rather) {
    Run &run = runs_[index];
    if (run.lines.empty()) return;
    std::string_view first = TextIn(run, 0);
    std::string_view bound = index + 1 < runs_.size() ? TextIn(runs_[index + 1], 0) : TextIn(run, run.lines.size() - 1);
    uint32_t shared = SharedListPlaces(first, bound);
    // Fewer places than the lines share leave the keys right: they are
    // rewritten when they must be, or when a split makes them tell
    // noticeably more (each rewrite reads every text of the run).
    if (shared == run.shared || (shared > run.shared && (!rather || shared < run.shared + 4))) return;
    run.shared = shared;
    for (size_t i = 0; i < run.lines.size(); ++i) run.keys[i] = RunKey(TextIn(run, i), shared);
}

void ListLines::Erase(size_t index) {
    Place place = Locate(index);
    Run &run = runs_[place.run];
    const ListLine &line = run.lines[place.offset];
    if (line.selected) {
        --run.selected;
        --selected_;
    }
    liveBytes_ -= line.length;
    deadBytes_ += line.length;
    auto at = static_cast<std::ptrdiff_t>(place.offset);
    run.lines.erase(run.lines.begin() + at);
    run.keys.erase(run.keys.begin() + at);
    --count_;
    if (run.lines.empty() && runs_.size() > 1) {
        runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(place.run));
        firstKeys_.erase(firstKeys_.begin() + static_cast<std::ptrdiff_t>(place.run));
        RebuildTree();
        // The run before now ends where the one after begins.
        if (sorted_ && place.run > 0) SetShared(place.run - 1, false);
    } else {
        AddToTree(place.run, -1);
        if (place.offset == 0 && !run.lines.empty()) {
            firstKeys_[place.run] = ListTextKey(TextIn(run, 0));
            if (sorted_ && place.run > 0) SetShared(place.run - 1, false);
        }
    }
    if (deadBytes_ > kPageSize * 16 && deadBytes_ > liveBytes_) CompactTexts();
}

void ListLines::Clear() {
    runs_.clear();
    firstKeys_.clear();
    tree_.clear();
    count_ = selected_ = 0;
    sorted_ = true;
    cacheValid_ = false;
    pages_.clear();
    pageUsed_ = pageSize_ = 0;
    liveBytes_ = deadBytes_ = 0;
}

// ---- selection

void ListLines::Select(size_t index, bool selected) {
    Place place = Locate(index);
    Run &run = runs_[place.run];
    ListLine &line = run.lines[place.offset];
    if (line.selected == selected) return;
    line.selected = selected;
    if (selected) {
        ++run.selected;
        ++selected_;
    } else {
        --run.selected;
        --selected_;
    }
}

void ListLines::SelectAll(bool selected) {
    for (Run &run : runs_) {
        for (ListLine &line : run.lines) line.selected = selected;
        run.selected = selected ? run.lines.size() : 0;
    }
    selected_ = selected ? count_ : 0;
}

size_t ListLines::SelectedIndexes(int *out, size_t room) const {
    size_t found = 0, start = 0;
    for (const Run &run : runs_) {
        if (found == room) break;
        if (run.selected != 0) {
            for (size_t i = 0; i < run.lines.size() && found < room; ++i) {
                if (!run.lines[i].selected) continue;
                if (out) out[found] = static_cast<int>(start + i);
                ++found;
            }
        }
        start += run.lines.size();
    }
    return found;
}

}  // namespace portable
