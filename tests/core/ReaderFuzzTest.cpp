// Random and mutated texts through the number and angle readers and the line
// splitter. Under the sanitizer build a read past a text or an undefined
// operation stops the run; here the readers must also keep their promises:
// what they accept is wholly a number, and what they refuse changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "engine/AngleText.h"
#include "tables/NumberText.h"
#include "tables/TableText.h"

namespace tarnwell {
namespace {

constexpr int kRounds = 200000;

// Texts that are, or nearly are, what the readers take.
const std::string kSeeds[] = {"31.5", "-121.25", "6378137", "1e-3", "+3.", ".5", "30:30:15.5", "-120:15.5",
                              "30°30′15.5″", "30°30'15.5\"", "120 15 0", "120/15/0", "P1,31.5,121.25,10",
                              "K,30,114,0,30,114,0", "1e308", "0.000000000000001"};

// Bytes a mutation inserts: digits, signs, separators, letters, the lead
// bytes of multi-byte characters, a NUL.
const std::string kAlphabet = std::string("0123456789+-.eE:, /'\"abnNxX\t\xc2\xb0\xe2\x80\xb2\xb3\xa1\xff") + '\0';

std::string Mutate(std::string text, std::mt19937_64& random) {
  std::uniform_int_distribution<int> edits(1, 4), kind(0, 2);
  std::uniform_int_distribution<std::size_t> letter(0, kAlphabet.size() - 1);
  for (int edit = edits(random); edit > 0; --edit) {
    std::uniform_int_distribution<std::size_t> at(0, text.size());
    const std::size_t position = at(random);
    switch (kind(random)) {
      case 0: text.insert(position, 1, kAlphabet[letter(random)]); break;
      case 1: if (position < text.size()) text.erase(position, 1); break;
      default: if (position < text.size()) text[position] = kAlphabet[letter(random)]; break;
    }
  }
  return text;
}

std::string RandomBytes(std::mt19937_64& random) {
  std::uniform_int_distribution<int> length(0, 24), byte(0, 255);
  std::string text(static_cast<std::size_t>(length(random)), '\0');
  for (char& c : text) c = static_cast<char>(byte(random));
  return text;
}

// The next text to try: half mutated seeds, half random bytes.
std::string NextText(std::mt19937_64& random) {
  std::uniform_int_distribution<std::size_t> seed(0, std::size(kSeeds) - 1);
  return random() % 2 ? Mutate(kSeeds[seed(random)], random) : RandomBytes(random);
}

// What strtod makes of a text that may be wholly a decimal number: all of
// it read, up to blanks at the end; and no hexadecimal, "inf" or "nan".
bool StrtodReadsItAll(const std::string& text) {
  if (text.find_first_of("xXiInN") != std::string::npos || text.find('\0') != std::string::npos) return false;
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  const std::size_t rest = static_cast<std::size_t>(end - text.c_str());
  return rest > 0 && text.find_first_not_of(" \t", rest) == std::string::npos;
}

TEST(ReaderFuzz, NumbersAreAcceptedOnlyWhole) {
  std::mt19937_64 random(2024);
  for (int round = 0; round < kRounds; ++round) {
    const std::string text = NextText(random);
    double value = 42;
    if (ReadNumber(text, value)) {
      ASSERT_TRUE(StrtodReadsItAll(text)) << text;
      ASSERT_TRUE(std::isfinite(value)) << text;
      ASSERT_EQ(value, std::strtod(text.c_str(), nullptr)) << text;
    } else {
      ASSERT_EQ(value, 42) << text;
    }
  }
}

TEST(ReaderFuzz, AnglesAreFiniteOrRefused) {
  std::mt19937_64 random(2025);
  for (int round = 0; round < kRounds; ++round) {
    const std::string text = NextText(random);
    for (AngleFormat format : {AngleFormat::DMS, AngleFormat::DDD, AngleFormat::DMM}) {
      double degrees = 42;
      if (ReadAngle(text, format, degrees)) {
        ASSERT_TRUE(std::isfinite(degrees)) << text;
        // The degrees end at a mark or a separator, never at a letter (1e15
        // is no angle in DMM).
        if (format != AngleFormat::DDD) {
          const std::size_t start = text.find_first_not_of(" \t+-");
          const std::size_t degreesEnd = text.find_first_not_of("0123456789", start);
          ASSERT_FALSE(degreesEnd != std::string::npos && std::isalpha(static_cast<unsigned char>(text[degreesEnd])))
              << text;
        }
      } else {
        ASSERT_EQ(degrees, 42) << text;
      }
    }
  }
}

TEST(ReaderFuzz, SplitFieldsPutTogetherGiveTheLine) {
  std::mt19937_64 random(2026);
  for (int round = 0; round < kRounds; ++round) {
    const std::string line = NextText(random);
    std::array<std::string_view, 4> fields;
    if (SplitExactly(line, ',', fields)) {
      const std::string joined =
          std::string(fields[0]) + ',' + std::string(fields[1]) + ',' + std::string(fields[2]) + ',' + std::string(fields[3]);
      ASSERT_EQ(joined, line);
    } else {
      ASSERT_NE(std::count(line.begin(), line.end(), ','), 3) << line;
    }
  }
}

}  // namespace
}  // namespace tarnwell
