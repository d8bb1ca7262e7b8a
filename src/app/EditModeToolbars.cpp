#include "EditModeToolbars.h"

#include "Util.h"
#include "platform/Toolbar.h"
#include "platform/View.h"
#include "platform/ViewAnimation.h"

EditModeToolbars::EditModeToolbars(QWidget *parent, const QRect &frame)
    : m_normal(new Toolbar(parent)), m_edit(new Toolbar(parent))
{
    m_normal->setGeometry(frame);
    m_edit->setGeometry(frame);
    reset();
}

void EditModeToolbars::reset()
{
    ViewAnimation::stopAnimations(m_normal);
    ViewAnimation::stopAnimations(m_edit);
    View::setAlpha(m_normal, 1.0);
    View::setHidden(m_normal, false);
    View::setAlpha(m_edit, 0.0);
    View::setHidden(m_edit, true);
}

void EditModeToolbars::setEditing(bool editing)
{
    if (editing)
        Util::fadeAniFrom(m_normal, m_edit);
    else
        Util::fadeAniFrom(m_edit, m_normal);
}
