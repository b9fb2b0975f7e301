#include "tables/ListOrder.h"

#include <algorithm>

namespace tarnwell {

namespace {

unsigned char FoldAsciiCase(char ch) {
  const auto byte = static_cast<unsigned char>(ch);
  return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

}  // namespace

bool ListTextLess(std::string_view left, std::string_view right) {
  const auto folded = std::lexicographical_compare_three_way(
      left.begin(), left.end(), right.begin(), right.end(),
      [](char a, char b) { return FoldAsciiCase(a) <=> FoldAsciiCase(b); });
  if (folded != 0) return folded < 0;
  // Equal but for case: plain unsigned byte order (string_view compares as
  // unsigned char) keeps the order total.
  return left < right;
}

std::size_t InsertSorted(std::vector<std::string>& list, std::string text) {
  const auto position = std::upper_bound(list.begin(), list.end(), text, ListTextLess);
  const auto index = static_cast<std::size_t>(position - list.begin());
  list.insert(position, std::move(text));
  return index;
}

}  // namespace tarnwell
