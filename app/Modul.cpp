#include "app/Modul.h"

#include <string_view>

#include "text/Characters.h"

namespace quillet::Modul {

namespace {

bool IsAllowed(const std::wstring& character) {
  // Without the terminating NUL: a NUL in a name is no allowed character.
  constexpr std::wstring_view allowed(kAllowedNameCharacters);
  return character.size() == 1 && allowed.find(character[0]) != std::wstring_view::npos;
}

bool IsSkipped(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n'; }
bool IsDecimalDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Walks a text while skipping blanks, tabs and line feeds wherever they stand.
class BlankSkippingReader {
 public:
  explicit BlankSkippingReader(const std::wstring& text) : text_(text) { SkipBlanks(); }
  bool AtEnd() const { return pos_ >= text_.size(); }
  wchar_t Current() const { return AtEnd() ? L'\0' : text_[pos_]; }
  void Advance() {
    ++pos_;
    SkipBlanks();
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && IsSkipped(text_[pos_])) ++pos_;
  }
  const std::wstring& text_;
  std::size_t pos_ = 0;
};

// More significant digits than this never matter: a value with more than ten integer digits
// overflows anyway, and rounding needs only one digit after those plus whether any non-zero
// digit follows.
constexpr std::size_t kMaxDigits = 16;
// Exponents are clamped here so that no digit string or exponent can overflow the arithmetic;
// any clamped value is far outside the 32-bit range or far below one half.
constexpr long long kMaxExponent = 1'000'000'000'000LL;

long long Clamp(long long value) {
  if (value > kMaxExponent) return kMaxExponent;
  if (value < -kMaxExponent) return -kMaxExponent;
  return value;
}

// The value is 0.<digits> * 10^scale, with the significant digits from the first non-zero
// one on; `rest` tells whether a non-zero digit was cut off behind them.
struct Significand {
  std::string digits;
  bool rest = false;
  long long scale = 0;
};

// An optional sign; true when it is a minus.
bool ReadSign(BlankSkippingReader& reader) {
  if (reader.Current() != L'+' && reader.Current() != L'-') return false;
  const bool negative = reader.Current() == L'-';
  reader.Advance();
  return negative;
}

void TakeDigit(Significand& number, wchar_t c, bool afterPoint) {
  if (number.digits.empty() && c == L'0') {
    if (afterPoint) number.scale = Clamp(number.scale - 1);
    return;
  }
  if (number.digits.size() < kMaxDigits)
    number.digits.push_back(static_cast<char>(c));
  else if (c != L'0')
    number.rest = true;
  if (!afterPoint) number.scale = Clamp(number.scale + 1);
}

// The integer digits, then "." and the fraction digits; either part may be missing.
Significand ReadDigitsAndFraction(BlankSkippingReader& reader) {
  Significand number;
  for (; IsDecimalDigit(reader.Current()); reader.Advance()) {
    TakeDigit(number, reader.Current(), false);
  }
  if (reader.Current() != L'.') return number;
  reader.Advance();
  for (; IsDecimalDigit(reader.Current()); reader.Advance()) {
    TakeDigit(number, reader.Current(), true);
  }
  return number;
}

// "E" or "e", an optional sign and digits; 0 without an "E". Clamped like the scale.
long long ReadExponent(BlankSkippingReader& reader) {
  if (reader.Current() != L'E' && reader.Current() != L'e') return 0;
  reader.Advance();
  const bool negative = ReadSign(reader);
  long long exponent = 0;
  for (; IsDecimalDigit(reader.Current()); reader.Advance()) {
    exponent = Clamp(exponent * 10 + (reader.Current() - L'0'));
  }
  return negative ? -exponent : exponent;
}

// The integer nearest to the value, halves to even; the scale lies in 0..10.
long long RoundHalfToEven(const Significand& number) {
  const std::string& digits = number.digits;
  long long whole = 0;
  for (long long i = 0; i < number.scale; ++i) {
    std::size_t k = static_cast<std::size_t>(i);
    whole = whole * 10 + (k < digits.size() ? digits[k] - '0' : 0);
  }

  // The digits behind the integer part decide.
  std::size_t k = static_cast<std::size_t>(number.scale);
  if (k < digits.size()) {
    int firstDigit = digits[k] - '0';
    bool nonZeroBeyond = number.rest || digits.find_first_not_of('0', k + 1) != std::string::npos;
    if (firstDigit > 5 || (firstDigit == 5 && (nonZeroBeyond || whole % 2 == 1))) ++whole;
  }
  return whole;
}

// The signed result; nullopt outside the signed 32-bit range.
std::optional<std::int32_t> InSignedRange(bool negative, long long whole) {
  if (negative) whole = -whole;
  if (whole < -2147483648LL || whole > 2147483647LL) return std::nullopt;
  return static_cast<std::int32_t>(whole);
}

}  // namespace

std::wstring UngueltigesNamenszeichen(const std::wstring& name,
                                      const std::function<std::wstring(std::wstring)>& toLower) {
  for (std::size_t i = 0; i < name.size();) {
    // A surrogate pair is one character: it is lowered and reported as a whole.
    const std::size_t length = text::CharacterLength(name, i);
    std::wstring lowered = toLower(name.substr(i, length));
    if (!IsAllowed(lowered)) return lowered;
    i += length;
  }
  return {};
}

std::wstring BackslashAnhaengen(const std::wstring& path) {
  if (!path.empty() && path.back() == L'\\') return path;
  return path + L'\\';
}

std::optional<std::int32_t> ReadNumber(const std::wstring& field) {
  BlankSkippingReader reader(field);
  const bool negative = ReadSign(reader);
  Significand number = ReadDigitsAndFraction(reader);
  number.scale = Clamp(number.scale + ReadExponent(reader));

  if (number.digits.empty()) return 0;         // no leading number, or a zero
  if (number.scale > 10) return std::nullopt;  // at least 10^10
  if (number.scale < 0) return 0;              // below 0.1
  return InSignedRange(negative, RoundHalfToEven(number));
}

}  // namespace quillet::Modul
