#pragma once

// Pieces both writers share.

#include "SaveFile.h"
#include "model/FixClasses.h"

#include <string>
#include <string_view>

namespace writer {

// The text of a file as it is composed. Without a block writer it is kept whole in Text(); with
// one, it is handed over in blocks of at most BlockSize bytes as they fill, a longer line on its
// own, and Finish() hands over the rest.
class TLines {
public:
    static constexpr std::size_t BlockSize = 65536;

    TLines() = default;
    explicit TLines(TWriteBlock write) : write_(std::move(write)), limit_(BlockSize) { text_.reserve(BlockSize); }

    void Line(std::string_view text)
    {
        Add(text);
        Add("\r\n");
    }
    void Empty(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            Add("\r\n");
    }
    // Room for the whole text, so that a large one is not moved, and held twice, as it grows.
    void Reserve(std::size_t size)
    {
        if (!write_)
            text_.reserve(size);
    }
    void Finish()
    {
        if (write_)
            Spill({});
    }
    std::string &Text() { return text_; }

private:
    void Add(std::string_view text)
    {
        if (text_.size() + text.size() > limit_)
            Spill(text);
        else
            text_ += text;
    }
    void Spill(std::string_view text);

    TWriteBlock write_;
    std::size_t limit_ = std::string::npos;
    std::string text_;
};

inline const std::string Separator = "// " + std::string(77, '-');

// The text of a file in format 1.0 or 2.
void Format10(const TFixture &fixture, TLines &out);
void Format2(const TFixture &fixture, TLines &out);

using TSection = void (*)(TLines &out, const TFixture &fixture);
// The header, then the three sections with the banners between them, and the end of the text.
void Compose(TLines &out, const TFixture &fixture, TSection header, TSection attributes, TSection commands,
             TSection palettes);

std::string Quoted(std::string_view text);
void Introduction(TLines &out);
std::string DateLine(TDateTime date);
// Columns 1 to 10 of an attribute line.
std::string AttributeColumns(const TParameter &p);
void PaletteExplanation(TLines &out);
void PaletteValues(TLines &out, const TAttributeNameIndex &attributes, const TPalette &palette);

} // namespace writer
