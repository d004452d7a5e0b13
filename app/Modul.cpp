#include "app/Modul.h"

#include <string_view>

#include "text/Characters.h"

namespace Modul {

namespace {

bool IstErlaubt(const std::wstring& zeichen) {
  // Without the terminating NUL: a NUL in a name is no allowed character.
  constexpr std::wstring_view erlaubt(kErlaubteNamenszeichen);
  return zeichen.size() == 1 && erlaubt.find(zeichen[0]) != std::wstring_view::npos;
}

bool IstLeerraum(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n'; }
bool IstZiffer(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Walks a text while skipping blanks, tabs and line feeds wherever they stand.
class Leser {
 public:
  explicit Leser(const std::wstring& text) : text_(text) { Ueberspringen(); }
  bool Ende() const { return pos_ >= text_.size(); }
  wchar_t Zeichen() const { return Ende() ? L'\0' : text_[pos_]; }
  void Weiter() {
    ++pos_;
    Ueberspringen();
  }

 private:
  void Ueberspringen() {
    while (pos_ < text_.size() && IstLeerraum(text_[pos_])) ++pos_;
  }
  const std::wstring& text_;
  std::size_t pos_ = 0;
};

// More significant digits than this never matter: a value with more than ten integer digits
// overflows anyway, and rounding needs only one digit after those plus whether any non-zero
// digit follows.
constexpr std::size_t kMaxZiffern = 16;
// Exponents are clamped here so that no digit string or exponent can overflow the arithmetic;
// any clamped value is far outside the 32-bit range or far below one half.
constexpr long long kMaxExponent = 1'000'000'000'000LL;

long long Begrenzen(long long wert) {
  if (wert > kMaxExponent) return kMaxExponent;
  if (wert < -kMaxExponent) return -kMaxExponent;
  return wert;
}

}  // namespace

std::wstring UngueltigesNamenszeichen(const std::wstring& name,
                                      const std::function<std::wstring(std::wstring)>& toLower) {
  for (std::size_t i = 0; i < name.size();) {
    // A surrogate pair is one character: it is lowered and reported as a whole.
    const std::size_t laenge = text::CharacterLength(name, i);
    std::wstring klein = toLower(name.substr(i, laenge));
    if (!IstErlaubt(klein)) return klein;
    i += laenge;
  }
  return {};
}

std::wstring BackslashAnhaengen(const std::wstring& path) {
  if (!path.empty() && path.back() == L'\\') return path;
  return path + L'\\';
}

std::optional<std::int32_t> ZahlLesen(const std::wstring& feld) {
  Leser leser(feld);

  bool negativ = false;
  if (leser.Zeichen() == L'+' || leser.Zeichen() == L'-') {
    negativ = leser.Zeichen() == L'-';
    leser.Weiter();
  }

  // The value is 0.<ziffern> * 10^stellen, with the significant digits from the first non-zero
  // one on; `rest` tells whether a non-zero digit was cut off behind them.
  std::string ziffern;
  bool rest = false;
  long long stellen = 0;
  bool nachKomma = false;
  while (IstZiffer(leser.Zeichen()) || (leser.Zeichen() == L'.' && !nachKomma)) {
    wchar_t c = leser.Zeichen();
    leser.Weiter();
    if (c == L'.') {
      nachKomma = true;
      continue;
    }
    if (ziffern.empty() && c == L'0') {
      if (nachKomma) stellen = Begrenzen(stellen - 1);
      continue;
    }
    if (ziffern.size() < kMaxZiffern)
      ziffern.push_back(static_cast<char>(c));
    else if (c != L'0')
      rest = true;
    if (!nachKomma) stellen = Begrenzen(stellen + 1);
  }

  if (leser.Zeichen() == L'E' || leser.Zeichen() == L'e') {
    leser.Weiter();
    bool exponentNegativ = false;
    if (leser.Zeichen() == L'+' || leser.Zeichen() == L'-') {
      exponentNegativ = leser.Zeichen() == L'-';
      leser.Weiter();
    }
    long long exponent = 0;
    while (IstZiffer(leser.Zeichen())) {
      exponent = Begrenzen(exponent * 10 + (leser.Zeichen() - L'0'));
      leser.Weiter();
    }
    stellen = Begrenzen(stellen + (exponentNegativ ? -exponent : exponent));
  }

  if (ziffern.empty()) return 0;          // no leading number, or a zero
  if (stellen > 10) return std::nullopt;  // at least 10^10
  if (stellen < 0) return 0;              // below 0.1

  long long ganz = 0;
  for (long long i = 0; i < stellen; ++i) {
    std::size_t k = static_cast<std::size_t>(i);
    ganz = ganz * 10 + (k < ziffern.size() ? ziffern[k] - '0' : 0);
  }

  // Round half to even on the digits behind the integer part.
  std::size_t k = static_cast<std::size_t>(stellen);
  if (k < ziffern.size()) {
    int erste = ziffern[k] - '0';
    bool dahinter = rest || ziffern.find_first_not_of('0', k + 1) != std::string::npos;
    if (erste > 5 || (erste == 5 && (dahinter || ganz % 2 == 1))) ++ganz;
  }

  if (negativ) ganz = -ganz;
  if (ganz < -2147483648LL || ganz > 2147483647LL) return std::nullopt;
  return static_cast<std::int32_t>(ganz);
}

}  // namespace Modul
