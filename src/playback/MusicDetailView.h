#pragma once

#include "platform/View.h"

#include <QImage>
#include <QUrl>

class ImageView;
class Label;
class TextView;

// The part of the full-screen player that shows one song: its artwork, the sliding tag
// panel with title, artist and album, the file name and the lyrics.
class MusicDetailView : public View
{
    Q_OBJECT
public:
    static constexpr int artworkSide = 280;
    // The tag panel's three resting places (its centre): open at the top of the artwork,
    // closed just above the view, and lowered behind the lyrics.
    static constexpr QPoint id3PanelOpen{160, 3};
    static constexpr QPoint id3PanelClosed{160, -57};
    static constexpr QPoint id3PanelLyrics{160, 237};

    explicit MusicDetailView(QWidget *parent = nullptr);

    // What the view shows for a song.
    struct Contents
    {
        QString fileName;
        QString title;
        QString album;
        QString artist;
        QString lyrics; // "No Lyrics" (translated) when the song has none
        QImage artwork; // null: the default picture
    };
    // From the file's own tags, or, for an M4A whose own cache entry exists (an imported
    // song's "iPod_Songs_<name>" record), from that record and the import's artwork.
    static Contents contentsOfSong(const QUrl &url);

    // Fills the view for the song at the URL.
    void initMusicDetailView(const QUrl &url);
    QUrl curURL() const { return m_curURL; }
    void setCurURL(const QUrl &url) { m_curURL = url; }

    ImageView *albumImageView() const { return m_albumImageView; }
    TextView *lyricsTextView() const { return m_lyricsTextView; }
    View *id3TagView() const { return m_id3TagView; }
    Label *fileNameLabel() const { return m_fileNameLabel; }
    Label *singerNameLabel() const { return m_singerNameLabel; }
    Label *songNameLabel() const { return m_songNameLabel; }
    Label *albumNameLabel() const { return m_albumNameLabel; }

private:
    QUrl m_curURL;
    ImageView *m_albumImageView;
    View *m_id3TagView;
    Label *m_songNameLabel;
    Label *m_singerNameLabel;
    Label *m_albumNameLabel;
    Label *m_fileNameLabel;
    TextView *m_lyricsTextView;
};
