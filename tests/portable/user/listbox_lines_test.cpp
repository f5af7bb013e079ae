// The lines of a large list box against the plain model they stand for: a
// vector of texts where a sorted add lands where USER32's binary search
// lands. Many equal and case-different texts, lines put out of order,
// deletions and selections, over enough lines to split many runs.
#include "platform/portable/user/listbox_lines.h"
#include "platform/portable/user/listbox_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using portable::CompareListText;
using portable::ListLines;
using portable::ListPlaces;
using portable::ListWeights;

size_t ModelSortedPosition(const std::vector<std::string> &lines, const std::string &text) {
    size_t low = 0, high = lines.size();
    while (high > low) {
        size_t middle = (low + high) / 2;
        int order = CompareListText(text, lines[middle]);
        if (order == 0) return middle;
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return high;
}

void ExpectSame(ListLines &lines, const std::vector<std::string> &model,
                const std::vector<bool> &selected) {
    ASSERT_EQ(lines.Count(), model.size());
    std::vector<int> expected;
    for (size_t i = 0; i < model.size(); ++i) {
        ASSERT_EQ(lines.Text(i), model[i]) << "line " << i;
        LONG_PTR data = lines.At(i).data;
        ASSERT_TRUE(data == 0 || data == static_cast<LONG_PTR>(model[i].size())) << "line " << i;
        if (selected[i]) expected.push_back(static_cast<int>(i));
    }
    std::vector<int> got(expected.size() + 1, -1);
    ASSERT_EQ(lines.SelectedIndexes(got.data(), got.size()), expected.size());
    got.resize(expected.size());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(lines.SelectedCount(), expected.size());
}

std::string RandomText(std::mt19937 &random, bool longText) {
    // Few distinct texts: equal lines, lines equal but for case or a hyphen.
    static const char *const kPieces[] = {"a", "A", "b", "B", "-", "'", "ab", "Ab", " ", "9", "10"};
    std::string text;
    int pieces = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < pieces; ++i) text += kPieces[random() % 11];
    // Long texts share many first places, so the order is found past them.
    static const char *const kStarts[] = {"Schmidt, Anna\t+49 30 ", "Schmidt, Anne\t+49 30 ",
                                          "schmidt, anna\t+49 30 ", "Schmid-t, Anna\t+49 3", "Schmidt, Ann"};
    if (longText) text = std::string(kStarts[random() % 5]) + text;
    return text;
}

void RunModel(unsigned seed, bool longTexts, bool outOfOrder) {
    std::mt19937 random(seed);
    ListLines lines;
    std::vector<std::string> model;
    std::vector<bool> selected;
    for (int step = 0; step < 3000; ++step) {
        unsigned action = random() % 100;
        if (action < 70 || model.empty()) {
            std::string text = RandomText(random, longTexts);
            size_t index = ModelSortedPosition(model, text);
            ASSERT_EQ(lines.InsertSorted(text), static_cast<long>(index)) << "step " << step << " text " << text;
            lines.At(index).data = static_cast<LONG_PTR>(text.size());
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(index), text);
            selected.insert(selected.begin() + static_cast<std::ptrdiff_t>(index), false);
        } else if (action < 72 && outOfOrder) {
            std::string text = RandomText(random, longTexts);
            size_t index = random() % (model.size() + 1);
            ASSERT_TRUE(lines.Insert(index, text));
            lines.At(index).data = static_cast<LONG_PTR>(text.size());
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(index), text);
            selected.insert(selected.begin() + static_cast<std::ptrdiff_t>(index), false);
        } else if (action < 85) {
            size_t index = random() % model.size();
            lines.Erase(index);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(index));
            selected.erase(selected.begin() + static_cast<std::ptrdiff_t>(index));
        } else if (action < 99) {
            size_t index = random() % model.size();
            bool on = random() % 2 != 0;
            lines.Select(index, on);
            selected[index] = on;
        } else {
            bool on = random() % 2 != 0;
            lines.SelectAll(on);
            selected.assign(selected.size(), on);
        }
        if (step % 1500 == 1499) ExpectSame(lines, model, selected);
    }
    ExpectSame(lines, model, selected);
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0u);
    EXPECT_EQ(lines.SortedPosition("a"), 0u);
}

TEST(ListLines, SortedAddsLandWhereTheBinarySearchDoes) {
    RunModel(1, false, false);
    RunModel(4, true, false);
}
TEST(ListLines, LongSharedStartsAndLinesPutOutOfOrder) { RunModel(2, true, true); }
TEST(ListLines, ShortTextsPutOutOfOrder) { RunModel(3, false, true); }

// Texts that sort past the last line, or before the first, of lines that
// share a long start (the keys inside a run skip what its lines share).
TEST(ListLines, AddsBeyondLinesThatShareALongStart) {
    ListLines lines;
    std::vector<std::string> model;
    auto add = [&](const std::string &text) {
        size_t index = ModelSortedPosition(model, text);
        ASSERT_EQ(lines.InsertSorted(text), static_cast<long>(index)) << text;
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(index), text);
    };
    for (int i = 0; i < 300; ++i) add("Same long start of every line " + std::to_string(1000 + i * 7 % 300));
    for (const char *text : {"Zz", "A", "Same long start of every line 1150x", "Same long start", "Same long start of every line 9",
                             "Same long start of every line 1299 ", "Same long start of every line 1000", "zz"})
        add(text);
    ExpectSame(lines, model, std::vector<bool>(model.size(), false));
}

// Fills in the shapes that make the keys fail: many lines of one name,
// names that are the start of others, names alike for longer than a head
// key, and case, hyphens and apostrophes that differ only far in; each
// added in random, ascending and descending order, every add against
// the binary search over a plain list.
TEST(ListLines, FillsOfLinesAlikeFarInLandWhereTheBinarySearchDoes) {
    const std::string longName = "Gesellschaft fuer Datenverarbeitung und Fernkopie, Abteilung";
    const std::vector<std::string> names = {
        "Ann", "Anna", "Annabel", "ANNA", "An-na", "Ann'a", "Anna, Bea", "Anna,", longName,
        longName + " Nord", longName + "-Nord", longName + "'Nord", longName + " nord", "",
    };
    std::mt19937 random(7);
    std::vector<std::string> texts;
    for (int i = 0; i < 2500; ++i) {
        std::string text = names[random() % names.size()] + "	+49 30 " + std::to_string(random() % 400);
        if (random() % 7 == 0) text += random() % 2 ? "-1" : "'1";
        texts.push_back(text);
    }
    for (int order = 0; order < 3; ++order) {
        std::vector<std::string> fill = texts;
        if (order > 0) std::sort(fill.begin(), fill.end(), [&](const std::string &a, const std::string &b) {
            int compared = CompareListText(a, b);
            return order == 1 ? compared < 0 : compared > 0;
        });
        ListLines lines;
        std::vector<std::string> model;
        for (const std::string &text : fill) {
            size_t index = ModelSortedPosition(model, text);
            ASSERT_EQ(lines.InsertSorted(text), static_cast<long>(index)) << "order " << order << " text " << text;
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(index), text);
        }
        ExpectSame(lines, model, std::vector<bool>(model.size(), false));
        // Deleting lines at runs' edges keeps the keys of the rest right.
        for (int i = 0; i < 1500; ++i) {
            size_t index = random() % 3 == 0 ? 0 : random() % model.size();
            lines.Erase(index);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(index));
            std::string text = fill[random() % fill.size()];
            index = ModelSortedPosition(model, text);
            ASSERT_EQ(lines.InsertSorted(text), static_cast<long>(index)) << "after deletes, text " << text;
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(index), text);
        }
        ExpectSame(lines, model, std::vector<bool>(model.size(), false));
    }
}

// A book whose persons share a few names and companies: each line has
// hundreds of equal copies (byte for byte, or in other case) spread over
// many runs, with lines just before and after them. Each add lands where
// the binary search does, and the line just added carries the data set on
// it at once, as the dialogs set it; deletes in between move the runs.
TEST(ListLines, ManyEqualLinesOverManyRunsLandWhereTheBinarySearchDoes) {
    const std::vector<std::string> texts = {"Meier, Anna\tFirma", "MEIER, ANNA\tFIRMA", "Meier, Anna\tFirm",
                                            "Meier, Anna\tFirmaa", "Meier, Ann\tFirma", "Mei-er, Anna\tFirma"};
    std::mt19937 random(11);
    ListLines lines;
    std::vector<std::string> model;
    std::vector<LONG_PTR> data;  // each line's own, set as it is added
    for (int i = 0; i < 6000; ++i) {
        // Mostly the one line (in either case), which comes to fill runs of its own.
        const std::string &text = texts[random() % 4 < 3 ? random() % 2 : random() % texts.size()];
        size_t index = ModelSortedPosition(model, text);
        ASSERT_EQ(lines.InsertSorted(text), static_cast<long>(index)) << "add " << i << " text " << text;
        lines.At(index).data = i + 1;
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(index), text);
        data.insert(data.begin() + static_cast<std::ptrdiff_t>(index), i + 1);
        if (i % 5 == 4) {
            index = random() % model.size();
            lines.Erase(index);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(index));
            data.erase(data.begin() + static_cast<std::ptrdiff_t>(index));
        }
    }
    ASSERT_EQ(lines.Count(), model.size());
    for (size_t i = 0; i < model.size(); ++i) {
        ASSERT_EQ(lines.Text(i), model[i]) << "line " << i;
        ASSERT_EQ(lines.At(i).data, data[i]) << "line " << i;
    }
}

// A text's places read from its bytes, with and without hyphens and
// apostrophes in front of them, one window or several at once, are those
// worked out for the whole text.
TEST(ListLines, PlacesOfATextAreTheSameReadEitherWay) {
    std::mt19937 random(9);
    const char kBytes[] = "aZ-'9 ,\t+\xE9";
    ListWeights weights;
    for (int i = 0; i < 500; ++i) {
        std::string text;
        size_t length = random() % 48;
        for (size_t j = 0; j < length; ++j) text += kBytes[random() % (sizeof kBytes - 1)];
        weights.Of(text);
        for (uint32_t from = 0; from < 50; ++from) {
            ASSERT_EQ(ListPlaces(text, from), weights.Places(from)) << "text " << text << " from " << from;
            uint64_t windows[3];
            ListPlaces(text, from, windows, 3);
            for (uint32_t window = 0; window < 3; ++window)
                ASSERT_EQ(windows[window], weights.Places(from + 8 * window)) << "text " << text << " from " << from;
        }
    }
}

// A text's places are those of the text without its hyphens and
// apostrophes, however many bytes come before the first of them, and it
// has a place for every other byte.
TEST(ListLines, PlacesPassOverMarksWhereverTheyStart) {
    std::mt19937 random(13);
    ListWeights withMarks, without;
    for (int i = 0; i < 2000; ++i) {
        std::string text;
        size_t length = random() % 40;
        for (size_t j = 0; j < length; ++j) text += static_cast<char>('a' + random() % 26);
        // Marks only from some byte on: whole eight-byte stretches without any first.
        size_t from = random() % (length + 1);
        for (size_t j = from; j < text.size(); ++j)
            if (random() % 5 == 0) text[j] = random() % 2 ? '-' : '\'';
        std::string stripped;
        for (char c : text)
            if (c != '-' && c != '\'') stripped += c;
        withMarks.Of(text);
        without.Of(stripped);
        ASSERT_EQ(withMarks.Count(), stripped.size()) << text;
        ASSERT_EQ(without.Count(), stripped.size()) << stripped;
        for (uint32_t at = 0; at < 48; ++at) {
            ASSERT_EQ(withMarks.Places(at), without.Places(at)) << text << " from " << at;
            ASSERT_EQ(ListPlaces(text, at), without.Places(at)) << text << " from " << at;
            ASSERT_EQ(ListPlaces(stripped, at), without.Places(at)) << stripped << " from " << at;
        }
    }
}

// A person's numbers come one after another, so each add starts from the
// run the last one went to. Names alike but for case or a mark, short
// texts whose keys hold all their places, and empty texts; deleting whole
// stretches empties runs, which leave the list; every add lands where the
// binary search does.
TEST(ListLines, NumbersOfOnePersonAfterAnotherLandWhereTheBinarySearchDoes) {
    const std::vector<std::string> names = {"Beck, Vera", "BECK, VERA", "Be-ck, Vera", "Beck, Ver'a", "Beck", "",
                                            "Zimmermann, Ingo", "ab", "AB", "a'b", "ab'"};
    std::mt19937 random(17);
    ListLines lines;
    std::vector<std::string> model;
    auto add = [&](const std::string &text) {
        size_t index = ModelSortedPosition(model, text);
        ASSERT_EQ(lines.InsertSorted(text), static_cast<long>(index)) << text;
        lines.At(index).data = static_cast<LONG_PTR>(text.size());
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(index), text);
    };
    for (int round = 0; round < 3; ++round) {
        for (int person = 0; person < 1500; ++person) {
            const std::string &name = names[random() % names.size()];
            int numbers = 1 + static_cast<int>(random() % 3);
            for (int n = 0; n < numbers; ++n) {
                std::string text = name;
                if (random() % 8 != 0) text += "\t+49 30 " + std::to_string(random() % 1000);
                ASSERT_NO_FATAL_FAILURE(add(text));
            }
        }
        ExpectSame(lines, model, std::vector<bool>(model.size(), false));
        // A stretch of several runs' lines deleted, from the front or the middle.
        size_t start = round == 0 ? 0 : random() % (model.size() / 2);
        for (size_t i = 0; i < model.size() / 3; ++i) {
            lines.Erase(start);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(start));
        }
        ExpectSame(lines, model, std::vector<bool>(model.size(), false));
    }
}

// Deleting most lines of a long list moves the texts of the rest into a
// fresh store; each line keeps its own text.
TEST(ListLines, TextsSurviveTheStoreBeingCompacted) {
    ListLines lines;
    std::vector<std::string> model;
    for (int i = 0; i < 2000; ++i) {
        std::string text = "Line " + std::to_string(i * 7919 % 2000) + std::string(700, 'x');
        if (i % 200 == 0) text = std::string(5000, static_cast<char>('a' + i / 200 % 26));  // a page of its own
        size_t index = lines.SortedPosition(text);
        ASSERT_TRUE(lines.Insert(index, text));
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(index), text);
    }
    std::mt19937 random(4);
    while (model.size() > 300) {
        size_t index = random() % model.size();
        lines.Erase(index);
        model.erase(model.begin() + static_cast<std::ptrdiff_t>(index));
    }
    ExpectSame(lines, model, std::vector<bool>(model.size(), false));
}

// Lines put in at either end of the list, in front of a full run's first
// line or behind its last, start runs of their own. Each lands at its
// index, and the lines are found by index between the adds while the
// runs' starts are still to be worked out: sorted adds at both ends, then
// lines put in by index at the ends and anywhere, with deletes.
TEST(ListLines, LinesAtEitherEndLandAndAreFoundByIndex) {
    std::mt19937 random(11);
    ListLines lines;
    std::vector<std::string> model;
    auto check = [&](size_t index) {
        ASSERT_EQ(lines.Text(index), model[index]) << "line " << index;
        ASSERT_EQ(lines.At(index).data, static_cast<LONG_PTR>(model[index].size())) << "line " << index;
    };
    auto add = [&](const std::string &text) {
        size_t index = ModelSortedPosition(model, text);
        ASSERT_EQ(lines.InsertSorted(text), static_cast<long>(index)) << text;
        lines.At(index).data = static_cast<LONG_PTR>(text.size());
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(index), text);
    };
    add("M");
    for (int i = 0; i < 2000; ++i) {
        // Descending at the front, ascending at the back, as a reversed or
        // an ordered book fills the list; now and then just behind the
        // first line or just in front of the last, as a person's second
        // number comes.
        unsigned where = random() % 6;
        if (where < 2) add("A" + std::to_string(10000 - i));
        if (where >= 2 && where < 4) add("Z" + std::to_string(10000 + i) + "5");
        if (where == 4) add(model.front() + "1");
        if (where == 5) add(model.back().substr(0, model.back().size() - 1) + "4");
        if (i % 37 == 0) check(random() % model.size());
    }
    ExpectSame(lines, model, std::vector<bool>(model.size(), false));
    for (int i = 0; i < 1500; ++i) {
        std::string text = "put " + std::to_string(i);
        unsigned where = random() % 8;
        size_t index = where < 3 ? 0 : where < 6 ? model.size() : random() % (model.size() + 1);
        ASSERT_TRUE(lines.Insert(index, text));
        lines.At(index).data = static_cast<LONG_PTR>(text.size());
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(index), text);
        if (i % 4 == 0) {
            size_t gone = random() % 2 ? 0 : random() % model.size();
            lines.Erase(gone);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(gone));
        }
        if (i % 29 == 0) check(random() % model.size());
    }
    ExpectSame(lines, model, std::vector<bool>(model.size(), false));
}

}  // namespace
