#pragma once

#include "Page.h"

class TParameter;

// The attributes page: the channel grid, the attribute editor, whose edits wait for "Apply", the
// wheel fields and the add-channel dialog.
class TAttributesPage : public TPage {
    Q_OBJECT
public:
    // Makes the page's controls in the layout's arrangement.
    static void Build(QWidget *page, TAttributesControls &c, TLayout layout);

    TAttributesPage(const TAttributesControls &controls, const TPageLink &link, QObject *parent);

    void Wire();
    // Fills the grid from the fixture; a fixture without its own channel count takes the rows'.
    void Show();
    // The page was entered: it shows the selected row's attribute.
    void Entered() override;
    QWidget *FocusHome() const override;
    // The editor as a new fixture starts it: empty, with the defaults of Settings.ini.
    void Reset();
    void ApplyAttributeDefaults();
    // Makes "Apply" and "Undo" of the attribute editor available, or not.
    void SetAttributeEdited(bool edited);
    // Selects the row and shows its attribute in the editor.
    void SelectAttribute(int row);
    int SelectedRow() const;
    // Selects the row again once the fixture was replaced, when there still is one (not the first,
    // which is selected anyway).
    void RestoreRow(int row);
    // The attribute (or low part) of the selected row, or nothing: the selection is the one
    // record of it.
    TParameter *CurrentAttribute() const;
    // Normalizes the attribute list and rebuilds the grid, keeping the attribute shown.
    void NormalizeAttributes();
    void DeleteChannel();

signals:
    // The fixture's channel count changed with its rows.
    void ChannelCountChanged();
    // Attributes were added or deleted: the pages that need them may come or go.
    void RowsChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ClearAttributeEditor();
    void RefreshAttributeGrid();
    void EnableAttributeEditor();
    void RefreshWheels();
    void ClearWheels();
    void AttributeEdited();
    void ChannelWidthClick();
    void CheckAttributeName();
    void AttributeGridClick();
    void ApplyAttribute();
    void UndoAttribute();
    void MoveAttribute(int direction);
    int ChannelTypeFromButtons() const;
    // One pick of the add-channel dialog; true when a button was picked, so that the standard
    // layout opens the dialog again.
    bool AddChannel();
    void AddChannelClick();
    TParameter *AttributeOfRow(int row) const;
    // Whether the grid's selection may move to row; asks about pending edits first.
    bool AttributeMayMove(int row);
    void ShowSelectedAttribute();
    void ShowAttribute(const TParameter &p);
    // Shows the row of the entry in the grid (or keeps the row) and makes it current.
    void SelectEntry(const TParameter *entry);
    // The grid's rows from the attribute list, with the given entry's row selected (or the row
    // that was), nothing else.
    void FillAttributeGrid(const TParameter *selected);
    // "Dmx channels" becomes the number of rows.
    void FollowRowCount();
    void ApplyNameFieldRule();

    TAttributesControls c_;
};
