#include "listbox_lines.h"

#include "listbox_order.h"

#include <cstring>
#include <utility>

namespace portable {

namespace {

// A run is split in two when it grows past this many lines.
constexpr size_t kLongestRun = 128;
constexpr size_t kPageSize = 64 * 1024;
constexpr size_t kMostPages = 1u << 16;
// A text longer than this gets a page of its own.
constexpr size_t kLongText = 4096;

}  // namespace

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
    firstKeys_.resize(runs_.size());
    for (size_t i = 1; i <= runs_.size(); ++i) {
        if (!runs_[i - 1].lines.empty()) firstKeys_[i - 1] = runs_[i - 1].lines.front().key;
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

int ListLines::Compare(std::string_view text, uint64_t key, const ListLine &line) const {
    if (key != line.key) return key < line.key ? -1 : 1;
    return CompareListText(text, TextOf(line));
}

// The first index whose line sorts after the text (upper) or not before
// it (lower), in a sorted list: first among the runs by their first lines,
// then inside the one run.
size_t ListLines::Bound(std::string_view text, uint64_t key, bool upper) {
    auto after = [&](const ListLine &line, uint64_t lineKey) {
        int order = lineKey != key ? (key < lineKey ? -1 : 1) : CompareListText(text, TextOf(line));
        return upper ? order < 0 : order <= 0;
    };
    size_t low = 0, high = runs_.size();
    while (high > low) {
        size_t middle = (low + high) / 2;
        if (after(runs_[middle].lines.front(), firstKeys_[middle]))
            high = middle;
        else
            low = middle + 1;
    }
    if (low == 0) return 0;
    const std::vector<ListLine> &lines = runs_[low - 1].lines;
    size_t first = 1, last = lines.size();
    while (last > first) {
        size_t middle = (first + last) / 2;
        if (after(lines[middle], lines[middle].key))
            last = middle;
        else
            first = middle + 1;
    }
    return StartOf(low - 1) + first;
}

// USER32's binary search, probe by probe.
size_t ListLines::ProbedPosition(std::string_view text) {
    uint64_t key = ListTextKey(text);
    size_t low = 0, high = count_;
    while (high > low) {
        size_t middle = (low + high) / 2;
        int order = Compare(text, key, At(middle));
        if (order == 0) return middle;
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return high;
}

size_t ListLines::SortedPosition(std::string_view text) {
    if (!sorted_ || count_ == 0) return ProbedPosition(text);
    // In a sorted list each probe of the binary search is smaller than the
    // text before the equal lines, larger from their end on, and equal
    // among them; so its answer follows from where they are.
    uint64_t key = ListTextKey(text);
    size_t equalFrom = Bound(text, key, false);
    size_t equalTo = equalFrom;
    if (equalFrom < count_ && Compare(text, key, At(equalFrom)) == 0) equalTo = Bound(text, key, true);
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

bool ListLines::Insert(size_t index, std::string_view text) {
    if (text.size() >= (1u << 31)) return false;
    ListLine line;
    if (!StoreText(text, line.text)) return false;
    line.length = static_cast<uint32_t>(text.size());
    line.key = ListTextKey(text);
    // A line put out of order (LB_INSERTSTRING) leaves the list unsorted.
    if (sorted_ && index > 0 && Compare(text, line.key, At(index - 1)) < 0) sorted_ = false;
    if (sorted_ && index < count_ && Compare(text, line.key, At(index)) > 0) sorted_ = false;
    if (runs_.empty()) {
        runs_.emplace_back();
        RebuildTree();
    }
    Place place = index == count_ ? Place{runs_.size() - 1, runs_.back().lines.size()} : Locate(index);
    std::vector<ListLine> &lines = runs_[place.run].lines;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(place.offset), line);
    if (place.offset == 0) firstKeys_[place.run] = line.key;
    ++count_;
    if (lines.size() <= kLongestRun) {
        AddToTree(place.run, 1);
        return true;
    }
    // Split the run in two halves.
    Run second;
    second.lines.assign(lines.begin() + kLongestRun / 2, lines.end());
    lines.resize(kLongestRun / 2);
    for (const ListLine &moved : second.lines) second.selected += moved.selected;
    runs_[place.run].selected -= second.selected;
    runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(place.run + 1), std::move(second));
    RebuildTree();
    return true;
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
    run.lines.erase(run.lines.begin() + static_cast<std::ptrdiff_t>(place.offset));
    if (place.offset == 0 && !run.lines.empty()) firstKeys_[place.run] = run.lines.front().key;
    --count_;
    if (run.lines.empty() && runs_.size() > 1) {
        runs_.erase(runs_.begin() + static_cast<std::ptrdiff_t>(place.run));
        RebuildTree();
    } else {
        AddToTree(place.run, -1);
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

// Copies the texts of the lines that are left into a fresh store.
void ListLines::CompactTexts() {
    std::vector<std::unique_ptr<char[]>> old = std::move(pages_);
    pages_.clear();
    pageUsed_ = pageSize_ = 0;
    liveBytes_ = deadBytes_ = 0;
    for (Run &run : runs_) {
        for (ListLine &line : run.lines) {
            if (line.length == 0) continue;
            std::string_view text(old[line.text >> 16].get() + (line.text & 0xFFFF), line.length);
            StoreText(text, line.text);  // never more pages than before
        }
    }
}

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
