#include "PaletteWidgets.h"

#include <QPainter>
#include <QScrollBar>
#include <qdrawutil.h>

#include <algorithm>
#include <cmath>

namespace {

// The caption on at most maxLines lines of width, broken at blanks where it can be and cut short
// with an ellipsis where it does not fit.
QStringList CaptionLines(const QString &text, const QFontMetrics &metrics, int width, int maxLines)
{
    QStringList lines;
    QString rest = text;
    while (!rest.isEmpty()) {
        if (lines.size() == maxLines - 1 || metrics.horizontalAdvance(rest) <= width) {
            lines << metrics.elidedText(rest, Qt::ElideRight, width);
            break;
        }
        qsizetype cut = rest.size();
        while (cut > 1 && metrics.horizontalAdvance(rest.left(cut)) > width)
            --cut;
        const qsizetype blank = rest.left(cut + 1).lastIndexOf(' ');
        if (blank > 0)
            cut = blank;
        lines << rest.left(cut);
        rest = rest.mid(cut);
        if (rest.startsWith(' '))
            rest.remove(0, 1);
    }
    return lines;
}

// The relative luminance of a colour as the eye weighs it, 0 to 1.
double Luminance(const QColor &colour)
{
    const auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

} // namespace

TScrollBox::TScrollBox(const char *name, int clientWidth, QWidget *parent)
    : QScrollArea(parent), clientWidth_(clientWidth), canvas_(new QWidget)
{
    setObjectName(name);
    canvas_->setObjectName(QString(name) + "Canvas");
    canvas_->resize(clientWidth, 0);
    setWidget(canvas_);
    setWidgetResizable(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFixedWidth(clientWidth + verticalScrollBar()->sizeHint().width() + 2 * frameWidth());
}

void TScrollBox::Place(QAbstractButton *button, int x, int y)
{
    button->setParent(canvas_);
    button->move(x, y);
    button->show();
    buttons_.push_back(button);
    canvas_->resize(std::max(canvas_->width(), x + button->width()), std::max(canvas_->height(), y + button->height()));
}

void TScrollBox::Clear()
{
    // Gone at once, so that counting the buttons counts the new ones only.
    qDeleteAll(buttons_);
    buttons_.clear();
    canvas_->resize(clientWidth_, 0);
}

TPaletteBox::TPaletteBox(const char *name, QWidget *parent) : TScrollBox(name, 3 + ButtonWidth + 3, parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TPaletteBox::Add(QAbstractButton *button)
{
    button->setCheckable(true);
    button->setFixedSize(ButtonWidth, ButtonHeight);
    Place(button, 3, 3 + ButtonHeight * static_cast<int>(Buttons().size()));
    connect(button, &QAbstractButton::clicked, this, [this, button] { last_ = button; });
    connect(button, &QAbstractButton::toggled, this, [this, button](bool down) {
        if (!down)
            return;
        last_ = button;
        for (QAbstractButton *other : Buttons())
            if (other != button)
                other->setChecked(false);
    });
}

void TPaletteBox::RaiseAll()
{
    for (QAbstractButton *button : Buttons())
        button->setChecked(false);
}

QAbstractButton *TPaletteBox::Current() const
{
    QAbstractButton *down = FirstDown();
    return down ? down : last_.data();
}

QAbstractButton *TPaletteBox::FirstDown() const
{
    const auto down =
        std::find_if(Buttons().begin(), Buttons().end(), [](QAbstractButton *b) { return b->isChecked(); });
    return down == Buttons().end() ? nullptr : *down;
}

TGlyphButton::TGlyphButton(const QString &caption, const QPixmap &glyph, QWidget *parent)
    : QAbstractButton(parent), caption_(caption), glyph_(glyph)
{
    setFixedSize(TPaletteBox::ButtonWidth, TPaletteBox::ButtonHeight);
    setToolTip(caption);
    setFocusPolicy(Qt::NoFocus);
}

void TGlyphButton::SetGlyph(const QPixmap &glyph)
{
    glyph_ = glyph;
    update();
}

QSize TGlyphButton::sizeHint() const
{
    return {TPaletteBox::ButtonWidth, TPaletteBox::ButtonHeight};
}

void TGlyphButton::enterEvent(QEnterEvent *event)
{
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TGlyphButton::leaveEvent(QEvent *event)
{
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void TGlyphButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const bool down = isDown() || isChecked();
    // Flat: the frame shows only while the button is down or the pointer is on it.
    if (down) {
        const QBrush fill(palette().window().color().darker(115));
        qDrawShadePanel(&painter, rect(), palette(), true, 1, &fill);
    } else if (hovered_ && isEnabled()) {
        qDrawShadePanel(&painter, rect(), palette(), false, 1);
    }
    const int shift = down ? 1 : 0;
    const QFontMetrics metrics = fontMetrics();
    const QStringList lines = CaptionLines(caption_, metrics, width() - 8, 2);
    const int textHeight = static_cast<int>(lines.size()) * metrics.lineSpacing();
    const QRect glyphArea(4, 4, width() - 8, height() - 10 - textHeight);
    if (!glyph_.isNull() && glyphArea.height() > 0) {
        const QSize size = glyph_.size().boundedTo(glyphArea.size());
        const QPixmap shown = size == glyph_.size()
                                  ? glyph_
                                  : glyph_.scaled(glyphArea.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QPoint at(glyphArea.x() + (glyphArea.width() - shown.width()) / 2,
                        glyphArea.y() + (glyphArea.height() - shown.height()) / 2);
        painter.drawPixmap(at + QPoint(shift, shift), shown);
    }
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    int y = height() - 5 - textHeight + shift;
    for (const QString &line : lines) {
        // No mnemonic flag: an ampersand is drawn as it was typed.
        painter.drawText(QRect(4 + shift, y, width() - 8, metrics.lineSpacing()), Qt::AlignHCenter | Qt::AlignVCenter,
                         line);
        y += metrics.lineSpacing();
    }
}

TColourButton::TColourButton(int tag, QWidget *parent) : QAbstractButton(parent), Tag(tag)
{
    setFocusPolicy(Qt::NoFocus);
}

QColor TColourButton::CaptionColour() const
{
    // White reads on most gels; where it would fall below a contrast of 3 to 1, dark letters do.
    return Colour && Luminance(*Colour) > 0.3 ? QColor(Qt::black) : QColor(Qt::white);
}

void TColourButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QBrush fill(Colour.value_or(palette().button().color()));
    qDrawShadePanel(&painter, rect(), palette(), isDown(), 1, &fill);
    if (caption_.isEmpty())
        return;
    // The largest size up to PointSize at which every word fits on its line.
    const QStringList lines = caption_.split('\n');
    const QRect area = rect().adjusted(2, 2, -2, -2);
    QFont font = this->font();
    for (int size = PointSize; size >= 5; --size) {
        font.setPointSize(size);
        const QFontMetrics metrics(font);
        int widest = 0;
        for (const QString &line : lines)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        if (widest <= area.width() && metrics.lineSpacing() * lines.size() <= area.height())
            break;
    }
    painter.setFont(font);
    painter.setPen(CaptionColour());
    const int shift = isDown() ? 1 : 0;
    painter.drawText(area.translated(shift, shift), Qt::AlignCenter, caption_);
}
