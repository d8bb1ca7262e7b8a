#pragma once

#include <QRect>

class QWidget;
class Toolbar;

// The two toolbars of a list screen with an edit mode, in one place at the bottom: the
// normal one outside edit mode, the edit one inside it, cross-faded when the mode changes
// ("fadeAni"). The one faded out is hidden, so only the bar in use can be reached.
class EditModeToolbars
{
public:
    EditModeToolbars(QWidget *parent, const QRect &frame);

    Toolbar *normalToolbar() const { return m_normal; }
    Toolbar *editToolbar() const { return m_edit; }

    // Outside edit mode at once, without a fade (a screen about to appear).
    void reset();
    // Cross-fades to the edit bar (true) or back to the normal bar (false).
    void setEditing(bool editing);

private:
    Toolbar *m_normal;
    Toolbar *m_edit;
};
