#include "toolkit/solids/sat_input.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

bool isBlank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }
bool isDigit(int c) { return c >= '0' && c <= '9'; }
bool isOctal(int c) { return c >= '0' && c <= '7'; }
bool isHex(int c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

}  // namespace

int SatInput::peek() {
    if (!pending_.empty()) return static_cast<unsigned char>(pending_.back());
    if (!source_ || atEnd_) return EOF;
    const int c = source_->sgetc();
    if (c == std::char_traits<char>::eof()) {
        atEnd_ = true;
        return EOF;
    }
    return static_cast<unsigned char>(c);
}

int SatInput::take() {
    const int c = peek();
    if (c == EOF) return EOF;
    if (!pending_.empty())
        pending_.pop_back();
    else {
        source_->sbumpc();
        ++consumed_;
    }
    return c;
}

void SatInput::skipBlanks() {
    while (isBlank(peek())) take();
}

template <typename Accept>
void SatInput::takeWhile(std::string& out, std::size_t limit, Accept accept) {
    while (out.size() < limit && accept(peek())) out.push_back(static_cast<char>(take()));
}

bool SatInput::readInt(std::int32_t& value) {
    if (failed_) return false;
    skipBlanks();
    constexpr std::size_t kLimit = 15;
    std::string text;
    takeWhile(text, 1, [](int c) { return c == '+' || c == '-'; });
    const std::size_t signEnd = text.size();
    int base = 10;
    if (peek() == '0') {
        text.push_back(static_cast<char>(take()));
        base = 8;
        if (peek() == 'x' || peek() == 'X') {
            text.push_back(static_cast<char>(take()));
            base = 16;
        }
    }
    const std::size_t prefixEnd = text.size();
    if (base == 16)
        takeWhile(text, kLimit, isHex);
    else if (base == 8)
        takeWhile(text, kLimit, isOctal);
    else
        takeWhile(text, kLimit, isDigit);
    if (base == 16 && text.size() == prefixEnd) {
        // "0x" without a hexadecimal digit is the number 0 followed by "x".
        putBack(text.back());
        text.pop_back();
        base = 8;
    }
    if (text.size() == signEnd) {
        for (auto c = text.rbegin(); c != text.rend(); ++c) putBack(*c);
        return fail();
    }
    const long long number = std::strtoll(text.c_str(), nullptr, base);
    if (number < INT32_MIN || number > INT32_MAX) return fail();
    value = static_cast<std::int32_t>(number);
    return true;
}

bool SatInput::readDouble(double& value) {
    if (failed_) return false;
    skipBlanks();
    constexpr std::size_t kLimit = 27;
    std::string text;
    takeWhile(text, 1, [](int c) { return c == '+' || c == '-'; });
    const std::size_t signEnd = text.size();
    takeWhile(text, kLimit, isDigit);
    std::size_t digits = text.size() - signEnd;
    if (text.size() < kLimit && peek() == '.') {
        text.push_back(static_cast<char>(take()));
        const std::size_t before = text.size();
        takeWhile(text, kLimit, isDigit);
        digits += text.size() - before;
    }
    if (digits == 0) {
        for (auto c = text.rbegin(); c != text.rend(); ++c) putBack(*c);
        return fail();
    }
    if (text.size() < kLimit && (peek() == 'e' || peek() == 'E')) {
        const std::size_t mark = text.size();
        text.push_back(static_cast<char>(take()));
        takeWhile(text, mark + 2, [](int c) { return c == '+' || c == '-'; });
        const std::size_t before = text.size();
        takeWhile(text, kLimit, isDigit);
        if (text.size() == before) {  // no exponent digits: the "e" is not part of the number
            while (text.size() > mark) {
                putBack(text.back());
                text.pop_back();
            }
        }
    }
    errno = 0;
    const double number = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(number)) return fail();
    value = number;
    return true;
}

bool SatInput::readWord(int n) {
    if (failed_) return false;
    skipBlanks();
    if (peek() == EOF) return fail();
    std::size_t kept = 0;
    auto keep = [&](int c) {
        if (kept + 1 < kWordSize) word_[kept++] = static_cast<char>(c);
    };
    if (n < 1) {
        while (peek() != EOF && !isBlank(peek())) keep(take());
        take();  // the white space that ends the word
    } else {
        for (int i = 0; i < n; ++i) {
            const int c = take();
            if (c == EOF) {
                word_[kept] = '\0';
                return fail();
            }
            keep(c);
        }
    }
    word_[kept] = '\0';
    return true;
}

bool SatInput::readChar(char& c) {
    if (failed_) return false;
    skipBlanks();
    return rawChar(c);
}

bool SatInput::rawChar(char& c) {
    if (failed_) return false;
    const int got = take();
    if (got == EOF) return fail();
    c = static_cast<char>(got);
    return true;
}
