#pragma once

class QWidget;

// What the real dialogs take from the skin. The skin lives in a library above
// this one: its appearance factory implements this and registers itself with
// ETDialogPresenter (GUI thread).
class ETDialogSkin
{
  public:
    virtual ~ETDialogSkin() = default;

    // With null: the palette of file and input dialogs.
    virtual void applyDialogColors(QWidget *widget) = 0;
};
