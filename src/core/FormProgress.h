// The progress window shown, not modally, while a long printout is prepared. The caller
// shows it, moves ProgressBar1 (0 to 100) as its work advances and hides it at the end.
#pragma once

#include "FixedDialog.h"

class QProgressBar;

class TFormProgress : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormProgress(QWidget *parent = nullptr);

    QProgressBar *ProgressBar1;

    // Sets the bar and lets the window repaint while the caller keeps working.
    void SetPosition(int percent);
};

extern TFormProgress *FormProgress;

// The program's progress window, when it has one: moved to a position, or hidden.
void ProgressTo(int percent);
void HideProgress();
