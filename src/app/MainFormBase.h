#pragma once

#include "MainFormClass.h"

#include <QMainWindow>

// What both main-window layouts share: the controller, and closing through its close query.
class TMainFormBase : public QMainWindow {
    Q_OBJECT
public:
    TMainFormClass *Controller() const { return controller_; }
    const TMainFormControls &Controls() const { return controls_; }

protected:
    TMainFormBase() = default;
    // Called by each layout once its controls exist; those the Palettes page builds later are
    // added to Controls() then.
    void CreateController(const TMainFormControls &controls, TLayout layout, QSize clientSize);
    void closeEvent(QCloseEvent *event) override;

private:
    TMainFormControls controls_;
    TMainFormClass *controller_ = nullptr;
};

// The standard layout, for screens of 1024 by 768.
class TMainForm : public TMainFormBase {
    Q_OBJECT
public:
    TMainForm();
};

// The compact layout for screens of 800 by 600, with the advanced fields and the test faders.
class TMainForm800 : public TMainFormBase {
    Q_OBJECT
public:
    TMainForm800();
};
