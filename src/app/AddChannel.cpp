#include "AddChannel.h"

#include "model/FixConsts.h"
#include "model/FixFuncs.h"
#include "palettes/QtText.h"
#include "platform/CodePage.h"
#include "platform/Errors.h"
#include "platform/Paths.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// Geometry of the built dialog, in pixels.
constexpr int BoxLeft = 16;
constexpr int FirstBoxTop = 16;
constexpr int BoxGap = 8;
constexpr int EmptyBoxWidth = 109; // as wide as a box with one button
constexpr int EmptyBoxHeight = 97;
constexpr int ButtonLeft = 16;
constexpr int ButtonTop = 20;
constexpr int ButtonWidth = 77;
constexpr int ButtonHeight = 57;
constexpr int ButtonStep = 94;
constexpr int RowStep = 69;
constexpr int BoxRightMargin = 16;
constexpr int BoxBottomMargin = 20;
constexpr int PageMargin = 32;       // the page control is this much wider than its widest box
constexpr int PageBottomMargin = 16; // below the lowest box of a page
constexpr int ScrollBarSize = 10;
constexpr int CompactHeight = 580;     // the 800 layout
constexpr int StandardMaxHeight = 700; // leaves room for the title bar and task bar of a 768-line screen
constexpr int ExitWidth = 75;
constexpr int ExitHeight = 25;
constexpr int ExitMargin = 8;
constexpr int ExitRowHeight = ExitHeight + 2 * ExitMargin;

// The packed descriptor: code list, default and multiplier of the fields 1 to 6, then the level.
struct TDescriptorField {
    std::string_view List;
    std::string_view Default;
    int32_t Multiplier;
};
constexpr std::array<TDescriptorField, 6> DescriptorFields = {{
    {codes::ChannelType, "IN", 1},
    {codes::ControlType, "LTP", 16},
    {codes::Width, "8", 64},
    {codes::Path, "LINEAR", 256},
    {codes::YesNo, "YES", 4096},
    {codes::YesNo, "YES", 16384},
}};
constexpr int32_t LocateMultiplier = 65536;
constexpr int32_t NoLocateLevel = 101;

std::string LineError(int line, const std::string &listFileName)
{
    return "Error line " + std::to_string(line) + " in \"" + listFileName + "\" file.";
}

// The descriptor of the parameters after the icon's comma; nothing when the Locate level begins
// like a number but is not a whole number that fits its eight bits ("5x", "256").
std::optional<int32_t> ParseDescriptor(std::string_view parameters)
{
    std::size_t position = 1;
    int32_t descriptor = 0;
    for (const TDescriptorField &field : DescriptorFields) {
        std::string token = NextToken(parameters, position);
        if (token.empty())
            token = field.Default;
        descriptor += CodeIndex(token, field.List) * field.Multiplier;
    }
    const std::string level = NextToken(parameters, position);
    int32_t locate = NoLocateLevel;
    if (!level.empty() && std::string_view("+0123456789").find(level.front()) != std::string_view::npos)
        if (!TryStrToInt(level, locate) || locate < 0 || locate > 255)
            return std::nullopt;
    return descriptor + locate * LocateMultiplier;
}

// Splits a header line into its tab and box captions; the message tells what is wrong with it.
void ParseHeader(const std::string &line, std::string &tab, std::string &box)
{
    if (line.front() != '[')
        throw EFixtureError("A section header must begin with \"[\".");
    const std::size_t semicolon = line.find(';');
    if (semicolon == std::string::npos)
        throw EFixtureError("A section header needs \";\" between the tab and the box.");
    if (line.back() != ']')
        throw EFixtureError("A section header must end with \"]\".");
    tab = line.substr(1, semicolon - 1);
    box = Trim(line.substr(semicolon + 1, line.size() - semicolon - 2));
    if (Trim(tab).empty())
        throw EFixtureError("A section header needs a tab name.");
}

// The file at relative under directory, each part of the path ("/" or "\" between parts) matched
// without regard to letter case, since the lists are written for a file system that ignores it.
std::optional<fs::path> FindFile(const fs::path &directory, const std::string &relative)
{
    fs::path current = directory;
    const std::string path = ReplaceChar(Cp1252ToUtf8(relative), '\\', '/');
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".")
            continue;
        std::error_code error;
        if (fs::exists(current / part, error)) {
            current /= part;
            continue;
        }
        std::optional<fs::path> found;
        for (fs::directory_iterator entry(current, error), last; !error && entry != last; entry.increment(error))
            if (SameText(entry->path().filename().string(), part)) {
                found = entry->path();
                break;
            }
        if (!found)
            return std::nullopt;
        current = *found;
    }
    return current;
}

std::string Quoted(const fs::path &path)
{
    return "\"" + PathText(path.string()) + "\"";
}

// A picture from the Bitmaps directory. The colour of its bottom-left pixel is see-through, as
// button pictures of this kind are drawn.
QPixmap LoadPicture(const std::string &icon)
{
    const std::optional<fs::path> file = FindFile(ProgramDir(), "Bitmaps/" + icon);
    std::error_code error;
    if (!file || !fs::is_regular_file(*file, error))
        throw EInOutError("Cannot open file " + Quoted(fs::path(ProgramDir()) / "Bitmaps" / Cp1252ToUtf8(icon)) + ".");
    const QImage image(QString::fromStdString(file->string()));
    if (image.isNull())
        throw EInOutError("Cannot read the picture " + Quoted(*file) + ".");
    QPixmap picture = QPixmap::fromImage(image);
    picture.setMask(picture.createMaskFromColor(image.pixelColor(0, image.height() - 1), Qt::MaskInColor));
    return picture;
}

// Captions are shown as typed: "&" marks no mnemonic here.
QString Shown(const std::string &caption)
{
    return ToQt(caption).replace('&', "&&");
}

// The tab pages scroll with a narrow bar, so that the compact layout keeps all of each page
// within reach.
class TNarrowScrollBar : public QScrollBar {
public:
    using QScrollBar::QScrollBar;
    QSize sizeHint() const override { return {ScrollBarSize, QScrollBar::sizeHint().height()}; }
};

} // namespace

std::vector<TPredefinedTab> ParsePredefinedList(std::istream &in, const std::string &listFileName)
{
    std::vector<TPredefinedTab> tabs;
    TPredefinedTab *tab = nullptr;
    TPredefinedBox *box = nullptr;
    int row = 0;
    // Before the first definition with parameters, fields 1 to 6 give 0 and there is no Locate level.
    int32_t parameters = NoLocateLevel * LocateMultiplier;
    int lineNumber = 0;
    std::string raw;
    while (std::getline(in, raw)) {
        const std::string line = Trim(raw);
        if (line.empty() || line.front() == ';')
            continue;
        ++lineNumber;
        if (line.find('[') != std::string::npos) {
            std::string tabCaption, boxCaption;
            try {
                ParseHeader(line, tabCaption, boxCaption);
            } catch (const std::exception &error) {
                // This form names the attribute list whichever list is read.
                throw EFixtureError("Error line " + std::to_string(lineNumber) +
                                    " in \"AddChannel.ini\" file:" + error.what());
            }
            auto sameTab = std::find_if(tabs.begin(), tabs.end(),
                                        [&](const TPredefinedTab &t) { return t.Caption == tabCaption; });
            tab = sameTab != tabs.end() ? &*sameTab : &tabs.emplace_back(TPredefinedTab{tabCaption, {}});
            auto sameBox = std::find_if(tab->Boxes.begin(), tab->Boxes.end(),
                                        [&](const TPredefinedBox &b) { return b.Caption == boxCaption; });
            box = sameBox != tab->Boxes.end() ? &*sameBox : &tab->Boxes.emplace_back(TPredefinedBox{boxCaption, {}});
            // A box opened again goes on below its buttons rather than over them.
            row = box->Buttons.empty() ? 0 : box->Buttons.back().Row + 1;
            continue;
        }
        if (!box)
            throw EFixtureError(LineError(lineNumber, listFileName));
        if (line.front() == '-') {
            ++row;
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string caption = equals == std::string::npos ? std::string() : Trim(line.substr(0, equals));
        const std::string rest = equals == std::string::npos ? std::string() : line.substr(equals + 1);
        const std::size_t comma = rest.find(',');
        const std::string icon = Trim(rest.substr(0, comma));
        if (comma != std::string::npos) {
            const std::optional<int32_t> descriptor = ParseDescriptor(std::string_view(rest).substr(comma + 1));
            if (!descriptor)
                throw EFixtureError(LineError(lineNumber, listFileName) + " Parameter error.");
            parameters = *descriptor;
        }
        if (caption.empty() || icon.empty())
            throw EFixtureError(LineError(lineNumber, listFileName) + " Parameter error.");
        box->Buttons.push_back({caption, icon, parameters, row});
    }
    return tabs;
}

TfrmAddChannel::TfrmAddChannel(QWidget *parent, const std::string &caption, const std::string &listFile,
                               TAddChannelMemory &memory)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      PageControl(new QTabWidget(this)), Button1(new QPushButton(tr("Exit"), this)), memory_(memory)
{
    setObjectName("frmAddChannel");
    setWindowTitle(ToQt(caption));
    PageControl->setObjectName("PageControl");
    PageControl->setUsesScrollButtons(true);
    Button1->setObjectName("Button1");
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);

    const std::optional<fs::path> path = FindFile(ProgramDir(), listFile);
    std::ifstream in;
    if (path)
        in.open(*path, std::ios::binary);
    if (!in.is_open())
        throw EInOutError("Cannot open file " + Quoted(fs::path(ProgramDir()) / Cp1252ToUtf8(listFile)) + ".");
    BuildPages(ParsePredefinedList(in, listFile));

    // Set before the signal is connected: a list with fewer pages shows its first page and leaves the
    // remembered page for the lists that have it.
    PageControl->setCurrentIndex(memory_.Page < PageControl->count() ? memory_.Page : 0);
    connect(PageControl, &QTabWidget::currentChanged, this, &TfrmAddChannel::PageControlChange);
}

std::optional<TPredefinedPick> TfrmAddChannel::PickPredefinedName(QWidget *parent, const std::string &caption,
                                                                  const std::string &listFile,
                                                                  TAddChannelMemory &memory)
{
    TfrmAddChannel dialog(parent, caption, listFile, memory);
    dialog.exec();
    return dialog.Picked;
}

void TfrmAddChannel::BuildPages(const std::vector<TPredefinedTab> &tabs)
{
    int pageWidth = 0;
    int contentHeight = 0;
    for (const TPredefinedTab &tab : tabs) {
        // Parented at once, so that a picture that fails to load leaves nothing behind.
        auto *page = new QScrollArea(PageControl);
        page->setObjectName("Page" + QString::number(PageControl->count() + 1));
        page->setFrameShape(QFrame::NoFrame);
        page->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        page->setVerticalScrollBar(new TNarrowScrollBar(Qt::Vertical));
        page->setWidgetResizable(true);
        auto *content = new QWidget(page);
        content->setObjectName(page->objectName() + "Content");

        // Boxes are placed when their buttons are known, so that a box opened again below in the
        // list grows without running into the boxes under it.
        int top = FirstBoxTop;
        int right = 0;
        for (const TPredefinedBox &boxList : tab.Boxes) {
            auto *box = new QGroupBox(Shown(" " + boxList.Caption + " "), content);
            box->setObjectName("Box" + QString::number(++boxCount_));
            int width = EmptyBoxWidth;
            int height = EmptyBoxHeight;
            int column = 0;
            for (std::size_t i = 0; i < boxList.Buttons.size(); ++i) {
                const TPredefinedButton &button = boxList.Buttons[i];
                column = i > 0 && boxList.Buttons[i - 1].Row == button.Row ? column + 1 : 0;
                AddButton(box, button, column);
                const int buttonRight = ButtonLeft + column * ButtonStep + ButtonWidth;
                width = std::max(width, buttonRight + BoxRightMargin);
                height = ButtonTop + button.Row * RowStep + ButtonHeight + BoxBottomMargin;
            }
            // The caption is never cut.
            width = std::max(width, box->minimumSizeHint().width());
            box->setGeometry(BoxLeft, top, width, height);
            top += height + BoxGap;
            right = std::max(right, BoxLeft + width);
            pageWidth = std::max(pageWidth, width + PageMargin);
        }
        const int bottom = top - BoxGap + PageBottomMargin;
        content->setMinimumSize(right, bottom);
        contentHeight = std::max(contentHeight, bottom);
        page->setWidget(content);
        PageControl->addTab(page, Shown(tab.Caption));
    }
    // Every tab's caption is in sight, and so is the Exit button.
    pageWidth = std::max({pageWidth, PageControl->tabBar()->sizeHint().width() + 4, ExitWidth + 2 * ExitMargin});
    PageControl->resize(pageWidth, PageControl->height());
    FitWindow(contentHeight);
}

void TfrmAddChannel::AddButton(QWidget *box, const TPredefinedButton &button, int column)
{
    auto *picture = new QToolButton(box);
    picture->setObjectName("btnPick" + QString::number(++buttonCount_));
    picture->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    const QPixmap pixmap = LoadPicture(button.Icon);
    picture->setIcon(pixmap);
    picture->setIconSize(pixmap.size());
    picture->setText(Shown(button.Caption));
    picture->setProperty("descriptor", button.Descriptor);
    picture->setGeometry(ButtonLeft + column * ButtonStep, ButtonTop + button.Row * RowStep, ButtonWidth, ButtonHeight);
    // A long caption gets a smaller font before the button would shorten it.
    QFont font = picture->font();
    const int room = ButtonWidth - 2;
    while (QFontMetrics(font).horizontalAdvance(picture->text()) > room && font.pointSizeF() > 6.5)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    if (font != picture->font()) {
        picture->setFont(font);
        picture->setToolTip(ToQt(button.Caption));
    }
    connect(picture, &QToolButton::clicked, this, [this, pick = TPredefinedPick{button.Caption, button.Descriptor}] {
        Picked = pick;
        accept();
    });
}

void TfrmAddChannel::FitWindow(int contentHeight)
{
    const int width = PageControl->width();
    // What the tab bar and the frame take from the page control's height, as the style draws them.
    QStyleOptionTabWidgetFrame option;
    option.initFrom(PageControl);
    option.lineWidth = PageControl->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, PageControl);
    option.shape = PageControl->tabBar()->shape();
    option.tabBarSize = PageControl->tabBar()->sizeHint();
    option.tabBarRect = QRect(QPoint(0, 0), option.tabBarSize);
    option.rect = QRect(0, 0, width, 1000);
    const int chrome =
        1000 - PageControl->style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, PageControl).height();
    const int height =
        memory_.Compact ? CompactHeight : std::min(chrome + contentHeight + ExitRowHeight, StandardMaxHeight);
    setMinimumSize(width, std::min(height, chrome + ExitRowHeight + 2 * ButtonHeight));
    setMaximumWidth(width);
    resize(width, height);
    PlaceControls();
}

void TfrmAddChannel::PlaceControls()
{
    PageControl->setGeometry(0, 0, width(), height() - ExitRowHeight);
    Button1->setGeometry(width() - ExitMargin - ExitWidth, height() - ExitMargin - ExitHeight, ExitWidth, ExitHeight);
}

void TfrmAddChannel::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    PlaceControls();
}

void TfrmAddChannel::PageControlChange(int index)
{
    if (index >= 0)
        memory_.Page = index;
}
