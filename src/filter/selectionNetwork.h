#pragma once
// Compare-exchange networks that pick the element of one rank out of a fixed number of inputs,
// built at compile time: Batcher's odd-even merge sort over the next power of two (the missing
// inputs standing for +infinity, so the exchanges that touch them do nothing), then cut down
// to the exchanges the wanted output depends on. One exchange whose maximum (or minimum) is no
// longer needed becomes a lone minimum (or maximum).
#include <array>
#include <cstdint>

namespace vellora {

enum class Exchange : std::uint8_t { Both, MinOnly, MaxOnly };

struct Comparator {
    std::uint8_t low;  // receives the minimum
    std::uint8_t high; // receives the maximum
    Exchange exchange;
};

namespace detail {

inline constexpr int kMaxComparators = 1024;

struct ComparatorList {
    std::array<Comparator, kMaxComparators> items{};
    int count = 0;
};

constexpr ComparatorList batcherSort(int inputs) {
    int wires = 1;
    while (wires < inputs)
        wires *= 2;
    ComparatorList list;
    for (int p = 1; p < wires; p *= 2)
        for (int k = p; k >= 1; k /= 2)
            for (int j = k % p; j + k < wires; j += 2 * k)
                for (int i = 0; i < k && i + j + k < wires; ++i)
                    if ((i + j) / (2 * p) == (i + j + k) / (2 * p) && i + j + k < inputs)
                        list.items[std::size_t(list.count++)] = {
                            std::uint8_t(i + j), std::uint8_t(i + j + k), Exchange::Both};
    return list;
}

// Keeps, back to front, only the exchanges the value finally on wire `rank` depends on.
constexpr ComparatorList pruneFor(const ComparatorList& sort, int rank) {
    bool needed[256] = {};
    needed[rank] = true;
    ComparatorList reversed;
    for (int c = sort.count - 1; c >= 0; --c) {
        Comparator item = sort.items[std::size_t(c)];
        const bool low = needed[item.low];
        const bool high = needed[item.high];
        if (!low && !high) continue;
        item.exchange =
            low && high ? Exchange::Both : (low ? Exchange::MinOnly : Exchange::MaxOnly);
        needed[item.low] = needed[item.high] = true;
        reversed.items[std::size_t(reversed.count++)] = item;
    }
    ComparatorList result;
    for (int c = reversed.count - 1; c >= 0; --c)
        result.items[std::size_t(result.count++)] = reversed.items[std::size_t(c)];
    return result;
}

} // namespace detail

// The exchanges that leave the element of rank `rank` (0 = smallest) of `inputs` values on
// wire `rank`; the other wires end in an unspecified state.
template <int Inputs, int Rank> constexpr auto selectionNetwork() {
    constexpr detail::ComparatorList list = detail::pruneFor(detail::batcherSort(Inputs), Rank);
    std::array<Comparator, std::size_t(list.count)> network{};
    for (int c = 0; c < list.count; ++c)
        network[std::size_t(c)] = list.items[std::size_t(c)];
    return network;
}

// Runs a network over plain values (any type with <); the reference form tests use.
template <class T, std::size_t N>
void runSelectionNetwork(const std::array<Comparator, N>& network, T* values) {
    for (const Comparator& c : network) {
        const T low = values[c.low] < values[c.high] ? values[c.low] : values[c.high];
        const T high = values[c.low] < values[c.high] ? values[c.high] : values[c.low];
        if (c.exchange != Exchange::MaxOnly) values[c.low] = low;
        if (c.exchange != Exchange::MinOnly) values[c.high] = high;
    }
}

} // namespace vellora
