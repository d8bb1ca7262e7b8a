#include "PlayerMiniAniView.h"

PlayerMiniAniView::PlayerMiniAniView(QWidget *parent) : ImageView(parent)
{
    resize(10, 9);
    for (const char *name : {"Orbo_plyr01_top_plate_02-ani01-01.png", "Orbo_plyr01_top_plate_02-ani01-02.png",
                             "Orbo_plyr01_top_plate_02-ani01-03"})
        m_frames << ImageView::imageNamed(QString::fromLatin1(name));
    setImage(m_frames.value(0));
    m_timer.setInterval(cycleMs / int(m_frames.size()));
    connect(&m_timer, &QTimer::timeout, this, &PlayerMiniAniView::advance);
}

void PlayerMiniAniView::advance()
{
    m_frame = (m_frame + 1) % int(m_frames.size());
    setImage(m_frames.value(m_frame));
}

void PlayerMiniAniView::showEvent(QShowEvent *event)
{
    ImageView::showEvent(event);
    // Each showing starts from the first picture; a hidden sign costs no timer.
    m_frame = 0;
    setImage(m_frames.value(0));
    m_timer.start();
}

void PlayerMiniAniView::hideEvent(QHideEvent *event)
{
    ImageView::hideEvent(event);
    m_timer.stop();
}
