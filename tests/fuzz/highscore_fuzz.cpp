// Arbitrary bytes as the best-score file: the reader must never crash and must read what a small
// model of the file's rule reads: blanks, an optional sign and digits that fit an int start the
// first line; anything else is no number; only the first READ_LIMIT bytes count.
#include "HighScoreFile.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

HighScoreFile::Reading model(const std::uint8_t* data, std::size_t size)
{
    using HighScoreFile::Content;
    if (size == 0)
        return {Content::Empty, 0};
    if (size > HighScoreFile::READ_LIMIT)
        size = HighScoreFile::READ_LIMIT;
    // The text ends at the first line break or NUL.
    std::size_t end = 0;
    while (end < size && data[end] != '\n' && data[end] != '\0')
        ++end;
    auto blank = [](std::uint8_t c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r'; };
    auto digit = [](std::uint8_t c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    while (i < end && blank(data[i]))
        ++i;
    bool negative = false;
    if (i < end && (data[i] == '+' || data[i] == '-'))
        negative = data[i++] == '-';
    if (i == end || !digit(data[i]))
        return {Content::NoNumber, 0};
    long long magnitude = 0;
    for (; i < end && digit(data[i]); ++i) {
        magnitude = magnitude * 10 + (data[i] - '0');
        if (magnitude > 1LL + INT_MAX)
            return {Content::NoNumber, 0};
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT_MAX)
        return {Content::NoNumber, 0};
    return {Content::Number, static_cast<int>(value)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const HighScoreFile::Reading got = HighScoreFile::parse(reinterpret_cast<const char*>(data), size);
    const HighScoreFile::Reading expected = model(data, size);
    if (got.content != expected.content || got.score != expected.score) {
        std::fprintf(stderr, "read %d (content %d), expected %d (content %d)\n", got.score,
                     static_cast<int>(got.content), expected.score, static_cast<int>(expected.content));
        std::abort();
    }
    return 0;
}
