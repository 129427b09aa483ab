#include "FixtureReader.h"

#include "LineReader.h"
#include "model/FixConsts.h"
#include "model/FixFuncs.h"
#include "platform/Errors.h"
#include "platform/Paths.h"
#include "platform/UserDialogs.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr uint8_t NoPaletteTypeYet = 255;

bool Contains(std::string_view text, std::string_view word)
{
    return text.find(word) != std::string_view::npos;
}

// The text after the first "=", trimmed, or nothing.
std::string_view TrimmedValueOf(std::string_view line)
{
    const auto equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view() : TrimmedView(line.substr(equals + 1));
}

void ToUpperInPlace(std::string &text)
{
    for (char &c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
}

void TrimInPlace(std::string &text)
{
    const std::string_view trimmed = TrimmedView(text);
    if (trimmed.size() == text.size())
        return;
    const auto first = static_cast<std::size_t>(trimmed.data() - text.data());
    text.resize(first + trimmed.size());
    text.erase(0, first);
}

// True when the text is empty after trimming.
bool IsBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

// The text after the first "=", or nothing.
std::string ValueOf(std::string_view line)
{
    const auto equals = line.find('=');
    return equals == std::string_view::npos ? std::string() : std::string(line.substr(equals + 1));
}

std::string Part(std::string_view text, std::size_t from, std::size_t count)
{
    return from >= text.size() ? std::string() : std::string(text.substr(from, count));
}

TDateTime ParseDate(std::string_view text)
{
    const std::string value = Trim(text);
    const auto date =
        TryEncodeDate(StrToInt(Part(value, 6, 4)), StrToInt(Part(value, 3, 2)), StrToInt(Part(value, 0, 2)));
    if (!date)
        throw EConvertError("'" + value + "' is not a valid date");
    return *date;
}

uint8_t TypeCode(std::string_view code, std::string_view shortList, std::string_view longList, uint8_t otherwise)
{
    if (code.size() == 1)
        return static_cast<uint8_t>(CodeIndex(code, shortList));
    if (code.size() == 2)
        return static_cast<uint8_t>(CodeIndex(code, longList));
    return otherwise;
}

int32_t NumberOr(std::string_view text, int64_t fullScale, int32_t otherwise)
{
    try {
        return ParseNumber(text, fullScale);
    } catch (const EConvertError &) {
        return otherwise;
    }
}

class TFixtureReader {
public:
    TFixtureReader(std::istream &in, TFixture &fixture) : lines_(in), fixture_(fixture) {}

    void Read()
    {
        try {
            while (!lines_.Eof()) {
                lines_.ReadLine(headerLine_);
                current_.assign(headerLine_);
                ToUpperInPlace(current_);
                // An empty line satisfies no keyword; most lines between the sections are comments.
                if (!headerLine_.empty())
                    HeaderLine(headerLine_, current_);
            }
        } catch (const ELoadError &) {
            throw;
        } catch (const std::exception &) {
            throw ELoadError(lines_.LineNumber(), current_);
        }
    }

private:
    void HeaderLine(const std::string &line, const std::string &upper)
    {
        // Keywords that may stand anywhere count only before the "=", so that a value such as the
        // fixture name Update or a brand with VERSION in it is taken for what it is.
        const std::string_view keyPart = std::string_view(upper).substr(0, upper.find('='));
        const std::string value = ValueOf(line);
        TFixture &f = fixture_;
        if (Contains(keyPart, kw::FormatVersion))
            f.FormatVersion = StrToFloatTrunc(value);
        else if (Contains(keyPart, kw::Version))
            f.FormatVersion = 1;
        if (Contains(keyPart, kw::Author))
            f.Author = Trim(value);
        if (Contains(keyPart, kw::Revision))
            f.Revision = Trim(value);
        if (Contains(keyPart, kw::Date))
            f.Date = ParseDate(value);
        if (StartsWith(upper, kw::Fixture))
            f.Name = Trim(value);
        if (StartsWith(upper, kw::Brand))
            f.Brand = Trim(value);
        if (StartsWith(upper, kw::Type))
            f.FixtureType = static_cast<uint8_t>(CodeIndex(Trim(value), codes::FixtureType));
        if (StartsWith(upper, kw::PanAngleMin))
            f.PanAngleMin = StrToInt(value);
        if (StartsWith(upper, kw::PanAngleMax))
            f.PanAngleMax = StrToInt(value);
        if (StartsWith(upper, kw::TiltAngleMin))
            f.TiltAngleMin = StrToInt(value);
        if (StartsWith(upper, kw::TiltAngleMax))
            f.TiltAngleMax = StrToInt(value);
        if (StartsWith(upper, kw::DmxChannels))
            f.DmxChannels = StrToInt(value);
        if (StartsWith(upper, kw::DmxSplitChannels))
            f.DmxSplitChannels = StrToInt(value);
        if (StartsWith(upper, kw::Comments))
            ReadComments();
        if (StartsWith(upper, kw::Parameters))
            ReadAttributes();
        if (StartsWith(upper, kw::Commands))
            ReadCommands();
        if (StartsWith(upper, kw::Palettes))
            ReadPalettes();
    }

    void ReadComments()
    {
        // The end test comes before the line is used, as the format has always had it: a file
        // that ends inside the block loses its last line, and leading empty lines are dropped.
        std::string line;
        while (!lines_.Eof() && line != kw::EndComments) {
            if (!fixture_.Comments.empty())
                fixture_.Comments += "\r\n";
            fixture_.Comments += line;
            lines_.ReadLine(line);
            current_ = line;
        }
    }

    void ReadAttributes()
    {
        int counter = 0;
        std::string line;
        while (!lines_.Eof() && line != kw::EndParameters) {
            if (!IsBlank(line))
                AddAttribute(line, ++counter);
            lines_.ReadAttributeLine(attributeLine_);
            line = ColumnsFromLine(attributeLine_);
            current_ = line;
        }
    }

    void AddAttribute(const std::string &line, int counter)
    {
        std::size_t at = 1;
        auto column = [&] { return NextColumn(line, at); };
        auto p = std::make_unique<TParameter>();
        p->Name = column();
        p->Order = static_cast<uint8_t>(counter);
        p->Priority = NumberOr(column(), 255, 0);
        p->ChannelType = TypeCode(column(), codes::ChannelTypeShort, codes::ChannelType, 0);
        p->ControlType = static_cast<uint8_t>(CodeIndex(column(), codes::ControlType));
        const int32_t width = ParseNumber(column(), 255);
        p->Width = static_cast<uint8_t>(width);
        p->InternalPatch = static_cast<uint16_t>(ParseNumber(column(), 255));
        p->InternalPatchLow = static_cast<uint16_t>(NumberOr(column(), 255, 0));
        p->Path = static_cast<uint8_t>(CodeIndex(column(), codes::Path));
        // Both values are kept on the 8-bit scale; a 16-bit attribute's file values are 257-fold.
        p->DmxMin = static_cast<uint16_t>(ParseDmxValue(column(), 255, width != 16) / 257);
        p->DmxMax = static_cast<uint16_t>(ParseDmxValue(column(), 255, width != 16) / 257);
        if (fixture_.FormatVersion == 2) {
            p->Inherit = CodeIndex(column(), codes::YesNo) == codes::Yes;
            p->ShowOnEditor = CodeIndex(column(), codes::YesNo) == codes::Yes;
        } else {
            column(); // equalization
            column(); // pre heat
            p->ShowOnEditor = CodeIndex(column(), codes::YesNo) != codes::No;
        }
        fixture_.AddParameter(std::move(p));
    }

    static bool IsCommandName(std::string_view line) { return StartsWithText(line, kw::CommandName); }

    // The attribute of a name, as ParameterByName finds it. The reader only ever adds attributes,
    // so the index is current as long as the number of entries is.
    const TParameter *AttributeNamed(std::string_view name)
    {
        if (!names_ || namesCount_ != fixture_.Attributes.Count()) {
            names_.emplace(fixture_.Attributes);
            namesCount_ = fixture_.Attributes.Count();
        }
        return names_->Find(name);
    }

    // A name as written in steps and values (or a bitmap's), made once and shared by all that
    // write it alike, with the attribute it names as AttributeNamed finds it. The attribute is
    // looked up again once attributes were added since.
    struct TNamed {
        TName Name;
        const TParameter *Attribute = nullptr;
        std::size_t FoundAmong = SIZE_MAX; // the number of attributes when it was looked up
    };

    // Names are found by their exact text in a table of open addressing, a power of two of slots
    // at most half of which hold the position of a name, counted from 1.
    TNamed &Named(std::string_view text)
    {
        if (namedSlots_.size() < named_.size() * 2 + 2) {
            namedSlots_.assign(std::max<std::size_t>(64, namedSlots_.size() * 2), 0);
            for (std::size_t i = 0; i < named_.size(); ++i)
                namedSlots_[SlotOf(named_[i].Name)] = static_cast<uint32_t>(i + 1);
        }
        const std::size_t slot = SlotOf(text);
        if (namedSlots_[slot] == 0) {
            named_.push_back({TName(text)});
            namedSlots_[slot] = static_cast<uint32_t>(named_.size());
        }
        return named_[namedSlots_[slot] - 1];
    }

    // The slot that holds the name, or the free one where it belongs.
    std::size_t SlotOf(std::string_view text) const
    {
        const std::size_t mask = namedSlots_.size() - 1;
        std::size_t slot = std::hash<std::string_view>()(text) & mask;
        while (namedSlots_[slot] != 0 && named_[namedSlots_[slot] - 1].Name != text)
            slot = (slot + 1) & mask;
        return slot;
    }

    const TParameter *AttributeOf(TNamed &named)
    {
        if (named.FoundAmong != fixture_.Attributes.Count()) {
            named.Attribute = AttributeNamed(named.Name);
            named.FoundAmong = fixture_.Attributes.Count();
        }
        return named.Attribute;
    }

    void ReadCommands()
    {
        // current_ is the line in hand throughout: the COMMANDS line on entry.
        while (!lines_.Eof() && current_ != kw::EndCommands) {
            if (!IsCommandName(current_))
                lines_.ReadLine(current_);
            if (!IsCommandName(current_))
                continue;
            TCommand &command = fixture_.AddCommand(Trim(ValueOf(current_)));
            // The steps gather in a list of the reader's, so that the command gets one block of
            // their number.
            steps_.Lines.clear();
            while (!lines_.Eof()) {
                lines_.ReadLine(current_);
                TrimInPlace(current_);
                if (current_.empty() || current_ == kw::EndCommands || IsCommandName(current_))
                    break;
                AddStep(steps_, current_);
            }
            command.Lines = steps_.Lines;
        }
    }

    void AddStep(TCommand &command, const std::string &line)
    {
        std::size_t at = 1;
        const std::string_view first = NextColumn(line, at);
        const std::string_view second = NextColumn(line, at);
        const std::string_view third = NextColumn(line, at);
        TName channelName;
        const TParameter *attribute = nullptr;
        std::string_view valueText;
        std::string_view timeText;
        if (fixture_.FormatVersion == 2) {
            valueText = second;
            timeText = third;
            if (StartsWith(first, "#")) {
                const int32_t patch = StrToInt(first.substr(1));
                channelName = Named("#" + std::to_string(patch)).Name;
                attribute = fixture_.ParameterByPatch(patch);
            } else {
                TNamed &named = Named(first);
                channelName = named.Name;
                attribute = AttributeOf(named);
            }
        } else {
            valueText = first;
            timeText = second;
            const int32_t patch = ParseNumber(third, 255);
            attribute = fixture_.ParameterByPatch(patch);
            if (!attribute)
                attribute = AddControlChannel(patch);
            channelName = Named(attribute->Name).Name;
        }
        const int64_t value = attribute ? ParseDmxValue(valueText, attribute->DmxMax, attribute->Width == 8)
                                        : ParseDmxValue(valueText, 255, true);
        command.AddLine(std::move(channelName), value, ParseNumber(timeText, 65535));
    }

    // A format 1.0 step on a channel without attribute makes it a hidden attribute named Control.
    const TParameter *AddControlChannel(int32_t patch)
    {
        auto control = std::make_unique<TParameter>();
        control->Name = "Control";
        control->Priority = 1;
        control->ChannelType = ctIntensity;
        control->ControlType = ctlLTP;
        control->Width = 8;
        control->InternalPatch = static_cast<uint16_t>(patch);
        control->Path = pathSnapStart;
        control->DmxMax = 255;
        control->Order = 255;
        const TParameter *added = control.get();
        fixture_.AddParameter(std::move(control));
        return added;
    }

    void ReadPalettes()
    {
        TPalette *palette = nullptr;
        // The values of a palette gather in a list of the reader's, so that the palette gets one
        // block of their number once it is complete.
        const auto completePalette = [&] {
            if (palette)
                palette->Lines = values_.Lines;
            values_.Lines.Clear();
        };
        uint8_t type = NoPaletteTypeYet;
        const auto currentPalette = [&]() -> TPalette & {
            if (!palette)
                throw EFixtureError("No palette started");
            return *palette;
        };
        while (!lines_.Eof()) {
            lines_.ReadLine(current_);
            const std::string &line = current_;
            if (line == kw::EndPalettes)
                break;
            const std::string_view value = TrimmedValueOf(line);
            // Every palette keyword begins with PALETTE; most lines of the section are values.
            const bool keyword = StartsWith(line, "PALETTE");
            if (keyword && StartsWith(line, kw::PaletteType)) {
                type = TypeCode(value, codes::PaletteTypeShort, codes::PaletteType, type);
            } else if (keyword && StartsWith(line, kw::PaletteName)) {
                completePalette();
                palette = &fixture_.AddPalette(std::string(value), type);
            } else if (keyword && StartsWith(line, kw::PaletteBitmap)) {
                currentPalette().Bitmap = Named(value).Name;
            } else if (keyword && StartsWith(line, kw::PaletteColor)) {
                SetColour(currentPalette(), std::string(value));
            } else if (keyword && StartsWith(line, kw::PaletteDes)) {
                currentPalette().Description = value;
            } else if (!IsBlank(line)) {
                const auto equals = line.find('=');
                if (equals == std::string::npos)
                    throw EFixtureError("No attribute");
                TNamed &channel = Named(TrimmedView(std::string_view(line).substr(0, equals)));
                const TParameter *attribute = AttributeOf(channel);
                if (!attribute)
                    throw EFixtureError("No attribute");
                const int64_t number = ParseDmxValue(value, attribute->DmxMax, attribute->Width == 8);
                currentPalette(); // a value belongs to a palette
                values_.SetValue(channel.Name, static_cast<int32_t>(number));
            }
        }
        completePalette();
    }

    // Up to three components; missing ones stay -1, further ones are ignored.
    static void SetColour(TPalette &palette, const std::string &value)
    {
        if (value.empty())
            return;
        int32_t *components[] = {&palette.Red, &palette.Green, &palette.Blue};
        std::size_t from = 0;
        for (int32_t *component : components) {
            const auto comma = value.find(',', from);
            *component =
                StrToInt(Trim(value.substr(from, comma == std::string::npos ? std::string::npos : comma - from)));
            if (comma == std::string::npos)
                break;
            from = comma + 1;
        }
    }

    TLineReader lines_;
    TFixture &fixture_;
    std::string current_;
    // Lines as read, kept to use their storage again.
    std::string headerLine_;
    std::string attributeLine_;
    // The command and the palette being read gather their steps and values here.
    TCommand steps_{{}};
    TPalette values_{{}, 0};
    std::optional<TAttributeNameIndex> names_;
    std::size_t namesCount_ = 0;
    std::deque<TNamed> named_; // a name keeps its place as more are added
    std::vector<uint32_t> namedSlots_;
};

} // namespace

ELoadError::ELoadError(int lineNumber, const std::string &line)
    : std::runtime_error("Cannot open the file. Error in line #" + std::to_string(lineNumber) + ":   " + line),
      LineNumber(lineNumber)
{
}

void ReadFixture(std::istream &in, TFixture &fixture)
{
    fixture.Clear();
    TFixtureReader(in, fixture).Read();
    if (in.bad())
        throw EInOutError("Read error");
}

namespace {

// "File access error" with the reason the system gives.
EInOutError AccessError(int error)
{
    return EInOutError(std::string("File access error (") + std::strerror(error) + ")");
}

} // namespace

TFixture ReadFixtureFile(const std::string &path)
{
    // Only a regular file: a FIFO without a writer or a device such as /dev/zero would never end.
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        throw AccessError(errno);
    if (S_ISDIR(info.st_mode))
        throw AccessError(EISDIR);
    if (!S_ISREG(info.st_mode))
        throw EInOutError("File access error (not a regular file)");
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        throw AccessError(errno);
    TFixture fixture;
    ReadFixture(in, fixture);
    const std::filesystem::path file(path);
    fixture.FileName = file.filename().string();
    fixture.FileDir = file.parent_path().string();
    fixture.FilePath = path;
    return fixture;
}

bool TFixture::Load()
{
    std::optional<std::string> chosen;
    if (Layout800) {
        chosen = Dialogs().LoadFromFileList();
    } else {
        TFileDialogOptions options;
        options.InitialDir = FixturesDir();
        chosen = Dialogs().OpenFileName(options);
    }
    if (!chosen || chosen->empty())
        return false;
    return LoadFile(*chosen);
}

bool TFixture::LoadFile(const std::string &path)
{
    FilePath = path;
    try {
        TFixture loaded = ReadFixtureFile(FilePath);
        loaded.Layout800 = Layout800;
        *this = std::move(loaded);
        return true;
    } catch (const EInOutError &error) {
        Dialogs().ShowMessage(TMessageKind::Warning, error.what());
    } catch (const ELoadError &error) {
        Dialogs().ShowMessage(TMessageKind::Plain, error.what());
    }
    return false;
}
