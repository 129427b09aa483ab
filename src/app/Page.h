#pragma once

#include "MainFormControls.h"

#include <QObject>
#include <QScopedValueRollback>
#include <QTabWidget>

#include <functional>

class TFixture;

// What the window gives each of its pages: the fixture being edited, the window's tabs, and where
// a user's change to the fixture goes.
struct TPageLink {
    TFixture &Fixture;
    TLayout Layout;
    QTabWidget *Tabs;
    // Makes the fixture count as not saved, and the change a step that Undo takes back. Changes
    // typed into one field, one after the other, make one step: the field is given as typing.
    std::function<void(const void *typing)> Modified;
};

// A page of the main window, with its controls, what it remembers and what it does.
class TPage : public QObject {
public:
    // widget is the page's tab; the base parameters of the standard layout have none.
    TPage(QWidget *widget, const TPageLink &link, QObject *parent) : QObject(parent), widget_(widget), link_(link) {}

    QWidget *Widget() const { return widget_; }
    // The user turned to the page's tab.
    virtual void Entered() {}
    // Where the focus goes when the user turns to the page: its list.
    virtual QWidget *FocusHome() const { return nullptr; }

protected:
    TFixture &Fixture() const { return link_.Fixture; }
    bool Is800() const { return link_.Layout == TLayout::Compact800; }
    // Whether the page's tab is the one shown.
    bool Shown() const { return widget_ && link_.Tabs->currentWidget() == widget_; }
    // A user's change to the fixture (see TPageLink::Modified).
    void Modified(const void *typing = nullptr) const { link_.Modified(typing); }
    // While it lives, the program is filling the page's controls: what it puts there is not the user's.
    QScopedValueRollback<bool> Filling() { return QScopedValueRollback<bool>(filling_, true); }
    bool IsFilling() const { return filling_; }

private:
    QWidget *widget_;
    TPageLink link_;
    bool filling_ = false;
};
