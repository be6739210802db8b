#include "tools/project/NameSuggestion.h"

#include <algorithm>

namespace tool {
namespace {

std::vector<std::string_view> Characters(std::string_view text) {
  std::vector<std::string_view> characters;
  for (size_t i = 0; i < text.size();) {
    size_t length = 1;
    while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80) {
      ++length;
    }
    characters.push_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

// Edit distance where letters differing only in ASCII case cost nothing.
size_t Distance(std::string_view a, std::string_view b) {
  auto x = Characters(a), y = Characters(b);
  auto same = [](std::string_view p, std::string_view q) {
    if (p.size() != 1 || q.size() != 1) return p == q;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(p[0]) == lower(q[0]);
  };
  std::vector<size_t> row(y.size() + 1);
  for (size_t j = 0; j <= y.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= x.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= y.size(); ++j) {
      size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same(x[i - 1], y[j - 1]) ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[y.size()];
}

template <class Names>
std::string Closest(std::string_view name, const Names& known) {
  std::string best;
  size_t bestDistance = 3;
  size_t length = Characters(name).size();
  for (const auto& candidate : known) {
    size_t distance = Distance(name, candidate);
    if (distance < bestDistance && distance * 2 < std::max<size_t>(length, 2)) {
      best = std::string(candidate);
      bestDistance = distance;
    }
  }
  return best;
}

}  // namespace

std::string ClosestName(std::string_view name, std::initializer_list<std::string_view> known) {
  return Closest(name, known);
}

std::string ClosestName(std::string_view name, const std::vector<std::string>& known) {
  return Closest(name, known);
}

}  // namespace tool
