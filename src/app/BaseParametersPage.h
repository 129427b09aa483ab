#pragma once

#include "Page.h"

#include <functional>

// The fixture's base parameters (name, brand, type, channel count, author, revision, comment,
// angles) and, in the compact layout, the DMX test fader.
class TBaseParametersPage : public TPage {
public:
    // Makes the page's controls in the layout's arrangement.
    static void Build(QWidget *parent, TBaseParametersControls &c, TLayout layout);
    // The DMX test fader of the compact layout.
    static void BuildDmxTest(QWidget *parent, TBaseParametersControls &c);

    TBaseParametersPage(const TBaseParametersControls &controls, const TPageLink &link, QObject *parent);

    // A field the user changes reaches the fixture at once.
    void Wire();
    // Fills the fields from the fixture.
    void Show();
    // Makes the fields that the fixture's format has no place for unavailable.
    void ShowFormatFields();
    // Shows the fixture's channel count, as the attributes make it.
    void ShowChannelCount();
    void ShowDate();

private:
    // A change of a field reaches the model at once, and counts as the user's; what the program
    // itself puts into the fields is neither copied back nor counted.
    void Edit(const std::function<void()> &apply, const void *typing = nullptr);
    void DmxMasterChange();

    TBaseParametersControls c_;
};
