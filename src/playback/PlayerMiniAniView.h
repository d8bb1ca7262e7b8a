#pragma once

#include "platform/ImageView.h"

#include <QList>
#include <QPixmap>
#include <QTimer>

// The small "playing" sign of the now-playing panel: 10 x 9 points cycling through three
// pictures once every 0.5 s, from the first, while it is shown.
class PlayerMiniAniView : public ImageView
{
    Q_OBJECT
public:
    explicit PlayerMiniAniView(QWidget *parent = nullptr);

    static constexpr int cycleMs = 500;
    int frameCount() const { return int(m_frames.size()); }
    int currentFrame() const { return m_frame; }
    bool isAnimating() const { return m_timer.isActive(); }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void advance();

    QList<QPixmap> m_frames;
    QTimer m_timer;
    int m_frame = 0;
};
