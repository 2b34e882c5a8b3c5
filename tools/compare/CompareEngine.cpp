// Line linking, sections, the result layout, the item lists and the block navigation.
#include "tools/compare/CompareEngine.h"
#include <algorithm>
#include <cstddef>
#include <cstring>

namespace cmp {

namespace {
constexpr uint32_t HashFactor = 6293815;

inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

inline uint8_t Fold(uint8_t c, const CompareOptions& o)
{
    if (!o.ignoreCase) return c;
    if (o.upper) return o.upper[c];
    return c >= 'a' && c <= 'z' ? static_cast<uint8_t>(c - 32) : c;
}

size_t TableSize(size_t entries)
{
    size_t size = 64;
    while (size < entries * 2) size *= 2;
    return size;
}
}

uint32_t LineHash(const char* text, uint32_t length, const CompareOptions& options)
{
    // k * 6293815^k for the first characters, so that a plain line costs one multiplication a byte.
    constexpr uint32_t Weights = 4096;
    static const std::vector<uint32_t> weight = [] {
        std::vector<uint32_t> w(Weights);
        uint32_t power = 1;
        for (uint32_t k = 1; k < Weights; ++k) {
            power *= HashFactor;
            w[k] = k * power;
        }
        return w;
    }();
    if (!options.ignoreBlanks && !options.ignoreCase && length < Weights) {
        uint32_t h = 0;
        for (uint32_t i = 0; i < length; ++i)
            h += weight[i + 1] * static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(text[i])));
        return h;
    }
    uint32_t h = 0, power = 1, k = 0;
    for (uint32_t i = 0; i < length; ++i) {
        char c = text[i];
        if (options.ignoreBlanks && IsBlank(c)) continue;
        c = static_cast<char>(Fold(static_cast<uint8_t>(c), options));
        ++k;
        power *= HashFactor;
        h += k * power * static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
    }
    return h;
}

bool LinesEqual(const CCompareLine& a, const CCompareLine& b, const CompareOptions& options)
{
    if (!options.ignoreBlanks && !options.ignoreCase)
        return a.content == b.content && std::memcmp(a.text, b.text, a.content) == 0;
    uint32_t i = 0, j = 0;
    for (;;) {
        if (options.ignoreBlanks) {
            while (i < a.content && IsBlank(a.text[i])) ++i;
            while (j < b.content && IsBlank(b.text[j])) ++j;
        }
        if (i == a.content || j == b.content) return i == a.content && j == b.content;
        uint8_t x = Fold(static_cast<uint8_t>(a.text[i]), options), y = Fold(static_cast<uint8_t>(b.text[j]), options);
        if (x != y) return false;
        ++i;
        ++j;
    }
}

void CFileComparison::SetText(int side, std::string bytes) { text[side] = std::move(bytes); }

void CFileComparison::SplitLines(int side)
{
    const std::string& t = text[side];
    std::vector<CCompareLine>& out = lines[side];
    out.clear();
    const char* p = t.data();
    const char* end = p + t.size();
    size_t feeds = 0;
    for (const char* f = p; (f = static_cast<const char*>(std::memchr(f, '\n', static_cast<size_t>(end - f)))); ++f)
        ++feeds;
    out.reserve(feeds + 1);
    while (p < end) {
        const char* feed = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* next = feed ? feed + 1 : end;
        CCompareLine line;
        line.text = p;
        line.length = static_cast<uint32_t>(next - p);
        uint32_t content = feed ? static_cast<uint32_t>(feed - p) : line.length;
        while (content > 0 && p[content - 1] == '\r') --content;
        line.content = content;
        line.number = static_cast<int>(out.size()) + 1;
        line.hash = LineHash(p, content, options);
        // Blank lines matter only when blanks are ignored.
        line.blank = options.ignoreBlanks;
        for (uint32_t i = 0; i < content && line.blank; ++i) line.blank = IsBlank(p[i]);
        out.push_back(line);
        p = next;
    }
}

CFileComparison::Range CFileComparison::Whole(int side)
{
    if (lines[side].empty()) return {nullptr, nullptr};
    return {&lines[side].front(), &lines[side].back()};
}

bool CFileComparison::CanLink(const CCompareLine* a, const CCompareLine* b) const
{
    return !a->link && !b->link && a->hash == b->hash && LinesEqual(*a, *b, options);
}

bool CFileComparison::MatchAndExpand(Range ra, Range rb, CCompareLine* x, CCompareLine* y)
{
    bool any = false;
    std::ptrdiff_t countA = ra.second - ra.first + 1, countB = rb.second - rb.first + 1;
    // One direction: link while the lines are equal; blank lines may be stepped over when ignored.
    auto run = [&](std::ptrdiff_t i, std::ptrdiff_t j, int step) {
        while (i >= 0 && i < countA && j >= 0 && j < countB) {
            CCompareLine* a = ra.first + i;
            CCompareLine* b = rb.first + j;
            if (CanLink(a, b)) {
                a->link = b;
                b->link = a;
                any = true;
                i += step;
                j += step;
                continue;
            }
            if (!options.ignoreBlanks) break;
            bool skipped = false;
            if (a->blank) { i += step; skipped = true; }
            if (b->blank) { j += step; skipped = true; }
            if (!skipped) break;
        }
    };
    std::ptrdiff_t startA = x - ra.first, startB = y - rb.first;
    run(startA, startB, 1);
    if (x->link) run(startA - 1, startB - 1, -1);
    return any;
}

bool CFileComparison::MatchUnique(Range a, Range b)
{
    if (!a.first || !b.first) return false;
    bool any = MatchAndExpand(a, b, a.first, b.first);
    any |= MatchAndExpand(a, b, a.second, b.second);

    size_t unlinked = 0;
    for (const CCompareLine* l = a.first; l <= a.second; ++l) unlinked += !l->link;
    for (const CCompareLine* l = b.first; l <= b.second; ++l) unlinked += !l->link;
    if (unlinked == 0 || b.second - b.first >= (1 << 28)) return any;
    size_t mask = TableSize(unlinked) - 1;
    slots.assign(mask + 1, CountSlot{0, 0});
    auto find = [&](uint32_t hash) -> CountSlot& {
        size_t i = (hash * 2654435761u) & mask;
        while ((slots[i].packed & 15) && slots[i].hash != hash) i = (i + 1) & mask;
        slots[i].hash = hash;
        return slots[i];
    };
    for (const CCompareLine* l = a.first; l <= a.second; ++l)
        if (!l->link) {
            CountSlot& s = find(l->hash);
            if ((s.packed & 3) < 2) ++s.packed;
        }
    for (CCompareLine* l = b.first; l <= b.second; ++l)
        if (!l->link) {
            CountSlot& s = find(l->hash);
            uint32_t inB = std::min<uint32_t>(((s.packed >> 2) & 3) + 1, 2);
            s.packed = static_cast<uint32_t>(l - b.first) << 4 | inB << 2 | (s.packed & 3);
        }
    for (CCompareLine* l = a.first; l <= a.second; ++l) {
        if (l->link) continue;
        const CountSlot& s = find(l->hash);
        if ((s.packed & 15) == (1 | 1 << 2)) any |= MatchAndExpand(a, b, l, b.first + (s.packed >> 4));
    }
    return any;
}

bool CFileComparison::Follows(const CCompareLine* previous, const CCompareLine* next) const
{
    const CCompareLine* p = previous->link;
    const CCompareLine* q = next->link;
    if (q <= p) return false;
    if (q == p + 1) return true;
    if (!options.ignoreBlanks) return false;
    for (const CCompareLine* l = p + 1; l < q; ++l)
        if (!l->blank) return false;
    return true;
}

void CFileComparison::BuildSections(int side)
{
    std::vector<CCompareLine>& ls = lines[side];
    std::vector<CCompareSection>& out = sections[side];
    int n = static_cast<int>(ls.size());
    out.clear();
    sectionOfLine[side].assign(ls.size(), -1);
    // opens[i]: a linked line, or (ignoring blanks) a run of unlinked blank lines that ends in one.
    opens.assign(ls.size(), 0);
    for (int i = n - 1; i >= 0; --i) {
        if (ls[i].link) opens[i] = 1;
        else if (options.ignoreBlanks && ls[i].blank) opens[i] = i + 1 < n ? opens[i + 1] : 0;
    }
    for (int i = 0; i < n;) {
        CCompareSection s;
        s.first = &ls[i];
        int j;
        if (opens[i]) {
            j = i;
            while (!ls[j].link) ++j;
            int previous = j++;
            for (;;) {
                int k = j;
                while (options.ignoreBlanks && k < n && !ls[k].link && ls[k].blank) ++k;
                if (k < n && ls[k].link && Follows(&ls[previous], &ls[k])) {
                    previous = k;
                    j = k + 1;
                    continue;
                }
                if (k == n) j = n; // blank lines at the end of the file go along
                break;
            }
            s.state = StateSame;
        } else {
            j = i + 1;
            while (j < n && !opens[j]) ++j;
            s.state = side == 0 ? StateLeftOnly : StateRightOnly;
        }
        s.last = &ls[j - 1];
        std::fill(sectionOfLine[side].begin() + i, sectionOfLine[side].begin() + j, static_cast<int>(out.size()));
        out.push_back(s);
        i = j;
    }
}

void CFileComparison::LinkSections()
{
    for (int side = 0; side < 2; ++side) {
        const CCompareLine* otherBase = lines[1 - side].data();
        for (CCompareSection& s : sections[side]) {
            s.link = s.correspond = nullptr;
            if (s.state != StateSame) continue;
            const CCompareLine* l = s.first;
            while (!l->link) ++l;
            int index = sectionOfLine[1 - side][static_cast<size_t>(l->link - otherBase)];
            s.link = &sections[1 - side][static_cast<size_t>(index)];
        }
    }
}

bool CFileComparison::PairUnmatched()
{
    std::vector<CCompareSection>& left = sections[0];
    std::vector<CCompareSection>& right = sections[1];
    auto indexOf = [&](const CCompareSection* s) { return static_cast<int>(s - right.data()); };
    int leftCount = static_cast<int>(left.size()), rightCount = static_cast<int>(right.size());
    bool any = false;
    for (int u = 0; u < leftCount; ++u) {
        CCompareSection& unmatched = left[u];
        if (unmatched.state == StateSame) continue;
        const CCompareSection* previous = u > 0 ? &left[u - 1] : nullptr;
        const CCompareSection* next = u + 1 < leftCount ? &left[u + 1] : nullptr;
        if ((previous && !previous->link) || (next && !next->link)) continue;
        int c;
        if (previous) {
            c = indexOf(previous->link) + 1;
            int after = next ? indexOf(next->link) : rightCount;
            if (c + 1 != after) continue;
        } else if (next) {
            c = indexOf(next->link) - 1;
            if (c != 0) continue;
        } else {
            c = 0;
        }
        if (c < 0 || c >= rightCount || right[c].state == StateSame) continue;
        unmatched.correspond = &right[c];
        right[c].correspond = &unmatched;
        any |= MatchUnique({unmatched.first, unmatched.last}, {right[c].first, right[c].last});
    }
    return any;
}

void CFileComparison::Place(CCompareSection& from, CCompareSection* other, int state)
{
    CCompareSection placed = from;
    placed.state = state;
    placed.link = placed.correspond = nullptr;
    bool fromLeft = from.first >= lines[0].data() && from.first < lines[0].data() + lines[0].size();
    placed.leftLine = fromLeft ? from.first->number : (other ? other->first->number : 0);
    placed.rightLine = fromLeft ? (other ? other->first->number : 0) : from.first->number;
    result.push_back(placed);
    from.state = StatePlaced;
    if (other) other->state = StatePlaced;
}

void CFileComparison::LayOut()
{
    result.clear();
    std::vector<CCompareSection>& left = sections[0];
    std::vector<CCompareSection>& right = sections[1];
    size_t l = 0, r = 0;
    auto placedAlready = [](const CCompareSection* s) { return s && s->state == StatePlaced; };
    while (l < left.size() || r < right.size()) {
        if (l == left.size()) {
            Place(right[r], nullptr, right[r].link ? StateMovedRight : StateRightOnly);
            ++r;
        } else if (r == right.size()) {
            Place(left[l], nullptr, left[l].link ? StateMovedLeft : StateLeftOnly);
            ++l;
        } else if (left[l].state == StateLeftOnly) {
            Place(left[l++], nullptr, StateLeftOnly);
        } else if (placedAlready(left[l].link)) {
            Place(left[l++], nullptr, StateMovedLeft);
        } else if (!right[r].link) {
            Place(right[r], nullptr, right[r].state);
            ++r;
        } else if (placedAlready(right[r].link)) {
            Place(right[r++], nullptr, StateMovedRight);
        } else if (left[l].link == &right[r]) {
            // Equal blocks show the right file's lines on both sides.
            Place(right[r++], &left[l++], StateSame);
        } else if (left[l].Count() < right[r].Count()) {
            Place(left[l++], nullptr, StateMovedLeft);
        } else {
            Place(right[r++], nullptr, StateMovedRight);
        }
    }
}

void CFileComparison::FillItems()
{
    for (auto& list : items) {
        list.clear();
        list.reserve(lines[0].size() + lines[1].size());
    }
    auto pad = [&] {
        std::vector<CompareItem>& shorter = items[0].size() < items[1].size() ? items[0] : items[1];
        shorter.resize(std::max(items[0].size(), items[1].size()));
    };
    for (const CCompareSection& s : result) {
        if (s.state == StateSame) pad();
        for (const CCompareLine* line = s.first; line <= s.last; ++line) {
            if (s.state == StateSame) {
                items[0].push_back({line, true});
                items[1].push_back({line, true});
            } else {
                bool left = s.state == StateLeftOnly || s.state == StateMovedLeft;
                items[left ? 0 : 1].push_back({line, false});
            }
        }
        pad();
    }
}

void CFileComparison::Run()
{
    SplitLines(0);
    SplitLines(1);
    for (;;) {
        bool changed = MatchUnique(Whole(0), Whole(1));
        BuildSections(0);
        BuildSections(1);
        LinkSections();
        changed |= PairUnmatched();
        if (!changed) break;
    }
    LayOut();
    FillItems();
}

Jump NextBlock(const std::vector<CompareItem>& items, int top, bool equal)
{
    int n = static_cast<int>(items.size());
    int j = std::max(top, 0);
    while (j < n && items[j].same == equal) ++j;
    while (j < n && items[j].same != equal) ++j;
    if (j >= n) return {std::max(n - 1, 0), true};
    return {j, false};
}

Jump PreviousBlock(const std::vector<CompareItem>& items, int top, bool equal)
{
    int j = std::min(top, static_cast<int>(items.size()) - 1);
    while (j >= 0 && items[j].same == equal) --j;
    while (j >= 0 && items[j].same != equal) --j;
    if (j < 0) return {0, true};
    while (j >= 0 && items[j].same == equal) --j;
    return {j + 1, false};
}

int FirstDifference(const std::vector<CompareItem>& items)
{
    for (size_t i = 0; i < items.size(); ++i)
        if (!items[i].same) return static_cast<int>(i);
    return -1;
}

} // namespace cmp
