#include "MusicDetailView.h"

#include "library/SongCache.h"
#include "library/TagReader.h"
#include "library/ZivoModel.h"
#include "platform/ImageCodec.h"
#include "platform/ImageView.h"
#include "platform/Label.h"
#include "platform/TextView.h"
#include "platform/Translations.h"

#include <QFileInfo>

namespace {
constexpr int id3PanelHeight = 114;
// The artwork is decoded at the size it is shown on a double-density screen.
const QSize artworkPixels(2 * MusicDetailView::artworkSide, 2 * MusicDetailView::artworkSide);

QImage decodedArtwork(const QByteArray &bytes)
{
    return bytes.isEmpty() ? QImage() : ImageCodec::decode(bytes, artworkPixels);
}

// The last of the file's pictures that decodes, as the tag reader takes the last one.
QImage embeddedArtwork(const QString &path, TagReader::Kind kind)
{
    const QList<QByteArray> pictures = TagReader::readPictures(path, kind);
    for (auto it = pictures.crbegin(); it != pictures.crend(); ++it)
        if (QImage image = decodedArtwork(*it); !image.isNull())
            return image;
    return {};
}

QString converted(const QVariantMap &record, const char *key)
{
    const QString text = record.value(QString::fromLatin1(key)).toString();
    return text.isEmpty() ? QString() : ZivoModel::convertEncodeWithString(text);
}

Label *tagLabel(const QRect &frame, qreal points, bool bold, const QColor &color, QWidget *parent)
{
    auto *label = new Label(frame, parent);
    label->setFontSize(points, bold);
    label->setTextColor(color);
    return label;
}
} // namespace

MusicDetailView::MusicDetailView(QWidget *parent) : View(QRect(0, 0, 320, 320), parent)
{
    m_albumImageView = new ImageView(this);
    m_albumImageView->setGeometry((320 - artworkSide) / 2, 16, artworkSide, artworkSide);
    m_albumImageView->setAccessibleName(Translations::text("Artwork"));

    m_fileNameLabel = tagLabel(QRect(20, 298, 280, 18), 8.5, false, QColor(150, 158, 172), this);
    m_fileNameLabel->setAlignment(Qt::AlignCenter);

    // The tag panel: a plate whose lower strip carries the three tag lines.
    m_id3TagView = new View(QRect(0, 0, 320, id3PanelHeight), this);
    View::setCenter(m_id3TagView, id3PanelOpen);
    auto *plate = new ImageView(ImageView::imageNamed(QStringLiteral("playerDetail_id3Plate.png")), m_id3TagView);
    plate->setGeometry(0, 0, 320, id3PanelHeight);
    m_songNameLabel = tagLabel(QRect(14, 56, 222, 20), 11.5, true, Qt::white, m_id3TagView);
    m_singerNameLabel = tagLabel(QRect(14, 76, 222, 17), 9.5, false, QColor(120, 230, 222), m_id3TagView);
    m_albumNameLabel = tagLabel(QRect(14, 93, 222, 17), 9, false, QColor(196, 202, 212), m_id3TagView);

    m_lyricsTextView = new TextView(QRect(12, 32, 296, 262), this);
    m_lyricsTextView->setBackgroundColor(QColor(10, 12, 18, 215), 10);
    m_lyricsTextView->document()->setDocumentMargin(10);
    m_lyricsTextView->setFontSize(10.5);
    m_lyricsTextView->setTextAlignment(Qt::AlignHCenter);
    m_lyricsTextView->setAccessibleName(Translations::text("Lyrics"));
    View::setHidden(m_lyricsTextView, true);
}

MusicDetailView::Contents MusicDetailView::contentsOfSong(const QUrl &url)
{
    Contents contents;
    const QString path = url.toLocalFile();
    contents.fileName = QFileInfo(path).fileName();
    const QString suffix = QFileInfo(contents.fileName).suffix().toLower();
    const bool mp3 = suffix == QLatin1String("mp3"), m4a = suffix == QLatin1String("m4a");
    if (!mp3 && !m4a) {
        contents.lyrics = Translations::text("No Lyrics");
        return contents;
    }
    const TagReader::Kind kind = mp3 ? TagReader::Kind::Mp3 : TagReader::Kind::M4a;
    contents.lyrics = TagReader::readLyrics(path, kind);

    // An M4A with its own cache entry: the record stands for the file's tags. For a song in
    // iPod_Songs that is the import's record, with the lyrics and the large artwork of the
    // device's library.
    const QString folder = SongCache::folderOfSong(url);
    if (m4a && SongCache::hasTagFile(folder, contents.fileName)) {
        const QVariantMap record = SongCache::readTagFile(folder, contents.fileName);
        contents.title = converted(record, "title");
        contents.album = converted(record, "albumName");
        contents.artist = converted(record, "artist");
        if (const QString lyrics = converted(record, "lyrics"); !lyrics.isEmpty())
            contents.lyrics = lyrics;
        contents.artwork = decodedArtwork(SongCache::readFullArtwork(folder, contents.fileName));
        // A song the import did not bring has no large artwork: its own cover then.
        if (contents.artwork.isNull())
            contents.artwork = embeddedArtwork(path, kind);
    } else {
        const QVariantMap record = TagReader::read(path, kind);
        contents.title = converted(record, "title");
        contents.album = converted(record, "albumName");
        contents.artist = converted(record, "artist");
        contents.artwork = embeddedArtwork(path, kind);
    }
    if (contents.lyrics.isEmpty())
        contents.lyrics = Translations::text("No Lyrics");
    return contents;
}

void MusicDetailView::initMusicDetailView(const QUrl &url)
{
    m_curURL = url;
    const Contents contents = contentsOfSong(url);
    m_fileNameLabel->setText(contents.fileName);
    m_lyricsTextView->setText(contents.lyrics);
    m_albumImageView->setImage(contents.artwork.isNull() ? ImageView::imageNamed(QStringLiteral("noAlbumImageBig"))
                                                         : QPixmap::fromImage(contents.artwork));
    m_songNameLabel->setText(contents.title);
    m_albumNameLabel->setText(contents.album);
    m_singerNameLabel->setText(contents.artist);
}
