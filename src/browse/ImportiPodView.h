#pragma once

#include "platform/View.h"

class ActivityIndicator;
class Button;
class DDProgressView;
class ImageView;
class Label;

// The import's overlay, laid over the main menu while songs are copied: a rounded panel
// with the song's artwork, title, artist and target file name, the "n/m" counter, the
// progress bar, the busy wheel and the Cancel button. Layout only; the import drives it.
class ImportiPodView : public View
{
    Q_OBJECT
public:
    explicit ImportiPodView(QWidget *parent = nullptr);

    View *iPodRoundingView() const { return m_roundingView; }
    Label *iPodScreenLockOffLabel() const { return m_screenLockOffLabel; }
    Label *iPodTransMsgLabel() const { return m_transMsgLabel; }
    Label *iPodTitleLabel() const { return m_titleLabel; }
    Label *iPodArtistLabel() const { return m_artistLabel; }
    ImageView *iPodImageView() const { return m_imageView; }
    Label *iPodFileNameLabel() const { return m_fileNameLabel; }
    Label *iPodFileCountLabel() const { return m_fileCountLabel; }
    DDProgressView *iPodProgressView() const { return m_progressView; }
    ActivityIndicator *iPodActivityView() const { return m_activityView; }
    Button *iPodCancelButton() const { return m_cancelButton; }

private:
    View *m_roundingView;
    Label *m_screenLockOffLabel;
    Label *m_transMsgLabel;
    Label *m_titleLabel;
    Label *m_artistLabel;
    ImageView *m_imageView;
    Label *m_fileNameLabel;
    Label *m_fileCountLabel;
    DDProgressView *m_progressView;
    ActivityIndicator *m_activityView;
    Button *m_cancelButton;
};
