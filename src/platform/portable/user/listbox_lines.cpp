#include "platform/portable/user/listbox_lines.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace portable {

namespace {

// A run is split in two when it grows past this many lines; every run has
// room for at most that many and one more, so none holds room it never uses.
constexpr size_t kLongestRun = 128;
// A run split to refine its keys leaves parts of at least this many lines.
// Each split walks the runs behind it; without this, a fill in reverse
// order of lines alike far in (numbered names, say) splits off a run
// every few lines at the front, and takes the square of its length.
constexpr size_t kShortestPart = 32;
// A run found not worth refining is looked at again after this many more
// lines.
constexpr size_t kRefineAgain = 8;
constexpr size_t kPageSize = 64 * 1024;
constexpr size_t kMostPages = 1u << 16;
// A text longer than this gets a page of its own.
constexpr size_t kLongText = 4096;
// The places a head key holds.
constexpr uint32_t kHeadPlaces = 32;
// A run's keys are rewritten to start further in only when they would
// start at least this many places further.
constexpr int kWorthRewriting = 4;

int KeyOrder(uint64_t a, uint64_t b) {
    if (a == b) return 0;
    return a < b ? -1 : 1;
}

// Room for one more element, doubling as a vector's own growth would
// (reserve alone gives exactly what is asked for).
template <typename T>
void RoomForOneMore(std::vector<T> &items) {
    if (items.size() == items.capacity()) items.reserve(items.size() * 2 + 1);
}

// A page of the text store, left unfilled: only the texts written into it
// are ever read (make_unique would zero all of it first).
std::unique_ptr<char[]> NewPage(size_t size) { return std::unique_ptr<char[]>(new char[size]); }

// How many of their eight places two keys have in common.
int CommonPlaces(uint64_t a, uint64_t b) { return a == b ? 8 : __builtin_clzll(a ^ b) / 8; }

}  // namespace

// ---- finding line N

ListLines::Place ListLines::Locate(size_t index) {
    if (cacheValid_ && index >= cachedStart_ && index - cachedStart_ < runs_[cachedRun_]->lines.size())
        return Place{cachedRun_, index - cachedStart_};
    // Down the tree: the run whose lines hold position `index`.
    UpdateTree();
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

// The sum takes the entries of runs in front of `run` only.
size_t ListLines::StartOf(size_t run) {
    if (run > staleFrom_) UpdateTree();
    size_t start = 0;
    for (size_t i = run; i > 0; i -= i & (~i + 1)) start += tree_[i];
    return start;
}

// The tree's entries for runs `from` on, after runs were put in or taken
// out there; those before cover only runs in front of it and stay. An
// entry past `from` gathers, besides its own run and the entries past
// `from` below it, the entries on the path that sums the runs before
// `from`: exactly those below it whose parent lies past `from`.
void ListLines::RebuildTree(size_t from) {
    size_t runs = runs_.size();
    for (size_t i = from + 1; i <= runs; ++i) tree_[i] = static_cast<uint32_t>(runs_[i - 1]->lines.size());
    for (size_t i = from; i > 0; i -= i & (~i + 1)) {
        size_t parent = i + (i & (~i + 1));
        if (parent <= runs) tree_[parent] += tree_[i];
    }
    for (size_t i = from + 1; i <= runs; ++i) {
        size_t parent = i + (i & (~i + 1));
        if (parent <= runs) tree_[parent] += tree_[i];
    }
}

// Runs were put in or taken out at `run`: the entries from there on are
// out of date, and the tree has one for each run (no memory is needed
// when runs come in: SplitRun and NewRun made room).
void ListLines::TreeChangedFrom(size_t run) {
    tree_.resize(runs_.size() + 1);
    if (run < staleFrom_) staleFrom_ = run;
    cacheValid_ = false;
}

void ListLines::UpdateTree() {
    if (staleFrom_ == kTreeCurrent) return;
    RebuildTree(staleFrom_);
    staleFrom_ = kTreeCurrent;
}

// The cached run stays found: only the runs behind the changed one move.
// A line added by LB_ADDSTRING is then found without the tree when its
// item data is set right after. Entries out of date take the change too,
// to no effect.
void ListLines::AddToTree(size_t run, int delta) {
    for (size_t i = run + 1; i <= runs_.size(); i += i & (~i + 1))
        tree_[i] = static_cast<uint32_t>(static_cast<int64_t>(tree_[i]) + delta);
    if (cacheValid_ && cachedRun_ > run) cachedStart_ = static_cast<size_t>(static_cast<int64_t>(cachedStart_) + delta);
}

ListLine &ListLines::At(size_t index) {
    Place place = Locate(index);
    return runs_[place.run]->lines[place.offset].line;
}

std::string_view ListLines::TextOf(const ListLine &line) const {
    if (line.length == 0) return std::string_view();
    return std::string_view(pages_[line.text >> 16].get() + (line.text & 0xFFFF), line.length);
}

std::string_view ListLines::Text(size_t index) {
    Place place = Locate(index);
    return TextIn(*runs_[place.run], place.offset);
}

// ---- keys

ListLines::HeadKey ListLines::HeadOf(const ListWeights &weights) {
    HeadKey key;
    for (uint32_t part = 0; part < 4; ++part) key.part[part] = weights.Places(part * 8);
    return key;
}

ListLines::HeadKey ListLines::HeadOfText(std::string_view text) {
    HeadKey key;
    ListPlaces(text, 0, key.part, 4);
    return key;
}

int ListLines::HeadOrder(const HeadKey &a, const HeadKey &b) {
    for (int part = 0; part < 4; ++part)
        if (a.part[part] != b.part[part]) return a.part[part] < b.part[part] ? -1 : 1;
    return 0;
}

void ListLines::Prepare(std::string_view text) {
    weights_.Of(text);
    head_ = HeadOf(weights_);
    tied_ = false;
}

// How many first places the text being added has in common with the
// run's first line.
uint32_t ListLines::CommonWithHead(size_t run, std::string_view text) const {
    const HeadKey &head = heads_[run];
    for (uint32_t part = 0; part < 4; ++part)
        if (head_.part[part] != head.part[part])
            return part * 8 + static_cast<uint32_t>(CommonPlaces(head_.part[part], head.part[part]));
    return SharedListPlaces(text, TextIn(*runs_[run], 0));
}

// Whether the text being added has the first `places` places (at most a
// head key's) of the run's first line.
bool ListLines::SharesHead(size_t run, uint32_t places) const {
    const HeadKey &head = heads_[run];
    uint32_t part = 0;
    for (; places >= 8; places -= 8, ++part)
        if (head_.part[part] != head.part[part]) return false;
    if (places == 0) return true;
    uint64_t mask = ~uint64_t(0) << (64 - 8 * places);
    return ((head_.part[part] ^ head.part[part]) & mask) == 0;
}

ListLines::LineKey ListLines::KeyAfter(uint32_t shared) const {
    return LineKey{weights_.Places(shared), weights_.Places(shared + 8)};
}

// Whether a line whose key is alike the text being added's, the text
// having the places in front of the key that the line has, is equal to it
// without a look at its text. A key whose last place is past the end
// holds the rest of both texts' places, and then only a hyphen or an
// apostrophe could tell them apart: there is none when each text has as
// many places as bytes.
bool ListLines::SamePlacesNoMarks(uint64_t lastWindow, const ListLine &line, std::string_view text) const {
    return (lastWindow & 0xFF) == 0 && line.length == weights_.Count() && text.size() == weights_.Count();
}

// ---- where a text goes

// A run's lines and keys, asked for at once rather than one miss after
// another as the search halves its range: timed against asking only for
// the first probes' keys, which takes fewer instructions, the fill is
// faster this way. The count comes from the caller: with the vector's
// size read in the loop, GCC dropped the loop as one without effect.
void ListLines::PrefetchRun(const Run &run, size_t lines) {
    constexpr size_t kPerCacheLine = 64 / sizeof(KeyedLine);
    for (size_t i = 0; i < lines; i += kPerCacheLine) __builtin_prefetch(run.lines.data() + i);
}

inline bool ListLines::AfterHead(size_t run, std::string_view text) const {
    // Mostly told by the first eight places, in line.
    uint64_t first = heads_[run].part[0];
    if (head_.part[0] != first) return head_.part[0] > first;
    int order = HeadOrder(head_, heads_[run]);
    if (order != 0) return order > 0;
    const ListLine &head = runs_[run]->lines[0].line;
    return !SamePlacesNoMarks(head_.part[3], head, text) && CompareListText(text, TextOf(head)) > 0;
}

// The first run whose first line does not sort before the text being
// added. A person's numbers are added one after another, so the run the
// last line went to mostly bounds the next text, with the first line of
// the run after it: the search starts from there.
size_t ListLines::RunAfter(std::string_view text) const {
    size_t low = 0, high = runs_.size();
    if (cacheValid_) {
        size_t last = cachedRun_;
        if (!AfterHead(last, text))
            high = last;
        else if (last + 1 == high || !AfterHead(last + 1, text))
            return last + 1;
        else
            low = last + 2;
    }
    while (high > low) {
        size_t middle = (low + high) / 2;
        if (AfterHead(middle, text))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// The first index whose line does not sort before the text being added,
// in a sorted list: first among the runs by their first lines, then inside
// the one run by the keys of its lines. An index at the start of a run is
// found as the end of the run before it.
ListLines::Found ListLines::LowerBound(std::string_view text) {
    size_t after = RunAfter(text);
    if (after == 0) return Found{Place{0, 0}, 0};
    size_t index = after - 1;
    const Run &run = *runs_[index];
    size_t last = run.lines.size();
    size_t start = cacheValid_ && cachedRun_ == index ? cachedStart_ : StartOf(index);
    PrefetchRun(run, last);
    // A text after the first line without the places all lines of the run
    // share is after them all.
    bool past = run.shared <= kHeadPlaces ? !SharesHead(index, run.shared)
                                          : CompareListText(text, TextIn(run, last - 1)) > 0;
    if (past) return Found{Place{index, last}, start + last};
    LineKey relative = KeyAfter(run.shared);
    size_t first = 1;
    while (last > first) {
        size_t middle = (first + last) / 2;
        const LineKey &key = run.lines[middle].key;
        int order = KeyOrder(relative.places, key.places);
        if (order == 0) order = KeyOrder(relative.next, key.next);
        if (order == 0 && !SamePlacesNoMarks(key.next, run.lines[middle].line, text)) {
            // Mostly the very same text again, as in EqualAt. Keys tell
            // apart only lines that sort apart: a tie with an equal line
            // is no reason to refine them.
            std::string_view line = TextIn(run, middle);
            order = line == text ? 0 : CompareListText(text, line);
            if (order != 0) tied_ = true;
        }
        if (order <= 0)
            last = middle;
        else
            first = middle + 1;
    }
    return Found{Place{index, first}, start + first};
}

// Whether the line at `place` (not behind its run's last line) is equal to
// the text being added; its key mostly answers without the line's text.
bool ListLines::EqualAt(Place place, std::string_view text) const {
    const Run &run = *runs_[place.run];
    if (place.offset == 0) {
        if (HeadOrder(heads_[place.run], head_) != 0) return false;
        if (SamePlacesNoMarks(head_.part[3], run.lines[0].line, text)) return true;
    } else if (run.lines[place.offset].key != KeyAfter(run.shared)) {
        return false;
    }
    // Mostly the very same text again (persons of one name and company).
    std::string_view line = TextIn(run, place.offset);
    if (line == text) return true;
    return CompareListText(text, line) == 0;
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

size_t ListLines::SortedPosition(std::string_view text) {
    Place place{};
    return SortedPosition(text, place);
}

size_t ListLines::SortedPosition(std::string_view text, Place &place) {
    if (!sorted_) {
        size_t index = ProbedPosition(text);
        place = PlaceFor(index);
        return index;
    }
    Prepare(text);
    if (count_ == 0) {
        place = Place{0, 0};
        return 0;
    }
    Found from = LowerBound(text);
    place = from.place;
    if (from.index == count_) return from.index;
    Place first = from.place;
    if (first.offset == runs_[first.run]->lines.size()) first = Place{first.run + 1, 0};
    if (!EqualAt(first, text)) return from.index;
    // Lines equal to the text follow from `from` on, and USER32 stops at
    // the first of them its search meets. In a sorted list each probe
    // before them is smaller than the text and each past them larger, so
    // only a probe from `from` on needs a look at its line. Past the run
    // of the first equal line, a line can be equal only when the next run
    // begins with one.
    size_t runStart = from.index - first.offset;
    size_t runEnd = runStart + runs_[first.run]->lines.size();
    bool spills = first.run + 1 < runs_.size() && EqualAt(Place{first.run + 1, 0}, text);
    auto equal = [&](size_t index) {
        if (index < runEnd) return EqualAt(Place{first.run, index - runStart}, text);
        return spills && EqualAt(Locate(index), text);
    };
    size_t low = 0, high = count_;
    while (high > low) {
        size_t middle = (low + high) / 2;
        if (middle < from.index) {
            low = middle + 1;
        } else if (equal(middle)) {
            high = middle;
            break;
        } else {
            high = middle;
        }
    }
    place = high >= runStart && high < runEnd ? InFrontOf(Place{first.run, high - runStart}) : PlaceFor(high);
    return high;
}

// ---- adding and deleting

// Where a line added at `index` goes: behind the last line of the run
// before it, so that no run but the first gets a new first line, or in
// front of the list's first line.
ListLines::Place ListLines::PlaceFor(size_t index) {
    if (runs_.empty()) return Place{0, 0};
    if (index == count_) return Place{runs_.size() - 1, runs_.back()->lines.size()};
    return InFrontOf(Locate(index));
}

// Where a line put in front of the line at `place` goes.
ListLines::Place ListLines::InFrontOf(Place place) const {
    if (place.offset == 0 && place.run > 0) return Place{place.run - 1, runs_[place.run - 1]->lines.size()};
    return place;
}

long ListLines::InsertSorted(std::string_view text) {
    Place place{};
    size_t index = SortedPosition(text, place);
    return InsertAt(place, index, text) ? static_cast<long>(index) : -1;
}

bool ListLines::Insert(size_t index, std::string_view text) {
    // A line put out of order (LB_INSERTSTRING) leaves the list unsorted.
    if (sorted_ && index > 0 && CompareListText(text, Text(index - 1)) < 0) sorted_ = false;
    if (sorted_ && index < count_ && CompareListText(text, Text(index)) > 0) sorted_ = false;
    if (sorted_) Prepare(text);
    return InsertAt(PlaceFor(index), index, text);
}

bool ListLines::StoreText(std::string_view text, uint32_t &at) {
    at = 0;
    if (text.empty()) return true;
    if (text.size() > kLongText || pageUsed_ + text.size() > pageSize_) {
        if (pages_.size() >= kMostPages) return false;
        size_t size = text.size() > kLongText ? text.size() : kPageSize;
        pages_.push_back(NewPage(size));
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
    for (const auto &run : runs_) {
        for (const KeyedLine &keyed : run->lines) {
            const ListLine &line = keyed.line;
            if (line.length == 0) continue;
            if (line.length > kLongText || used + line.length > size) {
                size = line.length > kLongText ? line.length : kPageSize;
                pages.push_back(NewPage(size));
                used = 0;
            }
            used += line.length;
        }
    }
    size_t page = 0, live = 0;
    used = size = 0;
    for (auto &run : runs_) {
        for (KeyedLine &keyed : run->lines) {
            ListLine &line = keyed.line;
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
}

// While the list is in order, Prepare has taken the text's places. A text
// put between two lines of a run has the places they share; one put in
// front of the run's first line or behind its last may have fewer.
bool ListLines::InsertAt(Place place, size_t index, std::string_view text) {
    if (text.size() >= (1u << 31)) return false;
    // Everything that needs memory comes first, so that running out of it
    // (std::bad_alloc, which the window layer answers with LB_ERRSPACE)
    // leaves the lines as they were; a split alone changes no line.
    if (runs_.empty()) {
        std::vector<std::unique_ptr<Run>> store;
        store.push_back(std::make_unique<Run>());
        std::vector<Run *> runs(1, store.back().get());
        std::vector<HeadKey> heads(1);
        std::vector<uint32_t> tree(2, 0);
        store_.swap(store);
        runs_.swap(runs);
        heads_.swap(heads);
        tree_.swap(tree);
        cacheValid_ = false;
    }
    // Between two runs the text goes to the one whose first line it has
    // more in common with: at the end of the first, or as the second's new
    // first line.
    if (sorted_ && place.run + 1 < runs_.size() && place.offset == runs_[place.run]->lines.size()) {
        uint32_t here = CommonWithHead(place.run, text);
        if (here < runs_[place.run]->shared &&
            std::min(runs_[place.run + 1]->shared, CommonWithHead(place.run + 1, text)) > here)
            place = Place{place.run + 1, 0};
    }
    // A line in front of a full run's first line or behind its last starts
    // a run of its own, so that lines added in order, or in reverse order,
    // fill whole runs rather than halves of them.
    std::unique_ptr<Run> opened;
    size_t at = 0;
    const size_t found = runs_[place.run]->lines.size();
    if (found >= kLongestRun && (place.offset == 0 || place.offset == found))
        opened = NewRun();
    else if (found >= kLongestRun)
        at = SplitPoint(*runs_[place.run], kLongestRun / 4);
    else if (sorted_ && tied_)
        at = Refine(*runs_[place.run]);
    tied_ = false;
    if (at != 0) {
        SplitRun(place.run, at);
        if (place.offset > at) place = Place{place.run + 1, place.offset - at};
    }
    Run &run = opened ? *opened : *runs_[place.run];
    Reserve(run, 1);
    ListLine line;
    if (!StoreText(text, line.text)) return false;
    line.length = static_cast<uint32_t>(text.size());
    if (opened) {
        place = Place{place.offset == 0 ? place.run : place.run + 1, 0};
        PutRun(place.run, std::move(opened), HeadKey{});
    }

    uint32_t shared = run.shared;
    if (sorted_ && run.lines.empty())
        shared = static_cast<uint32_t>(weights_.Count());
    else if (sorted_ && (place.offset == 0 || place.offset == run.lines.size()))
        shared = std::min(shared, CommonWithHead(place.run, text));
    auto offset = static_cast<std::ptrdiff_t>(place.offset);
    run.lines.insert(run.lines.begin() + offset, KeyedLine{line, sorted_ ? KeyAfter(shared) : LineKey{}});
    ++count_;
    AddToTree(place.run, 1);
    if (sorted_) {
        if (place.offset == 0) heads_[place.run] = head_;
        if (shared != run.shared) SetShared(run, shared);
    }
    cachedRun_ = place.run;
    cachedStart_ = index - place.offset;
    cacheValid_ = true;
    return true;
}

// Where a full run is split: where neighbouring lines have fewest places
// in common, no further than `reach` from its middle (the first such place
// from the middle). So the lines of one name come to runs of their own.
size_t ListLines::SplitPoint(const Run &run, size_t reach) const {
    size_t lines = run.lines.size(), middle = lines / 2;
    if (!sorted_) return middle;
    size_t best = middle;
    int fewest = CommonPlaces(run.lines[middle - 1].key.places, run.lines[middle].key.places);
    for (size_t step = 1; step <= reach && fewest > 0; ++step) {
        for (size_t at : {middle - step, middle + step}) {
            int common = CommonPlaces(run.lines[at - 1].key.places, run.lines[at].key.places);
            if (common < fewest) {
                fewest = common;
                best = at;
            }
        }
    }
    return best;
}

// A run whose keys could not tell a text's place: its keys are made to
// start further in when its lines have more in common than they start
// after, or it is split where its lines have least in common when that
// lets a part's keys start noticeably further in. Gives where to split,
// or 0. Neighbouring lines' keys tell how many places they have in
// common, and a run's lines share those of its least alike neighbours.
size_t ListLines::Refine(Run &run) {
    size_t lines = run.lines.size();
    if (lines < 2 || lines < run.unrefined + kRefineAgain) return 0;
    int common[kLongestRun + 1];
    int fewest = 8;
    for (size_t i = 1; i < lines; ++i) {
        common[i] = CommonPlaces(run.lines[i - 1].key.places, run.lines[i].key.places);
        fewest = std::min(fewest, common[i]);
    }
    if (fewest >= kWorthRewriting) {
        Widen(run, fewest);
        return 0;
    }
    if (lines < 2 * kShortestPart) {
        run.unrefined = static_cast<uint32_t>(lines);
        return 0;
    }
    size_t at = SplitPoint(run, lines / 2 - kShortestPart);
    // A part of one line has no neighbours to tell apart.
    int before = at >= 2 ? 8 : 0, behind = lines - at >= 2 ? 8 : 0;
    for (size_t i = 1; i < at; ++i) before = std::min(before, common[i]);
    for (size_t i = at + 1; i < lines; ++i) behind = std::min(behind, common[i]);
    if (std::max(before, behind) >= common[at] + kWorthRewriting) return at;
    run.unrefined = static_cast<uint32_t>(lines);
    return 0;
}

// Splits the run before its line `at`. The parts keep the whole's keys,
// which hold for them too; a part's keys are rewritten to start further
// in only once they fail to tell a text's place (Refine), instead of every
// text of both parts being read again at each split.
void ListLines::SplitRun(size_t index, size_t at) {
    const Run &whole = *runs_[index];
    auto room = [](size_t lines) { return std::min(kLongestRun + 1, lines + lines / 4 + 4); };
    Run first, second;
    first.lines.reserve(room(at));
    second.lines.reserve(room(whole.lines.size() - at));
    auto secondRun = NewRun();
    HeadKey secondHead = HeadOfText(TextIn(whole, at));

    auto cut = static_cast<std::ptrdiff_t>(at);
    first.lines.assign(whole.lines.begin(), whole.lines.begin() + cut);
    second.lines.assign(whole.lines.begin() + cut, whole.lines.end());
    first.shared = second.shared = whole.shared;
    for (const KeyedLine &moved : second.lines) second.selected += moved.line.selected;
    first.selected = whole.selected - second.selected;
    *runs_[index] = std::move(first);
    *secondRun = std::move(second);
    PutRun(index + 1, std::move(secondRun), secondHead);
    TreeChangedFrom(index);
}

// A run of no lines, with room made in the list for putting it in.
std::unique_ptr<ListLines::Run> ListLines::NewRun() {
    auto run = std::make_unique<Run>();
    RoomForOneMore(store_);
    RoomForOneMore(runs_);
    RoomForOneMore(heads_);
    RoomForOneMore(tree_);
    return run;
}

// Puts a run from NewRun in at `index`; needs no memory.
void ListLines::PutRun(size_t index, std::unique_ptr<Run> run, const HeadKey &head) {
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(index), run.get());
    store_.push_back(std::move(run));
    heads_.insert(heads_.begin() + static_cast<std::ptrdiff_t>(index), head);
    TreeChangedFrom(index);
}

// `fewest` is the fewest of their keys' places that neighbouring lines
// have in common: all eight when all keys are alike, and then the texts
// tell how many more.
void ListLines::Widen(Run &run, int fewest) {
    size_t lines = run.lines.size();
    if (lines < 2) return;
    uint32_t shared = run.shared + static_cast<uint32_t>(fewest);
    if (fewest == 8) shared = SharedListPlaces(TextIn(run, 0), TextIn(run, lines - 1));
    if (shared >= run.shared + kWorthRewriting)
        SetShared(run, shared);
    else
        run.unrefined = static_cast<uint32_t>(lines);
}

void ListLines::SetShared(Run &run, uint32_t shared) {
    run.shared = shared;
    for (size_t i = 0; i < run.lines.size(); ++i) {
        uint64_t windows[2];
        ListPlaces(TextIn(run, i), shared, windows, 2);
        run.lines[i].key = LineKey{windows[0], windows[1]};
    }
}

void ListLines::Erase(size_t index) {
    Place place = Locate(index);
    Run &run = *runs_[place.run];
    const ListLine &line = run.lines[place.offset].line;
    if (line.selected) {
        --run.selected;
        --selected_;
    }
    liveBytes_ -= line.length;
    deadBytes_ += line.length;
    auto at = static_cast<std::ptrdiff_t>(place.offset);
    run.lines.erase(run.lines.begin() + at);
    --count_;
    // The lines left have the places in common that they had.
    if (run.lines.empty() && runs_.size() > 1) {
        runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(place.run));
        DisposeRun(&run);
        heads_.erase(heads_.begin() + static_cast<std::ptrdiff_t>(place.run));
        TreeChangedFrom(place.run);
    } else {
        AddToTree(place.run, -1);
        if (sorted_ && place.offset == 0 && !run.lines.empty()) heads_[place.run] = HeadOfText(TextIn(run, 0));
    }
    if (deadBytes_ > kPageSize * 16 && deadBytes_ > liveBytes_) CompactTexts();
}

// A run no longer in the list; the store keeps no order.
void ListLines::DisposeRun(const Run *run) {
    auto owner = std::find_if(store_.begin(), store_.end(), [&](const auto &held) { return held.get() == run; });
    std::swap(*owner, store_.back());
    store_.pop_back();
}

void ListLines::Clear() {
    runs_.clear();
    store_.clear();
    heads_.clear();
    tree_.clear();
    staleFrom_ = kTreeCurrent;
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
    Run &run = *runs_[place.run];
    ListLine &line = run.lines[place.offset].line;
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
    for (auto &run : runs_) {
        for (KeyedLine &keyed : run->lines) keyed.line.selected = selected;
        run->selected = selected ? run->lines.size() : 0;
    }
    selected_ = selected ? count_ : 0;
}

size_t ListLines::SelectedIndexes(int *out, size_t room) const {
    size_t found = 0, start = 0;
    for (const auto &run : runs_) {
        if (found == room) break;
        if (run->selected != 0) {
            for (size_t i = 0; i < run->lines.size() && found < room; ++i) {
                if (!run->lines[i].line.selected) continue;
                if (out) out[found] = static_cast<int>(start + i);
                ++found;
            }
        }
        start += run->lines.size();
    }
    return found;
}

}  // namespace portable
