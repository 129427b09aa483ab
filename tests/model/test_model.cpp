// The fixture model: its lists and lookups, the text and number functions of the format, and the
// colours of palettes.

#include "model/FixClasses.h"
#include "model/FixColors.h"
#include "model/FixFuncs.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/IniFile.h"
#include "support/Expected.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <functional>
#include <map>
#include <random>

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

// Bytes as the table writes them: \t, \r, \n, \\ and \xNN for the others outside printable ASCII.
std::string Escaped(const std::string &text)
{
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        static const char hex[] = "0123456789ABCDEF";
        out += c == '\t' ? "\\t" : c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\\' ? "\\\\" : "";
        if (byte >= 32 && byte < 127 && c != '\\')
            out += c;
        else if (byte != '\t' && byte != '\r' && byte != '\n' && c != '\\')
            out += std::string("\\x") + hex[byte >> 4] + hex[byte & 15];
    }
    return out;
}

std::string Unescaped(const std::string &text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char c = text[++i];
        if (c == 'x') {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c;
        }
    }
    return out;
}

using TArgs = std::vector<std::string>;
long long N(const std::string &text)
{
    return std::stoll(text);
}

const std::map<std::string, std::function<std::string(const TArgs &)>> Functions = {
    {"PatchKey", [](const TArgs &a) { return PatchKey(N(a[0])); }},
    {"PadNumber", [](const TArgs &a) { return PadNumber(N(a[0]), N(a[1])); }},
    {"PadRight", [](const TArgs &a) { return PadRight(a[0], N(a[1])); }},
    {"Trim", [](const TArgs &a) { return Trim(a[0]); }},
    {"UpperCase", [](const TArgs &a) { return UpperCase(a[0]); }},
    {"LowerCase", [](const TArgs &a) { return LowerCase(a[0]); }},
    {"ReplaceChar", [](const TArgs &a) { return ReplaceChar(a[0], a[1][0], a[2][0]); }},
    {"RemoveChar", [](const TArgs &a) { return RemoveChar(a[0], a[1][0]); }},
    {"SameText", [](const TArgs &a) { return std::to_string(SameText(a[0], a[1])); }},
    {"SameHash",
     [](const TArgs &a) { return std::to_string(TCaseInsensitiveHash()(a[0]) == TCaseInsensitiveHash()(a[1])); }},
    {"StartsWith", [](const TArgs &a) { return std::to_string(StartsWith(a[0], a[1])); }},
    {"StartsWithText", [](const TArgs &a) { return std::to_string(StartsWithText(a[0], a[1])); }},
    {"CodeIndex", [](const TArgs &a) { return std::to_string(CodeIndex(a[0], a[1])); }},
    {"Columns",
     [](const TArgs &a) {
         const std::string line = a[1] == "split" ? ColumnsFromLine(a[0]) : a[0];
         std::string columns;
         for (std::size_t at = 1; at <= line.size();)
             columns += "[" + NextToken(line, at) + "]";
         return columns;
     }},
    {"StrToInt", [](const TArgs &a) { return std::to_string(StrToInt(a[0])); }},
    {"StrToFloatTrunc", [](const TArgs &a) { return std::to_string(StrToFloatTrunc(a[0])); }},
    {"ParseNumber", [](const TArgs &a) { return std::to_string(ParseNumber(a[0], N(a[1]))); }},
    {"ParseDmxValue", [](const TArgs &a) { return std::to_string(ParseDmxValue(a[0], N(a[1]), a[2] == "1")); }},
    {"ExtendedPercent", [](const TArgs &a) { return std::to_string(ExtendedPercent(N(a[0]), N(a[1]))); }},
    {"Descriptor",
     [](const TArgs &a) {
         const TAttributeDescriptor d = DecodeDescriptor(static_cast<uint32_t>(N(a[0])));
         return std::to_string(d.ChannelType) + " " + std::to_string(d.ControlType) + " " + std::to_string(d.Width) +
                " " + std::to_string(d.Path) + " " + std::to_string(d.Inherit) + " " + std::to_string(d.ShowOnEditor) +
                " " + std::to_string(d.LocateLevel);
     }},
    {"Date",
     [](const TArgs &a) {
         const auto date = TryEncodeDate(int(N(a[0])), int(N(a[1])), int(N(a[2])));
         if (!date)
             return std::string("none");
         const TCalendarDate back = DecodeDate(*date + 0.75);
         return std::to_string(*date) + " " + std::to_string(back.Year) + "-" + std::to_string(back.Month) + "-" +
                std::to_string(back.Day);
     }},
    {"Cp1252ToUtf8", [](const TArgs &a) { return Cp1252ToUtf8(a[0]); }},
    {"Utf8ToCp1252", [](const TArgs &a) { return Utf8ToCp1252(a[0]); }},
};

// Each line of the table is the function, its arguments and its result, separated by tabs; the
// table written anew from the results must be the table.
TEST(Model, FunctionsGiveWhatTheTableSays)
{
    const fs::path table = TestData / "model" / "functions.tsv";
    const std::string text = ReadAll(table.string());
    std::string actual;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        std::vector<std::string> fields;
        for (std::size_t from = 0; from <= line.size();) {
            const std::size_t tab = std::min(line.find('\t', from), line.size());
            fields.push_back(line.substr(from, tab - from));
            from = tab + 1;
        }
        if (line.empty() || line[0] == '#' || fields.size() < 2) {
            actual += line + "\n";
            continue;
        }
        fields.pop_back();
        TArgs args;
        for (std::size_t i = 1; i < fields.size(); ++i)
            args.push_back(Unescaped(fields[i]));
        std::string result;
        try {
            result = Functions.at(fields[0])(args);
        } catch (const std::exception &error) {
            result = std::string("error: ") + error.what();
        }
        for (const std::string &field : fields)
            actual += field + "\t";
        actual += Escaped(result) + "\n";
    }
    ExpectFile(table, actual);
}

#if LDBL_MANT_DIG == 64
// Where long double is the 80-bit format, the extended percentage is what the hardware computes.
TEST(Model, ExtendedPercentAgreesWithHardware)
{
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> count(-100000, 100000), scale(0, 70000);
    for (int i = 0; i < 200000; ++i) {
        const int n = i < 1000 ? i % 301 : count(random);
        const int f = i < 1000 ? (i % 2 ? 255 : 65535) : scale(random);
        volatile long double quotient = static_cast<long double>(f) / 100.0L;
        volatile long double product = static_cast<long double>(n) * quotient;
        ASSERT_EQ(ExtendedPercent(n, f), static_cast<int64_t>(product)) << n << "% of " << f;
    }
}
#endif

std::unique_ptr<TParameter> Attribute(const std::string &name, uint16_t patch, uint16_t low = 0, uint8_t order = 1)
{
    auto p = std::make_unique<TParameter>();
    p->Name = name;
    p->Width = low ? 16 : 8;
    p->InternalPatch = patch;
    p->InternalPatchLow = low;
    p->Order = order;
    p->LocateLevel = 40;
    return p;
}

// The keys of the attribute list, low parts marked L, then Name/Order of each.
std::string Keys(const TFixture &f)
{
    std::string keys;
    for (std::size_t i = 0; i < f.Attributes.Count(); ++i)
        keys += f.Attributes.Key(i) + (f.Attributes[i].IsLowPart ? "L " : " ") + f.Attributes[i].Name + "/" +
                std::to_string(f.Attributes[i].Order) + "; ";
    return keys;
}

std::string Refusal(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EFixtureError &error) {
        return error.what();
    }
    return "accepted";
}

TEST(Model, AttributesAreKeyedByPatchWithTheirLowParts)
{
    TFixture f;
    f.AddParameter(Attribute("Pan", 3, 4, 3));
    f.AddParameter(Attribute("Dimmer", 11, 0, 2));
    EXPECT_EQ(f.Attributes[1].LocateLevel, 0) << "a low part copies all but the locate level";
    const std::tuple<const char *, uint16_t, uint16_t, const char *> refused[] = {
        {"Other", 3, 0, "Attribute internal patch no \"03\" is already exist."},
        {"Far", 110, 0, "Attribute internal patch no \"11\" is already exist."},
        {"Tilt", 7, 4, "Attribute internal patch low \"04\" is already exist."},
        {"Same", 8, 8, "Attribute internal patch low \"08\" is already exist."},
        {"Wide", 9, 113, "Attribute internal patch low \"11\" is already exist."}};
    for (const auto &[name, patch, low, message] : refused)
        EXPECT_EQ(Refusal([&] { f.AddParameter(Attribute(name, patch, low)); }), message);
    f.AddParameter(Attribute("Zoom", 5, 0, 1));
    EXPECT_EQ(Keys(f), "03 Pan/3; 04L Pan/3; 05 Zoom/1; 11 Dimmer/2; ");
    EXPECT_EQ(f.ParameterByName("pAN"), &f.Attributes[0]);
    EXPECT_EQ(f.ParameterByName("Pan fine"), nullptr);
    EXPECT_EQ(f.ParameterByPatch(11)->Name, "Dimmer");
    EXPECT_EQ(f.ParameterByPatch(4), nullptr) << "the low part carries its attribute's patch";
    EXPECT_EQ(f.ParameterByPatch(65536 + 11), nullptr);
    EXPECT_EQ(f.NextFreePatch(), 12);
    EXPECT_EQ(f.NextOrder(), 4);

    // An edit loses a low part and changes an order: Normalize puts low parts back, behind their
    // attributes, and arranges the list by order.
    f.Attributes.Delete(1);
    f.Attributes[1].Order = 9;
    f.Normalize();
    EXPECT_EQ(Keys(f), "11 Dimmer/2; 03 Pan/3; 04L Pan/3; 05 Zoom/9; ");
    f.Normalize();
    EXPECT_EQ(Keys(f), "11 Dimmer/2; 03 Pan/3; 04L Pan/3; 05 Zoom/9; ");
    EXPECT_EQ(TFixture().NextFreePatch() + TFixture().NextOrder(), 2);
}

TEST(Model, CommandsAndPalettesAreUniqueInAnyCase)
{
    TFixture f;
    TCommand &lamp = f.AddCommand("Lamp on");
    EXPECT_EQ(Refusal([&] { f.AddCommand("LAMP ON"); }), "Command \"LAMP ON\" is already exist.");
    EXPECT_EQ(f.Commands.Find("lamp on"), &lamp);
    EXPECT_EQ(lamp.AddLine("Lamp", 65535 + 2, 1000).Value, 1) << "the low 16 bits";
    f.AddPalette("Red", 3);
    f.AddPalette("Red", 4);
    EXPECT_EQ(Refusal([&] { f.AddPalette("RED", 3); }), "Palette \"RED\" is already exist.");
    f.AddPalette("Red2", 55);
    f.AddPalette("Red25", 5); // the same text as Red2 and 55 put together, yet another palette
    EXPECT_EQ(f.Palettes.Count(), 4u);
    EXPECT_EQ(f.FindPalette("red", 4), &f.Palettes[1]);
    EXPECT_EQ(f.FindPalette("red", 5), nullptr);
    EXPECT_EQ(f.Palettes[0].Key() + std::to_string(f.Palettes[0].Red), "Red3-1");
    TPalette &p = f.Palettes[0];
    for (int i = 0; i < 30; ++i)
        p.SetValue("Chan" + std::to_string(i), i);
    for (int i = 0; i < 30; ++i)
        p.SetValue("CHAN" + std::to_string(i), 100 + i);
    ASSERT_EQ(p.Lines.Count(), 30u);
    EXPECT_EQ(p.Lines[29].ChannelName + "=" + std::to_string(p.Lines[29].Value), "Chan29=129");
}

TEST(Model, ClearCloneAndAssign)
{
    TFixture f;
    f.FileName = "a.fxr";
    f.FileDir = "/tmp";
    f.FilePath = "/tmp/a.fxr";
    f.Layout800 = true;
    f.Name = "Spot";
    f.FormatVersion = 2;
    f.FixtureType = 1;
    f.Saved = false;
    f.AddParameter(Attribute("Pan", 1, 2));
    f.AddCommand("Lamp on").AddLine("Pan", 257, 10);
    for (int i = 0; i < 20; ++i)
        f.AddPalette("P" + std::to_string(i), 3).SetValue("Pan", i);

    const TFixture copy = f.Clone();
    f.Attributes[0].Name = "Tilt";
    f.Commands[0].Lines.clear();
    f.FindPalette("p7", 3)->SetValue("PAN", 99);
    f.Palettes.Delete(0);
    EXPECT_EQ(Keys(copy), "01 Pan/1; 02L Pan/1; ");
    EXPECT_EQ(copy.Commands[0].Lines.size(), 1u);
    EXPECT_EQ(copy.FindPalette("p7", 3)->Lines[0].Value, 7);
    EXPECT_EQ(copy.FindPalette("P19", 3), &copy.Palettes[19]);

    f.Clear();
    EXPECT_EQ(f.FileName + "|" + f.FileDir + "|" + f.FilePath + "|" + f.Name, "|/tmp|/tmp/a.fxr|");
    EXPECT_TRUE(f.Layout800 && f.Saved && f.Attributes.Empty() && f.Commands.Empty() && f.Palettes.Empty());
    EXPECT_EQ(f.FormatVersion * 10 + f.FixtureType, 14);

    TParameter assigned;
    assigned.LocateLevel = 5;
    assigned.Assign(copy.Attributes[1]);
    EXPECT_EQ(assigned.Name + std::to_string(assigned.InternalPatchLow) + std::to_string(assigned.IsLowPart) +
                  std::to_string(assigned.LocateLevel),
              "Pan215");
}

// A renamed attribute takes its steps and palette values along, unless another attribute still
// has the old name; a palette that has a value of the new name already loses the old one.
TEST(Model, RenameAttributeTakesItsStepsAndValues)
{
    TFixture f;
    f.AddParameter(Attribute("Pan", 1, 2));
    f.AddParameter(Attribute("Tilt", 3));
    f.AddParameter(Attribute("Dim", 4));
    f.AddParameter(Attribute("dim", 5));
    f.AddCommand("C").AddLine("PAN", 1, 0);
    f.Commands[0].AddLine("Dim", 2, 0);
    f.AddPalette("A", 1).SetValue("pan", 1);
    f.Palettes[0].SetValue("Tilt", 2);
    f.AddPalette("B", 1).SetValue("Pan", 3);
    f.RenameAttribute(*f.ParameterByName("Pan"), "Tilt");
    f.RenameAttribute(*f.ParameterByPatch(4), "Zoom");
    f.RenameAttribute(*f.ParameterByPatch(3), "tilt");
    EXPECT_EQ(Keys(f), "01 Tilt/1; 02L Tilt/1; 03 tilt/1; 04 Zoom/1; 05 dim/1; ");
    EXPECT_EQ(f.Commands[0].Lines[0].ChannelName + f.Commands[0].Lines[1].ChannelName, "TiltDim");
    ASSERT_EQ(f.Palettes[0].Lines.Count(), 1u);
    EXPECT_EQ(f.Palettes[0].Lines[0].ChannelName + std::to_string(f.Palettes[0].Lines[0].Value), "Tilt2");
    EXPECT_EQ(f.Palettes[1].Lines[0].ChannelName, "Tilt");
    EXPECT_EQ(f.Palettes[1].Lines.Find("TILT"), &f.Palettes[1].Lines[0]);
}

// The name index and the keyed lists answer what a scan of the list would, below and above the
// size from which they keep an index, after every kind of change.
TEST(Model, IndexesAnswerAsAScanWould)
{
    std::mt19937 random(7);
    const std::vector<std::string> names = {"a", "A", "b", "Pan", "pan", "PAN fine", "\xE9t\xE9", "\xC9T\xC9", ""};
    for (int round = 0; round < 200; ++round) {
        TFixture f;
        for (int patch = 1; patch < 100; ++patch)
            if (random() % 3 == 0)
                f.AddParameter(Attribute(names[random() % names.size()], static_cast<uint16_t>(patch)));
        const TAttributeNameIndex index(f.Attributes);
        for (const std::string &name : names)
            EXPECT_EQ(index.Find(name), f.ParameterByName(name)) << round << " " << name;
    }
    for (const int count : {5, 15, 16, 17, 30}) {
        TKeyedList<TCommand> list;
        for (int i = 0; i < count; ++i)
            list.Add("Cmd" + std::to_string(i), std::make_unique<TCommand>("Cmd" + std::to_string(i)));
        EXPECT_EQ(list.IndexOf("CMD" + std::to_string(count - 1)), count - 1) << count;
        EXPECT_EQ(list.IndexOf("Cmd" + std::to_string(count)), -1) << count;
        list.Delete(0);
        list.Move(0, list.Count() - 1);
        list.Rekey(0, "Renamed");
        EXPECT_EQ(list.IndexOf("cmd0") + list.IndexOf("cmd2"), -2) << count;
        EXPECT_EQ(list.IndexOf("CMD1"), count - 2) << count;
        EXPECT_EQ(list.IndexOf("renamed"), 0) << count;
        EXPECT_EQ(list.Find("cmd3"), count > 3 ? &list[1] : nullptr) << count;
        list.Clear();
        EXPECT_EQ(list.IndexOf("renamed"), -1) << count;
    }
}

// The colours of palettes: from the Lee gels and the user's named colours (a custom slot wins),
// and from cyan, magenta and yellow values.
TEST(Model, PaletteColours)
{
    EXPECT_EQ(RgbColor(-5, 128, 300), 0xFF8000);
    EXPECT_EQ(SplitColor(0x123456), (TRgb{0x56, 0x34, 0x12}));
    TColourCatalogs catalogs;
    catalogs.LoadLeeCatalog((TestData / "model" / "lee.txt").string());
    catalogs.LoadCustomColours((TestData / "model" / "colours.ini").string());
    std::string lee, custom;
    for (const TLeeEntry &gel : catalogs.Lee)
        if (gel.Number)
            lee += std::to_string(gel.Number) + " " + gel.Description + " " + std::to_string(gel.Red) + "," +
                   std::to_string(gel.Green) + "," + std::to_string(gel.Blue) + "; ";
    for (const TCustomColour &colour : catalogs.Custom)
        if (colour.Defined)
            custom += colour.No + "|" + colour.Description + "|" + std::to_string(colour.Color) + "; ";
    EXPECT_EQ(lee.substr(0, 138), "2 Rose Pink 255,0,128; 3 Lavender Tint 0,255,7; 4 Medium Bastard Amber 0,0,0; "
                                  "5 Rose Tint 1,2,3; 7 Pale Yellow 10,20,0; 100 Filler 0,0,0; ");
    EXPECT_EQ(catalogs.Lee[199].Description, "Last") << "lines after the table is full are ignored";
    EXPECT_EQ(custom, "1  ||0; 2|Rose Tint|16711680; 13|My blue|16711935; 200  |Last one|255; ");
    EXPECT_EQ(catalogs.ColourOfName("Rose Tint"), 0xFF0000);
    EXPECT_EQ(catalogs.ColourOfName("Rose Pink"), 0x8000FF);
    EXPECT_EQ(catalogs.ColourOfName("rose pink") + catalogs.ColourOfName(""), 0);
    TPalette red("Rose Pink", 3), gobo("Rose Pink", 4), set("Rose Pink", 3);
    set.Red = 7;
    for (TPalette *p : {&red, &gobo, &set})
        catalogs.ResolvePaletteColor(*p);
    EXPECT_EQ(std::vector({red.Red, red.Green, red.Blue, gobo.Red, set.Red, set.Green}),
              std::vector({255, 0, 128, -1, 7, -1}));
    EXPECT_THROW(catalogs.LoadLeeCatalog((TestData / "model" / "missing.txt").string()), EInOutError);
    const std::string bad = (TestData / "model" / "lee-bad.txt").string();
    try {
        catalogs.LoadLeeCatalog(bad);
        ADD_FAILURE() << "read";
    } catch (const EConvertError &error) {
        EXPECT_EQ(error.what(), "Error line 3 in \"" + bad + "\" file: 'x' is not a valid integer value.");
    }
    EXPECT_EQ(catalogs.Lee[0].Description + catalogs.Lee[1].Description, "ALavender Tint");

    TFixture f;
    f.Saved = true;
    TPalette &cmy = f.AddPalette("CMY", 3);
    cmy.SetValue("Cyan", 0);
    cmy.SetValue("Magenta 2", 257 * 100);
    cmy.SetValue("Yellow", 70000);
    cmy.Red = 1;
    ColorFromCMY(f, cmy);
    EXPECT_EQ(std::vector({cmy.Red, cmy.Green, cmy.Blue}), std::vector({255, 155, 0}));
    EXPECT_FALSE(f.Saved);
    f.Saved = true;
    ColorFromCMY(f, cmy);
    EXPECT_TRUE(f.Saved) << "a complete colour stays";
    cmy.Blue = -1;
    cmy.SetValue("cyan", -1);
    ColorFromCMY(f, cmy);
    EXPECT_EQ(std::vector({cmy.Red, cmy.Green, cmy.Blue}), std::vector({-1, -1, -1}));
}

// INI files as Windows reads them.
TEST(Model, IniFiles)
{
    const TIniFile ini((TestData / "model" / "colours.ini").string());
    EXPECT_TRUE(ini.SectionExists("BTNSBCUST1"));
    EXPECT_FALSE(ini.SectionExists("btnsbCust3"));
    EXPECT_EQ(ini.ReadString("Settings", "name"), "quoted ' inside");
    EXPECT_EQ(ini.ReadString("settings", "Other", "x"), "'single'x");
    EXPECT_EQ(ini.ReadString("Settings", "Empty", "default"), "");
    EXPECT_EQ(ini.ReadString("Settings", "missing", "default"), "default");
    EXPECT_EQ(ini.ReadString("Nowhere", "name", "default"), "default");
    EXPECT_EQ(ini.Keys("settings"), (std::vector<std::string>{"Name", "Other", "Empty", "a"}));
    EXPECT_EQ(TIniFile("/nonexistent").Keys("Settings"), std::vector<std::string>{});
}

} // namespace
