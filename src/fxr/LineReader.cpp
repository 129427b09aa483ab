#include "LineReader.h"

#include "model/FixConsts.h"
#include "model/FixFuncs.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
constexpr char EndOfFileMark = 26;

bool IsTrimmed(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}
} // namespace

bool TLineReader::Fill()
{
    begin_ = 0;
    end_ = drained_ ? 0 : static_cast<std::size_t>(std::max<std::streamsize>(in_.sgetn(buffer_.get(), BufferSize), 0));
    drained_ = end_ < BufferSize;
    std::memset(buffer_.get() + end_, 0, Slack);
    const void *mark = std::memchr(buffer_.get(), EndOfFileMark, end_);
    mark_ = mark ? static_cast<std::size_t>(static_cast<const char *>(mark) - buffer_.get()) : end_;
    return end_ > 0;
}

bool TLineReader::Eof()
{
    if (!ended_ && begin_ == end_ && !Fill())
        ended_ = true;
    if (!ended_ && buffer_[begin_] == EndOfFileMark)
        ended_ = true;
    return ended_;
}

void TLineReader::ReadPhysicalLine(std::string &line)
{
    // Only the first characters are kept; the rest of a long line is skipped block by block.
    // One character more than a line holds is kept until the end, for the CR before the LF.
    line.clear();
    bool endedByLineFeed = false;
    std::size_t length = 0;
    while (!ended_) {
        if (begin_ == end_ && !Fill()) {
            ended_ = true;
            break;
        }
        const char *from = buffer_.get() + begin_;
        const std::size_t available = end_ - begin_;
        const char *lineFeed = static_cast<const char *>(std::memchr(from, '\n', available));
        const std::size_t scanned = lineFeed ? static_cast<std::size_t>(lineFeed - from) : available;
        const char *mark = mark_ < begin_ + scanned ? buffer_.get() + mark_ : nullptr;
        const std::size_t taken = mark ? static_cast<std::size_t>(mark - from) : scanned;
        if (length <= MaxLineLength)
            line.append(from, std::min(taken, MaxLineLength + 1 - length));
        length += taken;
        if (mark) {
            ended_ = true;
            begin_ = end_;
            break;
        }
        begin_ += scanned;
        if (lineFeed) {
            ++begin_;
            endedByLineFeed = true;
            break;
        }
    }
    // A carriage return right before the line feed belongs to the line end.
    if (endedByLineFeed && length > 0 && length <= MaxLineLength + 1 && line.back() == '\r')
        line.pop_back();
    if (line.size() > MaxLineLength)
        line.resize(MaxLineLength);
    ++lineNumber_;
}

std::string TLineReader::Clean(std::string line, bool keepQuotes)
{
    CleanInPlace(line, keepQuotes);
    return line;
}

void TLineReader::CleanInPlace(std::string &line, bool keepQuotes)
{
    if (StartsWith(line, kw::KeepMarker))
        line.erase(0, kw::KeepMarker.size());
    if (const auto comment = line.find("//"); comment != std::string::npos) {
        std::size_t last = comment;
        while (last > 0 && IsTrimmed(line[last - 1]))
            --last;
        line.resize(last);
        std::size_t first = 0;
        while (first < line.size() && IsTrimmed(line[first]))
            ++first;
        line.erase(0, first);
    }
    // Tabs become blanks and, unless kept, double quotes go; both are found a block at a time.
    char *const begin = line.data();
    char *const end = begin + line.size();
    for (char *tab = begin; (tab = static_cast<char *>(std::memchr(tab, '\t', end - tab))) != nullptr; ++tab)
        *tab = ' ';
    char *kept = keepQuotes ? nullptr : static_cast<char *>(std::memchr(begin, '"', line.size()));
    if (!kept)
        return;
    for (const char *from = kept + 1; from < end;) {
        const char *quote = static_cast<const char *>(std::memchr(from, '"', end - from));
        const char *to = quote ? quote : end;
        std::memmove(kept, from, to - from);
        kept += to - from;
        from = to + 1;
    }
    line.resize(kept - begin);
}

bool TLineReader::ReadPlainLine(std::string &line, bool keepQuotes)
{
#if defined(__SSE2__)
    // Blocks of 16 characters are searched for the line feed and, before it, for the characters
    // that need cleaning. The line must end before the end of the data in the buffer and before
    // the reader would cut it.
    if (ended_ || begin_ >= end_)
        return false;
    const char *const from = buffer_.get() + begin_;
    const std::size_t available = std::min(mark_, end_) - begin_;
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i slash = _mm_set1_epi8('/');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i quote = _mm_set1_epi8('"');
    // Where the quotes stand, a mask for each block of 16 characters.
    uint32_t quotes[MaxLineLength / 16 + 1];
    bool quoted = false;
    std::size_t length = 0;
    for (std::size_t at = 0;; at += 16) {
        if (at >= available || at > MaxLineLength)
            return false;
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + at));
        const auto found = [&](__m128i c) {
            return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, c)));
        };
        const uint32_t valid = available - at >= 16 ? 0xFFFFu : (1u << (available - at)) - 1;
        const uint32_t feeds = found(lineFeed) & valid;
        const uint32_t before = feeds != 0 ? (feeds & (~feeds + 1)) - 1 : valid;
        if (((found(slash) | found(tab)) & before) != 0)
            return false;
        quotes[at / 16] = found(quote) & before;
        quoted = quoted || quotes[at / 16] != 0;
        if (feeds != 0) {
            length = at + static_cast<std::size_t>(__builtin_ctz(feeds));
            break;
        }
    }
    if (length > MaxLineLength)
        return false;
    begin_ += length + 1;
    ++lineNumber_;
    if (length > 0 && from[length - 1] == '\r')
        --length;
    if (!quoted || keepQuotes) {
        line.assign(from, length);
        return true;
    }
    // The parts between the quotes, joined.
    line.clear();
    std::size_t part = 0;
    for (std::size_t block = 0; block * 16 < length; ++block)
        for (uint32_t mask = quotes[block]; mask != 0; mask &= mask - 1) {
            const std::size_t at = block * 16 + static_cast<std::size_t>(__builtin_ctz(mask));
            line.append(from + part, at - part);
            part = at + 1;
        }
    if (part < length)
        line.append(from + part, length - part);
    return true;
#else
    (void)line;
    (void)keepQuotes;
    return false;
#endif
}

void TLineReader::ReadLine(std::string &line)
{
    if (ReadPlainLine(line, false))
        return;
    ReadPhysicalLine(line);
    CleanInPlace(line, false);
}

void TLineReader::ReadAttributeLine(std::string &line)
{
    if (ReadPlainLine(line, true))
        return;
    ReadPhysicalLine(line);
    CleanInPlace(line, true);
}

std::string TLineReader::ReadLine()
{
    std::string line;
    ReadLine(line);
    return line;
}

std::string TLineReader::ReadAttributeLine()
{
    std::string line;
    ReadAttributeLine(line);
    return line;
}
