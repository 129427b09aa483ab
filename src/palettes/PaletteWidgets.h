#pragma once

#include <QAbstractButton>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QScrollArea>

#include <optional>

// A box whose buttons stand at fixed places on a canvas as wide as the box's inside; the canvas
// grows downwards with its buttons and scrolls when they do not fit.
class TScrollBox : public QScrollArea {
    Q_OBJECT
public:
    TScrollBox(const char *name, int clientWidth, QWidget *parent);

    int ClientWidth() const { return clientWidth_; }
    QWidget *Canvas() const { return canvas_; }
    // The buttons in the order they were placed.
    const QList<QAbstractButton *> &Buttons() const { return buttons_; }
    void Place(QAbstractButton *button, int x, int y);
    // Destroys every button.
    void Clear();

private:
    int clientWidth_;
    QWidget *canvas_;
    QList<QAbstractButton *> buttons_;
};

// The palette buttons of one palette type, one column in creation order. At most one button is
// down, and clicking the one that is down raises it, leaving none down.
class TPaletteBox : public TScrollBox {
    Q_OBJECT
public:
    static constexpr int ButtonWidth = 105;
    static constexpr int ButtonHeight = 89;

    TPaletteBox(const char *name, QWidget *parent);

    // Places the button under the others and keeps it in the box's group.
    void Add(QAbstractButton *button);
    void RaiseAll();
    QAbstractButton *FirstDown() const;
    // The button down, or else the one a second click raised: the palette the box shows.
    QAbstractButton *Current() const;

private:
    QPointer<QAbstractButton> last_;
};

// A flat button with a picture above its caption, as palette, icon and control buttons are. The
// caption is drawn as it is given, without keyboard mnemonics, on up to two lines.
class TGlyphButton : public QAbstractButton {
    Q_OBJECT
public:
    TGlyphButton(const QString &caption, const QPixmap &glyph, QWidget *parent = nullptr);

    QString Caption() const { return caption_; }
    const QPixmap &Glyph() const { return glyph_; }
    void SetGlyph(const QPixmap &glyph);
    // A palette's type, or 0 for an icon.
    int Tag = 0;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QString caption_;
    QPixmap glyph_;
    bool hovered_ = false;
};

// A square button of a colour catalog: the colour with its description on it, one word a line.
// Without a colour it shows the button face.
class TColourButton : public QAbstractButton {
    Q_OBJECT
public:
    TColourButton(int tag, QWidget *parent = nullptr);

    int Tag;
    std::optional<QColor> Colour;
    QString Caption() const { return caption_; }
    void SetCaption(const QString &caption)
    {
        caption_ = caption;
        update();
    }
    // The point size the caption is drawn at, unless it has to shrink to fit.
    int PointSize = 9;
    // The caption colour: white, or black where white would not stand out.
    QColor CaptionColour() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString caption_;
};
