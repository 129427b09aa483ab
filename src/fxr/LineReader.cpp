#include "LineReader.h"

#include "model/FixConsts.h"
#include "model/FixFuncs.h"

namespace {
constexpr int EndOfFileMark = 26;
}

bool TLineReader::Eof()
{
    if (!ended_) {
        const auto c = in_.sgetc();
        ended_ = c == std::char_traits<char>::eof() || c == EndOfFileMark;
    }
    return ended_;
}

std::string TLineReader::ReadPhysicalLine()
{
    // Only the first characters are kept, so a line of any length costs bounded memory.
    std::string line;
    std::size_t length = 0;
    bool lastWasCR = false;
    for (;;) {
        const auto c = in_.sbumpc();
        if (c == std::char_traits<char>::eof() || c == EndOfFileMark) {
            ended_ = true;
            break;
        }
        if (c == '\n') {
            if (lastWasCR && length <= MaxLineLength + 1)
                line.pop_back();
            break;
        }
        if (length <= MaxLineLength)
            line += static_cast<char>(c);
        ++length;
        lastWasCR = c == '\r';
    }
    if (line.size() > MaxLineLength)
        line.resize(MaxLineLength);
    ++lineNumber_;
    return line;
}

std::string TLineReader::Clean(std::string line, bool keepQuotes)
{
    if (StartsWith(line, kw::KeepMarker))
        line.erase(0, kw::KeepMarker.size());
    if (const auto comment = line.find("//"); comment != std::string::npos)
        line = Trim(std::string_view(line).substr(0, comment));
    line = ReplaceChar(line, '\t', ' ');
    return keepQuotes ? line : RemoveChar(line, '"');
}

std::string TLineReader::ReadLine() { return Clean(ReadPhysicalLine(), false); }

std::string TLineReader::ReadAttributeLine() { return Clean(ReadPhysicalLine(), true); }
