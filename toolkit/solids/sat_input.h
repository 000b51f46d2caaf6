// The token reader under the SAT parser: numbers, words and characters taken
// from a stream buffer one at a time, with the put-back the number syntax
// needs. Nothing is held whole; a token never writes past its buffer.
#pragma once
#include <cstdint>
#include <cstring>
#include <streambuf>
#include <string>

// A word as the readers compare it: null never matches.
inline bool satWordIs(const char* word, const char* text) { return word && std::strcmp(word, text) == 0; }

class SatInput {
public:
    // The longest word kept, with its terminating NUL; longer words are cut.
    static constexpr std::size_t kWordSize = 104;

    explicit SatInput(std::streambuf* source) : source_(source), failed_(source == nullptr) {}

    // False once a read has failed; reads after that fail too.
    bool good() const { return !failed_; }
    // True when the end of the text has been met.
    bool atEnd() const { return atEnd_; }
    // Clears the failure so that reading can go on (the end stays the end).
    void clearFailure() { failed_ = source_ == nullptr; }
    // Characters taken from the source so far.
    std::uint64_t consumed() const { return consumed_; }

    // Optional sign and digits, at most 15 characters; "0x" makes the rest
    // hexadecimal and a leading "0" octal. Without a digit the characters are
    // put back and the read fails.
    bool readInt(std::int32_t& value);
    // Decimal real of at most 27 characters.
    bool readDouble(double& value);
    // n < 1: everything up to the next white space, which is consumed too;
    // n >= 1: exactly n characters from the first non-blank one.
    bool readWord(int n);
    // The next non-blank character.
    bool readChar(char& c);
    // The next character as it stands (no blank skipped); false at the end.
    bool rawChar(char& c);
    // Puts one character back in front of the text.
    void putBack(char c) { pending_.push_back(c); }

    void clearWord() { word_[0] = '\0'; }
    // The last word read, NUL-terminated.
    char* word() { return word_; }

private:
    int peek();
    int take();
    void skipBlanks();
    // Takes characters while accept says so, at most limit of them.
    template <typename Accept> void takeWhile(std::string& out, std::size_t limit, Accept accept);
    bool fail() {
        failed_ = true;
        return false;
    }

    std::streambuf* source_;
    std::string pending_;  // put-back characters, the last one first
    char word_[kWordSize] = {};
    std::uint64_t consumed_ = 0;
    bool failed_;
    bool atEnd_ = false;
};
