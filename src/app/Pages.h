#pragma once

#include "MainFormControls.h"

#include <QWidget>

// Builders of the parts both main-window layouts share; each fills its controls into its part of
// the controls.
namespace pages {

// The base-parameter fields, laid out in the given widget.
void BaseFields(QWidget *parent, TBaseParametersControls &c, TLayout layout);
// FileName, the six file buttons and the format selector.
void FileGroup(QWidget *parent, TWindowControls &c, TLayout layout);
void Attributes(QWidget *page, TAttributesControls &c, TLayout layout);
void Commands(QWidget *page, TCommandsControls &c, TLayout layout);
void Palettes(QWidget *page, TPalettesControls &c, TLayout layout);
void DmxTest(QWidget *parent, TBaseParametersControls &c);

} // namespace pages

// The picture above the wheel fields: a wheel with two holes.
class TWheelPicture : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return {60, 60}; }

protected:
    void paintEvent(QPaintEvent *event) override;
};
