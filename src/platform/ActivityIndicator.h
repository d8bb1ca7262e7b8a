#pragma once

#include <QTimer>
#include <QWidget>

// The spinning "busy" wheel: twelve spokes, the bright one going round.
class ActivityIndicator : public QWidget
{
    Q_OBJECT
public:
    explicit ActivityIndicator(QWidget *parent = nullptr);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return m_timer.isActive(); }
    // Hidden whenever it is not spinning (on by default).
    void setHidesWhenStopped(bool hides);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer m_timer;
    int m_step = 0;
    bool m_hidesWhenStopped = true;
};
